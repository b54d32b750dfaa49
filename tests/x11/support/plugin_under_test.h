// The built .so as a host loads it (VSTPluginMain with the recording host callback), and what an
// X11 host's GUI thread does around an open editor: idle calls, and pointing at the editor's pixels.
#pragma once

#include <vector>

#include "platform/library_loader.h"
#include "support/editor_host.h"
#include "support/x11_host.h"

namespace x11test {

constexpr int kEditorWidth = 524, kEditorHeight = 462;

struct LoadedPlugin {
    LoadedPlugin();
    ~LoadedPlugin();
    LoadedPlugin(const LoadedPlugin&) = delete;
    LoadedPlugin& operator=(const LoadedPlugin&) = delete;
    vst::VstIntPtr dispatch(vst::VstInt32 opcode, vst::VstInt32 index = 0, vst::VstIntPtr value = 0,
                            void* ptr = nullptr, float opt = 0.0f);
    vst::VstIntPtr open(Window parent);
    float parameter(int index);

    platform::LoadedLibrary library;
    vst::AEffect* effect = nullptr;
};

// The host's idle calls for a while, as a host's GUI thread makes them (about 30 a second).
void idleFor(LoadedPlugin& plugin, Host& host, int ms);
// Lets the editor's timer and the host's idle run with the pointer parked outside (no control shows
// a hover look), then reads what the window shows.
std::vector<std::uint32_t> settle(LoadedPlugin& plugin, Host& host, Window editor);

struct ScreenPoint {
    int x, y;
};
ScreenPoint onScreen(const Host& host, Window editor, int x, int y);

} // namespace x11test
