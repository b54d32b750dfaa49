// The labels on the group plates of the background, as the generator places them, measured by the
// ink they leave: each stays on its plate, clear of its neighbours and centred on its control.
#include <gtest/gtest.h>

#include <stdexcept>

#include "labels.h"

namespace {

using namespace art;

// Columns and rows that a label and its engraved shadow cover with visible ink.
struct Ink {
    int l = 1 << 20, t = 1 << 20, r = -1, b = -1;
    float cx() const { return (l + r + 1) / 2.0f; }
};

Ink inkOf(const Fonts& fonts, const PlacedLabel& label) {
    Image img(layout::kWidth, layout::kHeight);
    drawLabel(img, fonts, label.cx, label.baseline, label.text, label.style);
    Ink ink;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            if (img.at(x, y).a > 32) {
                ink.l = std::min(ink.l, x), ink.r = std::max(ink.r, x);
                ink.t = std::min(ink.t, y), ink.b = std::max(ink.b, y);
            }
    return ink;
}

class PanelLabels : public ::testing::Test {
protected:
    Fonts fonts{Font(ORVEL_FONT_REGULAR), Font(ORVEL_FONT_BOLD), Font(ORVEL_FONT_CONDENSED)};
};

TEST_F(PanelLabels, StayOnTheirPlateClearOfEachOtherAndCentredOnTheirControls) {
    std::vector<PlacedLabel> onPlates;
    for (const PlacedLabel& label : placeLabels(fonts, panelLabels()))
        if (label.group) onPlates.push_back(label);
    ASSERT_GE(onPlates.size(), 10u);
    for (std::size_t i = 0; i < onPlates.size(); ++i) {
        const PlacedLabel& label = onPlates[i];
        const Rect& plate = *label.group;
        const Ink ink = inkOf(fonts, label);
        ASSERT_GE(ink.r, 0) << label.text;
        // The plate's face lies one pixel inside its engraved edge.
        EXPECT_GE(ink.l, plate.l + 2) << label.text;
        EXPECT_LE(ink.r, plate.r - 3) << label.text;
        EXPECT_GE(ink.t, plate.t + 2) << label.text;
        EXPECT_LE(ink.b, plate.b - 3) << label.text;
        EXPECT_NEAR(ink.cx(), label.over.cx(), 3.0f) << label.text;
        for (std::size_t j = i + 1; j < onPlates.size(); ++j) {
            const PlacedLabel& other = onPlates[j];
            if (other.baseline != label.baseline || other.group != label.group) continue;
            const Ink otherInk = inkOf(fonts, other);
            const bool apart = otherInk.l - ink.r > 2 || ink.l - otherInk.r > 2;
            EXPECT_TRUE(apart) << label.text << " and " << other.text;
        }
    }
}

TEST_F(PanelLabels, ARowThatCannotFitItsPlateStopsTheGenerator) {
    const Rect plate{0, 0, 60, 30};
    const std::vector<LabelRow> rows = {
        {&plate, 20, 8, palette::kLabel, {{"OVERSAMPLE", {5, 22, 30, 28}}, {"AUTOBLACK", {30, 22, 55, 28}}}},
    };
    EXPECT_THROW(placeLabels(fonts, rows), std::logic_error);
}

} // namespace
