#include "engine/limiter_core.h"

#include <algorithm>
#include <cstring>

using namespace engine;

namespace {

constexpr int kWordLengths[3] = {8, 16, 24};

// The host's rate truncated to an integer; outside 5000..200000 (NaN included) it is taken as 44100.
int integerRateFor(float rate) {
    if (rate >= 5000.0f && rate < 200001.0f) return int(rate);
    return LimiterCore::kInitialSampleRate;
}

} // namespace

LimiterCore::LimiterCore() {
    // The mutex (a member) exists; hold it until the instance is complete.
    platform::EngineLock lock(engineMutex);
    for (int i = 0; i < kNumParams; ++i)
        storeParameter(i, kParameters[i].defaultValue);
    // The signal path's buffers were allocated with the member, at their largest sizes; its
    // noise-shaper sets are constant tables with the all-zero set active.
    signal.useNoiseShaperSet(noise_shaper::kNone);
    integerRate.store(kInitialSampleRate, std::memory_order_relaxed);
    store(sampleRateHz, kInitialSampleRate);
    computeAttackCoefficients();
    computeReleaseCoefficients();
    configureRates(kInitialSampleRate);
    reset();
}

// ---------------------------------------------------------------------------------------------
// Sample rate and state reset

void LimiterCore::configureRates(int rate) {
    rates = FrameRates::make(rate, choice(kTransShape));
    store(ramp, rates.ramp);
    store(fade, rates.fade);
    store(level, rates.level);
    store(rms, rates.rms);
    signal.configure(rates);
}

void LimiterCore::computeAttackCoefficients() {
    double coefficients[kFollowerStages];
    FollowerBank::attackCoefficients(fs(), coefficients);
    for (int i = 0; i < kFollowerStages; ++i)
        signal.settings.attack[i] = coefficients[i];
}

void LimiterCore::computeReleaseCoefficients() {
    double coefficients[kFollowerStages];
    FollowerBank::releaseCoefficients(fs(), releaseTime(), coefficients);
    for (int i = 0; i < kFollowerStages; ++i)
        signal.settings.release[i] = coefficients[i];
}

void LimiterCore::selectNoiseShaper() {
    // At a rate without tables the previous set stays; either way the error history restarts.
    signal.useNoiseShaperSet(
        noise_shaper::select(choice(kNoiseShape), integerSampleRate(), signal.noiseShaperSet()));
}

bool LimiterCore::setSampleRate(float rate) {
    platform::EngineLock lock(engineMutex);
    reset();
    const int newRate = integerRateFor(rate);
    const bool changed = newRate != integerSampleRate();
    if (changed) {
        integerRate.store(newRate, std::memory_order_relaxed);
        store(sampleRateHz, newRate);
        computeReleaseCoefficients();
        selectNoiseShaper();
        computeAttackCoefficients();
        configureRates(newRate);
    }
    // The last step of the state reset once more (the noise-shaper tables are constant).
    signal.reset();
    return changed;
}

void LimiterCore::reset() {
    // The host may switch the effect off while another thread changes "TransShape", which rebuilds
    // and resets under the engine mutex: the reset takes it too (callers inside the engine already
    // hold it, and it is recursive).
    platform::EngineLock lock(engineMutex);
    // Generators, positions, buffers, followers, meters, calibration rows; the gains jump to their
    // targets, the fade restarts from silence and the leveller from its floor.
    signal.reset();
}

// ---------------------------------------------------------------------------------------------
// Processing and meters

template <class T> void LimiterCore::processBlock(T** inputs, T** outputs, int frames, Pins& pins) {
    platform::EngineLock lock(engineMutex);
    if (frames <= 0 || !inputs || !outputs || !inputs[0] || !outputs[0]) return;
    T* rightOut = pins.rightOutputConnected() ? outputs[1] : nullptr;
    if (signal.settings.calibrate != 0) {
        signal.calibrate(outputs[0], rightOut, frames);
        return;
    }
    const T* rightIn = pins.rightInputConnected() && inputs[1] ? inputs[1] : inputs[0];
    // Mono: the right result goes to the left buffer first, the left result over it.
    signal.limit(inputs[0], rightIn, outputs[0], rightOut ? rightOut : outputs[0], frames);
}

void LimiterCore::process(float** inputs, float** outputs, int frames, Pins& pins) {
    processBlock(inputs, outputs, frames, pins);
}

void LimiterCore::process(double** inputs, double** outputs, int frames, Pins& pins) {
    processBlock(inputs, outputs, frames, pins);
}

void LimiterCore::pollMeters(float values[MeterFeed::kValues]) {
    signal.meters.poll(values);
}

// ---------------------------------------------------------------------------------------------
// Parameters

int LimiterCore::choice(int index) const {
    if (index < 0 || index >= kNumParams) return 0;
    return choices[index].load(std::memory_order_relaxed);
}

int LimiterCore::wordLength() const {
    return kWordLengths[choice(kBits)];
}

void LimiterCore::storeParameter(int index, float value) {
    const ParameterInfo* info = parameterInfo(index);
    if (!info || index >= kNumLiveParameters) return;
    normalized[index].store(value, std::memory_order_relaxed);
    const float clamped = clampNormalized(value);
    const double x = clamped;
    if (info->choices > 0) choices[index].store(step(clamped, info->choices), std::memory_order_relaxed);
    const int c = choice(index);
    FrameSettings& engine = signal.settings;
    switch (index) {
    case kOutput:
        engine.output = outputGainFor(x);
        break;
    case kDrive:
        engine.drive = driveGainFor(x);
        break;
    case kTransient:
        engine.transient = transientAmountFor(x);
        break;
    case kRelease:
        store(releaseTimeValue, releaseTimeFor(x));
        break;
    case kLink:
        engine.link = x;
        break;
    case kLeveller:
        engine.leveller = outputGainFor(x);
        // At the very top the leveller is off, whatever its average.
        engine.levellerBypassed = clamped == 1.0f;
        break;
    case kOversample:
        engine.oversample = c == 1;
        break;
    case kDetectorOrder:
        engine.secondOrder = c == 1;
        break;
    case kPower:
        engine.power = c == 1;
        break;
    case kScale:
        engine.scale = c;
        break;
    case kBits:
        engine.bits = c;
        break;
    case kCalibrate:
        engine.calibrate = c;
        break;
    case kMeterOvs:
        engine.meterOversample = c == 1;
        break;
    case kAutoOut:
        engine.autoOut = c == 1;
        break;
    case kQuantize:
        engine.quantize = c == 1;
        break;
    case kAutoblack:
        engine.autoblack = c == 1;
        break;
    case kAttShow:
        engine.attShow = c;
        break;
    case kPostMeter:
        engine.postMeter = c == 1;
        break;
    default:
        break;
    }
}

void LimiterCore::changeTransShape(float value) {
    // The kernel and the gain delay change length: never in the middle of a block. The outcome of
    // the bounded wait is not examined.
    platform::EngineLock lock(engineMutex);
    const int previous = choice(kTransShape);
    storeParameter(kTransShape, value);
    if (choice(kTransShape) != previous) {
        configureRates(integerSampleRate());
        reset();
    }
}

void LimiterCore::setParameter(int index, float value) {
    switch (index) {
    case kTransient:
        storeParameter(index, value);
        computeAttackCoefficients();
        break;
    case kRelease:
        storeParameter(index, value);
        computeReleaseCoefficients();
        break;
    case kTransShape:
        changeTransShape(value);
        break;
    case kNoiseShape:
        storeParameter(index, value);
        selectNoiseShaper();
        break;
    case kAttShow:
        storeParameter(index, value);
        signal.meters.clearDisplayedGain();
        break;
    case kResvdVid:
        if (step(clampNormalized(value), 100) == 0) convertLegacyLayout();
        break;
    default:
        storeParameter(index, value);
        break;
    }
    if (changes) changes->parameterChanged(index, value);
}

void LimiterCore::convertLegacyLayout() {
    // The stored values are already set: slots are applied in index order and this marker comes last.
    ParameterChange changes[kLegacyLayoutChanges];
    legacyLayoutChanges(normalized[kBits].load(std::memory_order_relaxed),
                        normalized[kScale].load(std::memory_order_relaxed), changes);
    for (const ParameterChange& change : changes)
        setParameter(change.index, change.value);
}

float LimiterCore::getParameter(int index) const {
    if (index >= 0 && index < kNumLiveParameters) return normalized[index].load(std::memory_order_relaxed);
    if (index == kResvdVid) return kCurrentLayoutMarker;
    return 0.0f;
}

void LimiterCore::getParameterName(int index, char* text) const {
    const ParameterInfo* info = parameterInfo(index);
    std::strcpy(text, info ? info->name : "");
}

void LimiterCore::getParameterLabel(int index, char* label) const {
    const ParameterInfo* info = parameterInfo(index);
    std::strcpy(label, info ? info->label : "");
}

void LimiterCore::getParameterDisplay(int index, char* text) const {
    *text = 0;
    const ParameterInfo* info = parameterInfo(index);
    if (!info) return;
    switch (info->kind) {
    case ParamKind::Decibels:
        formatDecibels(index == kOutput  ? outputGain()
                       : index == kDrive ? driveGain()
                                         : levellerLevel(),
                       text);
        break;
    case ParamKind::Number:
        formatNumber(float(index == kTransient ? transientAmount()
                           : index == kRelease ? releaseTime()
                                               : linkAmount() * 100.0),
                     text);
        break;
    case ParamKind::Choice:
        std::strcpy(text, info->texts[choice(index)]);
        break;
    case ParamKind::BitMask:
        formatAttShow(choice(index), text);
        break;
    case ParamKind::Unused:
    case ParamKind::Layout:
        break;
    }
}

// ---------------------------------------------------------------------------------------------
// Metering preferences

void LimiterCore::applyMeteringPreference(const MeteringPreference& preference, std::int32_t storedStep) {
    // A step outside the choices (written by hand or by something else) counts as the nearest
    // choice, so that no value outside 0..1 reaches the presets or the host.
    const int nearest = std::clamp<std::int32_t>(storedStep, 0, preference.steps - 1);
    setParameter(preference.parameter, centre(nearest, preference.steps));
}
