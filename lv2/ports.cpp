#include "lv2/ports.h"

#include <cmath>

#include "engine/parameters.h"
#include "presets/factory_presets.h"

using namespace engine;

namespace lv2port {

namespace {

// dB per unit of normalized value: 20 log10 of 2^2 and of 2^8.
const double kOutputDbPerUnit = 40.0 * std::log10(2.0);
const double kDriveDbPerUnit = 160.0 * std::log10(2.0);
// The exponent of the "Release" curve.
constexpr double kReleaseExponent = 0.82030212;

constexpr PortInfo audio(const char* symbol, const char* name, Direction direction) {
    return {symbol, name, Kind::Audio, direction, -1, Mapping::None, Unit::None, false, true};
}
constexpr PortInfo control(const char* symbol, int parameter, Mapping mapping, Unit unit = Unit::None) {
    return {
        symbol, kParameters[parameter].name, Kind::Control, Direction::Input, parameter, mapping, unit, false,
        true};
}
constexpr PortInfo toggle(const char* symbol, int parameter) {
    return {symbol,        kParameters[parameter].name,
            Kind::Control, Direction::Input,
            parameter,     Mapping::Choice,
            Unit::None,    true,
            true};
}
constexpr PortInfo meter(const char* symbol, const char* name, Unit unit) {
    return {symbol, name, Kind::Control, Direction::Output, -1, Mapping::None, unit, false, true};
}

constexpr PortInfo kPorts[kNumPorts] = {
    audio("in_l", "Input L", Direction::Input),
    audio("in_r", "Input R", Direction::Input),
    audio("out_l", "Output L", Direction::Output),
    audio("out_r", "Output R", Direction::Output),
    control("output", kOutput, Mapping::OutputDecibels, Unit::Decibel),
    control("drive", kDrive, Mapping::DriveDecibels, Unit::Decibel),
    control("transient", kTransient, Mapping::TransientAmount, Unit::Millisecond),
    control("release", kRelease, Mapping::ReleaseTime, Unit::Millisecond),
    control("trans_shape", kTransShape, Mapping::Choice),
    control("link", kLink, Mapping::Percent, Unit::Percent),
    toggle("oversample", kOversample),
    control("detector_order", kDetectorOrder, Mapping::Choice),
    toggle("power", kPower),
    control("scale", kScale, Mapping::Choice),
    control("bits", kBits, Mapping::Choice),
    control("noise_shape", kNoiseShape, Mapping::Choice),
    // Calibration noise replaces the programme: a setting to choose by hand, never to automate.
    {"calibrate", kParameters[kCalibrate].name, Kind::Control, Direction::Input, kCalibrate, Mapping::Choice,
     Unit::None, false, false},
    control("leveller", kLeveller, Mapping::OutputDecibels, Unit::Decibel),
    toggle("meter_ovs", kMeterOvs),
    toggle("auto_out", kAutoOut),
    toggle("quantize", kQuantize),
    toggle("autoblack", kAutoblack),
    control("meter_type", kMeterType, Mapping::Choice),
    control("att_zoom", kAttZoom, Mapping::Choice),
    control("att_show", kAttShow, Mapping::Choice),
    control("post_meter", kPostMeter, Mapping::Choice),
    {"latency", "Latency", Kind::Control, Direction::Output, -1, Mapping::None, Unit::None, false, true},
    meter("in_peak_l", "Input peak L", Unit::Decibel),
    meter("in_peak_r", "Input peak R", Unit::Decibel),
    meter("out_peak_l", "Output peak L", Unit::Decibel),
    meter("out_peak_r", "Output peak R", Unit::Decibel),
    meter("gr_l", "Gain reduction L", Unit::Decibel),
    meter("gr_r", "Gain reduction R", Unit::Decibel),
    meter("in_rms_l", "Input RMS L", Unit::Decibel),
    meter("in_rms_r", "Input RMS R", Unit::Decibel),
    meter("out_rms_l", "Output RMS L", Unit::Decibel),
    meter("out_rms_r", "Output RMS R", Unit::Decibel),
};

} // namespace

const PortInfo& port(std::uint32_t index) {
    return kPorts[index < kNumPorts ? index : kInLeft];
}

int choiceCount(const PortInfo& port) {
    return port.mapping == Mapping::Choice ? kParameters[port.parameter].choices : 0;
}

float toNormalized(const PortInfo& port, float value) {
    const double v = value;
    switch (port.mapping) {
    case Mapping::OutputDecibels:
        return float(1.0 + v / kOutputDbPerUnit);
    case Mapping::DriveDecibels:
        return float(0.5 + v / kDriveDbPerUnit);
    case Mapping::TransientAmount:
        return float(std::sqrt(4.0 * v) / 1.4142136);
    case Mapping::ReleaseTime:
        return float(std::pow(std::log10(v) / 3.0, 1.0 / kReleaseExponent));
    case Mapping::Percent:
        return float(v / 100.0);
    case Mapping::Choice: {
        // The nearest choice; NaN and values below the range are the first, values above it the last.
        const int n = choiceCount(port);
        int k = 0;
        if (v >= double(n - 1))
            k = n - 1;
        else if (v > 0.0)
            k = int(v + 0.5);
        return centre(k, n);
    }
    case Mapping::None:
        break;
    }
    return 0.0f;
}

float toPortValue(const PortInfo& port, float normalized) {
    const double x = clampNormalized(normalized);
    switch (port.mapping) {
    case Mapping::OutputDecibels:
        return float((x - 1.0) * kOutputDbPerUnit);
    case Mapping::DriveDecibels:
        return float((x - 0.5) * kDriveDbPerUnit);
    case Mapping::TransientAmount:
        return float(transientAmountFor(x));
    case Mapping::ReleaseTime:
        return float(releaseTimeFor(x));
    case Mapping::Percent:
        return float(x * 100.0);
    case Mapping::Choice:
        return float(step(float(x), choiceCount(port)));
    case Mapping::None:
        break;
    }
    return 0.0f;
}

float minimum(const PortInfo& port) {
    if (port.mapping != Mapping::None) return toPortValue(port, 0.0f);
    if (&port == &kPorts[kGainReductionLeft] || &port == &kPorts[kGainReductionRight]) return 0.0f;
    return port.unit == Unit::Decibel ? kPeakFloorDb : 0.0f;
}

float maximum(const PortInfo& port) {
    if (port.mapping != Mapping::None) return toPortValue(port, 1.0f);
    if (&port == &kPorts[kGainReductionLeft] || &port == &kPorts[kGainReductionRight])
        return kReductionRangeDb;
    if (&port == &kPorts[kLatency]) return 543.0f;
    return port.unit == Unit::Decibel ? kPeakCeilingDb : 1.0f;
}

float defaultValue(const PortInfo& port) {
    // A new VST 2.4 instance shows the edit buffer's factory values: so does a new LV2 instance.
    if (port.parameter >= 0) return toPortValue(port, presets::kFactoryPresets[0].values[port.parameter]);
    return minimum(port);
}

float peakDecibels(float linear) {
    if (!(linear > 0.0f)) return kPeakFloorDb;
    const float db = float(20.0 * std::log10(double(linear)));
    return db < kPeakFloorDb ? kPeakFloorDb : (db > kPeakCeilingDb ? kPeakCeilingDb : db);
}

float reductionDecibels(float gain) {
    if (!(gain > 0.0f)) return kReductionRangeDb;
    const float db = float(-20.0 * std::log10(double(gain)));
    return db < 0.0f ? 0.0f : (db > kReductionRangeDb ? kReductionRangeDb : db);
}

float linearOfDecibels(float db) {
    if (!(db > kPeakFloorDb)) return 0.0f;
    return float(std::pow(10.0, double(db < kPeakCeilingDb ? db : kPeakCeilingDb) / 20.0));
}

float gainOfReduction(float db) {
    if (!(db > 0.0f)) return 1.0f;
    return float(std::pow(10.0, -double(db < kReductionRangeDb ? db : kReductionRangeDb) / 20.0));
}

} // namespace lv2port
