// The limiter as a VST 2.4 effect: the format-free core behind the preset-system effect. This layer
// answers the record (pins, unique ID, initial delay), asks the host for pin connections, reads the
// stored metering preferences, and keeps the preset slots and the editor told of every parameter
// change the core makes.
//
// Threads: those of the core (engine/limiter_core.h); the constructor holds the engine mutex until
// the instance is complete.
#pragma once

#include "engine/limiter_core.h"
#include "host/preset_system_effect.h"

class AEffEditor;

class Plugin : public CPresetSystemEffect, private LimiterCore::Listener {
public:
    // Builds the editor object of an effect; the editor registers itself with the effect. The
    // effect knows no editor class: the plug-in binary passes its factory, tests of the effect
    // alone none.
    using EditorFactory = AEffEditor* (*)(AudioEffect* effect);

    explicit Plugin(vst::HostCallback audioMaster, EditorFactory editorFactory = nullptr);
    ~Plugin() override;

    static constexpr int kNumParams = LimiterCore::kNumParams;
    static constexpr int kNumHostPrograms = 1;
    static constexpr vst::VstInt32 kUniqueId = vst::fourCharCode('O', 'r', 'z', 'l');

    void suspend() override;
    void setSampleRate(float rate) override;
    void processReplacing(float** inputs, float** outputs, int sampleFrames) override;
    void processDoubleReplacing(double** inputs, double** outputs, int sampleFrames) override;
    void setParameter(int index, float value) override;
    float getParameter(int index) override;
    void getParameterLabel(int index, char* label) override;
    void getParameterDisplay(int index, char* text) override;
    void getParameterName(int index, char* text) override;
    bool getParameterProperties(int index, vst::VstParameterProperties* properties) override;
    bool getEffectName(char* name) override;
    bool getVendorString(char* text) override;
    bool getProductString(char* text) override;
    vst::VstInt32 getPlugCategory() override { return vst::kPlugCategMastering; }

    // Applies the metering preferences stored under the registry key "PREFS" through setParameter.
    void loadMeteringPreferences();

    // The ten meter values for the editor, in this order, then the poll-and-reset request: the next
    // processed sample clears the peaks and the displayed gains. Editor thread; takes no lock.
    void getMeterValues(float& inPeakL, float& inPeakR, float& outPeakL, float& outPeakR, float& inRmsL,
                        float& inRmsR, float& outRmsL, float& outRmsR, float& grL, float& grR);

    LimiterCore& core() { return limiter; }
    const LimiterCore& core() const { return limiter; }

private:
    // The host's answers to the pin queries.
    class HostPins;

    // The mirror into the preset slots and the editor, for every change the core stores.
    void parameterChanged(int index, float value) override;
    void createEditor(EditorFactory factory);
    template <class T> void processBlock(T** inputs, T** outputs, int sampleFrames);

    LimiterCore limiter;
};
