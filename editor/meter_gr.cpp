#include "editor/meter_gr.h"

#include <cmath>

#include "editor/meter_level.h"
#include "engine/parameters.h"

namespace editor {

namespace {

constexpr CCoord kBarTop = 3;
constexpr CCoord kLeftBar = 1;
constexpr CCoord kRightBar = 42;
constexpr CCoord kBarWidth = 15;
constexpr int kMaxBarPixels = 145;
constexpr float kFloorDb = -30.0f;
constexpr int kHoldMs = 50;
constexpr float kReturnDbPerMs = 30.0f / 1000.0f;

} // namespace

int gainReductionPixels(float heldDb, bool zoomed) {
    if (!(heldDb <= -0.1f)) return 0;
    const float f = zoomed ? 12.0f : 6.0f;
    const float v = heldDb * f - 0.5f;
    // Deeper than the travel: a full bar (and no float-to-int conversion out of range).
    if (v <= -float(kMaxBarPixels)) return kMaxBarPixels;
    const int n = 1 - int(v);
    return n < kMaxBarPixels ? n : kMaxBarPixels;
}

} // namespace editor

using namespace editor;

CMeterGR::CMeterGR(const CRect& size, CControlListener* listener, std::int32_t tag, CBitmap* bar,
                   CBitmap* scale)
    : CControl(size, listener, tag), bar(bar), scale(scale) {
    if (bar) bar->remember();
    if (scale) scale->remember();
}

CMeterGR::~CMeterGR() {
    if (bar) bar->forget();
    if (scale) scale->forget();
}

void CMeterGR::feed(std::uint32_t nowTicks, float gainLeft, float gainRight) {
    lastFeedTicks = nowTicks;
    const float gains[2] = {gainLeft, gainRight};
    for (int c = 0; c < 2; ++c) {
        const float db = float(20.0 * std::log10(double(gains[c])));
        grDb[c] = db >= kFloorDb ? db : kFloorDb;
    }
    setDirty();
}

void CMeterGR::setZoom(float v) {
    zoom = engine::step(v, 2) != 0;
    setDirty();
}

void CMeterGR::reset() {
    for (int c = 0; c < 2; ++c)
        grDb[c] = heldDb[c] = 0.0f;
    setDirty();
}

CMouseEventResult CMeterGR::onMouseDown(CPoint&, const CButtonState& buttons) {
    if (!(buttons & kLButton)) return kMouseEventNotHandled;
    if (listener) listener->controlChanged(this);
    setDirty();
    return kMouseDownEventHandledButDontNeedMovedOrUpEvents;
}

CRect CMeterGR::barRect(int channel) const {
    const CCoord x = size.left + (channel ? kRightBar : kLeftBar);
    const CCoord y = size.top + kBarTop;
    return CRect(x, y, x + kBarWidth, y + kMaxBarPixels);
}

void CMeterGR::runBallistics() {
    const std::int32_t elapsed = meterElapsedMs(lastFeedTicks, lastDrawTicks);
    lastDrawTicks = lastFeedTicks;
    for (int c = 0; c < 2; ++c) {
        holdMs[c] -= elapsed;
        if (holdMs[c] < 1) {
            // The time beyond the hold, as a negative count, brings the held reduction back up.
            heldDb[c] -= float(holdMs[c]) * kReturnDbPerMs;
            holdMs[c] = 0;
        }
        if (grDb[c] < heldDb[c]) {
            heldDb[c] = grDb[c];
            holdMs[c] = kHoldMs;
        }
    }
}

void CMeterGR::draw(CDrawContext* context) {
    COffscreenContext* surface = offscreen.get(*this);
    if (scale) scale->draw(surface, size, CPoint(0, zoom ? size.getHeight() : 0));
    runBallistics();
    for (int c = 0; c < 2; ++c) {
        const int n = gainReductionPixels(heldDb[c], zoom);
        CRect r = barRect(c);
        r.bottom = r.top + n;
        if (bar && n > 0) bar->draw(surface, r, CPoint(0, 0));
    }
    offscreen.show(*this, context);
    setDirty(false);
}
