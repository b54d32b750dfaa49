#include "ui_under_test.h"

#include <lilv/lilv.h>

#include <chrono>
#include <cstring>
#include <thread>

#include "lv2/identity.h"

namespace lv2uitest {

namespace {

// The bundle of the build folder, with the system's vocabularies beside it.
LilvWorld* newWorld() {
    LilvWorld* world = lilv_world_new();
    const std::string path = std::string(ORVEL_LV2_PATH) + ":/usr/lib/lv2";
    LilvNode* lv2Path = lilv_new_string(world, path.c_str());
    lilv_world_set_option(world, LILV_OPTION_LV2_PATH, lv2Path);
    lilv_node_free(lv2Path);
    lilv_world_load_all(world);
    return world;
}

} // namespace

FoundUi findUi() {
    FoundUi found;
    LilvWorld* world = newWorld();
    LilvNode* pluginUri = lilv_new_uri(world, lv2identity::kPluginUri);
    LilvNode* x11Ui = lilv_new_uri(world, LV2_UI__X11UI);
    const LilvPlugin* plugin = lilv_plugins_get_by_uri(lilv_world_get_all_plugins(world), pluginUri);
    if (LilvUIs* uis = plugin ? lilv_plugin_get_uis(plugin) : nullptr) {
        LILV_FOREACH(uis, i, uis) {
            const LilvUI* ui = lilv_uis_get(uis, i);
            ++found.count;
            found.uri = lilv_node_as_uri(lilv_ui_get_uri(ui));
            found.isX11Ui = lilv_ui_is_a(ui, x11Ui);
            if (char* path = lilv_file_uri_parse(lilv_node_as_uri(lilv_ui_get_binary_uri(ui)), nullptr)) {
                found.binaryPath = path;
                lilv_free(path);
            }
        }
        lilv_uis_free(uis);
    }
    lilv_node_free(x11Ui);
    lilv_node_free(pluginUri);
    lilv_world_free(world);
    return found;
}

UiUnderTest::UiUnderTest() {
    const FoundUi found = findUi();
    if (found.binaryPath.empty()) {
        problem = "lilv lists no user interface with a binary";
        return;
    }
    bundlePath = found.binaryPath.substr(0, found.binaryPath.rfind('/') + 1);
    if (!library.open(found.binaryPath)) {
        problem = library.error();
        return;
    }
    using Entry = const LV2UI_Descriptor* (*)(std::uint32_t);
    auto entry = reinterpret_cast<Entry>(library.symbol("lv2ui_descriptor"));
    if (!entry) {
        problem = "no lv2ui_descriptor in " + found.binaryPath;
        return;
    }
    for (std::uint32_t i = 0; const LV2UI_Descriptor* d = entry(i); ++i)
        if (std::strcmp(d->URI, found.uri.c_str()) == 0) ui = d;
    if (!ui) problem = "no descriptor for " + found.uri;
}

UiUnderTest::~UiUnderTest() {
    cleanup();
}

const LV2UI_Idle_Interface* UiUnderTest::idleInterface() const {
    return ui && ui->extension_data
               ? static_cast<const LV2UI_Idle_Interface*>(ui->extension_data(LV2_UI__idleInterface))
               : nullptr;
}

Window UiUnderTest::instantiate(Window parent) {
    static LV2UI_Touch touchFeature;
    static LV2UI_Resize resizeFeature;
    touchFeature = {this, &UiUnderTest::touch};
    resizeFeature = {this, &UiUnderTest::resize};
    LV2_Feature parentFeature = {LV2_UI__parent, reinterpret_cast<void*>(parent)};
    LV2_Feature touchEntry = {LV2_UI__touch, &touchFeature};
    LV2_Feature resizeEntry = {LV2_UI__resize, &resizeFeature};
    LV2_Feature idleEntry = {LV2_UI__idleInterface, nullptr};
    const LV2_Feature* withParent[] = {&parentFeature, &touchEntry, &resizeEntry, &idleEntry, nullptr};
    const LV2_Feature* withoutParent[] = {&touchEntry, &resizeEntry, &idleEntry, nullptr};
    LV2UI_Widget made = nullptr;
    handle = ui->instantiate(ui, lv2identity::kPluginUri, bundlePath.c_str(), &UiUnderTest::write, this,
                             &made, parent ? withParent : withoutParent);
    widget = handle ? Window(reinterpret_cast<std::uintptr_t>(made)) : 0;
    return widget;
}

void UiUnderTest::cleanup() {
    if (handle) ui->cleanup(handle);
    handle = nullptr;
    widget = 0;
}

void UiUnderTest::send(std::uint32_t port, float value) {
    ui->port_event(handle, port, sizeof(float), 0, &value);
}

bool UiUnderTest::idleFor(x11test::Host& host, int ms) {
    const LV2UI_Idle_Interface* idle = idleInterface();
    bool open = true;
    for (int waited = 0; waited <= ms && open; waited += 30) {
        host.sync();
        open = idle->idle(handle) == 0;
        std::this_thread::sleep_for(std::chrono::milliseconds(30));
    }
    return open && idle->idle(handle) == 0;
}

std::vector<std::uint32_t> UiUnderTest::settle(x11test::Host& host) {
    host.moveTo(1270, 1010);
    idleFor(host, 200);
    return host.readWindow(widget);
}

void UiUnderTest::write(LV2UI_Controller controller, std::uint32_t port, std::uint32_t size,
                        std::uint32_t protocol, const void* buffer) {
    auto* self = static_cast<UiUnderTest*>(const_cast<void*>(controller));
    float value = 0.0f;
    if (protocol == 0 && size == sizeof(float)) std::memcpy(&value, buffer, sizeof(value));
    self->writes.push_back({protocol == 0 && size == sizeof(float) ? port : ~0u, value});
}

void UiUnderTest::touch(LV2UI_Feature_Handle handle, std::uint32_t port, bool grabbed) {
    static_cast<UiUnderTest*>(handle)->touches.push_back({port, grabbed});
}

int UiUnderTest::resize(LV2UI_Feature_Handle handle, int width, int height) {
    static_cast<UiUnderTest*>(handle)->resizes.emplace_back(width, height);
    return 0;
}

ScreenPoint onScreen(const x11test::Host& host, Window window, int x, int y) {
    int left = 0, top = 0, w = 0, h = 0;
    host.geometry(window, left, top, w, h);
    return {left + x, top + y};
}

} // namespace lv2uitest
