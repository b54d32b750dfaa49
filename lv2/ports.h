// The LV2 plug-in's ports as data: the stereo pair in and out, one control input for each parameter
// that means something outside the VST 2.4 record (in the unit its display text shows), the latency
// and the meters. The descriptor, the Turtle writer and the tests read this one table, so the
// description cannot drift from what the binary does.
#pragma once

#include <cstdint>

namespace lv2port {

enum class Direction : std::uint8_t { Input, Output };
enum class Kind : std::uint8_t { Audio, Control };

// How a control input's value in its unit becomes the core's normalized value.
enum class Mapping : std::uint8_t {
    OutputDecibels, // "Output", "Leveller": 20 log10 2^(2(x - 1)) dB
    DriveDecibels,  // 20 log10 2^(8(x - 0.5)) dB
    TransientAmount,
    ReleaseTime, // ms
    Percent,     // "L/R Link": 100 x
    Choice,      // choice index 0 .. n-1 (toggles: 0 off, 1 on)
    None,        // not a parameter
};

enum class Unit : std::uint8_t { None, Decibel, Millisecond, Percent };

struct PortInfo {
    const char* symbol;
    const char* name;
    Kind kind;
    Direction direction;
    int parameter; // the core's parameter index, or -1
    Mapping mapping;
    Unit unit;
    bool toggled;     // on/off
    bool automatable; // false: pprops:notAutomatic
};

// Port indices.
enum Port : std::uint32_t {
    kInLeft = 0,
    kInRight = 1,
    kOutLeft = 2,
    kOutRight = 3,
    kFirstControl = 4, // the 22 parameters in index order
    kLatency = kFirstControl + 22,
    kInPeakLeft,
    kInPeakRight,
    kOutPeakLeft,
    kOutPeakRight,
    kGainReductionLeft,
    kGainReductionRight,
    kInRmsLeft,
    kInRmsRight,
    kOutRmsLeft,
    kOutRmsRight,
    kNumPorts,
};

// Meter ports' range: peaks and RMS levels in dBFS, gain reduction in dB (0 for none).
inline constexpr float kPeakFloorDb = -90.0f;
inline constexpr float kPeakCeilingDb = 6.0f;
inline constexpr float kReductionRangeDb = 40.0f;

const PortInfo& port(std::uint32_t index);

// The control input of a parameter (0 .. 21).
constexpr std::uint32_t controlPortOf(int parameter) {
    return std::uint32_t(kFirstControl) + std::uint32_t(parameter);
}

// The core's normalized value for a control input's value; values outside the port's range (NaN
// included) give values outside 0..1, which the core limits as it does for any host.
float toNormalized(const PortInfo& port, float value);
// The port value that stands for a normalized value: for choices the choice's index, else the
// value the display text shows.
float toPortValue(const PortInfo& port, float normalized);
// The port's range and default, in its unit. The defaults are the edit buffer's factory values, the
// settings a new VST 2.4 instance starts with.
float minimum(const PortInfo& port);
float maximum(const PortInfo& port);
float defaultValue(const PortInfo& port);
// A choice port's number of choices; 0 for the others.
int choiceCount(const PortInfo& port);

// Meter values for the output ports: a linear level (peak or RMS) in dBFS (the floor for silence),
// and a linear gain as the reduction it stands for in dB, both within the ports' ranges.
float peakDecibels(float linear);
float reductionDecibels(float gain);
// The way back, for a user interface that hears of the ports: the floor is silence.
float linearOfDecibels(float db);
float gainOfReduction(float db);

} // namespace lv2port
