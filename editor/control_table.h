// The editor's controls as data: where each sits (the window layout the artwork is drawn to), what it
// drives, what it looks like and how it behaves, in the order the editor adds them to the frame,
// which is the order they are drawn and receive clicks.
#pragma once

#include <array>
#include <cstdint>
#include <span>

#include "resources/window_layout.h"

namespace editor {

enum class ControlKind {
    // The displays: every meter and read-out shares one tag (a click resets them all); the info
    // panel takes no listener.
    InputMeter,
    OutputMeter,
    GainReductionMeter,
    InputReadout,
    OutputReadout,
    GainReductionReadout,
    Info,
    // The controls, held by tag.
    Button,           // two-state parameter button
    PreferenceButton, // the same, whose right click stores the metering preferences
    OversampleButton,
    ModeButton, // "Scale" and "MeterType"
    BitsButton,
    NoiseShapeButton,
    AutoblackButton,
    CalibrateButton,
    SpeedSwitch,
    Knob,
    // The value fields under the knobs, by their knob's tag: under the level knobs (Drive, Output)
    // and under the others.
    LevelField,
    PlainField,
};

// What a change from a control does to the meters before its parameter changes.
enum class MeterReset { None, All, GainReduction, Input };

struct ControlRow {
    ControlKind kind;
    window_layout::Rect rect;
    std::int32_t tag;
    // Bitmap numbers in the order the control's constructor takes them (the frame's background
    // first where it takes one is not listed); 0 ends the list.
    std::array<std::int32_t, 7> bitmaps;
    std::int32_t alsoTag = -1; // a second parameter the control drives ("MeterType")
    int showBit = 0;           // the "AttShow" bit value a button stands for
    int frameHeight = 0;       // knob frames [px]
    float wheel = 0;           // knob wheel and arrow-key increment
    float defaultValue = 0;    // what a knob's control-click restores
    MeterReset reset = MeterReset::None;
};

// Every display, control and value field of the editor.
std::span<const ControlRow> controlTable();

// The control, not the value field, that drives a tag (a parameter or an editor tag), or null.
const ControlRow* controlSpec(std::int32_t tag);

bool isDisplay(ControlKind kind);
bool isValueField(ControlKind kind);

} // namespace editor
