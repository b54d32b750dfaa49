// A minimal VST 2.4 host for host-level tests: it loads the built plug-in binary, calls its entry
// point and talks to the instance only through the dispatcher and the record's entries.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "host/vst_abi.h"
#include "platform/library_loader.h"

namespace testhost {

struct HostCall {
    vst::VstInt32 opcode;
    vst::VstInt32 index;
    vst::VstIntPtr value;
    float opt;
};

// What the host answers and what it has been asked. One recorder serves the whole process, as the
// callback has no context pointer of its own before the instance exists.
struct HostState {
    vst::VstIntPtr version = 2400;
    vst::VstIntPtr pinAnswer = 0; // 0: connected
    std::vector<HostCall> calls;
    int count(vst::VstInt32 opcode) const;
    void clear() { calls.clear(); }
};

HostState& hostState();
vst::VstIntPtr hostCallback(vst::AEffect* effect, vst::VstInt32 opcode, vst::VstInt32 index,
                            vst::VstIntPtr value, void* ptr, float opt);

std::string pluginPath();

class PluginLibrary {
public:
    PluginLibrary();
    vst::AEffect* instantiate(vst::HostCallback callback = hostCallback);
    void* symbol(const char* name) const { return library.symbol(name); }

private:
    platform::LoadedLibrary library;
};

// The plug-in binary, loaded once for the whole suite.
PluginLibrary& library();

// One instance, closed through effClose when the fixture goes.
class Instance {
public:
    explicit Instance(PluginLibrary& library);
    ~Instance();
    Instance(const Instance&) = delete;
    Instance& operator=(const Instance&) = delete;

    vst::AEffect* operator->() const { return effect; }
    vst::AEffect* get() const { return effect; }
    vst::VstIntPtr dispatch(vst::VstInt32 opcode, vst::VstInt32 index = 0, vst::VstIntPtr value = 0,
                            void* ptr = nullptr, float opt = 0.0f) const;
    // Text opcodes, with a canary beyond the text that must survive.
    std::string text(vst::VstInt32 opcode, vst::VstInt32 index = 0, vst::VstIntPtr value = 0) const;
    void close();

private:
    vst::AEffect* effect = nullptr;
};

} // namespace testhost
