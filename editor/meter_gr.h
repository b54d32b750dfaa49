// The gain-reduction meter: two bars hanging from the top, 6 pixels per dB over 24 dB, or 12 pixels per
// dB over about 12 dB when zoomed. The bars show the deepest reduction held for 50 ms of feed time,
// then return towards 0 dB at 30 dB per second.
//
//   CMeterGR(const CRect& size, CControlListener* listener, std::int32_t tag, CBitmap* bar,
//            CBitmap* scale)
//
// The editor creates it with {233, 39, 291, 192}, tag 27, bar bitmap 156 (15 x 203) and scale bitmap
// 167 (58 x 306: the normal scale above the zoomed one, each as tall as the control). Both bitmaps are
// retained for the meter's life. Geometry from the control's top-left corner: the left bar covers
// x + 1 … + 16, the right bar x + 42 … + 57, both growing down from y + 3 (window x 234 … 249 and
// 275 … 290 from y 42 with the editor's rectangle).
#pragma once

#include <cstdint>

#include "editor/meter_offscreen.h"
#include "gui/bitmap.h"
#include "gui/control.h"

namespace editor {

// Length in pixels of a gain-reduction bar for a held level (dB, 0 or below) at 6 or 12 pixels per
// dB: none above -0.1 dB, else 1 - trunc(held x f - 0.5), within 0 … 145.
int gainReductionPixels(float heldDb, bool zoomed);

} // namespace editor

class CMeterGR : public CControl {
public:
    CMeterGR(const CRect& size, CControlListener* listener, std::int32_t tag, CBitmap* bar, CBitmap* scale);
    ~CMeterGR() override;

    // A new poll at tick count nowTicks with the engine's gain factors (1.0 = no reduction): kept as
    // dB floored at -30 (a factor of 0, or anything not a number, is -30). Marks for redraw.
    void feed(std::uint32_t nowTicks, float gainLeft, float gainRight);
    // Zoomed when step(v, 2) is 1 ("AttZoom"'s normalized value). Marks for redraw.
    void setZoom(float v);
    bool isZoomed() const { return zoom; }
    // Both the latest and the held reduction back to 0 dB. Marks for redraw.
    void reset();

    // A left press tells the listener (the editor resets all meters) and is handled with no moves or
    // release wanted; other buttons are not handled.
    CMouseEventResult onMouseDown(CPoint& where, const CButtonState& buttons) override;
    // Composes scale and bars off screen, then copies the control's rectangle to the context.
    void draw(CDrawContext* context) override;

    // --- State, for the editor's tests and tools.
    float getGainReductionDb(int channel) const { return grDb[channel & 1]; }
    float getHeldDb(int channel) const { return heldDb[channel & 1]; }
    std::int32_t getHoldMs(int channel) const { return holdMs[channel & 1]; }
    // The rectangle a channel's bar starts from (its top edge) in the control's coordinates; a bar of
    // n pixels covers its top n rows.
    CRect barRect(int channel) const;

private:
    void runBallistics();

    CBitmap* bar;
    CBitmap* scale;
    editor::MeterOffscreen offscreen;
    std::uint32_t lastFeedTicks = 0;
    std::uint32_t lastDrawTicks = 0;
    float grDb[2] = {0.0f, 0.0f};
    float heldDb[2] = {0.0f, 0.0f};
    std::int32_t holdMs[2] = {10, 10};
    bool zoom = false;
};
