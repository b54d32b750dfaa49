// Level-meter strips and scales (129 … 136, 154, 155) and the gain-reduction bar and scale (156, 167).
//
// Row mapping. The peak strips are read at strip row = window y + 6, so row 120 − 6·d is the top pixel
// of a bar that reaches d dBFS. The K strips are read at row = y + 30, y + 18 and y − 18 for K-12, K-14
// and K-20; in every K mode row 144 − 6·k is the top pixel of a bar at k dB on the K scale. One strip
// therefore serves all three K modes with fixed zones: green up to K 0, yellow to +4, red above. On the
// screen, level v of a scale sits at window y = base − 6·v with base 114 (peak and K-12), 126 (K-14) and
// 162 (K-20).
#include <cmath>
#include <cstdio>
#include <string>

#include "artwork.h"

namespace art {
namespace {

using namespace layout;
using namespace palette;

constexpr int kStripW = 15, kStripH = 432;

enum class Zone { Green, Yellow, Red };

Color zoneColor(Zone z) {
    switch (z) {
    case Zone::Green:
        return kLedGreen;
    case Zone::Yellow:
        return kLedYellow;
    case Zone::Red:
        return kLedRed;
    }
    return kLedGreen;
}

// Segments of three rows, the third one a dark seam. The phase is the same in every mode's row mapping
// (all shifts are multiples of six), so the segments stand still when the mode changes.
bool seamRow(int row) {
    return row % 3 == 2;
}

// Across the bar: brighter in the middle, like a lit tube.
float across(int x, int w) {
    float t = (x + 0.5f) / w * 2 - 1;
    return 1.0f - 0.28f * t * t;
}

template <typename ZoneOf> Image strip(ZoneOf zoneOf, bool lit) {
    Image img(kStripW, kStripH);
    for (int y = 0; y < kStripH; ++y)
        for (int x = 0; x < kStripW; ++x) {
            Color c = zoneColor(zoneOf(y));
            float k = across(x, kStripW);
            if (lit) {
                c = shade(c, k * (seamRow(y) ? 0.45f : 1.0f));
            } else {
                // Unlit: the zone colour as a faint tint over the dark well.
                c = mix(rgb(20, 22, 25), c, seamRow(y) ? 0.06f : 0.16f);
                c = shade(c, 0.85f + 0.15f * k);
            }
            img.at(x, y) = c;
        }
    return img;
}

Zone peakZone(int row) {
    return row < 120 ? Zone::Red : row < 192 ? Zone::Yellow : Zone::Green;
}
Zone kZone(int row) {
    return row < 120 ? Zone::Red : row < 144 ? Zone::Yellow : Zone::Green;
}

std::string dbText(int v) {
    char buf[16];
    std::snprintf(buf, sizeof buf, v > 0 ? "+%d" : "%d", v);
    return buf;
}

// A scale between the two bars of a meter. Labels are level values; `base` is the window y of 0.
Image scale(const Image& background, const Rect& at, const Fonts& fonts, int base,
            const std::vector<int>& labels, int lowest, int highest) {
    Image img = background.crop(at.l, at.t, at.w(), at.h());
    fillRect(img, 0, 0, at.w(), at.h(), solid(rgb(18, 19, 22)));
    const int w = at.w();
    for (int v = lowest; v <= highest; ++v) {
        int row = base - 6 * v - at.t; // the top pixel of a bar at level v
        if (row < 0 || row >= at.h()) continue;
        bool major = false;
        for (int l : labels)
            major = major || l == v;
        int len = major ? 4 : 2;
        Color c = major ? rgb(170, 178, 188) : rgb(96, 102, 112);
        fillRect(img, 1, row, 1 + len, row + 1, solid(c));
        fillRect(img, w - len, row, w, row + 1, solid(c));
    }
    for (int v : labels) {
        int row = base - 6 * v - at.t;
        const float cap = fonts.condensed.capHeight(8);
        int baseline = static_cast<int>(std::round(row + cap / 2 + 0.5f));
        Color c = v == 0 ? kAccent : rgb(196, 202, 212);
        fonts.condensed.draw(img, w / 2.0f + 0.5f, baseline, dbText(v), {8, c, 0, Align::Centre});
    }
    return img;
}

// Gain-reduction bar: one strip read from row 0 at window y 42 downwards; both zoom settings use it.
Color grColor(int row) {
    float t = std::min(1.0f, row / 150.0f);
    return mix(rgb(255, 196, 64), rgb(255, 112, 36), t);
}

Image grBar() {
    Image img(15, 203);
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < 15; ++x)
            img.at(x, y) = shade(grColor(y), across(x, 15) * (seamRow(y) ? 0.45f : 1.0f));
    return img;
}

Image grScaleFrame(const Image& background, const Fonts& fonts, bool zoomed) {
    const Rect& r = kMeterGr;
    Image img = background.crop(r.l, r.t, r.w(), r.h());
    fillRect(img, 0, 0, r.w(), r.h(), solid(rgb(18, 19, 22)));
    const int top = kBarTop - r.t; // row of window y 42
    // Unlit bar wells: rows of the lit bar's full length (145 rows).
    for (int bx : {234 - r.l, 275 - r.l})
        for (int y = top; y < top + 145; ++y)
            for (int x = 0; x < 15; ++x) {
                Color c = mix(rgb(20, 22, 25), grColor(y - top), seamRow(y - top) ? 0.05f : 0.14f);
                img.at(bx + x, y) = shade(c, 0.85f + 0.15f * across(x, 15));
            }
    // Ticks and labels in the middle column (x 16 … 41). A bar reaching d dB ends on row top + d·f.
    const int f = zoomed ? 12 : 6;
    const int maxDb = zoomed ? 12 : 24;
    const int mid0 = 249 - r.l, mid1 = 275 - r.l;
    for (int half = 0; half <= maxDb * 2; ++half) {
        if (!zoomed && half % 2) continue;
        float d = half / 2.0f;
        int row = top + static_cast<int>(std::lround(d * f));
        bool labelled = zoomed ? (half % 4 == 0) : (half % 6 == 0);
        bool whole = half % 2 == 0;
        int len = labelled ? 4 : whole ? 2 : 1;
        Color c = labelled ? rgb(170, 178, 188) : rgb(96, 102, 112);
        fillRect(img, mid0 + 1, row, mid0 + 1 + len, row + 1, solid(c));
        fillRect(img, mid1 - 1 - len, row, mid1 - 1, row + 1, solid(c));
        if (labelled) {
            const float cap = fonts.condensed.capHeight(8);
            int baseline = static_cast<int>(std::round(row + cap / 2 + 0.5f));
            fonts.condensed.draw(img, (mid0 + mid1) / 2.0f + 0.5f, baseline,
                                 std::to_string(static_cast<int>(d)),
                                 {8, d == 0 ? kAccent : rgb(196, 202, 212), 0, Align::Centre});
        }
    }
    return img;
}

} // namespace

void addMeterArt(std::vector<Artwork>& out, const Image& background, const Fonts& fonts) {
    out.push_back({129, "", strip(kZone, false), 1});
    out.push_back({130, "", strip(peakZone, true), 1});
    out.push_back({154, "", strip(kZone, true), 1});
    out.push_back({155, "", strip(peakZone, false), 1});

    const std::vector<int> k12 = {12, 8, 4, 0, -4, -8, -12, -16, -20, -24, -30, -36, -42};
    const std::vector<int> k14 = {12, 8, 4, 0, -4, -8, -12, -16, -20, -24, -30, -36, -42};
    const std::vector<int> k20 = {20, 16, 12, 8, 4, 0, -4, -8, -12, -16, -20, -24, -30, -36};
    const Rect* scales[2] = {&kScaleIn, &kScaleOut};
    for (int side = 0; side < 2; ++side) {
        const Rect& at = *scales[side];
        int first = side == 0 ? 131 : 134;
        out.push_back({first, "", scale(background, at, fonts, 162, k20, -40, 20), 1});
        out.push_back({first + 1, "", scale(background, at, fonts, 126, k14, -46, 14), 1});
        out.push_back({first + 2, "", scale(background, at, fonts, 114, k12, -48, 12), 1});
    }

    out.push_back({156, "", grBar(), 1});
    out.push_back(
        {167, "",
         stackFrames({grScaleFrame(background, fonts, false), grScaleFrame(background, fonts, true)}), 2});
}

} // namespace art
