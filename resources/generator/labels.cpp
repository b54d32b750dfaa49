#include "labels.h"

#include <cmath>
#include <map>
#include <stdexcept>

namespace art {
namespace {

using namespace layout;
using namespace palette;

constexpr Rect span(const Rect& left, const Rect& right) {
    return {left.l, left.t, right.r, right.b};
}

TextStyle styleFor(float size, Color color, bool tracked) {
    return {size, color, tracked ? labelTracking(size) : 0.0f, Align::Centre};
}

// The row's labels centred on their controls, neighbours pushed apart evenly where they would come
// closer than the gap.
std::vector<PlacedLabel> centreRow(const Fonts& fonts, const LabelRow& row, const TextStyle& style) {
    std::vector<PlacedLabel> out;
    for (const LabelItem& item : row.items)
        out.push_back({item.text, item.over, row.group, item.over.cx(), row.baseline, style});
    if (!row.group) return out;
    for (std::size_t i = 0; i + 1 < out.size(); ++i) {
        PlacedLabel &a = out[i], &b = out[i + 1];
        const float overlap = (a.cx + fonts.condensed.width(a.text, style) / 2 + kLabelGap) -
                              (b.cx - fonts.condensed.width(b.text, style) / 2);
        if (overlap > 0) {
            a.cx -= overlap / 2;
            b.cx += overlap / 2;
        }
    }
    return out;
}

bool fitsPlate(const Fonts& fonts, const std::vector<PlacedLabel>& labels) {
    for (std::size_t i = 0; i < labels.size(); ++i) {
        const PlacedLabel& label = labels[i];
        const float half = fonts.condensed.width(label.text, label.style) / 2;
        if (std::abs(label.cx - label.over.cx()) > kLabelOffCentre) return false;
        if (label.cx - half < label.group->l + kPlateMargin) return false;
        if (label.cx + half > label.group->r - kPlateMargin) return false;
        const bool sameRow = i + 1 < labels.size() && labels[i + 1].baseline == label.baseline;
        if (sameRow &&
            label.cx + half + kLabelGap >
                labels[i + 1].cx - fonts.condensed.width(labels[i + 1].text, label.style) / 2 + 0.01f)
            return false;
    }
    return true;
}

// A plate's rows, all made smaller by the same amount, tracking given up before size, until they fit.
std::vector<PlacedLabel> fitPlate(const Fonts& fonts, const std::vector<const LabelRow*>& rows) {
    for (float smaller = 0;; smaller += 0.5f) {
        for (bool tracked : {true, false}) {
            std::vector<PlacedLabel> placed;
            for (const LabelRow* row : rows) {
                if (row->size - smaller < kSmallestLabel)
                    throw std::logic_error(std::string("labels do not fit their plate: ") +
                                           row->items[0].text);
                for (PlacedLabel& label :
                     centreRow(fonts, *row, styleFor(row->size - smaller, row->color, tracked)))
                    placed.push_back(label);
            }
            if (fitsPlate(fonts, placed)) return placed;
        }
    }
}

} // namespace

const std::vector<LabelRow>& panelLabels() {
    static const std::vector<LabelRow> rows = {
        {nullptr, 34, 8, kTitle, {{"INPUT", kMeterIn}, {"GAIN REDUCTION", kMeterGr}, {"OUTPUT", kMeterOut}}},
        {&kDetectorGroup, 34, 7.5f, kLabel, {{"ORDER", kOrder}, {"OVERSAMPLE", kOversample}}},
        {&kRequantizerGroup, 34, 7.5f, kLabel, {{"QUANTIZE", kQuantize}, {"AUTOBLACK", kAutoblack}}},
        {&kRequantizerGroup, 72, 7.5f, kLabel, {{"BITS", kBits}, {"NOISE SHAPE", kNoiseShape}}},
        {&kShapeGroup, 103, 8, kLabel, {{"TRANSIENT SHAPE", kSpeed}}},
        {&kShapeGroup,
         117,
         7,
         kDimLabel,
         {{"HARD", kSpeedPads[0]}, {"MED", kSpeedPads[1]}, {"SOFT", kSpeedPads[2]}}},
        {nullptr, 163, 8, kLabel, {{"TRANSIENT", kTransient}, {"LEVELLER", kLeveller}}},
        {nullptr, 261, 8, kLabel, {{"RELEASE", kRelease}, {"L/R LINK", kLink}}},
        {nullptr, 345, 7.5f, kLabel, {{"DRIVE", kDrive}, {"OUTPUT", kOutput}}},
        {nullptr, 363, 8, kLabel, {{"POST", kPost}, {"AUTO", kAutoOut}}},
        {&kReductionGroup, 224, 8, kLabel, {{"SHOW", span(kShow2, kShowL)}}},
        {&kReductionGroup, 260, 8, kLabel, {{"ZOOM", kZoom}}},
        {&kMeteringGroup, 301, 8, kLabel, {{"METER", kMode}, {"TRUE PEAK", kMeterOvs}}},
        {&kMeteringGroup, 336, 8, kLabel, {{"CALIBRATE", kCalibrate}}},
    };
    return rows;
}

std::vector<PlacedLabel> placeLabels(const Fonts& fonts, const std::vector<LabelRow>& rows) {
    std::vector<PlacedLabel> out;
    std::map<const Rect*, std::vector<const LabelRow*>> plates;
    for (const LabelRow& row : rows) {
        if (row.group)
            plates[row.group].push_back(&row);
        else
            for (PlacedLabel& label : centreRow(fonts, row, styleFor(row.size, row.color, true)))
                out.push_back(label);
    }
    for (const auto& [group, plateRows] : plates)
        for (PlacedLabel& label : fitPlate(fonts, plateRows))
            out.push_back(label);
    return out;
}

void drawPlacedLabel(Image& img, const Fonts& fonts, const PlacedLabel& label) {
    drawLabel(img, fonts, label.cx, label.baseline, label.text, label.style);
}

} // namespace art
