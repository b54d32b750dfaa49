// Knob film strips (147, 148, 150 … 153): 101 frames, the pointer sweeping 270° from 7:30 to 4:30.
// Only the pointer and the value arc move; the body and its light from above are the same in every
// frame.
#include <cmath>

#include "artwork.h"

namespace art {
namespace {

using namespace layout;
using namespace palette;

constexpr float kPi = 3.14159265358979f;
constexpr float kStart = -0.75f * kPi, kSweep = 1.5f * kPi;

Image knobFrame(const Image& body, float value) {
    Image img = body;
    const float w = img.width(), h = img.height();
    const float cx = w / 2, cy = h / 2;
    const float outer = std::min(w, h) / 2 - 1.0f;
    const float arcR = outer - 2.0f;
    const float angle = kStart + kSweep * value;
    // Value arc from the start of the sweep to the pointer.
    if (value > 0.0f) {
        fillShape(
            img, 0, 0, w, h, [=](float x, float y) { return sdArc(x, y, cx, cy, arcR, 1.2f, kStart, angle); },
            solid(kAccent));
    }
    // Pointer: a light line from near the centre to the cap's edge.
    const float capR = outer - 6.5f;
    const float s = std::sin(angle), c = -std::cos(angle);
    const float r0 = capR * 0.38f, r1 = capR - 1.5f;
    fillShape(
        img, 0, 0, w, h,
        [=](float x, float y) {
            return sdSegment(x, y, cx + s * r0, cy + c * r0, cx + s * r1, cy + c * r1, 1.6f);
        },
        solid(rgb(0, 0, 0, 120)));
    fillShape(
        img, 0, 0, w, h,
        [=](float x, float y) {
            return sdSegment(x, y, cx + s * r0, cy + c * r0, cx + s * r1, cy + c * r1, 1.0f);
        },
        solid(rgb(240, 242, 245)));
    return img;
}

Image knobBody(const Image& bg, const Rect& r) {
    Image img = bg.crop(r.l, r.t, r.w(), r.h());
    const float w = r.w(), h = r.h();
    const float cx = w / 2, cy = h / 2;
    const float outer = std::min(w, h) / 2 - 1.0f;
    const float arcR = outer - 2.0f;
    // The arc's unlit track and its end marks.
    fillShape(
        img, 0, 0, w, h,
        [=](float x, float y) { return sdArc(x, y, cx, cy, arcR, 1.2f, kStart, kStart + kSweep); },
        solid(rgb(12, 13, 15)));
    // Body: shadow, rim lit from above, cap slightly concave.
    const float bodyR = outer - 4.5f;
    fillCircle(img, cx + 0.3f, cy + 1.6f, bodyR + 0.6f, solid(rgb(0, 0, 0, 130)));
    fillCircle(img, cx, cy, bodyR, vertical(cy - bodyR, rgb(104, 109, 118), cy + bodyR, rgb(22, 23, 26)));
    const float capR = outer - 6.5f;
    fillCircle(img, cx, cy, capR, vertical(cy - capR, rgb(40, 42, 47), cy + capR, rgb(66, 70, 78)));
    // A soft sheen on the upper left of the cap.
    fillCircle(img, cx, cy, capR,
               radial(cx - capR * 0.35f, cy - capR * 0.45f, capR * 1.1f, rgb(255, 255, 255, 26),
                      rgb(255, 255, 255, 0)));
    return img;
}

Artwork knob(int number, const Image& bg, const Rect& r) {
    Image body = knobBody(bg, r);
    std::vector<Image> frames;
    for (int i = 0; i <= 100; ++i)
        frames.push_back(knobFrame(body, i / 100.0f));
    return {number, "", stackFrames(frames), 101};
}

} // namespace

void addKnobArt(std::vector<Artwork>& out, const Image& bg) {
    out.push_back(knob(147, bg, kLeveller));
    out.push_back(knob(148, bg, kLink));
    out.push_back(knob(150, bg, kDrive));
    out.push_back(knob(151, bg, kOutput));
    out.push_back(knob(152, bg, kTransient));
    out.push_back(knob(153, bg, kRelease));
}

} // namespace art
