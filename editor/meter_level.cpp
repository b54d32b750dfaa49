#include "editor/meter_level.h"

#include <cmath>

namespace editor {

namespace {

constexpr int kTravel = 360;       // bar pixels from empty to full
constexpr CCoord kBarTop = 4;      // y of a full bar's top, from the control's top
constexpr CCoord kBarBottom = 364; // y below an empty bar
constexpr CCoord kBarWidth = 15;
constexpr CCoord kScaleWidth = 27;
constexpr CCoord kScaleHeight = 367;
// The strips hold 432 rows; in peak mode strip row 48 lies at the bar's top.
constexpr CCoord kPeakStripTop = 48;
constexpr int kPeakHoldMs = 50;
constexpr float kPeakFallDbPerMs = 8.66f / 1000.0f;
constexpr float kPeakOffsetDb = 48.0f;
constexpr float kKOffsetDb = 60.0f;
constexpr int kMarkerPixels = 3;

// Strip rows of the K modes: Z, the row shown at the bar's bottom (a bar of r pixels starts at row
// Z - r), and U, the row of the unlit strip at the bar's top. The strips carry the K-12 colours; K-14
// and K-20 show them 12 and 48 rows (2 and 8 dB) lower.
struct KStripRows {
    CCoord zero;
    CCoord unlitTop;
};
constexpr KStripRows kKRows[3] = {{432, 72}, {420, 60}, {384, 24}};

float amplitudeDb(float amplitude) {
    // Silence and anything that is not a number read as -120 dB.
    const double a = double(amplitude) > 1e-6 ? double(amplitude) : 1e-6;
    return float(20.0 * std::log10(a));
}

} // namespace

int levelMeterPixels(float db, float offset) {
    const float v = (db + offset) * 6.0f + 0.5f;
    if (!(v >= 0.0f)) return 0;
    if (v >= float(kTravel)) return kTravel;
    return int(v);
}

std::int32_t meterElapsedMs(std::uint32_t later, std::uint32_t earlier) {
    const std::uint32_t elapsed = later - earlier;
    return elapsed < 60000u ? std::int32_t(elapsed) : 60000;
}

} // namespace editor

using namespace editor;

CMeterLevel::CMeterLevel(const CRect& size, CControlListener* listener, std::int32_t tag, CBitmap* background,
                         CBitmap* peakUnlit, CBitmap* peakLit, CBitmap* scaleK20, CBitmap* scaleK14,
                         CBitmap* scalePeakK12, CBitmap* kLit, CBitmap* kUnlit, const Geometry& geometry)
    : CControl(size, listener, tag, background), peakUnlit(peakUnlit), peakLit(peakLit), scaleK20(scaleK20),
      scaleK14(scaleK14), scalePeakK12(scalePeakK12), kLit(kLit), kUnlit(kUnlit), geometry(geometry) {
    for (CBitmap* b : {peakUnlit, peakLit, scaleK20, scaleK14, scalePeakK12, kLit, kUnlit})
        if (b) b->remember();
    for (int c = 0; c < 2; ++c)
        peakDb[c] = rmsDb[c] = heldDb[c] = kLevelMeterFloorDb;
}

CMeterLevel::~CMeterLevel() {
    for (CBitmap* b : {peakUnlit, peakLit, scaleK20, scaleK14, scalePeakK12, kLit, kUnlit})
        if (b) b->forget();
}

void CMeterLevel::feed(std::uint32_t nowTicks, float peakLeft, float peakRight, float rmsLeft,
                       float rmsRight) {
    lastFeedTicks = nowTicks;
    const float peaks[2] = {peakLeft, peakRight};
    const float rms[2] = {rmsLeft, rmsRight};
    for (int c = 0; c < 2; ++c) {
        const float db = amplitudeDb(peaks[c]);
        peakDb[c] = db > 20.0f ? 20.0f : db;
        rmsDb[c] = amplitudeDb(rms[c]);
    }
    setDirty();
}

void CMeterLevel::setScaleMode(int mode) {
    scaleMode = mode >= kScalePeak && mode <= kScaleK20 ? mode : kScalePeak;
    setDirty();
}

void CMeterLevel::reset() {
    for (int c = 0; c < 2; ++c)
        peakDb[c] = rmsDb[c] = heldDb[c] = kLevelMeterFloorDb;
    setDirty();
}

CMouseEventResult CMeterLevel::onMouseDown(CPoint&, const CButtonState& buttons) {
    if (!(buttons & kLButton)) return kMouseEventNotHandled;
    if (listener) listener->controlChanged(this);
    setDirty();
    return kMouseDownEventHandledButDontNeedMovedOrUpEvents;
}

CRect CMeterLevel::barRect(int channel) const {
    const CCoord x = size.left + (channel ? geometry.rightBar : geometry.leftBar);
    return CRect(x, size.top + kBarTop, x + kBarWidth, size.top + kBarBottom);
}

CRect CMeterLevel::scaleRect() const {
    const CCoord x = size.left + geometry.scale;
    return CRect(x, size.top, x + kScaleWidth, size.top + kScaleHeight);
}

void CMeterLevel::runBallistics() {
    const std::int32_t elapsed = meterElapsedMs(lastFeedTicks, lastDrawTicks);
    lastDrawTicks = lastFeedTicks;
    for (int c = 0; c < 2; ++c) {
        holdMs[c] -= elapsed;
        if (holdMs[c] < 1) {
            // The time beyond the hold, as a negative count, lowers the held peak.
            heldDb[c] += float(holdMs[c]) * kPeakFallDbPerMs;
            holdMs[c] = 0;
        }
        if (peakDb[c] > heldDb[c]) {
            heldDb[c] = peakDb[c];
            holdMs[c] = kPeakHoldMs;
        }
    }
}

void CMeterLevel::drawStrip(CBitmap* strip, CDrawContext* context, const CRect& rect, CCoord sourceRow) {
    if (strip && !rect.isEmpty()) strip->draw(context, rect, CPoint(0, sourceRow));
}

void CMeterLevel::draw(CDrawContext* context) {
    runBallistics();

    const CRect scale = scaleRect();
    const CRect bars[2] = {barRect(0), barRect(1)};
    // The bar rectangle from height h up to the top, and from the bottom up to height h.
    auto above = [](const CRect& bar, int h) { return CRect(bar.left, bar.top, bar.right, bar.bottom - h); };
    auto below = [](const CRect& bar, int h) {
        return CRect(bar.left, bar.bottom - h, bar.right, bar.bottom);
    };

    if (scaleMode == kScalePeak) {
        drawStrip(scalePeakK12, context, scale, 0);
        for (int c = 0; c < 2; ++c) {
            const int h = levelMeterPixels(heldDb[c], kPeakOffsetDb);
            drawStrip(peakLit, context, below(bars[c], h), kPeakStripTop + kTravel - h);
            drawStrip(peakUnlit, context, above(bars[c], h), kPeakStripTop);
        }
    } else {
        CBitmap* scales[3] = {scalePeakK12, scaleK14, scaleK20};
        const KStripRows rows = kKRows[scaleMode - 1];
        drawStrip(scales[scaleMode - 1], context, scale, 0);
        int r[2];
        for (int c = 0; c < 2; ++c) {
            r[c] = levelMeterPixels(rmsDb[c], kKOffsetDb);
            drawStrip(kLit, context, below(bars[c], r[c]), rows.zero - r[c]);
        }
        for (int c = 0; c < 2; ++c)
            drawStrip(kUnlit, context, above(bars[c], r[c]), rows.unlitTop);
        for (int c = 0; c < 2; ++c) {
            const int p = levelMeterPixels(heldDb[c], kKOffsetDb);
            if (p < kMarkerPixels) continue;
            const CRect& bar = bars[c];
            const CRect marker(bar.left, bar.bottom - p, bar.right, bar.bottom - p + kMarkerPixels);
            drawStrip(kLit, context, marker, rows.zero - p);
        }
    }
    setDirty(false);
}
