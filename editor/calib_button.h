// The "Calibrate" button: steps off -> left -> l+r uncor -> right -> off, and blinks while the
// calibration noise is on. The blinking runs on the editor's meter refresh ticks: lit for 256 ms
// from the last refresh before a click, dark for 256 ms, and so on.
#pragma once

#include <cstdint>

#include "gui/control.h"

// Seven looks of 19 px: off, then left, right, l+r dark, then the same three lit.
class CCalibButton : public CControl {
public:
    static constexpr CCoord kFrameHeight = 19;

    CCalibButton(const CRect& size, CControlListener* listener, std::int32_t tag, CBitmap* background);

    // The editor's meter refresh: remembers the time and, while calibrating, marks for redraw.
    void tick(std::uint32_t nowTicks);
    int frameIndex() const;

    void draw(CDrawContext* context) override;
    CMouseEventResult onMouseDown(CPoint& where, const CButtonState& buttons) override;

private:
    int state() const; // 0 off, 1 left, 2 l+r uncor, 3 right

    std::uint32_t lastTicks = 0;
    std::uint32_t clickTicks = 0;
};
