#include "editor/mode_button.h"

#include "engine/parameters.h"

using engine::step;

CModeButton::CModeButton(const CRect& size, CControlListener* listener, std::int32_t tag, CBitmap* background,
                         CMeteringPrefsHost* prefs)
    : CControl(size, listener, tag, background), prefs(prefs) {}

void CModeButton::setHighlight(bool on) {
    highlighted = on;
    setDirty();
}

void CModeButton::setMeterType(float v) {
    meterTypeStep = step(engine::clampNormalized(v), 2);
    setDirty();
}

void CModeButton::setScale(float v) {
    scaleStep = step(engine::clampNormalized(v), 3);
    setDirty();
}

int CModeButton::frameIndex() const {
    if (highlighted) return 6;
    return meterTypeStep == 1 ? 3 + scaleStep : scaleStep;
}

void CModeButton::draw(CDrawContext* context) {
    drawBackgroundFrame(context, frameIndex() * getHeight());
    setDirty(false);
}

CMouseEventResult CModeButton::onMouseDown(CPoint& where, const CButtonState& buttons) {
    if (!(buttons & kLButton)) return kMouseEventNotHandled;
    if (buttons & kRButton) {
        if (prefs) prefs->storeMeteringPrefs();
    } else if (where.y < size.top + kBandHeight) {
        if (prefs) prefs->setMeterTypeStep(0);
    } else if (where.y > size.bottom - kBandHeight) {
        if (meterTypeStep == 1) {
            scaleStep = (scaleStep + 1) % 3;
            if (prefs) prefs->setScaleStep(scaleStep);
        }
        if (prefs) prefs->setMeterTypeStep(1);
    }
    invalid();
    return kMouseDownEventHandledButDontNeedMovedOrUpEvents;
}
