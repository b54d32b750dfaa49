// The host side of the VST 2.4 boundary: opens a plug-in binary, calls its entry point and talks to
// each instance only through the dispatcher and the effect record. Nothing here knows which plug-in
// it drives; Orvel Zelmar is recognized only by its unique ID.
//
// Threads: one PluginLibrary may serve several instances, each driven by one thread at a time.
#pragma once

#include <string>
#include <vector>

#include "host/vst_abi.h"
#include "platform/library_loader.h"

namespace orvel {

inline constexpr vst::VstInt32 kOrvelZelmarId = vst::fourCharCode('O', 'r', 'z', 'l');
inline constexpr vst::VstIntPtr kHostVstVersion = 2400;

// What the host answers one instance. It must exist before the instance does, because the entry
// point already calls back.
struct HostContext {
    int connectedChannels = 2; // audioMasterPinConnected answers "connected" below this pin index
};

// The host callback: audioMasterVersion answers 2400, audioMasterPinConnected 0 (connected) for the
// pins below the context's channel count and 1 for the others; every other request answers 0.
vst::VstIntPtr hostCallback(vst::AEffect* effect, vst::VstInt32 opcode, vst::VstInt32 index,
                            vst::VstIntPtr value, void* ptr, float opt);

class PluginLibrary {
public:
    // Throws Error when the file does not load or exports no VST 2.4 entry point.
    explicit PluginLibrary(const std::string& path);
    const std::string& path() const { return filePath; }
    // Calls the entry point with hostCallback; null when the plug-in gives no instance.
    vst::AEffect* instantiate(HostContext& context) const;

private:
    using Entry = vst::AEffect* (*)(vst::HostCallback);
    platform::LoadedLibrary library;
    std::string filePath;
    Entry entry = nullptr;
};

class PluginInstance {
public:
    // Throws Error when the plug-in gives no instance or no valid effect record.
    PluginInstance(const PluginLibrary& library, int connectedChannels);
    ~PluginInstance();
    PluginInstance(const PluginInstance&) = delete;
    PluginInstance& operator=(const PluginInstance&) = delete;

    vst::AEffect* record() const { return effect; }
    vst::VstIntPtr dispatch(vst::VstInt32 opcode, vst::VstInt32 index = 0, vst::VstIntPtr value = 0,
                            void* ptr = nullptr, float opt = 0.0f) const;
    // A text opcode's answer, in a generous zeroed buffer; always terminated.
    std::string text(vst::VstInt32 opcode, vst::VstInt32 index = 0) const;

    bool isOrvelZelmar() const { return effect->uniqueID == kOrvelZelmarId; }
    std::string effectName() const;
    std::string uniqueIdText() const;

    int numParams() const { return effect->numParams; }
    std::string paramName(int index) const { return text(vst::effGetParamName, index); }
    std::string paramDisplay(int index) const { return text(vst::effGetParamDisplay, index); }
    std::string paramLabel(int index) const { return text(vst::effGetParamLabel, index); }
    float getParameter(int index) const { return effect->getParameter(effect, index); }
    void setParameter(int index, float value) const { effect->setParameter(effect, index, value); }

    void setSampleRate(double rate) const;
    void setBlockSize(int frames) const;
    // Turns processing on (effMainsChanged 1, effStartProcess) and off again; the destructor turns
    // it off if needed.
    void start();
    void stop();
    int latency() const { return effect->initialDelay; }

    bool canReplacing() const {
        return (effect->flags & vst::effFlagsCanReplacing) && effect->processReplacing;
    }
    bool canDoubleReplacing() const {
        return (effect->flags & vst::effFlagsCanDoubleReplacing) && effect->processDoubleReplacing;
    }
    void process(float** inputs, float** outputs, int frames) const {
        effect->processReplacing(effect, inputs, outputs, frames);
    }
    void process(double** inputs, double** outputs, int frames) const {
        effect->processDoubleReplacing(effect, inputs, outputs, frames);
    }

private:
    HostContext context;
    vst::AEffect* effect = nullptr;
    bool running = false;
};

// One of the texts a choice parameter shows, with the normalized value in the middle of the interval
// that shows it.
struct Choice {
    std::string text;
    float value;
};

// The choices of a parameter, found by sweeping its normalized value and reading the display text;
// empty when the parameter shows one text only or too many to be a choice. The parameter is set back
// to its former value afterwards; other state the sweep touched is not, so sweep on an instance that
// will not process.
std::vector<Choice> sweepChoices(const PluginInstance& plugin, int index);

} // namespace orvel
