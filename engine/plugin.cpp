#include "engine/plugin.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "engine/identity.h"
#include "engine/metering_preferences.h"
#include "host/aeff_editor.h"
#include "platform/registry.h"

using namespace vst;
using namespace engine;

namespace {

// Kernel length K at rate shift 0 by "TransShape" choice ("hard", "med", "soft") [samples].
constexpr int kKernelLengths[3] = {8, 16, 64};

constexpr int kWordLengths[3] = {8, 16, 24};

// One-pole coefficient for a time constant of ms at fs.
double onePole(double ms, double fs) {
    return 1.0 - std::exp(-1000.0 / (ms * fs));
}

// Drive and output gain ramps: a 30 Hz one-pole (188.49555921538757 = 2 pi 30).
double rampFor(double fs) {
    return 1.0 - std::exp(-188.49555921538757 / fs);
}
// "Autoblack" fade: 10 ms.
double fadeFor(double fs) {
    return 1.0 - std::exp(-1000.0 / (fs * 10.0));
}
// Leveller average: 1000 ms.
double levelFor(double fs) {
    return 1.0 - std::exp(-1000.0 / (fs * 1000.0));
}
// Meter mean squares: a step decays to 1 % in 600 ms.
double rmsFor(double fs) {
    return 1.0 - std::pow(0.01, 1000.0 / (fs * 600.0));
}

// The host's rate truncated to an integer; outside 5000..200000 (NaN included) it is taken as 44100.
int integerRateFor(float rate) {
    if (rate >= 5000.0f && rate < 200001.0f) return int(rate);
    return Plugin::kInitialSampleRate;
}

} // namespace

Plugin::Plugin(HostCallback audioMaster, EditorFactory editorFactory)
    : CPresetSystemEffect(audioMaster, kNumHostPrograms, kNumParams) {
    // The mutex (a member) exists; hold it until the instance is complete.
    platform::EngineLock lock(engineMutex);

    setNumInputs(2);
    setNumOutputs(2);
    setUniqueID(identity::kUniqueId);
    canProcessReplacing();
    canDoubleReplacing();

    setRateState(kInitialSampleRate);
    store(ramp, rampFor(fs()));
    store(fade, fadeFor(fs()));

    for (int i = 0; i < kNumParams; ++i)
        storeParameter(i, kParameters[i].defaultValue);
    computeAttackCoefficients();
    computeReleaseCoefficients();
    store(level, levelFor(fs()));
    updateKernelLength();
    setInitialDelay(latency());

    // The signal path's buffers were allocated with the member, at their largest sizes; its
    // noise-shaper sets are constant tables with the all-zero set active.
    signal.useNoiseShaperSet(noise_shaper::kNone);

    buildSmoothingKernel();

    store(rms, rmsFor(fs()));

    suspend();
    initFactoryPresets();
    loadMeteringPreferences();

    createEditor(editorFactory);
    if (editor) editor->setLatency(latency());

    loadUserDefaults();
    selectPreset(0);
}

Plugin::~Plugin() = default;

// ---------------------------------------------------------------------------------------------
// Sample rate and state reset

void Plugin::setRateState(int rate) {
    const double hz = rate;
    integerRate.store(rate, std::memory_order_relaxed);
    store(sampleRateHz, hz);
    shift = hz < 80000.0 ? 0 : hz < 170000.0 ? 1 : 2;
    lookAhead = kBaseLookAhead << shift;
}

void Plugin::updateKernelLength() {
    kernel = kKernelLengths[choice(kTransShape)] << shift;
    gainDelay = lookAhead - 2 * kernel + 2;
}

void Plugin::computeAttackCoefficients() {
    for (int i = 0; i < kFollowerStages; ++i)
        signal.settings.attack[i] = onePole(32.0 - double(i) * 31.0 / 7.0, fs());
}

void Plugin::computeReleaseCoefficients() {
    // From the set time down to 2 ms in equal steps (rising to 2 ms when the set time is below).
    const double r = releaseTime();
    for (int i = 0; i < kFollowerStages; ++i)
        signal.settings.release[i] = onePole(r - double(i) * (r - 2.0) / 7.0, fs());
}

void Plugin::computeRateCoefficients() {
    store(ramp, rampFor(fs()));
    store(fade, fadeFor(fs()));
    store(level, levelFor(fs()));
    store(rms, rmsFor(fs()));
}

void Plugin::selectNoiseShaper() {
    // At a rate without tables the previous set stays; either way the error history restarts.
    signal.useNoiseShaperSet(
        noise_shaper::select(choice(kNoiseShape), integerSampleRate(), signal.noiseShaperSet()));
}

void Plugin::buildSmoothingKernel() {
    FrameRates rates;
    rates.sampleRate = integerSampleRate();
    rates.fs = fs();
    rates.shift = shift;
    rates.lookahead = lookAhead;
    rates.kernel = kernel;
    rates.gainDelay = gainDelay;
    rates.ramp = load(ramp);
    rates.level = load(level);
    rates.rms = load(rms);
    rates.fade = load(fade);
    signal.configure(rates);
}

void Plugin::setSampleRate(float rate) {
    platform::EngineLock lock(engineMutex);
    AudioEffect::setSampleRate(rate);
    suspend();
    const int newRate = integerRateFor(rate);
    if (newRate != integerSampleRate()) {
        setRateState(newRate);
        // Only the record changes; no host callback announces it.
        setInitialDelay(latency());
        if (editor) editor->setLatency(latency());
        updateKernelLength();
        computeReleaseCoefficients();
        selectNoiseShaper();
        computeAttackCoefficients();
        computeRateCoefficients();
        buildSmoothingKernel();
    }
    // The last step of the state reset once more (the noise-shaper tables are constant).
    signal.reset();
}

void Plugin::suspend() {
    // The host may switch the effect off while another thread changes "TransShape", which rebuilds
    // and resets under the engine mutex: the reset takes it too (callers inside the engine already
    // hold it, and it is recursive).
    platform::EngineLock lock(engineMutex);
    // Generators, positions, buffers, followers, meters, calibration rows; the gains jump to their
    // targets, the fade restarts from silence and the leveller from its floor.
    signal.reset();
}

void Plugin::createEditor(EditorFactory factory) {
    // The editor registers itself through setEditor, which sets the record's has-editor flag.
    if (!factory) return;
    AEffEditor* created = factory(this);
    if (created && editor != created) setEditor(created);
}

template <class T> void Plugin::processBlock(T** inputs, T** outputs, int sampleFrames) {
    platform::EngineLock lock(engineMutex);
    if (sampleFrames <= 0 || !inputs || !outputs || !inputs[0] || !outputs[0]) return;
    // A second channel counts only when the host says it is connected and hands a buffer.
    T* rightOut = isOutputConnected(1) ? outputs[1] : nullptr;
    if (signal.settings.calibrate != 0) {
        signal.calibrate(outputs[0], rightOut, sampleFrames);
        return;
    }
    const T* rightIn = isInputConnected(1) && inputs[1] ? inputs[1] : inputs[0];
    // Mono: the right result goes to the left buffer first, the left result over it.
    signal.limit(inputs[0], rightIn, outputs[0], rightOut ? rightOut : outputs[0], sampleFrames);
}

void Plugin::processReplacing(float** inputs, float** outputs, int sampleFrames) {
    processBlock(inputs, outputs, sampleFrames);
}

void Plugin::processDoubleReplacing(double** inputs, double** outputs, int sampleFrames) {
    processBlock(inputs, outputs, sampleFrames);
}

void Plugin::getMeterValues(float& inPeakL, float& inPeakR, float& outPeakL, float& outPeakR, float& inRmsL,
                            float& inRmsR, float& outRmsL, float& outRmsR, float& grL, float& grR) {
    float v[MeterFeed::kValues];
    signal.meters.poll(v);
    inPeakL = v[MeterFeed::kInPeakL];
    inPeakR = v[MeterFeed::kInPeakR];
    outPeakL = v[MeterFeed::kOutPeakL];
    outPeakR = v[MeterFeed::kOutPeakR];
    inRmsL = v[MeterFeed::kInRmsL];
    inRmsR = v[MeterFeed::kInRmsR];
    outRmsL = v[MeterFeed::kOutRmsL];
    outRmsR = v[MeterFeed::kOutRmsR];
    grL = v[MeterFeed::kGainL];
    grR = v[MeterFeed::kGainR];
}

// ---------------------------------------------------------------------------------------------
// Parameters

int Plugin::choice(int index) const {
    if (index < 0 || index >= kNumParams) return 0;
    return choices[index].load(std::memory_order_relaxed);
}

int Plugin::wordLength() const {
    return kWordLengths[choice(kBits)];
}

void Plugin::storeParameter(int index, float value) {
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

void Plugin::changeTransShape(float value) {
    // The kernel and the gain delay change length: never in the middle of a block. The outcome of
    // the bounded wait is not examined.
    platform::EngineLock lock(engineMutex);
    const int previous = choice(kTransShape);
    storeParameter(kTransShape, value);
    if (choice(kTransShape) != previous) {
        updateKernelLength();
        buildSmoothingKernel();
        suspend();
    }
}

void Plugin::setParameter(int index, float value) {
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
    CPresetSystemEffect::setParameter(index, value);
    if (editor) editor->setParameter(index, value);
}

void Plugin::convertLegacyLayout() {
    // The older layout had "Bits" as off/8/16/24 and "Scale" as peak/K-12/K-14/K-20. The stored
    // values are already set: slots are applied in index order and this marker comes last.
    setParameter(kAutoblack, centre(0, 2));
    const int bits = step(clampNormalized(normalized[kBits].load(std::memory_order_relaxed)), 4);
    setParameter(kQuantize, centre(bits > 0 ? 1 : 0, 2));
    setParameter(kBits, centre(bits > 0 ? bits - 1 : 1, 3));
    setParameter(kAttShow, centre(7, 8));
    setParameter(kAttZoom, centre(0, 2));
    setParameter(kPostMeter, centre(1, 2));
    const int scale = step(clampNormalized(normalized[kScale].load(std::memory_order_relaxed)), 4);
    setParameter(kMeterType, centre(scale > 0 ? 1 : 0, 2));
    setParameter(kScale, centre(scale > 0 ? scale - 1 : 1, 3));
}

float Plugin::getParameter(int index) {
    if (index >= 0 && index < kNumLiveParameters) return normalized[index].load(std::memory_order_relaxed);
    if (index == kResvdVid) return kCurrentLayoutMarker;
    return 0.0f;
}

void Plugin::getParameterName(int index, char* text) {
    const ParameterInfo* info = parameterInfo(index);
    std::strcpy(text, info ? info->name : "");
}

void Plugin::getParameterLabel(int index, char* label) {
    const ParameterInfo* info = parameterInfo(index);
    std::strcpy(label, info ? info->label : "");
}

void Plugin::getParameterDisplay(int index, char* text) {
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

bool Plugin::getParameterProperties(int, VstParameterProperties* properties) {
    // Only the float step is ours; the host's other fields stay as it set them.
    properties->stepFloat = 0.0001f;
    properties->flags = kVstParameterUsesFloatStep;
    return true;
}

bool Plugin::getEffectName(char* name) {
    std::strcpy(name, identity::kEffectName);
    return true;
}

bool Plugin::getVendorString(char* text) {
    std::strcpy(text, identity::kVendor);
    return true;
}

bool Plugin::getProductString(char* text) {
    std::strcpy(text, identity::kProduct);
    return true;
}

// ---------------------------------------------------------------------------------------------
// Metering preferences

void Plugin::loadMeteringPreferences() {
    platform::RegistryKey key;
    if (!key.open(presets::kPreferencesKey, platform::RegistryKey::Access::Read)) return;
    for (const MeteringPreference& preference : kMeteringPreferences) {
        // A 32-bit step index whatever the stored type; a value of any other size is not one.
        std::int32_t stored = 0;
        platform::RegistryValueInfo info;
        if (key.read(preference.valueName, &stored, sizeof(stored), &info) != platform::RegistryRead::Ok ||
            info.size != sizeof(stored))
            continue;
        // A step outside the choices (written by hand or by something else) counts as the nearest
        // choice, so that no value outside 0..1 reaches the presets or the host.
        const int nearest = std::clamp<std::int32_t>(stored, 0, preference.steps - 1);
        setParameter(preference.parameter, centre(nearest, preference.steps));
    }
}
