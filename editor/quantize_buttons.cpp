#include "editor/quantize_buttons.h"

#include "engine/parameters.h"

using engine::centre;
using engine::clampNormalized;
using engine::step;

namespace {

// The choice a mirrored value selects; a host may send anything, and a choice picks a look.
int choiceOf(float v, int n) {
    return step(clampNormalized(v), n);
}

} // namespace

// ------------------------------------------------------------------------------------------ CBits

CBits::CBits(const CRect& size, CControlListener* listener, std::int32_t tag, CBitmap* background)
    : CControl(size, listener, tag, background) {}

void CBits::setQuantize(float v) {
    quantizeOn = choiceOf(v, 2);
    setDirty();
}

void CBits::setBits(float v) {
    bitsStep = choiceOf(v, 3);
    setDirty();
}

void CBits::draw(CDrawContext* context) {
    drawBackgroundFrame(context, frameIndex() * getHeight());
    setDirty(false);
}

CMouseEventResult CBits::onMouseDown(CPoint&, const CButtonState& buttons) {
    if (!(buttons & kLButton)) return kMouseEventNotHandled;
    bitsStep = (bitsStep + 1) % 3;
    value = centre(bitsStep, 3);
    if (listener) listener->controlChanged(this);
    invalid();
    return kMouseDownEventHandledButDontNeedMovedOrUpEvents;
}

// ------------------------------------------------------------------------------------ CNoiseShape

CNoiseShape::CNoiseShape(const CRect& size, CControlListener* listener, std::int32_t tag, CBitmap* background)
    : CControl(size, listener, tag, background) {}

void CNoiseShape::setQuantize(float v) {
    quantizeOn = choiceOf(v, 2);
    setDirty();
}

void CNoiseShape::setNoiseShape(float v) {
    noiseShapeStep = choiceOf(v, 4);
    setDirty();
}

int CNoiseShape::frameIndex() const {
    // "off" has one look only: whether quantizing is on does not change it.
    if (!quantizeOn || noiseShapeStep == 0) return noiseShapeStep;
    return 3 + noiseShapeStep;
}

void CNoiseShape::draw(CDrawContext* context) {
    drawBackgroundFrame(context, frameIndex() * getHeight());
    setDirty(false);
}

CMouseEventResult CNoiseShape::onMouseDown(CPoint&, const CButtonState& buttons) {
    if (!(buttons & kLButton)) return kMouseEventNotHandled;
    noiseShapeStep = (noiseShapeStep + 1) % 4;
    value = centre(noiseShapeStep, 4);
    if (listener) listener->controlChanged(this);
    invalid();
    return kMouseDownEventHandledButDontNeedMovedOrUpEvents;
}

// ------------------------------------------------------------------------------------- CAutoBlack

CAutoBlack::CAutoBlack(const CRect& size, CControlListener* listener, std::int32_t tag, CBitmap* background)
    : CControl(size, listener, tag, background) {}

void CAutoBlack::setQuantize(float v) {
    quantizeOn = choiceOf(v, 2);
    setDirty();
}

void CAutoBlack::setAutoblack(float v) {
    autoblackOn = choiceOf(v, 2);
    setDirty();
}

int CAutoBlack::frameIndex() const {
    if (!autoblackOn) return 0;
    return quantizeOn ? 1 : 2;
}

void CAutoBlack::draw(CDrawContext* context) {
    drawBackgroundFrame(context, frameIndex() * getHeight());
    setDirty(false);
}

CMouseEventResult CAutoBlack::onMouseDown(CPoint&, const CButtonState& buttons) {
    if (!(buttons & kLButton)) return kMouseEventNotHandled;
    autoblackOn = 1 - autoblackOn;
    value = centre(autoblackOn, 2);
    if (listener) listener->controlChanged(this);
    invalid();
    return kMouseDownEventHandledButDontNeedMovedOrUpEvents;
}
