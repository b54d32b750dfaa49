#include "tests/host/test_host.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

namespace testhost {

using namespace vst;

int HostState::count(VstInt32 opcode) const {
    return int(
        std::count_if(calls.begin(), calls.end(), [&](const HostCall& c) { return c.opcode == opcode; }));
}

HostState& hostState() {
    static HostState state;
    return state;
}

VstIntPtr hostCallback(AEffect*, VstInt32 opcode, VstInt32 index, VstIntPtr value, void*, float opt) {
    HostState& state = hostState();
    state.calls.push_back({opcode, index, value, opt});
    switch (opcode) {
    case audioMasterVersion:
        return state.version;
    case audioMasterPinConnected:
        return state.pinAnswer;
    default:
        return 0;
    }
}

std::string pluginPath() {
    return ORVEL_PLUGIN_FILE;
}

PluginLibrary::PluginLibrary() {
    if (!library.open(pluginPath())) ADD_FAILURE() << library.error();
}

PluginLibrary& library() {
    static PluginLibrary lib;
    return lib;
}

AEffect* PluginLibrary::instantiate(HostCallback callback) {
    using Entry = AEffect* (*)(HostCallback);
    auto entry = reinterpret_cast<Entry>(library.symbol("VSTPluginMain"));
    if (!entry) return nullptr;
    return entry(callback);
}

Instance::Instance(PluginLibrary& library) : effect(library.instantiate()) {
    if (!effect) ADD_FAILURE() << "the plug-in gave no instance";
}

Instance::~Instance() {
    close();
}

void Instance::close() {
    if (effect) effect->dispatcher(effect, effClose, 0, 0, nullptr, 0.0f);
    effect = nullptr;
}

VstIntPtr Instance::dispatch(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt) const {
    return effect->dispatcher(effect, opcode, index, value, ptr, opt);
}

std::string Instance::text(VstInt32 opcode, VstInt32 index, VstIntPtr value) const {
    char buffer[260];
    std::memset(buffer, 0x5A, sizeof(buffer));
    buffer[0] = 0;
    effect->dispatcher(effect, opcode, index, value, buffer, 0.0f);
    for (int i = 256; i < 260; ++i)
        EXPECT_EQ(buffer[i], 0x5A) << "text of opcode " << opcode << " ran past 256 bytes";
    buffer[255] = 0;
    return buffer;
}

} // namespace testhost
