#include "editor/calib_button.h"

#include "engine/parameters.h"

using engine::centre;

CCalibButton::CCalibButton(const CRect& size, CControlListener* listener, std::int32_t tag,
                           CBitmap* background)
    : CControl(size, listener, tag, background) {}

int CCalibButton::state() const {
    return engine::step(engine::clampNormalized(value), 4);
}

void CCalibButton::tick(std::uint32_t nowTicks) {
    lastTicks = nowTicks;
    if (state() != 0) setDirty();
}

int CCalibButton::frameIndex() const {
    // The bitmap holds the states in the order off, left, right, l+r.
    int s = state();
    int frame = s == 2 ? 3 : s == 3 ? 2 : s;
    if (frame != 0 && ((lastTicks - clickTicks) & 256u) == 0) frame += 3;
    return frame;
}

void CCalibButton::draw(CDrawContext* context) {
    drawBackgroundFrame(context, frameIndex() * kFrameHeight);
    setDirty(false);
}

CMouseEventResult CCalibButton::onMouseDown(CPoint&, const CButtonState& buttons) {
    if (!(buttons & kLButton)) return kMouseEventNotHandled;
    int s = state();
    value = centre(s == 3 ? 0 : s + 1, 4);
    clickTicks = lastTicks;
    if (listener) listener->controlChanged(this);
    invalid();
    return kMouseDownEventHandledButDontNeedMovedOrUpEvents;
}
