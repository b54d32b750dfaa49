// The editor's film-strip knob. It replaces the toolkit knob's drawing, drag and wheel with its own
// and keeps the rest: the control-click to the default value and the arrow keys (the wheel
// increment per key, a tenth of it with shift).
#pragma once

#include <cstdint>

#include "gui/standard_controls.h"

// Drag: moving right or up raises the value, 400 px for the full range (1000 px while shift is
// held; pressing or releasing shift mid-drag continues from the current value). Wheel: 0.01 of the
// range per notch, 0.001 with shift. Edits reach the host as begin / end of an edit of the tag.
class CMyKnob : public CAnimKnob {
public:
    static constexpr std::int32_t kFrames = 101;
    static constexpr float kDragRange = 400.0f;      // full range of a drag [px]
    static constexpr float kFineDragRange = 1000.0f; // the same with shift [px]
    static constexpr float kWheelStep = 0.01f;       // per wheel notch
    static constexpr float kFineWheelStep = 0.001f;  // per notch with shift

    // strip: 101 frames of frameHeight pixels stacked vertically, the first for the minimum.
    CMyKnob(const CRect& size, CControlListener* listener, std::int32_t tag, CBitmap* strip,
            CCoord frameHeight);

    // The integer part of 100 x value, limited to the strip.
    int frameIndex() const;

    void draw(CDrawContext* context) override;
    CMouseEventResult onMouseDown(CPoint& where, const CButtonState& buttons) override;
    CMouseEventResult onMouseMoved(CPoint& where, const CButtonState& buttons) override;
    bool onWheel(const CPoint& where, const float& distance, const CButtonState& buttons) override;

    void beginEdit() override;
    void endEdit() override;

private:
    float coefFor(CButtonState buttons) const;
};
