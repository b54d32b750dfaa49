#include "gui/standard_controls.h"

#include <cmath>

#include "gui/frame.h"

// ----------------------------------------------------------------------------------- COnOffButton

COnOffButton::COnOffButton(const CRect& size, CControlListener* listener, std::int32_t tag,
                           CBitmap* background, std::int32_t style)
    : CControl(size, listener, tag, background), style(style) {}

void COnOffButton::draw(CDrawContext* context) {
    CCoord frameHeight = background ? background->getHeight() / 2 : 0;
    drawBackgroundFrame(context, value != 0.0f ? frameHeight : 0);
    setDirty(false);
}

CMouseEventResult COnOffButton::onMouseDown(CPoint&, const CButtonState& buttons) {
    if (!(buttons & kLButton)) return kMouseEventNotHandled;
    value = std::int32_t(value) != 0 ? 0.0f : 1.0f;
    invalid();
    auto tell = [this] {
        beginEdit();
        listener->controlChanged(this);
        endEdit();
    };
    if (listener && style == kPreListenerUpdate) tell();
    doIdleStuff();
    if (listener && style == kPostListenerUpdate) tell();
    return kMouseDownEventHandledButDontNeedMovedOrUpEvents;
}

// ------------------------------------------------------------------------------------ CKickButton

CKickButton::CKickButton(const CRect& size, CControlListener* listener, std::int32_t tag, CBitmap* background,
                         const CPoint& offset)
    : CKickButton(size, listener, tag, size.getHeight(), background, offset) {}

CKickButton::CKickButton(const CRect& size, CControlListener* listener, std::int32_t tag, CCoord height,
                         CBitmap* background, const CPoint& offset)
    : CControl(size, listener, tag, background) {
    heightOfOneImage = height;
    subPixmaps = 2;
    setBackOffset(offset);
}

void CKickButton::draw(CDrawContext* context) {
    drawBackgroundFrame(context, value != 0.0f ? heightOfOneImage : 0);
    setDirty(false);
}

float CKickButton::valueAt(const CPoint& where) const {
    if (!size.pointInsideWithEdges(where)) return entryState;
    return entryState == 0.0f ? 1.0f : 0.0f;
}

CMouseEventResult CKickButton::onMouseDown(CPoint& where, const CButtonState& buttons) {
    if (!(buttons & kLButton)) return kMouseEventNotHandled;
    entryState = value;
    beginEdit();
    return onMouseMoved(where, buttons);
}

CMouseEventResult CKickButton::onMouseMoved(CPoint& where, const CButtonState& buttons) {
    if (buttons & kLButton) {
        float v = valueAt(where);
        if (v != value) {
            value = v;
            invalid();
        }
    }
    return kMouseEventHandled;
}

CMouseEventResult CKickButton::onMouseUp(CPoint& where, const CButtonState&) {
    // The release point decides, as the last move would: released outside, the kick never happened.
    value = valueAt(where);
    if (value != 0.0f && listener) listener->controlChanged(this);
    value = 0.0f;
    if (listener) listener->controlChanged(this);
    if (isDirty()) invalid();
    endEdit();
    return kMouseEventHandled;
}

// ---------------------------------------------------------------------------------- CRockerSwitch

CRockerSwitch::CRockerSwitch(const CRect& size, CControlListener* listener, std::int32_t tag,
                             CBitmap* background, const CPoint& offset, std::int32_t style)
    : CRockerSwitch(size, listener, tag, size.getHeight(), background, offset, style) {}

CRockerSwitch::CRockerSwitch(const CRect& size, CControlListener* listener, std::int32_t tag, CCoord height,
                             CBitmap* background, const CPoint& offset, std::int32_t style)
    : CControl(size, listener, tag, background), style(style) {
    heightOfOneImage = height;
    subPixmaps = 3;
    setBackOffset(offset);
    vmin = -1.0f;
    vmax = 1.0f;
    value = 0.0f;
}

void CRockerSwitch::draw(CDrawContext* context) {
    CCoord frame = value < 0.0f ? 0 : value > 0.0f ? 2 : 1;
    drawBackgroundFrame(context, frame * heightOfOneImage);
    setDirty(false);
}

CMouseEventResult CRockerSwitch::onMouseDown(CPoint& where, const CButtonState& buttons) {
    if (!(buttons & kLButton)) return kMouseEventNotHandled;
    entryState = value;
    beginEdit();
    return onMouseMoved(where, buttons);
}

CMouseEventResult CRockerSwitch::onMouseMoved(CPoint& where, const CButtonState& buttons) {
    if (buttons & kLButton) {
        float v = entryState;
        if (size.pointInsideWithEdges(where)) {
            bool firstHalf = style & kVertical ? where.y < (size.top + size.bottom) / 2
                                               : where.x < (size.left + size.right) / 2;
            v = firstHalf ? -1.0f : 1.0f;
        }
        if (v != value) {
            value = v;
            if (listener) listener->controlChanged(this);
            invalid();
        }
    }
    return kMouseEventHandled;
}

CMouseEventResult CRockerSwitch::onMouseUp(CPoint&, const CButtonState&) {
    value = 0.0f;
    if (isDirty()) invalid();
    endEdit();
    return kMouseEventHandled;
}

// ------------------------------------------------------------------------------------------ CKnob

CKnob::CKnob(const CRect& size, CControlListener* listener, std::int32_t tag, CBitmap* background,
             CBitmap* handleBitmap, const CPoint& offset)
    : CControl(size, listener, tag, background), handle(handleBitmap) {
    if (handle) handle->remember();
    setBackOffset(offset);
}

CKnob::~CKnob() {
    if (handle) handle->forget();
}

std::int32_t CKnob::knobMode() const {
    CFrame* frame = getFrame();
    return frame && frame->getEditor() ? frame->getEditor()->getKnobMode() : kCircularMode;
}

CPoint CKnob::valueToPoint() const {
    float span = vmax - vmin;
    float t = span != 0.0f ? (value - vmin) / span : 0.0f;
    double alpha = double(startAngle) - double(t) * double(rangeAngle);
    double radius = double(std::min(size.getWidth(), size.getHeight())) / 2.0 - 3.0;
    CCoord cx = size.left + size.getWidth() / 2, cy = size.top + size.getHeight() / 2;
    return {cx + CCoord(std::lround(radius * std::cos(alpha))),
            cy - CCoord(std::lround(radius * std::sin(alpha)))};
}

float CKnob::valueFromPoint(const CPoint& where) const {
    constexpr double twoPi = 6.283185307179586;
    double cx = size.left + size.getWidth() / 2.0, cy = size.top + size.getHeight() / 2.0;
    double alpha = std::atan2(cy - where.y, where.x - cx);
    double d = std::fmod(double(startAngle) - alpha + 2.0 * twoPi, twoPi);
    double t;
    if (d <= rangeAngle)
        t = d / rangeAngle;
    else // in the gap below the knob: the nearer end
        t = d > rangeAngle + (twoPi - rangeAngle) / 2.0 ? 0.0 : 1.0;
    return vmin + float(t) * (vmax - vmin);
}

void CKnob::draw(CDrawContext* context) {
    drawBackgroundFrame(context, 0);
    CPoint tip = valueToPoint();
    if (handle) {
        CCoord w = handle->getWidth(), h = handle->getHeight();
        handle->drawTransparent(context,
                                CRect(tip.x - w / 2, tip.y - h / 2, tip.x - w / 2 + w, tip.y - h / 2 + h));
    } else {
        CColor saved = context->getFrameColor();
        context->setFrameColor(colorHandle);
        // Lines are drawn one row up: hand over points one row lower.
        context->moveTo(CPoint(size.left + size.getWidth() / 2, size.top + size.getHeight() / 2 + 1));
        context->lineTo(CPoint(tip.x, tip.y + 1));
        context->setFrameColor(saved);
    }
    setDirty(false);
}

CMouseEventResult CKnob::onMouseDown(CPoint& where, const CButtonState& buttons) {
    // Without the left button no gesture starts (a begun edit would never be ended).
    if (!(buttons & kLButton)) return kMouseEventNotHandled;
    beginEdit();
    if (checkDefaultValue(buttons)) {
        endEdit();
        return kMouseDownEventHandledButDontNeedMovedOrUpEvents;
    }
    firstPoint = where;
    lastPoint = CPoint(where.x - 1, where.y - 1);
    startValue = value;
    std::int32_t mode = knobMode();
    bool alt = (buttons & kAlt) != 0;
    modeLinear = (mode == kLinearMode && !alt) || (mode != kLinearMode && alt);
    range = float(kLinearRange);
    if (buttons & kShift) range *= zoomFactor;
    coef = (vmax - vmin) / range;
    oldButton = buttons;
    return onMouseMoved(where, buttons);
}

CMouseEventResult CKnob::onMouseMoved(CPoint& where, const CButtonState& buttons) {
    if (!(buttons & kLButton)) return kMouseEventHandled;
    if (where == lastPoint) return kMouseEventHandled;
    lastPoint = where;
    float before = value;
    if (modeLinear) {
        float diff = float((firstPoint.y - where.y) + (where.x - firstPoint.x));
        if (buttons != oldButton) {
            // Shift pressed or released during the drag: continue from here without a jump.
            float newRange = float(kLinearRange) * ((buttons & kShift) ? zoomFactor : 1.0f);
            float newCoef = (vmax - vmin) / newRange;
            startValue += diff * (coef - newCoef);
            coef = newCoef;
            range = newRange;
            oldButton = buttons;
        }
        value = startValue + diff * coef;
        bounceValue();
    } else {
        value = valueFromPoint(where);
    }
    if (value != before) {
        if (listener) listener->controlChanged(this);
        invalid();
    }
    return kMouseEventHandled;
}

CMouseEventResult CKnob::onMouseUp(CPoint&, const CButtonState&) {
    endEdit();
    return kMouseEventHandled;
}

void CKnob::stepValue(float delta) {
    float before = value;
    value += delta;
    bounceValue();
    if (value != before) {
        if (listener) {
            beginEdit();
            listener->controlChanged(this);
            endEdit();
        }
        invalid();
    }
}

bool CKnob::onWheel(const CPoint&, const float& distance, const CButtonState& buttons) {
    float steps = (buttons & kShift) ? distance * 0.1f : distance;
    stepValue(steps * wheelInc);
    return true;
}

std::int32_t CKnob::onKeyDown(gui::KeyEvent& key) {
    float direction;
    switch (key.key) {
    case gui::VirtualKey::Up:
    case gui::VirtualKey::Right:
        direction = 1.0f;
        break;
    case gui::VirtualKey::Down:
    case gui::VirtualKey::Left:
        direction = -1.0f;
        break;
    default:
        return -1;
    }
    if (key.modifiers & gui::kModifierShift) direction *= 0.1f;
    stepValue(direction * wheelInc);
    return 1;
}

// -------------------------------------------------------------------------------------- CAnimKnob

CAnimKnob::CAnimKnob(const CRect& size, CControlListener* listener, std::int32_t tag, CBitmap* background,
                     const CPoint& offset)
    : CAnimKnob(size, listener, tag,
                background && size.getHeight() > 0 ? std::int32_t(background->getHeight() / size.getHeight())
                                                   : 0,
                size.getHeight(), background, offset) {}

CAnimKnob::CAnimKnob(const CRect& size, CControlListener* listener, std::int32_t tag, std::int32_t frames,
                     CCoord height, CBitmap* background, const CPoint& offset)
    : CKnob(size, listener, tag, background, nullptr, offset) {
    subPixmaps = frames;
    heightOfOneImage = height;
}

void CAnimKnob::draw(CDrawContext* context) {
    if (subPixmaps > 0) {
        float span = vmax - vmin;
        float t = span != 0.0f ? (value - vmin) / span : 0.0f;
        std::int32_t frame = std::int32_t(t * float(subPixmaps - 1) + 0.5f);
        frame = std::max<std::int32_t>(0, std::min(frame, subPixmaps - 1));
        drawBackgroundFrame(context, frame * heightOfOneImage);
    }
    setDirty(false);
}
