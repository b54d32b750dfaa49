// The parameter set: one table of the 26 host parameters (name, label, kind of display, choice texts,
// default), the two rules that turn normalized values into choices and back, the mappings from
// normalized values to engine values, and the two number formats of the display texts. The
// dispatcher, the preset slots and the editor all read this one table.
#pragma once

#include <cstdint>

namespace engine {

constexpr int kNumParameters = 26;

enum Param : int {
    kOutput = 0,
    kDrive = 1,
    kTransient = 2,
    kRelease = 3,
    kTransShape = 4,
    kLink = 5,
    kOversample = 6,
    kDetectorOrder = 7,
    kPower = 8,
    kScale = 9,
    kBits = 10,
    kNoiseShape = 11,
    kCalibrate = 12,
    kLeveller = 13,
    kMeterOvs = 14,
    kAutoOut = 15,
    kQuantize = 16,
    kAutoblack = 17,
    kMeterType = 18,
    kAttZoom = 19,
    kAttShow = 20,
    kPostMeter = 21,
    kDummy1 = 22,
    kDummy2 = 23,
    kDummy3 = 24,
    kResvdVid = 25,
};

// Parameters 0..21 keep their value; 22..24 are placeholders and 25 marks the preset layout.
constexpr int kNumLiveParameters = 22;

// What index 25 always answers: presets read back through getParameter are of the current layout.
constexpr float kCurrentLayoutMarker = 0.015f;

// The choice that normalized value x selects among n choices. Single precision throughout: the
// product n * x is a float, truncated toward zero; x = 1.0 gives the last choice. There is no lower
// clamp (a NaN product counts as choice 0, and products beyond the int range stay defined).
constexpr int step(float x, int n) {
    const float product = float(n) * x;
    if (product != product) return 0;
    if (product >= float(n)) return n - 1;
    if (product <= -2147483648.0f) return -2147483647 - 1;
    return int(product);
}

// The normalized value that stands for choice k of n: the middle of the choice's interval, as the
// float sum k/n + 0.5/n (so centre(2, 3) is 0.833333373, not the nearest float to 5/6).
constexpr float centre(int k, int n) {
    return float(k) / float(n) + 0.5f / float(n);
}

// x limited to 0..1 with NaN as 0: engine values and choices are derived from this, so that no
// choice can index outside its table, whatever a host or a stored preference sends.
constexpr float clampNormalized(float x) {
    return x > 0.0f ? (x < 1.0f ? x : 1.0f) : 0.0f;
}

enum class ParamKind : std::uint8_t {
    Decibels, // a gain shown in dB
    Number,   // a time or amount shown in the 8-character number format
    Choice,   // one of `choices` texts
    BitMask,  // "AttShow": the characters of the set bits
    Unused,   // "dummy": no value kept, no text
    Layout,   // "resvd-vid": marks the preset layout, runs the legacy conversion
};

struct ParameterInfo {
    const char* name;  // at most 13 characters
    const char* label; // "dB", "ms" or empty
    ParamKind kind;
    int choices;          // number of choices for Choice and BitMask, else 0
    const char* texts[4]; // choice texts in choice order (Choice only)
    float defaultValue;   // the constructor's normalized default
};

inline constexpr ParameterInfo kParameters[kNumParameters] = {
    {"Output", "dB", ParamKind::Decibels, 0, {}, 0.5f},
    {"Drive", "dB", ParamKind::Decibels, 0, {}, 0.5f},
    {"Transient", "ms", ParamKind::Number, 0, {}, 0.5f},
    {"Release", "ms", ParamKind::Number, 0, {}, 0.61f},
    {"TransShape", "", ParamKind::Choice, 3, {"hard", "med", "soft"}, centre(2, 3)},
    {"L/R Link", "", ParamKind::Number, 0, {}, 1.0f},
    {"Oversample", "", ParamKind::Choice, 2, {"off", "on"}, centre(0, 2)},
    {"DetectorOrder", "", ParamKind::Choice, 2, {"I", "II"}, centre(0, 2)},
    {"Power", "", ParamKind::Choice, 2, {"off", "on"}, 1.0f},
    {"Scale", "", ParamKind::Choice, 3, {"K-12", "K-14", "K-20"}, centre(1, 3)},
    {"Bits", "", ParamKind::Choice, 3, {"8", "16", "24"}, centre(1, 3)},
    {"NoiseShape", "", ParamKind::Choice, 4, {"off", "type A", "type B", "type C"}, centre(0, 4)},
    {"Calibrate", "", ParamKind::Choice, 4, {"off", "left", "l+r uncor", "right"}, centre(0, 4)},
    {"Leveller", "dB", ParamKind::Decibels, 0, {}, 0.5f},
    {"MeterOvs", "", ParamKind::Choice, 2, {"off", "on"}, centre(0, 2)},
    {"AutoOut", "", ParamKind::Choice, 2, {"off", "on"}, centre(0, 2)},
    {"Quantize", "", ParamKind::Choice, 2, {"off", "on"}, centre(0, 2)},
    {"Autoblack", "", ParamKind::Choice, 2, {"off", "on"}, centre(0, 2)},
    {"MeterType", "", ParamKind::Choice, 2, {"peak", "k-system"}, centre(0, 2)},
    {"AttZoom", "", ParamKind::Choice, 2, {"24dB", "12dB"}, centre(0, 2)},
    {"AttShow", "", ParamKind::BitMask, 8, {}, centre(7, 8)},
    {"PostMeter", "", ParamKind::Choice, 2, {"pre", "post"}, centre(0, 2)},
    {"dummy", "", ParamKind::Unused, 0, {}, 0.0f},
    {"dummy", "", ParamKind::Unused, 0, {}, 0.0f},
    {"dummy", "", ParamKind::Unused, 0, {}, 0.0f},
    {"resvd-vid", "", ParamKind::Layout, 0, {}, kCurrentLayoutMarker},
};

// A value the legacy conversion sets.
struct ParameterChange {
    int index;
    float value;
};
constexpr int kLegacyLayoutChanges = 8;

// Values stored in the older layout ("Bits" as off/8/16/24, "Scale" as peak/K-12/K-14/K-20), turned
// into the current one: the changes to make, in order, given the stored "Bits" and "Scale".
void legacyLayoutChanges(float storedBits, float storedScale,
                         ParameterChange (&changes)[kLegacyLayoutChanges]);

// The table row of index, or null outside 0..25.
const ParameterInfo* parameterInfo(int index);

// Engine values from normalized values (x already clamped to 0..1), in double precision.
double outputGainFor(double x);      // "Output" and "Leveller": 2^(2(x - 1)), 0.25 .. 1
double driveGainFor(double x);       // 2^(8(x - 0.5)), 1/16 .. 16
double transientAmountFor(double x); // (x * 1.4142136)^2 * 0.25, 0 .. 0.5
double releaseTimeFor(double x);     // 10^(3 x^0.82030212) ms, 1 .. 1000

// "AttShow" bits: 1 the follower part, 2 the envelope part, 4 the leveller.
constexpr int kAttShowFollowers = 1;
constexpr int kAttShowEnvelope = 2;
constexpr int kAttShowLeveller = 4;

// Longest display text either format writes, without the terminator. In the displayed range
// (magnitudes below 10000) the number format writes exactly 8 characters.
constexpr int kMaxNumberText = 10;

// The 8-character number format: sign, integer digits, point and as many truncated fraction digits
// as fill 8 characters ("100.0000", "50.00000", "0.125000", "-12.0412"). Locale-independent.
void formatNumber(float value, char* text);

// The dB format: "-oo" for a gain that is 0 or less in single precision, else 20 * log10f(gain)
// (the product in double, rounded to single) in the number format.
void formatDecibels(double gain, char* text);

// The "AttShow" text of a mask: "1", "2", "L" for the set bits in that order; empty for none.
void formatAttShow(int mask, char* text);

} // namespace engine
