// The input and output level meters: vertical stereo bars drawn from prepared bitmap strips, as a peak
// meter with hold and fall (scale mode 0) or as a K-system RMS meter with a peak marker (scale modes 1,
// 2, 3 for K-12, K-14, K-20).
//
// Both meters are controls with the editor's meter tag: a left click tells the listener, which resets
// every meter. They are fed by the editor's idle and draw straight into the window's context; the
// ballistics run when they draw, on the tick counts of the feeds, so the picture depends only on what
// was fed and when.
//
// Geometry (bars 15 pixels wide, 360 pixels of travel at 6 pixels per dB; scale 27 x 367), as offsets
// from the control's top-left corner; with the editor's rectangles {147, 38, 207, 408} and
// {319, 38, 379, 406} these are the window pixels the artwork is drawn for:
//
//               left bar x     right bar x    scale x
//   CMeterIn    150 … 165      191 … 206      164 … 191     (left + 3, + 44, + 17)
//   CMeterOut   320 … 335      363 … 378      335 … 362     (left + 1, + 44, + 16)
//
// Vertically the scale covers y 38 … 405 and the bars run from y 402 (empty) up to y 42 (full).
#pragma once

#include <cstdint>

#include "gui/bitmap.h"
#include "gui/control.h"

namespace editor {

// The tag of every meter and read-out; a left click on one resets them all.
constexpr std::int32_t kMeterTag = 27;

// Scale modes of the level meters and peak read-outs.
enum ScaleMode : int {
    kScalePeak = 0,
    kScaleK12 = 1,
    kScaleK14 = 2,
    kScaleK20 = 3,
};

// The level every dB value of a meter starts from and returns to at a reset: below the display range.
constexpr float kLevelMeterFloorDb = -122.0f;

// Pixel height of a level on a bar: (dB + offset) x 6, rounded half up, within 0 … 360. Peak mode
// uses offset 48 (the bar shows -48 … +12 dBFS), the K modes offset 60 (-60 … 0 dBFS).
int levelMeterPixels(float db, float offset);

// Milliseconds between two feeds' tick counts, for the ballistics: the 32-bit difference (so the
// counter's wrap is harmless), counted as at most a minute. By then every held level has fallen out
// of the display, and the hold arithmetic stays far inside 32 bits however long the window slept.
std::int32_t meterElapsedMs(std::uint32_t later, std::uint32_t earlier);

} // namespace editor

// The shared behaviour of CMeterIn and CMeterOut; the two differ only in where the bars and the scale
// lie and in which scale bitmaps they are given.
class CMeterLevel : public CControl {
public:
    // Horizontal offsets from the control's left edge.
    struct Geometry {
        CCoord leftBar;
        CCoord rightBar;
        CCoord scale;
    };

    // Bitmaps in the order of the editor's control table: the window background (kept, not drawn),
    // the peak-mode unlit strip (155), the peak-mode lit strip (130), the K-20 scale, the K-14 scale,
    // the scale shared by peak mode and K-12, the K-mode lit strip (154), the K-mode unlit strip (129).
    // Each is retained for the meter's life; a null bitmap is simply not drawn.
    CMeterLevel(const CRect& size, CControlListener* listener, std::int32_t tag, CBitmap* background,
                CBitmap* peakUnlit, CBitmap* peakLit, CBitmap* scaleK20, CBitmap* scaleK14,
                CBitmap* scalePeakK12, CBitmap* kLit, CBitmap* kUnlit, const Geometry& geometry);
    ~CMeterLevel() override;

    // A new poll of the engine at tick count nowTicks, as linear amplitudes: the latest peak and RMS
    // of each channel. Peaks are kept in dBFS floored at -120 and capped at +20, RMS levels floored at
    // -120. Marks the meter for redraw.
    void feed(std::uint32_t nowTicks, float peakLeft, float peakRight, float rmsLeft, float rmsRight);
    // 0 peak, 1 K-12, 2 K-14, 3 K-20; any other number is taken as peak. Marks for redraw.
    void setScaleMode(int mode);
    int getScaleMode() const { return scaleMode; }
    // Every level (latest peak, RMS and held peak) back to -122 dB; the hold counters run on.
    void reset();

    // A left press tells the listener (the editor resets all meters) and is handled with no moves or
    // release wanted; other buttons are not handled.
    CMouseEventResult onMouseDown(CPoint& where, const CButtonState& buttons) override;
    void draw(CDrawContext* context) override;

    // --- State, for the editor's tests and tools.
    float getPeakDb(int channel) const { return peakDb[channel & 1]; }
    float getRmsDb(int channel) const { return rmsDb[channel & 1]; }
    float getHeldDb(int channel) const { return heldDb[channel & 1]; }
    std::int32_t getHoldMs(int channel) const { return holdMs[channel & 1]; }
    // The rectangles of one channel's bar travel and of the scale, in the control's coordinates.
    CRect barRect(int channel) const;
    CRect scaleRect() const;

private:
    void runBallistics();
    static void drawStrip(CBitmap* strip, CDrawContext* context, const CRect& rect, CCoord sourceRow);

    CBitmap* peakUnlit;
    CBitmap* peakLit;
    CBitmap* scaleK20;
    CBitmap* scaleK14;
    CBitmap* scalePeakK12;
    CBitmap* kLit;
    CBitmap* kUnlit;
    Geometry geometry;

    float peakDb[2];
    float rmsDb[2];
    float heldDb[2];
    std::int32_t holdMs[2] = {50, 50};
    std::uint32_t lastFeedTicks = 0;
    std::uint32_t lastDrawTicks = 0;
    int scaleMode = editor::kScalePeak;
};

// The input level meter.
//
//   CMeterIn(const CRect& size, CControlListener* listener, std::int32_t tag, CBitmap* background,
//            CBitmap* peakUnlit, CBitmap* peakLit, CBitmap* scaleK20, CBitmap* scaleK14,
//            CBitmap* scalePeakK12, CBitmap* kLit, CBitmap* kUnlit)
//
// The editor creates it with {147, 38, 207, 408}, tag 27 and bitmaps 128, 155, 130, 131, 132, 133,
// 154, 129 (in this order).
class CMeterIn : public CMeterLevel {
public:
    static constexpr Geometry kGeometry = {3, 44, 17};

    CMeterIn(const CRect& size, CControlListener* listener, std::int32_t tag, CBitmap* background,
             CBitmap* peakUnlit, CBitmap* peakLit, CBitmap* scaleK20, CBitmap* scaleK14,
             CBitmap* scalePeakK12, CBitmap* kLit, CBitmap* kUnlit)
        : CMeterLevel(size, listener, tag, background, peakUnlit, peakLit, scaleK20, scaleK14, scalePeakK12,
                      kLit, kUnlit, kGeometry) {}
};

// The output level meter.
//
//   CMeterOut(const CRect& size, CControlListener* listener, std::int32_t tag, CBitmap* background,
//             CBitmap* peakUnlit, CBitmap* peakLit, CBitmap* scaleK20, CBitmap* scaleK14,
//             CBitmap* scalePeakK12, CBitmap* kLit, CBitmap* kUnlit)
//
// The editor creates it with {319, 38, 379, 406}, tag 27 and bitmaps 128, 155, 130, 134, 135, 136,
// 154, 129 (in this order).
class CMeterOut : public CMeterLevel {
public:
    static constexpr Geometry kGeometry = {1, 44, 16};

    CMeterOut(const CRect& size, CControlListener* listener, std::int32_t tag, CBitmap* background,
              CBitmap* peakUnlit, CBitmap* peakLit, CBitmap* scaleK20, CBitmap* scaleK14,
              CBitmap* scalePeakK12, CBitmap* kLit, CBitmap* kUnlit)
        : CMeterLevel(size, listener, tag, background, peakUnlit, peakLit, scaleK20, scaleK14, scalePeakK12,
                      kLit, kUnlit, kGeometry) {}
};
