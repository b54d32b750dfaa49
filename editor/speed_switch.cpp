#include "editor/speed_switch.h"

#include "engine/parameters.h"

CSpeedSwitch::CSpeedSwitch(const CRect& size, CControlListener* listener, std::int32_t tag,
                           CBitmap* background)
    : CControl(size, listener, tag, background) {}

int CSpeedSwitch::positionAt(const CPoint& p) {
    if (p.y < 123 || p.y > 140) return -1;
    if (p.x >= 39 && p.x <= 56) return 0;
    if (p.x >= 72 && p.x <= 89) return 1;
    if (p.x >= 105 && p.x <= 122) return 2;
    return -1;
}

int CSpeedSwitch::frameIndex() const {
    return engine::step(engine::clampNormalized(value), 3);
}

void CSpeedSwitch::draw(CDrawContext* context) {
    drawBackgroundFrame(context, frameIndex() * getHeight());
    setDirty(false);
}

CMouseEventResult CSpeedSwitch::onMouseDown(CPoint& where, const CButtonState& buttons) {
    if (!(buttons & kLButton)) return kMouseEventNotHandled;
    CPoint windowPoint = where;
    localToFrame(windowPoint);
    int position = positionAt(windowPoint);
    if (position >= 0) {
        value = engine::centre(position, 3);
        if (listener) listener->controlChanged(this);
        invalid();
    }
    return kMouseDownEventHandledButDontNeedMovedOrUpEvents;
}
