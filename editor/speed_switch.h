// The "TransShape" switch: three positions "hard", "med" and "soft" side by side, each taking
// clicks on its own knob cap only.
#pragma once

#include <cstdint>

#include "gui/control.h"

// Three looks of the switch's height, one per position.
class CSpeedSwitch : public CControl {
public:
    CSpeedSwitch(const CRect& size, CControlListener* listener, std::int32_t tag, CBitmap* background);

    // The position a point in window pixels selects, or -1: y in 123..140 and x in 39..56 (0),
    // 72..89 (1) or 105..122 (2), edges included.
    static int positionAt(const CPoint& windowPoint);
    int frameIndex() const;

    void draw(CDrawContext* context) override;
    // A left click on a position sends its centre; elsewhere in the switch it is taken and ignored.
    CMouseEventResult onMouseDown(CPoint& where, const CButtonState& buttons) override;
};
