// Button, switch and lamp strips (139 … 146, 149, 160 … 166). Each frame is drawn over a copy of the
// background at the control's place, so the rounded corners blend with the panel.
#include <cmath>
#include <string>

#include "artwork.h"

namespace art {
namespace {

using namespace layout;
using namespace palette;

Image face(const Image& bg, const Fonts& fonts, const Rect& r, Look look, const std::string& text,
           float size = 9) {
    Image img = bg.crop(r.l, r.t, r.w(), r.h());
    drawButtonFace(img, fonts, 0, 0, r.w(), r.h(), look, text, size);
    return img;
}

Artwork strip(int number, std::vector<Image> frames) {
    int n = static_cast<int>(frames.size());
    return {number, "", stackFrames(frames), n};
}

// The mode button: "PEAK" above, the K scale below; the middle band takes no clicks.
Image modeFrame(const Image& bg, const Fonts& fonts, bool kSystem, int scaleStep, bool highlighted) {
    const Rect& r = kMode;
    Image img = bg.crop(r.l, r.t, r.w(), r.h());
    const char* scales[3] = {"K-12", "K-14", "K-20"};
    Look peakLook = highlighted ? Look::Highlight : kSystem ? Look::Off : Look::On;
    Look kLook = highlighted ? Look::Highlight : kSystem ? Look::On : Look::Off;
    drawButtonFace(img, fonts, 0, 0, r.w(), 19, peakLook, "PEAK");
    drawButtonFace(img, fonts, 0, r.h() - 19, r.w(), r.h(), kLook, highlighted ? "K-SYS" : scales[scaleStep],
                   highlighted ? 8 : 9);
    // Middle band: a rail joining the two halves with an arrow pointing at the active one.
    fillRect(img, r.w() / 2.0f - 1, 19, r.w() / 2.0f + 1, r.h() - 19, solid(rgb(12, 13, 15)));
    Color arrow = highlighted ? kAccent : rgb(150, 156, 166);
    float cx = r.w() / 2.0f, cy = r.h() / 2.0f;
    float dir = kSystem ? 1.0f : -1.0f;
    fillShape(
        img, 0, 20, r.w(), r.h() - 20,
        [=](float x, float y) {
            float ty = (y - cy) * dir; // 0 at the middle, growing towards the active half
            float halfWidth = (4.0f - ty) * 0.9f;
            return std::max({std::abs(x - cx) - halfWidth, -ty - 3.0f, ty - 4.0f});
        },
        solid(arrow));
    return img;
}

Image speedFrame(const Image& bg, int selected) {
    const Rect& r = kSpeed;
    Image img = bg.crop(r.l, r.t, r.w(), r.h());
    // A recessed track behind the three pads.
    fillRoundRect(img, 6, 10, r.w() - 6, 13, 1.5f, solid(rgb(0, 0, 0, 110)));
    for (int i = 0; i < 3; ++i) {
        const Rect& p = kSpeedPads[i];
        float x0 = p.l - r.l, y0 = p.t - r.t, x1 = p.r - r.l, y1 = p.b - r.t;
        bool on = i == selected;
        fillRoundRect(img, x0 + 0.5f, y0 + 1, x1 + 0.5f, y1 + 1, 4, solid(rgb(0, 0, 0, 90)));
        fillRoundRect(img, x0, y0, x1, y1, 4, solid(rgb(10, 11, 13)));
        fillRoundRect(img, x0 + 1, y0 + 1, x1 - 1, y1 - 1, 3,
                      vertical(y0, rgb(72, 76, 84), y1, rgb(44, 47, 53)));
        float cx = (x0 + x1) / 2, cy = (y0 + y1) / 2;
        if (on) fillCircle(img, cx, cy, 6, radial(cx, cy, 6, withAlpha(kAccent, 120), withAlpha(kAccent, 0)));
        fillCircle(img, cx, cy, 3.6f, solid(rgb(8, 8, 9)));
        fillCircle(img, cx, cy, 3,
                   on ? radial(cx - 0.8f, cy - 0.8f, 3.5f, rgb(255, 236, 190), kAccent)
                      : radial(cx - 0.8f, cy - 0.8f, 3.5f, rgb(70, 62, 50), rgb(36, 32, 28)));
    }
    return img;
}

Image powerFrame(const Image& bg, bool on) {
    const Rect& r = kPower;
    Image img = bg.crop(r.l, r.t, r.w(), r.h());
    float cx = r.w() / 2.0f, cy = r.h() / 2.0f;
    fillCircle(img, cx + 0.5f, cy + 1, 16.5f, solid(rgb(0, 0, 0, 100)));
    fillCircle(img, cx, cy, 16.5f, solid(rgb(10, 11, 13)));
    fillCircle(img, cx, cy, 15.5f, vertical(0, rgb(84, 88, 96), r.h(), rgb(38, 40, 45)));
    fillCircle(img, cx, cy, 12.5f, vertical(0, rgb(46, 49, 55), r.h(), rgb(64, 68, 75)));
    Color sym = on ? rgb(120, 236, 140) : rgb(120, 126, 136);
    if (on) fillCircle(img, cx, cy, 11, radial(cx, cy, 11, rgb(90, 230, 120, 70), rgb(90, 230, 120, 0)));
    const float pi = 3.14159265f;
    // The power symbol: an open ring and a bar through the gap.
    fillShape(
        img, 0, 0, r.w(), r.h(),
        [=](float x, float y) { return sdArc(x, y, cx, cy + 0.5f, 6.5f, 1.1f, pi * 0.22f, pi * 1.78f); },
        solid(sym));
    fillShape(
        img, 0, 0, r.w(), r.h(),
        [=](float x, float y) { return sdSegment(x, y, cx, cy - 8, cx, cy - 1, 1.1f); }, solid(sym));
    return img;
}

// The small square lamp button used for "AutoOut" and "PostMeter".
Image lampFrame(const Image& bg, const Rect& r, int state) {
    Image img = bg.crop(r.l, r.t, r.w(), r.h());
    float w = r.w(), h = r.h();
    fillRoundRect(img, 0.5f, 1, w + 0.5f, h + 0.5f, 3, solid(rgb(0, 0, 0, 90)));
    fillRoundRect(img, 0, 0, w, h, 3, solid(rgb(10, 11, 13)));
    Color top = state == 2 ? rgb(255, 214, 140) : rgb(70, 74, 82),
          bottom = state == 2 ? rgb(238, 160, 52) : rgb(45, 48, 54);
    fillRoundRect(img, 1, 1, w - 1, h - 1, 2, vertical(1, top, h - 1, bottom));
    fillRect(img, 2.5f, 1, w - 2.5f, 2, solid(rgb(255, 255, 255, 30)));
    float cx = w / 2, cy = h / 2;
    if (state == 1)
        fillCircle(img, cx, cy, 7, radial(cx, cy, 7, withAlpha(kAccent, 140), withAlpha(kAccent, 0)));
    fillCircle(img, cx, cy, 4.2f, solid(rgb(8, 8, 9)));
    Color lampIn = state == 0 ? rgb(70, 62, 50) : rgb(255, 240, 200),
          lampOut = state == 0 ? rgb(36, 32, 28) : kAccent;
    if (state == 2) lampIn = rgb(255, 255, 255), lampOut = rgb(255, 220, 150);
    fillCircle(img, cx, cy, 3.5f, radial(cx - 1, cy - 1, 4, lampIn, lampOut));
    return img;
}

} // namespace

void addButtonArt(std::vector<Artwork>& out, const Image& bg, const Fonts& f) {
    // Two-frame on/off buttons.
    out.push_back(strip(139, {face(bg, f, kOrder, Look::Off, "I"), face(bg, f, kOrder, Look::On, "II")}));
    out.push_back(
        strip(140, {face(bg, f, kOversample, Look::Off, "OFF"), face(bg, f, kOversample, Look::On, "ON")}));
    out.push_back(
        strip(162, {face(bg, f, kQuantize, Look::Off, "OFF"), face(bg, f, kQuantize, Look::On, "ON")}));
    out.push_back(strip(149, {powerFrame(bg, false), powerFrame(bg, true)}));

    // Metering preference buttons: off, on, highlighted (the store confirmation).
    out.push_back(strip(144, {face(bg, f, kZoom, Look::Off, "24dB"), face(bg, f, kZoom, Look::On, "12dB"),
                              face(bg, f, kZoom, Look::Highlight, "ZOOM")}));
    out.push_back(
        strip(160, {face(bg, f, kMeterOvs, Look::Off, "OFF"), face(bg, f, kMeterOvs, Look::On, "ON"),
                    face(bg, f, kMeterOvs, Look::Highlight, "TP")}));
    out.push_back(strip(164, {face(bg, f, kShow1, Look::Off, "1"), face(bg, f, kShow1, Look::On, "1"),
                              face(bg, f, kShow1, Look::Highlight, "1")}));
    out.push_back(strip(165, {face(bg, f, kShow2, Look::Off, "2"), face(bg, f, kShow2, Look::On, "2"),
                              face(bg, f, kShow2, Look::Highlight, "2")}));
    out.push_back(strip(166, {face(bg, f, kShowL, Look::Off, "L"), face(bg, f, kShowL, Look::On, "L"),
                              face(bg, f, kShowL, Look::Highlight, "L")}));
    out.push_back(
        strip(161, {lampFrame(bg, kAutoOut, 0), lampFrame(bg, kAutoOut, 1), lampFrame(bg, kAutoOut, 2)}));

    // Autoblack: off; on with quantizing on; on while quantizing is off (inactive).
    out.push_back(
        strip(163, {face(bg, f, kAutoblack, Look::Off, "OFF"), face(bg, f, kAutoblack, Look::On, "ON"),
                    face(bg, f, kAutoblack, Look::OnInactive, "ON")}));

    // Bits: the three word lengths inactive (quantizing off), then active.
    {
        const char* bits[3] = {"8", "16", "24"};
        std::vector<Image> frames;
        for (int i = 0; i < 3; ++i)
            frames.push_back(face(bg, f, kBits, Look::Inactive, bits[i]));
        for (int i = 0; i < 3; ++i)
            frames.push_back(face(bg, f, kBits, Look::On, bits[i]));
        out.push_back(strip(142, frames));
    }
    // Noise shaping: off, the three types inactive, the three types active.
    {
        const char* types[3] = {"A", "B", "C"};
        std::vector<Image> frames{face(bg, f, kNoiseShape, Look::Off, "OFF")};
        for (int i = 0; i < 3; ++i)
            frames.push_back(face(bg, f, kNoiseShape, Look::Inactive, std::string("TYPE ") + types[i], 8));
        for (int i = 0; i < 3; ++i)
            frames.push_back(face(bg, f, kNoiseShape, Look::On, std::string("TYPE ") + types[i], 8));
        out.push_back(strip(143, frames));
    }
    // Calibration: off, then left, right, l+r dark (blink phase) and lit.
    {
        const char* sides[3] = {"LEFT", "RIGHT", "L+R"};
        std::vector<Image> frames{face(bg, f, kCalibrate, Look::Off, "OFF")};
        for (int i = 0; i < 3; ++i)
            frames.push_back(face(bg, f, kCalibrate, Look::AlertDark, sides[i], 8));
        for (int i = 0; i < 3; ++i)
            frames.push_back(face(bg, f, kCalibrate, Look::AlertLit, sides[i], 8));
        out.push_back(strip(145, frames));
    }
    // Meter mode: peak look with each remembered scale, the three K scales, highlighted.
    {
        std::vector<Image> frames;
        for (int s = 0; s < 3; ++s)
            frames.push_back(modeFrame(bg, f, false, s, false));
        for (int s = 0; s < 3; ++s)
            frames.push_back(modeFrame(bg, f, true, s, false));
        frames.push_back(modeFrame(bg, f, true, 0, true));
        out.push_back(strip(141, frames));
    }
    out.push_back(strip(146, {speedFrame(bg, 0), speedFrame(bg, 1), speedFrame(bg, 2)}));
}

} // namespace art
