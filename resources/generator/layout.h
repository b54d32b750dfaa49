// The window's layout as the artwork reads it, and the artwork's shared palette. The artwork is drawn
// to fit the editor's rectangles exactly.
#pragma once

#include "canvas.h"
#include "resources/window_layout.h"

namespace art {

using Rect = window_layout::Rect;

// The window's rectangles come from the one layout source the editor reads too.
namespace layout {
using namespace window_layout;
} // namespace layout

namespace palette {

constexpr Color kPanelTop = rgb(47, 50, 56), kPanelBottom = rgb(33, 35, 40);
constexpr Color kWell = rgb(16, 17, 20), kWellEdgeLight = rgb(74, 78, 86), kWellEdgeDark = rgb(8, 9, 10);
constexpr Color kLabel = rgb(168, 176, 187), kTitle = rgb(214, 220, 228), kDimLabel = rgb(112, 119, 130);
constexpr Color kAccent = rgb(255, 170, 48), kAccentDim = rgb(110, 74, 26);
constexpr Color kAlert = rgb(255, 72, 52), kAlertDim = rgb(110, 36, 28);
constexpr Color kLedGreen = rgb(64, 214, 96), kLedYellow = rgb(250, 206, 54), kLedRed = rgb(255, 62, 46);
constexpr Color kFieldPlate = rgb(20, 22, 25);
// Cell colours the bitmap-font printers fill before drawing opaque glyphs.
constexpr Color kCellPlain = rgb(223, 247, 255), kCellGrey = rgb(79, 79, 79), kCellOver = rgb(229, 53, 5);
// Preset-name field as the editor sets it up.
constexpr Color kNameBack = rgb(189, 207, 218), kNameFrame = rgb(36, 36, 32);

} // namespace palette

} // namespace art
