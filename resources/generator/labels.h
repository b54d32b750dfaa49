// The labels engraved on the background, as data over the window's layout. Labels that stand on a
// group plate are fitted to it: a plate's labels shrink together until each stays on the plate, keeps
// clear of its neighbours and stays centred on its control.
#pragma once

#include <string>
#include <vector>

#include "artwork.h"

namespace art {

// One label: its text over a control (or a span of controls) on a baseline.
struct LabelItem {
    const char* text;
    Rect over;
};

// Labels on one baseline, left to right; group is the plate they stand on, or null.
struct LabelRow {
    const Rect* group;
    int baseline;
    float size;
    Color color;
    std::vector<LabelItem> items;
};

// A label as drawn: centre, baseline and style.
struct PlacedLabel {
    std::string text;
    Rect over;
    const Rect* group;
    float cx;
    int baseline;
    TextStyle style;
};

// Fitting rules [px]: the smallest size a label may shrink to, the space kept to a plate's edge and
// between neighbours, and how far a label may move off its control's centre to make room.
inline constexpr float kSmallestLabel = 6.5f;
inline constexpr float kPlateMargin = 3, kLabelGap = 3, kLabelOffCentre = 2.5f;

const std::vector<LabelRow>& panelLabels();
// Every label of the background where it is drawn. Throws std::logic_error when a plate's labels
// cannot fit it at the smallest size.
std::vector<PlacedLabel> placeLabels(const Fonts& fonts, const std::vector<LabelRow>& rows);
// Engraved: a dark copy one pixel down, then the label.
void drawPlacedLabel(Image& img, const Fonts& fonts, const PlacedLabel& label);

} // namespace art
