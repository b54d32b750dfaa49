// The preset strip's own controls: thin subclasses of the toolkit's kick button, rocker switch and
// text edit that draw frames of a vertical film strip by hover and press state, and that report
// special clicks through their value: a Ctrl + double-click on a default button, a right click
// alone on a load button (the values and their meanings below).
#pragma once

#include <cstdint>

#include "gui/standard_controls.h"
#include "gui/text_edit.h"

namespace presets {

// The values a click reports: a plain click, and the special click of each kind of button.
inline constexpr float kPlainClickValue = 1.0f;
inline constexpr float kReversedLoadValue = 0.5f; // right click alone on a load button
inline constexpr float kClearDefaultValue = 0.5f; // Ctrl + double-click on a default button

// What a load button's click asks for: a record in the machine's byte order or byte-reversed.
enum class RecordOrder { Native, Reversed };
constexpr RecordOrder recordOrderOf(float loadButtonValue) {
    return loadButtonValue == kReversedLoadValue ? RecordOrder::Reversed : RecordOrder::Native;
}

// What a default button's click asks for: store the current state as the default, or clear it.
enum class DefaultAction { Store, Clear };
constexpr DefaultAction defaultActionOf(float defaultButtonValue) {
    // Anything short of a plain click clears.
    return defaultButtonValue < (kClearDefaultValue + kPlainClickValue) / 2 ? DefaultAction::Clear
                                                                            : DefaultAction::Store;
}

} // namespace presets

// Three frames: idle, hover, pressed. A left press tells the listener at once (kPlainClickValue); a
// button that needs a double-click ignores single clicks and reports kClearDefaultValue for a
// double-click with Ctrl.
// The release only returns the value to 0.
class CPSKickButton : public CKickButton {
public:
    CPSKickButton(const CRect& size, CControlListener* listener, std::int32_t tag, CCoord heightOfOneImage,
                  CBitmap* background, const CPoint& offset = CPoint(0, 0), bool needsDoubleClick = false);

    void draw(CDrawContext* context) override;
    CMouseEventResult onMouseDown(CPoint& where, const CButtonState& buttons) override;
    CMouseEventResult onMouseUp(CPoint& where, const CButtonState& buttons) override;
    CMouseEventResult onMouseEntered(CPoint& where, const CButtonState& buttons) override;
    CMouseEventResult onMouseExited(CPoint& where, const CButtonState& buttons) override;

    bool needsDoubleClick() const { return doubleClick; }
    bool isHovered() const { return hover; }
    bool isPressed() const { return pressed; }

private:
    bool hover = false;
    bool pressed = false;
    bool doubleClick;
};

// Three frames: idle, hover, pressed (shown while the value is not 0). A left or right press tells
// the listener with kReversedLoadValue when it is the right button alone, otherwise
// kPlainClickValue, and returns the value to
// 0 before it ends: the pressed frame shows only while the listener's action (a modal file
// dialog) runs.
class CSaveLoadButton : public CKickButton {
public:
    CSaveLoadButton(const CRect& size, CControlListener* listener, std::int32_t tag, CCoord heightOfOneImage,
                    CBitmap* background, const CPoint& offset = CPoint(0, 0));

    void draw(CDrawContext* context) override;
    CMouseEventResult onMouseDown(CPoint& where, const CButtonState& buttons) override;
    CMouseEventResult onMouseEntered(CPoint& where, const CButtonState& buttons) override;
    CMouseEventResult onMouseExited(CPoint& where, const CButtonState& buttons) override;

    bool isHovered() const { return hover; }

private:
    bool hover = false;
};

// Five frames: idle, hover left, hover right, pressed left, pressed right. A left press on the left
// half reports -1, on the right half (from the middle column on) +1; the release returns to 0
// without telling the listener.
class CPSRockerSwitch : public CRockerSwitch {
public:
    CPSRockerSwitch(const CRect& size, CControlListener* listener, std::int32_t tag, CCoord heightOfOneImage,
                    CBitmap* background, const CPoint& offset = CPoint(0, 0),
                    std::int32_t style = kHorizontal);

    void draw(CDrawContext* context) override;
    CMouseEventResult onMouseDown(CPoint& where, const CButtonState& buttons) override;
    CMouseEventResult onMouseUp(CPoint& where, const CButtonState& buttons) override;
    CMouseEventResult onMouseMoved(CPoint& where, const CButtonState& buttons) override;
    CMouseEventResult onMouseEntered(CPoint& where, const CButtonState& buttons) override;
    CMouseEventResult onMouseExited(CPoint& where, const CButtonState& buttons) override;

    // -1 over the left half, +1 over the right half, 0 when the pointer is elsewhere.
    int getHoverSide() const { return hoverSide; }

private:
    CCoord middle() const { return (size.left + size.right) / 2; }

    int hoverSide = 0;
};

// The preset name field: the toolkit's text edit under the strip's own class name.
class CPSTextEdit : public CTextEdit {
public:
    using CTextEdit::CTextEdit;
};
