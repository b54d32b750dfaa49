#include "preset_strip/preset_strip_controls.h"

namespace {

// Frames of the buttons' film strips.
enum ButtonFrame : int { kIdle = 0, kHover = 1, kPressed = 2 };
// Frames of the rocker's film strip.
enum RockerFrame : int {
    kRockerIdle = 0,
    kHoverLeft = 1,
    kHoverRight = 2,
    kPressedLeft = 3,
    kPressedRight = 4
};

} // namespace

// ---------------------------------------------------------------------------------- CPSKickButton

CPSKickButton::CPSKickButton(const CRect& size, CControlListener* listener, std::int32_t tag, CCoord height,
                             CBitmap* background, const CPoint& offset, bool needsDoubleClick)
    : CKickButton(size, listener, tag, height, background, offset), doubleClick(needsDoubleClick) {
    subPixmaps = 3;
}

void CPSKickButton::draw(CDrawContext* context) {
    int frame = pressed ? kPressed : hover ? kHover : kIdle;
    drawBackgroundFrame(context, frame * heightOfOneImage);
    setDirty(false);
}

CMouseEventResult CPSKickButton::onMouseDown(CPoint&, const CButtonState& buttons) {
    if (!(buttons & kLButton)) return kMouseDownEventHandledButDontNeedMovedOrUpEvents;
    if (doubleClick && !(buttons & kDoubleClick)) return kMouseDownEventHandledButDontNeedMovedOrUpEvents;
    pressed = true;
    value = doubleClick && (buttons & kControl) ? presets::kClearDefaultValue : presets::kPlainClickValue;
    if (listener) listener->controlChanged(this);
    setDirty();
    return kMouseEventHandled;
}

CMouseEventResult CPSKickButton::onMouseUp(CPoint&, const CButtonState&) {
    value = 0.0f;
    pressed = false;
    setDirty();
    return kMouseEventHandled;
}

CMouseEventResult CPSKickButton::onMouseEntered(CPoint&, const CButtonState&) {
    hover = true;
    setDirty();
    return kMouseEventHandled;
}

CMouseEventResult CPSKickButton::onMouseExited(CPoint&, const CButtonState&) {
    hover = false;
    setDirty();
    return kMouseEventHandled;
}

// -------------------------------------------------------------------------------- CSaveLoadButton

CSaveLoadButton::CSaveLoadButton(const CRect& size, CControlListener* listener, std::int32_t tag,
                                 CCoord height, CBitmap* background, const CPoint& offset)
    : CKickButton(size, listener, tag, height, background, offset) {
    subPixmaps = 3;
}

void CSaveLoadButton::draw(CDrawContext* context) {
    int frame = value != 0.0f ? kPressed : hover ? kHover : kIdle;
    drawBackgroundFrame(context, frame * heightOfOneImage);
    setDirty(false);
}

CMouseEventResult CSaveLoadButton::onMouseDown(CPoint&, const CButtonState& buttons) {
    if (!(buttons & (kLButton | kRButton)) || !listener) return kMouseEventNotHandled;
    value = buttons == kRButton ? presets::kReversedLoadValue : presets::kPlainClickValue;
    listener->controlChanged(this);
    value = 0.0f;
    setDirty();
    return kMouseDownEventHandledButDontNeedMovedOrUpEvents;
}

CMouseEventResult CSaveLoadButton::onMouseEntered(CPoint&, const CButtonState&) {
    hover = true;
    setDirty();
    return kMouseEventHandled;
}

CMouseEventResult CSaveLoadButton::onMouseExited(CPoint&, const CButtonState&) {
    hover = false;
    setDirty();
    return kMouseEventHandled;
}

// -------------------------------------------------------------------------------- CPSRockerSwitch

CPSRockerSwitch::CPSRockerSwitch(const CRect& size, CControlListener* listener, std::int32_t tag,
                                 CCoord height, CBitmap* background, const CPoint& offset, std::int32_t style)
    : CRockerSwitch(size, listener, tag, height, background, offset, style) {
    subPixmaps = 5;
}

void CPSRockerSwitch::draw(CDrawContext* context) {
    if (background) {
        int frame = value == -1.0f  ? kPressedLeft
                    : value == 1.0f ? kPressedRight
                    : hoverSide < 0 ? kHoverLeft
                    : hoverSide > 0 ? kHoverRight
                                    : kRockerIdle;
        CPoint source(0, backOffset.y + frame * heightOfOneImage);
        if (transparent)
            background->drawTransparent(context, size, source);
        else
            background->draw(context, size, source);
    }
    setDirty(false);
}

CMouseEventResult CPSRockerSwitch::onMouseDown(CPoint& where, const CButtonState& buttons) {
    if (!(buttons & kLButton)) return kMouseEventNotHandled;
    value = where.x < middle() ? -1.0f : 1.0f;
    setDirty();
    if (listener) listener->controlChanged(this);
    return kMouseEventHandled;
}

CMouseEventResult CPSRockerSwitch::onMouseUp(CPoint&, const CButtonState&) {
    value = 0.0f;
    setDirty();
    return kMouseEventHandled;
}

CMouseEventResult CPSRockerSwitch::onMouseMoved(CPoint& where, const CButtonState& buttons) {
    if (buttons & kLButton) return kMouseEventHandled;
    return onMouseEntered(where, buttons);
}

CMouseEventResult CPSRockerSwitch::onMouseEntered(CPoint& where, const CButtonState&) {
    hoverSide = where.x < middle() ? -1 : 1;
    setDirty();
    return kMouseEventHandled;
}

CMouseEventResult CPSRockerSwitch::onMouseExited(CPoint&, const CButtonState&) {
    hoverSide = 0;
    setDirty();
    return kMouseEventHandled;
}
