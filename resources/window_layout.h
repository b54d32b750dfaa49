// Where everything sits in the editor's window (pixels, right and bottom exclusive): the controls'
// rectangles, which the editor gives its controls and the artwork generator draws their seats,
// faces and labels to fit, and the group plates that only the artwork shows. Plain data, so that
// both the plug-in and the generator, a program of the build machine, can read it.
#pragma once

namespace window_layout {

struct Rect {
    int l, t, r, b;
    constexpr int w() const { return r - l; }
    constexpr int h() const { return b - t; }
    constexpr float cx() const { return (l + r) / 2.0f; }
    constexpr float cy() const { return (t + b) / 2.0f; }
};

constexpr int kWidth = 524, kHeight = 462;

// Meters and read-outs.
constexpr Rect kMeterIn{147, 38, 207, 408}, kMeterOut{319, 38, 379, 406};
constexpr Rect kScaleIn{164, 38, 191, 405}, kScaleOut{335, 38, 362, 405};
constexpr int kBarTop = 42, kBarBottom = 402; // y of a full and of an empty bar
constexpr Rect kMeterGr{233, 39, 291, 192};
constexpr Rect kLcdIn{131, 415, 224, 426}, kLcdOut{303, 415, 396, 426}, kLcdGr{217, 199, 310, 210};

// Buttons and switches.
constexpr Rect kOrder{44, 40, 77, 59}, kOversample{81, 40, 114, 59};
constexpr Rect kMode{223, 305, 258, 361};
constexpr Rect kQuantize{412, 40, 445, 59}, kAutoblack{449, 40, 482, 59};
constexpr Rect kBits{412, 78, 445, 97}, kNoiseShape{449, 78, 482, 97};
constexpr Rect kCalibrate{269, 341, 302, 360}, kZoom{269, 265, 302, 284}, kMeterOvs{269, 307, 302, 326};
constexpr Rect kShow1{224, 265, 257, 284}, kShow2{224, 230, 257, 249}, kShowL{269, 230, 302, 249};
constexpr Rect kSpeed{38, 121, 128, 146};
constexpr Rect kPower{245, 400, 280, 435};
constexpr Rect kAutoOut{394, 368, 412, 392}, kPost{116, 368, 134, 392};
constexpr Rect kInfo{224, 370, 301, 401};
// Pads of the speed switch that take clicks (the switch tests them with inclusive bounds, one less at
// the right and bottom).
constexpr Rect kSpeedPads[3] = {{39, 123, 57, 141}, {72, 123, 90, 141}, {105, 123, 123, 141}};

// Knobs.
constexpr Rect kTransient{55, 169, 105, 217}, kRelease{56, 267, 105, 314};
constexpr Rect kLeveller{421, 169, 469, 216}, kLink{421, 267, 469, 314};
constexpr Rect kDrive{52, 349, 108, 404}, kOutput{417, 349, 475, 405};

// Value fields under the knobs.
constexpr Rect kFieldDrive{43, 409, 117, 427}, kFieldOutput{410, 409, 484, 427};
constexpr Rect kFieldTransient{45, 221, 119, 239}, kFieldRelease{45, 319, 119, 337};
constexpr Rect kFieldLeveller{411, 221, 485, 239}, kFieldLink{411, 319, 485, 337};

// Group plates behind related controls: detector, transient shape, requantizer, gain-reduction
// display, metering. Labels of a group's controls stay on its plate.
constexpr Rect kDetectorGroup{31, 26, 135, 64}, kShapeGroup{31, 92, 135, 151};
constexpr Rect kRequantizerGroup{399, 26, 495, 103};
constexpr Rect kReductionGroup{218, 215, 308, 290}, kMeteringGroup{218, 292, 308, 366};

// Info panel, drawn over the lower window when open.
constexpr Rect kInfoPanel{43, 294, 481, 430};

// Preset strip.
constexpr Rect kPresetName{194, 447, 318, 461}, kPresetMenu{320, 448, 333, 460}, kRocker{340, 447, 370, 460};
constexpr Rect kSaveBank{22, 447, 39, 462}, kDefaultBank{39, 447, 71, 460}, kLoadBank{72, 447, 89, 462};
constexpr Rect kSavePreset{104, 447, 121, 462}, kDefaultPreset{122, 447, 166, 460},
    kLoadPreset{166, 447, 183, 462};
constexpr Rect kStoreA{388, 447, 405, 462}, kRecallA{421, 447, 438, 462};
constexpr Rect kStoreB{452, 447, 469, 462}, kRecallB{486, 447, 503, 462};
constexpr int kPresetStripTop = 440;

} // namespace window_layout
