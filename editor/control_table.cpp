#include "editor/control_table.h"

#include <bit>

#include "editor/editor.h"
#include "engine/parameters.h"

namespace editor {
namespace {

namespace layout = window_layout;
using Kind = ControlKind;

// Knob wheel increments (the arrow keys' step) and the values a control-click restores, as the
// exact floats the knobs have always used.
const float kWheelFine = 0.03125f;
const float kWheelLevel = std::bit_cast<float>(0x3D55555Cu);       // 0.0520834: 1/24 of the range
const float kWheelDrive = std::bit_cast<float>(0x3C55555Cu);       // 0.0130208: 1/96 of the range
const float kDefaultTransient = std::bit_cast<float>(0x3E4CCCCDu); // 0.2
const float kDefaultRelease = std::bit_cast<float>(0x3F394467u);   // 0.7237

ControlRow display(Kind kind, const layout::Rect& rect, std::array<std::int32_t, 7> bitmaps) {
    return {kind, rect, kTagMeters, bitmaps};
}

ControlRow control(Kind kind, const layout::Rect& rect, std::int32_t tag, std::int32_t bitmap,
                   MeterReset reset = MeterReset::None) {
    ControlRow row{kind, rect, tag, {bitmap}};
    row.reset = reset;
    return row;
}

ControlRow showButton(const layout::Rect& rect, std::int32_t tag, std::int32_t bitmap, int bit) {
    ControlRow row{Kind::PreferenceButton, rect, tag, {bitmap}};
    row.showBit = bit;
    return row;
}

ControlRow knob(const layout::Rect& rect, std::int32_t tag, std::int32_t bitmap, int frameHeight, float wheel,
                float defaultValue) {
    ControlRow row{Kind::Knob, rect, tag, {bitmap}};
    row.frameHeight = frameHeight;
    row.wheel = wheel;
    row.defaultValue = defaultValue;
    return row;
}

ControlRow field(Kind kind, const layout::Rect& rect, std::int32_t tag) {
    return {kind, rect, tag, {137}};
}

ControlRow modeButton() {
    ControlRow row{Kind::ModeButton, layout::kMode, engine::kScale, {141}};
    row.alsoTag = engine::kMeterType;
    return row;
}

const ControlRow kControls[] = {
    // Meters and read-outs.
    display(Kind::InputMeter, layout::kMeterIn, {155, 130, 131, 132, 133, 154, 129}),
    display(Kind::OutputMeter, layout::kMeterOut, {155, 130, 134, 135, 136, 154, 129}),
    display(Kind::GainReductionMeter, layout::kMeterGr, {156, 167}),
    display(Kind::InputReadout, layout::kLcdIn, {137, 138}),
    display(Kind::OutputReadout, layout::kLcdOut, {137, 138}),
    display(Kind::GainReductionReadout, layout::kLcdGr, {137}),
    // Buttons.
    control(Kind::Button, layout::kOrder, engine::kDetectorOrder, 139),
    control(Kind::OversampleButton, layout::kOversample, engine::kOversample, 140, MeterReset::All),
    modeButton(),
    control(Kind::Button, layout::kQuantize, engine::kQuantize, 162),
    control(Kind::AutoblackButton, layout::kAutoblack, engine::kAutoblack, 163),
    control(Kind::BitsButton, layout::kBits, engine::kBits, 142),
    control(Kind::NoiseShapeButton, layout::kNoiseShape, engine::kNoiseShape, 143),
    control(Kind::CalibrateButton, layout::kCalibrate, engine::kCalibrate, 145, MeterReset::All),
    control(Kind::PreferenceButton, layout::kZoom, engine::kAttZoom, 144, MeterReset::GainReduction),
    showButton(layout::kShow1, kTagAttShow1, 164, 1),
    showButton(layout::kShow2, kTagAttShow2, 165, 2),
    showButton(layout::kShowL, kTagAttShowL, 166, 4),
    // Knobs, the shape switch, power and the two small switches.
    knob(layout::kTransient, engine::kTransient, 152, 48, kWheelFine, kDefaultTransient),
    knob(layout::kRelease, engine::kRelease, 153, 47, kWheelFine, kDefaultRelease),
    knob(layout::kLeveller, engine::kLeveller, 147, 47, kWheelLevel, 1.0f),
    knob(layout::kLink, engine::kLink, 148, 47, kWheelFine, 1.0f),
    control(Kind::SpeedSwitch, layout::kSpeed, engine::kTransShape, 146),
    control(Kind::Button, layout::kPower, engine::kPower, 149),
    // The drive knob keeps the toolkit's default value, 0.5 (0 dB).
    knob(layout::kDrive, engine::kDrive, 150, 55, kWheelDrive, 0.5f),
    knob(layout::kOutput, engine::kOutput, 151, 56, kWheelLevel, 1.0f),
    control(Kind::Button, layout::kAutoOut, engine::kAutoOut, 161),
    control(Kind::PreferenceButton, layout::kPost, engine::kPostMeter, 161, MeterReset::Input),
    // The info panel: its glass and its font (the transparent glyph strip is the plain fields').
    {Kind::Info, layout::kInfo, -1, {157, 137}},
    // The value fields under the knobs.
    field(Kind::LevelField, layout::kFieldDrive, engine::kDrive),
    field(Kind::LevelField, layout::kFieldOutput, engine::kOutput),
    field(Kind::PlainField, layout::kFieldTransient, engine::kTransient),
    field(Kind::PlainField, layout::kFieldRelease, engine::kRelease),
    field(Kind::PlainField, layout::kFieldLeveller, engine::kLeveller),
    field(Kind::PlainField, layout::kFieldLink, engine::kLink),
    control(Kind::PreferenceButton, layout::kMeterOvs, engine::kMeterOvs, 160, MeterReset::All),
};

} // namespace

std::span<const ControlRow> controlTable() {
    return kControls;
}

const ControlRow* controlSpec(std::int32_t tag) {
    for (const ControlRow& row : kControls)
        if (!isDisplay(row.kind) && !isValueField(row.kind) && (row.tag == tag || row.alsoTag == tag))
            return &row;
    return nullptr;
}

bool isDisplay(ControlKind kind) {
    return kind <= ControlKind::Info;
}

bool isValueField(ControlKind kind) {
    return kind == ControlKind::LevelField || kind == ControlKind::PlainField;
}

} // namespace editor
