#include "support/plugin_under_test.h"

#include <chrono>
#include <thread>

namespace x11test {

using Entry = vst::AEffect* (*)(vst::HostCallback);

LoadedPlugin::LoadedPlugin() {
    if (!library.open(ORVEL_PLUGIN_FILE)) return;
    if (auto entry = reinterpret_cast<Entry>(library.symbol("VSTPluginMain")))
        effect = entry(editortest::recordingHost);
}

LoadedPlugin::~LoadedPlugin() {
    if (effect) dispatch(vst::effClose);
}

vst::VstIntPtr LoadedPlugin::dispatch(vst::VstInt32 opcode, vst::VstInt32 index, vst::VstIntPtr value,
                                      void* ptr, float opt) {
    return effect->dispatcher(effect, opcode, index, value, ptr, opt);
}

vst::VstIntPtr LoadedPlugin::open(Window parent) {
    return dispatch(vst::effEditOpen, 0, 0, reinterpret_cast<void*>(parent));
}

float LoadedPlugin::parameter(int index) {
    return effect->getParameter(effect, index);
}

void idleFor(LoadedPlugin& plugin, Host& host, int ms) {
    for (int waited = 0; waited < ms; waited += 30) {
        host.sync();
        plugin.dispatch(vst::effEditIdle);
        std::this_thread::sleep_for(std::chrono::milliseconds(30));
    }
    plugin.dispatch(vst::effEditIdle);
}

std::vector<std::uint32_t> settle(LoadedPlugin& plugin, Host& host, Window editor) {
    host.moveTo(1270, 1010);
    idleFor(plugin, host, 200);
    return host.readWindow(editor);
}

ScreenPoint onScreen(const Host& host, Window editor, int x, int y) {
    int left = 0, top = 0, w = 0, h = 0;
    host.geometry(editor, left, top, w, h);
    return {left + x, top + y};
}

} // namespace x11test
