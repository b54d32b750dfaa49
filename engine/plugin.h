// The limiter effect: parameters, lifecycle and the processing frame.
#pragma once

#include <memory>

#include "platform/engine_mutex.h"
#include "presets/preset_system_effect.h"

class Plugin : public CPresetSystemEffect {
public:
    explicit Plugin(vst::HostCallback audioMaster);
    ~Plugin() override;

    static constexpr int kNumParams = 26;
    static constexpr int kNumHostPrograms = 1;

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

private:
    platform::EngineMutex engineMutex;
};
