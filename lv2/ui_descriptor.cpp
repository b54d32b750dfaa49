// The LV2 user interface: the plug-in's editor in an X11 window inside the host's parent window
// (ui:parent), linked to the plug-in through its ports alone (lv2/port_link.h). The host drives it
// through the idle interface, which runs the editor's idle and with it the window's event pump.
// The window has one size; a host that offers ui:resize is told it.
#include <lv2/ui/ui.h>

#include <cstdint>
#include <cstring>
#include <memory>
#include <new>

#include "editor/editor.h"
#include "engine/limiter_core.h"
#include "gui/frame.h"
#include "lv2/identity.h"
#include "lv2/port_link.h"
#include "lv2/ports.h"
#include "platform/export.h"

namespace {

class Ui final : private lv2port::PortLink::Host {
public:
    Ui(LV2UI_Write_Function write, LV2UI_Controller controller, const LV2UI_Touch* touch)
        : write(write), controller(controller), touch(touch) {
        link.setView(&editor);
        editor.setLatency(kLatencyAtFirstRate);
    }

    ~Ui() {
        editor.close();
        link.setView(nullptr);
    }

    // Opens the window in the parent; its handle, or 0 when the system gives none.
    std::uintptr_t open(std::uintptr_t parent) {
        if (!editor.open(reinterpret_cast<void*>(parent))) return 0;
        CFrame* frame = editor.getFrame();
        platform::FrameWindow* window = frame ? frame->getPlatformWindow() : nullptr;
        return window ? reinterpret_cast<std::uintptr_t>(window->nativeHandle()) : 0;
    }

    void portEvent(std::uint32_t port, float value) { link.portEvent(port, value); }

    // True while the window stands.
    bool idle() {
        if (!editor.getFrame() || !editor.getFrame()->getPlatformWindow()) return false;
        if (firstIdle) {
            // By now the host has told the ports' values: a new instance takes the user's default
            // bank and preset, as in the VST 2.4 plug-in; a restored session keeps its settings.
            firstIdle = false;
            if (link.atFactorySettings())
                editor.loadUserDefaults();
            else
                editor.loadRememberedPaths();
        }
        editor.idle();
        return editor.getFrame() && editor.getFrame()->getPlatformWindow();
    }

private:
    // What a new plug-in reports (at 44.1 kHz), until the latency port says otherwise.
    static constexpr int kLatencyAtFirstRate = LimiterCore::kBaseLookAhead + LimiterCore::kAlignmentDelay;

    void writePort(std::uint32_t port, float value) override {
        write(controller, port, sizeof(float), 0, &value);
    }
    void touchPort(std::uint32_t port, bool grabbed) override {
        if (touch) touch->touch(touch->handle, port, grabbed);
    }

    LV2UI_Write_Function write;
    LV2UI_Controller controller;
    const LV2UI_Touch* touch;
    lv2port::PortLink link{*this};
    Editor editor{link};
    bool firstIdle = true;
};

const void* feature(const LV2_Feature* const* features, const char* uri) {
    for (const LV2_Feature* const* f = features; f && *f; ++f)
        if ((*f)->URI && std::strcmp((*f)->URI, uri) == 0) return (*f)->data;
    return nullptr;
}

LV2UI_Handle instantiate(const LV2UI_Descriptor*, const char* pluginUri, const char*,
                         LV2UI_Write_Function write, LV2UI_Controller controller, LV2UI_Widget* widget,
                         const LV2_Feature* const* features) {
    if (!pluginUri || std::strcmp(pluginUri, lv2identity::kPluginUri) != 0 || !write || !widget)
        return nullptr;
    const auto parent = reinterpret_cast<std::uintptr_t>(feature(features, LV2_UI__parent));
    if (!parent) return nullptr;
    const auto* touch = static_cast<const LV2UI_Touch*>(feature(features, LV2_UI__touch));
    std::unique_ptr<Ui> ui(new (std::nothrow) Ui(write, controller, touch));
    if (!ui) return nullptr;
    const std::uintptr_t window = ui->open(parent);
    if (!window) return nullptr;
    *widget = reinterpret_cast<LV2UI_Widget>(window);
    if (const auto* resize = static_cast<const LV2UI_Resize*>(feature(features, LV2_UI__resize)))
        resize->ui_resize(resize->handle, int(editor::kWidth), int(editor::kHeight));
    return ui.release();
}

void cleanup(LV2UI_Handle handle) {
    delete static_cast<Ui*>(handle);
}

void portEvent(LV2UI_Handle handle, std::uint32_t port, std::uint32_t size, std::uint32_t format,
               const void* buffer) {
    // Control ports only, as plain floats.
    if (format != 0 || size != sizeof(float) || !buffer) return;
    float value;
    std::memcpy(&value, buffer, sizeof(value));
    static_cast<Ui*>(handle)->portEvent(port, value);
}

int idle(LV2UI_Handle handle) {
    return static_cast<Ui*>(handle)->idle() ? 0 : 1;
}

const LV2UI_Idle_Interface kIdleInterface = {idle};

const void* extensionData(const char* uri) {
    if (uri && std::strcmp(uri, LV2_UI__idleInterface) == 0) return &kIdleInterface;
    return nullptr;
}

const LV2UI_Descriptor kDescriptor = {lv2identity::kUiUri, instantiate, cleanup, portEvent, extensionData};

} // namespace

extern "C" ORVEL_EXPORT const LV2UI_Descriptor* lv2ui_descriptor(std::uint32_t index) {
    return index == 0 ? &kDescriptor : nullptr;
}
