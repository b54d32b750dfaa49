// A window the X11 backend draws itself (pop-up menu, entry field, file dialog, message box): an
// ARGB picture of its size, a few drawing calls in the toolkit's typeface (platform/text_painter.h),
// and its events routed to an owner.
#pragma once

#include <cstdint>
#include <functional>
#include <string_view>
#include <vector>

#include "platform/text_painter.h"
#include "platform/x11_connection.h"

namespace platform::x11 {

class DrawnWindow final : private EventSink {
public:
    // A child of `parent` at r (parent pixels), or an override-redirect pop-up at r on the screen.
    DrawnWindow(Connection& connection, Window parent, const PixelRect& r, long events, bool popup,
                std::function<void(XEvent&)> onEvent);
    ~DrawnWindow();
    DrawnWindow(const DrawnWindow&) = delete;
    DrawnWindow& operator=(const DrawnWindow&) = delete;

    bool valid() const { return window != 0; }
    Window id() const { return window; }
    int width() const { return w; }
    int height() const { return h; }
    Connection& connection() { return link; }

    // --- Drawing into the picture; show() puts it on the screen.
    void fill(const PixelRect& r, std::uint32_t argb);
    void outline(const PixelRect& r, std::uint32_t argb);
    // Text with its baseline at `baseline`, cut to clip; returns the x after it.
    int text(int x, int baseline, std::string_view utf8, int fontHeight, std::uint32_t argb,
             const PixelRect& clip);
    int textWidth(std::string_view utf8, int fontHeight) const;
    // The baseline that centres a line of that font in r (as the toolkit centres its labels).
    int centredBaseline(const PixelRect& r, int fontHeight) const;
    void show();
    void show(const PixelRect& r);

    // The window is gone (destroyed with its parent): nothing of it is touched again.
    void forget() { window = 0; }

private:
    void handleEvent(XEvent& event) override;

    Connection& link;
    Window window = 0;
    int w, h;
    GC gc = nullptr;
    std::vector<std::uint32_t> pixels;
    WindowImage image;
    std::function<void(XEvent&)> onEvent;
};

} // namespace platform::x11
