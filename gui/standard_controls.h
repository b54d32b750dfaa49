// The standard controls: on/off button, kick button, rocker switch, knob and film-strip knob.
// Their bitmaps hold the control's looks as frames stacked vertically.
#pragma once

#include <cstdint>

#include "gui/control.h"

// COnOffButton: when the listener is told, relative to the idle pump that shows the new look.
enum COnOffButtonStyle : std::int32_t {
    kPostListenerUpdate = 0, // after the pump
    kPreListenerUpdate = 1,  // before the pump
};

// Orientation of a rocker switch.
enum CRockerStyle : std::int32_t {
    kHorizontal = 1 << 0,
    kVertical = 1 << 1,
};

// How knobs follow the mouse (the host sets it for the whole process).
enum CKnobMode : std::int32_t {
    kCircularMode = 0,
    kRelativCircularMode = 1,
    kLinearMode = 2,
};

// Two frames: off above, on below. A left click toggles it (1.0 / 0.0) and is reported as handled
// with no moves or release wanted.
class COnOffButton : public CControl {
public:
    COnOffButton(const CRect& size, CControlListener* listener, std::int32_t tag, CBitmap* background,
                 std::int32_t style = kPostListenerUpdate);

    void draw(CDrawContext* context) override;
    CMouseEventResult onMouseDown(CPoint& where, const CButtonState& buttons) override;

    std::int32_t getStyle() const { return style; }
    void setStyle(std::int32_t value) { style = value; }

private:
    std::int32_t style;
};

// Two frames: released above, pressed below. The value is 1 while the button is held with the mouse
// over it; the release tells the listener 1 (if it was over it) and then 0.
class CKickButton : public CControl, public IMultiBitmapControl {
public:
    CKickButton(const CRect& size, CControlListener* listener, std::int32_t tag, CBitmap* background,
                const CPoint& offset = CPoint(0, 0));
    CKickButton(const CRect& size, CControlListener* listener, std::int32_t tag, CCoord heightOfOneImage,
                CBitmap* background, const CPoint& offset = CPoint(0, 0));

    void draw(CDrawContext* context) override;
    CMouseEventResult onMouseDown(CPoint& where, const CButtonState& buttons) override;
    CMouseEventResult onMouseMoved(CPoint& where, const CButtonState& buttons) override;
    CMouseEventResult onMouseUp(CPoint& where, const CButtonState& buttons) override;

protected:
    // The value for a pointer at this point during a press.
    float valueAt(const CPoint& where) const;

    float entryState = 0.0f;
};

// Three frames for the values -1, 0 and +1 from the top. While held, the first half of the switch
// (left or upper) gives -1 and the second half +1; the release returns it to 0.
class CRockerSwitch : public CControl, public IMultiBitmapControl {
public:
    CRockerSwitch(const CRect& size, CControlListener* listener, std::int32_t tag, CBitmap* background,
                  const CPoint& offset = CPoint(0, 0), std::int32_t style = kHorizontal);
    CRockerSwitch(const CRect& size, CControlListener* listener, std::int32_t tag, CCoord heightOfOneImage,
                  CBitmap* background, const CPoint& offset = CPoint(0, 0), std::int32_t style = kHorizontal);

    void draw(CDrawContext* context) override;
    CMouseEventResult onMouseDown(CPoint& where, const CButtonState& buttons) override;
    CMouseEventResult onMouseMoved(CPoint& where, const CButtonState& buttons) override;
    CMouseEventResult onMouseUp(CPoint& where, const CButtonState& buttons) override;

    std::int32_t getStyle() const { return style; }

protected:
    std::int32_t style;
    float entryState = 0.0f;
};

// A knob: a background with a handle (a bitmap, or a line from the centre). It is dragged
// linearly (right and up raise it) or follows the angle of the pointer, by the knob mode; a
// control-click restores its default; the wheel and the arrow keys step it by the wheel increment.
class CKnob : public CControl {
public:
    CKnob(const CRect& size, CControlListener* listener, std::int32_t tag, CBitmap* background,
          CBitmap* handle = nullptr, const CPoint& offset = CPoint(0, 0));
    ~CKnob() override;

    void draw(CDrawContext* context) override;
    CMouseEventResult onMouseDown(CPoint& where, const CButtonState& buttons) override;
    CMouseEventResult onMouseMoved(CPoint& where, const CButtonState& buttons) override;
    CMouseEventResult onMouseUp(CPoint& where, const CButtonState& buttons) override;
    bool onWheel(const CPoint& where, const float& distance, const CButtonState& buttons) override;
    std::int32_t onKeyDown(gui::KeyEvent& key) override;

    // Pixels of a full-range linear drag are multiplied by this while shift is held.
    void setZoomFactor(float factor) { zoomFactor = factor; }
    float getZoomFactor() const { return zoomFactor; }
    void setColorHandle(const CColor& color) { colorHandle = color; }
    // Angles in radians, counter-clockwise from the right: where the minimum sits, and how far
    // clockwise the maximum is from it.
    void setStartAngle(float angle) { startAngle = angle; }
    void setRangeAngle(float angle) { rangeAngle = angle; }

    static constexpr CCoord kLinearRange = 200; // pixels for the full range

protected:
    // Steps the value (wheel, keys), telling the listener inside an edit when it changed.
    void stepValue(float delta);
    float valueFromPoint(const CPoint& where) const;
    CPoint valueToPoint() const;
    std::int32_t knobMode() const;

    CBitmap* handle = nullptr;
    CColor colorHandle = kWhiteCColor;
    float zoomFactor = 10.0f;
    float startAngle = 3.92699082f; // lower left
    float rangeAngle = 4.71238898f; // three quarters of a turn
    CPoint firstPoint;
    CPoint lastPoint;
    float startValue = 0.0f;
    float range = float(kLinearRange);
    float coef = 0.0f;
    CButtonState oldButton = 0;
    bool modeLinear = false;
};

// A knob drawn from a film strip: subPixmaps frames of heightOfOneImage pixels, the first for the
// minimum and the last for the maximum.
class CAnimKnob : public CKnob, public IMultiBitmapControl {
public:
    // One frame per control height of the bitmap.
    CAnimKnob(const CRect& size, CControlListener* listener, std::int32_t tag, CBitmap* background,
              const CPoint& offset = CPoint(0, 0));
    CAnimKnob(const CRect& size, CControlListener* listener, std::int32_t tag, std::int32_t subPixmaps,
              CCoord heightOfOneImage, CBitmap* background, const CPoint& offset = CPoint(0, 0));

    void draw(CDrawContext* context) override;
};
