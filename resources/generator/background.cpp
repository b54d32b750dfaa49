// Bitmap 128: the editor's window background with every control's seat and label.
#include <cmath>
#include <cstdint>

#include "artwork.h"
#include "labels.h"

namespace art {
namespace {

using namespace layout;
using namespace palette;

// Brushed metal: each row a little lighter or darker, never varying along x, so that bitmaps shared by
// controls at the same height but different x sit seamlessly on it.
float rowGrain(int y) {
    std::uint32_t h = static_cast<std::uint32_t>(y) * 2654435761u;
    h ^= h >> 15;
    h *= 2246822519u;
    h ^= h >> 13;
    return ((h & 0xFFFF) / 65535.0f - 0.5f) * 2.6f;
}

void divider(Image& img, int x, int y0, int y1) {
    fillRect(img, x, y0, x + 1, y1, solid(rgb(0, 0, 0, 120)));
    fillRect(img, x + 1, y0, x + 2, y1, solid(rgb(255, 255, 255, 20)));
}

void knobSeat(Image& img, const Rect& r) {
    // A soft dark halo under the knob; the knob strip is drawn over a copy of this.
    float cx = r.cx(), cy = r.cy(), rad = std::min(r.w(), r.h()) / 2.0f;
    fillShape(
        img, r.l - 6, r.t - 6, r.r + 6, r.b + 6,
        [=](float x, float y) { return sdCircle(x, y, cx, cy + 1, rad + 1); }, solid(rgb(0, 0, 0, 60)));
}

// A group of controls on a slightly raised plate with an engraved edge.
void plate(Image& img, float x0, float y0, float x1, float y1) {
    fillRoundRect(img, x0, y0, x1, y1, 4, solid(rgb(0, 0, 0, 70)));
    fillRoundRect(img, x0 + 1, y0 + 1, x1, y1, 3.5f, solid(rgb(255, 255, 255, 16)));
    fillRoundRect(img, x0 + 1, y0 + 1, x1 - 1, y1 - 1, 3, vertical(y0, rgb(57, 61, 68), y1, rgb(45, 48, 54)));
}

void field(Image& img, const Rect& r) {
    drawWell(img, r, 2.5f, kFieldPlate);
}

void lcdHousing(Image& img, const Rect& r) {
    drawWell(img, {r.l - 2, r.t - 2, r.r + 2, r.b + 2}, 2, rgb(12, 13, 15));
}

} // namespace

Image drawBackground(const Fonts& fonts) {
    Image img(kWidth, kHeight);
    for (int y = 0; y < kHeight; ++y) {
        Color c = mix(kPanelTop, kPanelBottom, y / float(kHeight - 1));
        float g = rowGrain(y);
        c = {c.r + g, c.g + g, c.b + g, 255};
        for (int x = 0; x < kWidth; ++x)
            img.at(x, y) = c;
    }
    // Window edge: a dark outline with a lit inner line.
    strokeRoundRect(img, 0, 0, kWidth, kHeight, 0, 1, rgb(8, 9, 10));
    fillRect(img, 1, 1, kWidth - 1, 2, solid(rgb(255, 255, 255, 30)));

    // Header with the product name.
    fillRect(img, 1, 2, kWidth - 1, 22, vertical(2, rgb(30, 32, 36), 22, rgb(24, 26, 29)));
    fillRect(img, 1, 22, kWidth - 1, 23, solid(rgb(0, 0, 0, 160)));
    fillRect(img, 1, 23, kWidth - 1, 24, solid(rgb(255, 255, 255, 24)));
    fillRoundRect(img, 14, 7, 18, 17, 1, solid(kAccent));
    fonts.bold.draw(img, 24, 17, "ORVEL ZELMAR", {14, kTitle, 2.2f, Align::Left});
    fonts.regular.draw(img, 510, 16, "FULL BAND PRECISION LIMITER", {8.5f, kDimLabel, 1.3f, Align::Right});

    // Section dividers between the limiter controls, the meters and the requantizer.
    for (int x : {139, 213, 312, 388})
        divider(img, x, 30, 404);

    // Group plates: detector, transient shape, requantizer, gain-reduction display, metering.
    for (const Rect& r : {kDetectorGroup, kShapeGroup, kRequantizerGroup, kReductionGroup, kMeteringGroup})
        plate(img, r.l, r.t, r.r, r.b);

    // Meter wells.
    drawWell(img, {kMeterIn.l - 1, kMeterIn.t - 1, kMeterIn.r + 1, kMeterIn.b + 1}, 2);
    drawWell(img, {kMeterOut.l - 1, kMeterOut.t - 1, kMeterOut.r + 1, kMeterOut.b + 3}, 2);
    drawWell(img, {kMeterGr.l - 1, kMeterGr.t - 1, kMeterGr.r + 1, kMeterGr.b + 1}, 2);
    for (const Rect& r : {kLcdIn, kLcdOut, kLcdGr})
        lcdHousing(img, r);

    // Knob seats and value fields.
    for (const Rect& r : {kTransient, kRelease, kLeveller, kLink, kDrive, kOutput})
        knobSeat(img, r);
    for (const Rect& r :
         {kFieldDrive, kFieldOutput, kFieldTransient, kFieldRelease, kFieldLeveller, kFieldLink})
        field(img, r);

    // Labels above their controls.
    for (const PlacedLabel& label : placeLabels(fonts, panelLabels()))
        drawPlacedLabel(img, fonts, label);

    // The info spot: a small engraved plaque with the product mark.
    {
        const Rect& r = kInfo;
        fillRoundRect(img, r.l + 3, r.t + 3, r.r - 3, r.b - 3, 3, solid(rgb(0, 0, 0, 50)));
        strokeRoundRect(img, r.l + 3, r.t + 3, r.r - 3, r.b - 3, 3, 1, rgb(255, 255, 255, 26));
        fonts.bold.draw(img, r.cx() + 6, r.t + 19, "ZELMAR", {9, rgb(190, 196, 205), 1.6f, Align::Centre});
        fillCircle(img, r.l + 12, r.t + 15.5f, 5, solid(rgb(0, 0, 0, 0)));
        fillShape(
            img, r.l + 5, r.t + 9, r.l + 19, r.t + 23,
            [&](float x, float y) { return std::abs(sdCircle(x, y, r.l + 12, r.t + 15.5f, 5)) - 0.6f; },
            solid(kAccent));
        fillRect(img, r.l + 11.5f, r.t + 14, r.l + 12.5f, r.t + 19, solid(kAccent));
        fillRect(img, r.l + 11.5f, r.t + 12, r.l + 12.5f, r.t + 13, solid(kAccent));
    }

    // Preset strip along the bottom.
    {
        const int top = kPresetStripTop;
        fillRect(img, 1, top, kWidth - 1, kHeight - 1,
                 vertical(top, rgb(26, 28, 31), kHeight, rgb(20, 21, 24)));
        fillRect(img, 1, top, kWidth - 1, top + 1, solid(rgb(0, 0, 0, 170)));
        fillRect(img, 1, top + 1, kWidth - 1, top + 2, solid(rgb(255, 255, 255, 18)));
        // Name field, as the editor sets it up, and the menu's drop-down arrow.
        const Rect& n = kPresetName;
        fillRect(img, n.l, n.t, n.r, n.b, solid(kNameBack));
        strokeRoundRect(img, n.l, n.t, n.r, n.b, 0, 1, kNameFrame);
        const Rect& m = kPresetMenu;
        fillRoundRect(img, m.l, m.t, m.r, m.b, 2, vertical(m.t, rgb(64, 68, 76), m.b, rgb(42, 45, 50)));
        strokeRoundRect(img, m.l, m.t, m.r, m.b, 2, 1, rgb(10, 11, 13));
        fillShape(
            img, m.l, m.t, m.r, m.b,
            [&](float x, float y) {
                // Downward triangle.
                float cx = m.cx(), top = m.t + 4.5f, h = 4;
                float d1 = (y - (top + h));
                float d2 = std::abs(x - cx) * h / 4.0f - ((top + h) - y) * 1.0f;
                return std::max(std::max(top - y, d1), d2 * 0.7f);
            },
            solid(rgb(210, 216, 224)));
        // Memory letters between their store and recall buttons.
        drawLabel(img, fonts, (kStoreA.r + kRecallA.l) / 2.0f, 458, "A", kTitle, 9);
        drawLabel(img, fonts, (kStoreB.r + kRecallB.l) / 2.0f, 458, "B", kTitle, 9);
        // Engraved separators between the bank, preset, name and memory groups.
        for (int x : {96, 189, 379})
            divider(img, x, top + 6, kHeight - 4);
    }
    return img;
}

} // namespace art
