#include "editor/zelmar_buttons.h"

#include "engine/parameters.h"

using engine::centre;
using engine::step;

// ---------------------------------------------------------------------------------- CZelmarButton

CZelmarButton::CZelmarButton(const CRect& size, CControlListener* listener, std::int32_t tag,
                             CBitmap* background, CMeteringPrefsHost* prefs)
    : COnOffButton(size, listener, tag, background), prefs(prefs) {}

void CZelmarButton::setHighlight(bool on) {
    highlighted = on;
    setDirty();
}

int CZelmarButton::frameIndex() const {
    if (highlighted) return 2;
    return step(value, 2) == 1 ? 1 : 0;
}

void CZelmarButton::draw(CDrawContext* context) {
    drawBackgroundFrame(context, frameIndex() * getHeight());
    setDirty(false);
}

CMouseEventResult CZelmarButton::onMouseDown(CPoint&, const CButtonState& buttons) {
    if (prefs && (buttons & kRButton)) {
        prefs->storeMeteringPrefs();
        invalid();
        return kMouseDownEventHandledButDontNeedMovedOrUpEvents;
    }
    if (!(buttons & kLButton)) return kMouseEventNotHandled;
    value = step(value, 2) == 1 ? centre(0, 2) : centre(1, 2);
    if (listener) listener->controlChanged(this);
    invalid();
    return kMouseDownEventHandledButDontNeedMovedOrUpEvents;
}

// ---------------------------------------------------------------------------- COversamplingButton

COversamplingButton::COversamplingButton(const CRect& size, CControlListener* listener, std::int32_t tag,
                                         CBitmap* background)
    : COnOffButton(size, listener, tag, background) {}

int COversamplingButton::frameIndex() const {
    return step(value, 2) == 1 ? 1 : 0;
}

void COversamplingButton::draw(CDrawContext* context) {
    drawBackgroundFrame(context, frameIndex() * getHeight());
    setDirty(false);
}

CMouseEventResult COversamplingButton::onMouseDown(CPoint&, const CButtonState& buttons) {
    if (!(buttons & kLButton)) return kMouseEventNotHandled;
    value = step(value, 2) == 1 ? 0.0f : 1.0f;
    if (listener) listener->controlChanged(this);
    invalid();
    return kMouseDownEventHandledButDontNeedMovedOrUpEvents;
}
