// The LV2 user interface as a host loads it: found through lilv in the bundle of the build folder,
// its binary opened, instantiated through its descriptor with the parent window, ui:resize and
// ui:touch, and driven by the idle interface and port notifications. What it writes and touches is
// recorded.
#pragma once

#include <X11/Xlib.h>
#include <lv2/ui/ui.h>

#include <cstdint>
#include <string>
#include <vector>

#include "platform/library_loader.h"
#include "support/x11_host.h"

namespace lv2uitest {

struct PortWrite {
    std::uint32_t port;
    float value;
};
struct PortTouch {
    std::uint32_t port;
    bool grabbed;
};

// What lilv says of the plug-in's user interfaces.
struct FoundUi {
    std::string uri, binaryPath;
    bool isX11Ui = false;
    int count = 0;
};
FoundUi findUi();

class UiUnderTest {
public:
    UiUnderTest();
    ~UiUnderTest();
    UiUnderTest(const UiUnderTest&) = delete;
    UiUnderTest& operator=(const UiUnderTest&) = delete;

    // Why loading failed ("" when the descriptor is there).
    const std::string& error() const { return problem; }
    const LV2UI_Descriptor* descriptor() const { return ui; }
    const LV2UI_Idle_Interface* idleInterface() const;

    // Instantiates in the parent (0: without ui:parent); the widget, or 0 when refused.
    Window instantiate(Window parent);
    void cleanup();
    // A host's port notification.
    void send(std::uint32_t port, float value);
    // The host's idle calls for a while (about 30 a second); false once the UI asked to close.
    bool idleFor(x11test::Host& host, int ms);
    // Idles with the pointer parked outside the window, then reads what the window shows.
    std::vector<std::uint32_t> settle(x11test::Host& host);

    Window widget = 0;
    std::vector<PortWrite> writes;
    std::vector<PortTouch> touches;
    std::vector<std::pair<int, int>> resizes;

private:
    static void write(LV2UI_Controller controller, std::uint32_t port, std::uint32_t size,
                      std::uint32_t protocol, const void* buffer);
    static void touch(LV2UI_Feature_Handle handle, std::uint32_t port, bool grabbed);
    static int resize(LV2UI_Feature_Handle handle, int width, int height);

    platform::LoadedLibrary library;
    const LV2UI_Descriptor* ui = nullptr;
    LV2UI_Handle handle = nullptr;
    std::string problem;
    std::string bundlePath;
};

struct ScreenPoint {
    int x, y;
};
ScreenPoint onScreen(const x11test::Host& host, Window window, int x, int y);

} // namespace lv2uitest
