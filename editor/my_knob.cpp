#include "editor/my_knob.h"

#include "editor/host_edit.h"

CMyKnob::CMyKnob(const CRect& size, CControlListener* listener, std::int32_t tag, CBitmap* strip,
                 CCoord frameHeight)
    : CAnimKnob(size, listener, tag, kFrames, frameHeight, strip) {}

int CMyKnob::frameIndex() const {
    float f = 100.0f * value;
    if (!(f > 0.0f)) return 0; // negative or NaN
    if (f >= float(kFrames - 1)) return kFrames - 1;
    return int(f);
}

void CMyKnob::draw(CDrawContext* context) {
    drawBackgroundFrame(context, frameIndex() * heightOfOneImage);
    setDirty(false);
}

float CMyKnob::coefFor(CButtonState buttons) const {
    return (vmax - vmin) / ((buttons & kShift) ? kFineDragRange : kDragRange);
}

CMouseEventResult CMyKnob::onMouseDown(CPoint& where, const CButtonState& buttons) {
    if (!(buttons & kLButton)) return kMouseEventNotHandled;
    if (checkDefaultValue(buttons)) return kMouseDownEventHandledButDontNeedMovedOrUpEvents;
    range = (buttons & kShift) ? kFineDragRange : kDragRange;
    coef = coefFor(buttons);
    firstPoint = where;
    startValue = value;
    oldButton = buttons;
    modeLinear = true;
    beginEdit();
    // Any point differs from this one: the press counts as the first move.
    lastPoint = CPoint(where.x - 1, where.y - 1);
    onMouseMoved(where, buttons);
    return kMouseEventHandled;
}

CMouseEventResult CMyKnob::onMouseMoved(CPoint& where, const CButtonState& buttons) {
    if (!(buttons & kLButton)) return kMouseEventHandled;
    if (where == lastPoint) return kMouseEventHandled;
    lastPoint = where;
    float distance = float((where.x - firstPoint.x) + (firstPoint.y - where.y));
    if (buttons != oldButton) {
        // Shift pressed or released: the new range continues from the current value.
        float newCoef = coefFor(buttons);
        startValue += (coef - newCoef) * distance;
        coef = newCoef;
        range = (buttons & kShift) ? kFineDragRange : kDragRange;
        oldButton = buttons;
    }
    value = startValue + distance * coef;
    bounceValue();
    invalid();
    if (listener) listener->controlChanged(this);
    return kMouseEventHandled;
}

bool CMyKnob::onWheel(const CPoint&, const float& distance, const CButtonState& buttons) {
    float before = value;
    value += distance * ((buttons & kShift) ? kFineWheelStep : kWheelStep);
    bounceValue();
    if (value != before && listener) {
        invalid();
        beginEdit();
        listener->controlChanged(this);
        endEdit();
    }
    return true;
}

void CMyKnob::beginEdit() {
    editor::beginControlEdit(this, true);
}

void CMyKnob::endEdit() {
    editor::endControlEdit(this);
}
