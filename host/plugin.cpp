#include "host/plugin.h"

#include <cstdint>
#include <cstring>

#include "engine/identity.h"
#include "engine/metering_preferences.h"
#include "host/aeff_editor.h"
#include "platform/registry.h"

using namespace vst;

class Plugin::HostPins final : public LimiterCore::Pins {
public:
    explicit HostPins(AudioEffectX& effect) : effect(effect) {}
    bool rightOutputConnected() override { return effect.isOutputConnected(1); }
    bool rightInputConnected() override { return effect.isInputConnected(1); }

private:
    AudioEffectX& effect;
};

Plugin::Plugin(HostCallback audioMaster, EditorFactory editorFactory)
    : CPresetSystemEffect(audioMaster, kNumHostPrograms, kNumParams) {
    // No block may run before the instance is complete.
    platform::EngineLock lock(limiter.mutex());

    setNumInputs(2);
    setNumOutputs(2);
    setUniqueID(kUniqueId);
    canProcessReplacing();
    canDoubleReplacing();
    setInitialDelay(limiter.latency());
    limiter.setListener(this);

    initFactoryPresets();
    loadMeteringPreferences();

    createEditor(editorFactory);
    if (editor) editor->setLatency(limiter.latency());

    loadUserDefaults();
    selectPreset(0);
}

Plugin::~Plugin() {
    limiter.setListener(nullptr);
}

void Plugin::createEditor(EditorFactory factory) {
    // The editor registers itself through setEditor, which sets the record's has-editor flag.
    if (!factory) return;
    AEffEditor* created = factory(this);
    if (created && editor != created) setEditor(created);
}

// ---------------------------------------------------------------------------------------------
// Sample rate, reset, processing

void Plugin::setSampleRate(float rate) {
    platform::EngineLock lock(limiter.mutex());
    AudioEffect::setSampleRate(rate);
    if (limiter.setSampleRate(rate)) {
        // Only the record changes; no host callback announces it.
        setInitialDelay(limiter.latency());
        if (editor) editor->setLatency(limiter.latency());
    }
}

void Plugin::suspend() {
    limiter.reset();
}

template <class T> void Plugin::processBlock(T** inputs, T** outputs, int sampleFrames) {
    HostPins pins(*this);
    limiter.process(inputs, outputs, sampleFrames, pins);
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
    limiter.pollMeters(v);
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

void Plugin::setParameter(int index, float value) {
    limiter.setParameter(index, value);
}

void Plugin::parameterChanged(int index, float value) {
    CPresetSystemEffect::setParameter(index, value);
    if (editor) editor->setParameter(index, value);
}

float Plugin::getParameter(int index) {
    return limiter.getParameter(index);
}

void Plugin::getParameterName(int index, char* text) {
    limiter.getParameterName(index, text);
}

void Plugin::getParameterLabel(int index, char* label) {
    limiter.getParameterLabel(index, label);
}

void Plugin::getParameterDisplay(int index, char* text) {
    limiter.getParameterDisplay(index, text);
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
    for (const engine::MeteringPreference& preference : engine::kMeteringPreferences) {
        // A 32-bit step index whatever the stored type; a value of any other size is not one.
        std::int32_t stored = 0;
        platform::RegistryValueInfo info;
        if (key.read(preference.valueName, &stored, sizeof(stored), &info) != platform::RegistryRead::Ok ||
            info.size != sizeof(stored))
            continue;
        limiter.applyMeteringPreference(preference, stored);
    }
}
