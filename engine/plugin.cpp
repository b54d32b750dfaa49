#include "engine/plugin.h"

#include <cstring>

#include "engine/identity.h"

using namespace vst;

AudioEffect* createEffectInstance(HostCallback audioMaster) { return new Plugin(audioMaster); }

Plugin::Plugin(HostCallback audioMaster) : CPresetSystemEffect(audioMaster, kNumHostPrograms, kNumParams) {
    platform::EngineLock lock(engineMutex);
    setNumInputs(2);
    setNumOutputs(2);
    setUniqueID(identity::kUniqueId);
    canProcessReplacing();
    canDoubleReplacing();
    setFlag(effFlagsHasEditor, true);
    setInitialDelay(159);
}

Plugin::~Plugin() = default;

void Plugin::suspend() {}

void Plugin::setSampleRate(float rate) {
    platform::EngineLock lock(engineMutex);
    AudioEffect::setSampleRate(rate);
}

void Plugin::processReplacing(float**, float**, int) {}
void Plugin::processDoubleReplacing(double**, double**, int) {}

void Plugin::setParameter(int, float) {}
float Plugin::getParameter(int) { return 0.0f; }
void Plugin::getParameterLabel(int, char* label) { *label = 0; }
void Plugin::getParameterDisplay(int, char* text) { *text = 0; }
void Plugin::getParameterName(int, char* text) { *text = 0; }

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
