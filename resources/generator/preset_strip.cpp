// The preset strip's buttons: load / recall (990), save / store (991), default bank (992), default
// preset (993), each idle, hover and pressed, and the previous / next rocker (995, five frames).
#include <cmath>

#include "artwork.h"

namespace art {
namespace {

using namespace layout;
using namespace palette;

enum class State { Idle, Hover, Pressed };

struct FaceColors {
    Color top, bottom, ink;
};

FaceColors colorsOf(State s) {
    switch (s) {
    case State::Idle:
        return {rgb(60, 64, 71), rgb(40, 42, 47), rgb(176, 183, 193)};
    case State::Hover:
        return {rgb(84, 89, 98), rgb(56, 59, 66), rgb(250, 252, 255)};
    case State::Pressed:
        return {rgb(28, 30, 34), rgb(44, 46, 52), kAccent};
    }
    return {};
}

void smallFace(Image& img, float x0, float y0, float x1, float y1, State s) {
    FaceColors c = colorsOf(s);
    fillRoundRect(img, x0, y0, x1, y1, 2.5f, solid(rgb(8, 9, 10)));
    fillRoundRect(img, x0 + 1, y0 + 1, x1 - 1, y1 - 1, 1.5f, vertical(y0 + 1, c.top, y1 - 1, c.bottom));
    if (s != State::Pressed) fillRect(img, x0 + 2, y0 + 1, x1 - 2, y0 + 2, solid(rgb(255, 255, 255, 28)));
}

// Arrow with a tray: pointing down into it (save, store) or up out of it (load, recall).
Image trayButton(const Image& bg, const Rect& r, State s, bool down) {
    Image img = bg.crop(r.l, r.t, r.w(), r.h());
    const float w = r.w(), h = r.h();
    smallFace(img, 0, 0, w, h, s);
    Color ink = colorsOf(s).ink;
    float off = s == State::Pressed ? 0.5f : 0.0f;
    float cx = w / 2;
    // Tray.
    line(img, 4.5f, 9.5f + off, 4.5f, 11.5f + off, 1.2f, ink);
    line(img, w - 4.5f, 9.5f + off, w - 4.5f, 11.5f + off, 1.2f, ink);
    line(img, 4.5f, 11.5f + off, w - 4.5f, 11.5f + off, 1.2f, ink);
    // Arrow.
    float tip = down ? 9.0f : 2.5f, tail = down ? 2.5f : 9.0f, dir = down ? 1.0f : -1.0f;
    line(img, cx, tail + off, cx, tip - dir * 1.5f + off, 1.3f, ink);
    fillShape(
        img, 0, 0, w, h,
        [=](float x, float y) {
            float t = (tip - (y - off)) * dir; // 0 at the tip, growing back along the arrow
            return std::max({std::abs(x - cx) - t * 1.05f, -t, t - 3.6f});
        },
        solid(ink));
    return img;
}

Image textButton(const Image& bg, const Rect& r, State s, const char* text, const Fonts& fonts) {
    Image img = bg.crop(r.l, r.t, r.w(), r.h());
    smallFace(img, 0, 0, r.w(), r.h(), s);
    TextStyle style{7.5f, colorsOf(s).ink, 0.8f, Align::Centre};
    fonts.condensed.draw(img, r.w() / 2.0f + 0.5f, 10 + (s == State::Pressed ? 1 : 0), text, style);
    return img;
}

// Rocker: the left half steps back, the right half forward. side −1 / +1 marks the hovered or pressed
// half.
Image rocker(const Image& bg, int side, bool pressed) {
    const Rect& r = kRocker;
    Image img = bg.crop(r.l, r.t, r.w(), r.h());
    const float w = r.w(), h = r.h(), mid = w / 2;
    fillRoundRect(img, 0, 0, w, h, 2.5f, solid(rgb(8, 9, 10)));
    for (int half = -1; half <= 1; half += 2) {
        State s = half != side ? State::Idle : pressed ? State::Pressed : State::Hover;
        FaceColors c = colorsOf(s);
        float x0 = half < 0 ? 1 : mid + 0.5f, x1 = half < 0 ? mid - 0.5f : w - 1;
        fillRoundRect(img, x0, 1, x1, h - 1, 1.5f, vertical(1, c.top, h - 1, c.bottom));
        if (s != State::Pressed) fillRect(img, x0 + 1, 1, x1 - 1, 2, solid(rgb(255, 255, 255, 28)));
        float cx = (x0 + x1) / 2, cy = h / 2 + (s == State::Pressed ? 0.5f : 0.0f);
        float dir = half; // triangle points left for −1, right for +1
        fillShape(
            img, x0, 0, x1, h,
            [=](float x, float y) {
                float t = (x - cx) * dir + 2.5f; // 0 at the base, 5 at the tip
                return std::max({std::abs(y - cy) - (5.0f - t) * 0.75f, -t, t - 5.0f});
            },
            solid(c.ink));
    }
    return img;
}

Artwork triple(int number, std::vector<Image> frames) {
    return {number, "", stackFrames(frames), 3};
}

} // namespace

void addPresetStripArt(std::vector<Artwork>& out, const Image& bg, const Fonts& fonts) {
    const State states[3] = {State::Idle, State::Hover, State::Pressed};
    std::vector<Image> load, save, bank, preset;
    for (State s : states) {
        load.push_back(trayButton(bg, kLoadBank, s, false));
        save.push_back(trayButton(bg, kSaveBank, s, true));
        bank.push_back(textButton(bg, kDefaultBank, s, "BANK", fonts));
        preset.push_back(textButton(bg, kDefaultPreset, s, "PRESET", fonts));
    }
    out.push_back(triple(990, load));
    out.push_back(triple(991, save));
    out.push_back(triple(992, bank));
    out.push_back(triple(993, preset));
    out.push_back({995, "",
                   stackFrames({rocker(bg, 0, false), rocker(bg, -1, false), rocker(bg, 1, false),
                                rocker(bg, -1, true), rocker(bg, 1, true)}),
                   5});
}

} // namespace art
