#include "platform/x11_drawn_window.h"

#include <algorithm>

namespace platform::x11 {

DrawnWindow::DrawnWindow(Connection& connection, Window parent, const PixelRect& r, long events, bool popup,
                         std::function<void(XEvent&)> handler)
    : link(connection), w(std::max(r.right - r.left, 1)), h(std::max(r.bottom - r.top, 1)),
      pixels(std::size_t(w) * std::size_t(h), 0xFF000000u), image(connection, w, h),
      onEvent(std::move(handler)) {
    window =
        link.createWindow(parent, r.left, r.top, w, h, events | ExposureMask | StructureNotifyMask, popup);
    if (!window) return;
    gc = XCreateGC(link.display(), window, 0, nullptr);
    link.route(window, this);
}

DrawnWindow::~DrawnWindow() {
    ErrorTrap trap(link.display());
    if (gc) XFreeGC(link.display(), gc);
    if (!window) return;
    link.unroute(window);
    XDestroyWindow(link.display(), window);
}

void DrawnWindow::handleEvent(XEvent& event) {
    if (event.type == Expose) {
        show({event.xexpose.x, event.xexpose.y, event.xexpose.x + event.xexpose.width,
              event.xexpose.y + event.xexpose.height});
        return;
    }
    if (event.type == DestroyNotify && event.xdestroywindow.window == window) {
        link.unroute(window);
        window = 0;
    }
    if (onEvent) onEvent(event);
}

void DrawnWindow::fill(const PixelRect& r, std::uint32_t argb) {
    for (int y = std::max(r.top, 0); y < std::min(r.bottom, h); ++y)
        for (int x = std::max(r.left, 0); x < std::min(r.right, w); ++x)
            pixels[std::size_t(y) * std::size_t(w) + std::size_t(x)] = argb;
}

void DrawnWindow::outline(const PixelRect& r, std::uint32_t argb) {
    fill({r.left, r.top, r.right, r.top + 1}, argb);
    fill({r.left, r.bottom - 1, r.right, r.bottom}, argb);
    fill({r.left, r.top, r.left + 1, r.bottom}, argb);
    fill({r.right - 1, r.top, r.right, r.bottom}, argb);
}

int DrawnWindow::text(int x, int baseline, std::string_view utf8, int fontHeight, std::uint32_t argb,
                      const PixelRect& clip) {
    const TextPainter* painter = textPainter();
    PixelRect c{std::max(clip.left, 0), std::max(clip.top, 0), std::min(clip.right, w),
                std::min(clip.bottom, h)};
    if (!painter || c.empty()) return x;
    painter->draw({pixels.data(), w, c}, x, baseline, utf8, fontHeight, argb);
    return x + painter->width(utf8, fontHeight);
}

int DrawnWindow::textWidth(std::string_view utf8, int fontHeight) const {
    const TextPainter* painter = textPainter();
    return painter ? painter->width(utf8, fontHeight) : 0;
}

int DrawnWindow::centredBaseline(const PixelRect& r, int fontHeight) const {
    const TextPainter* painter = textPainter();
    if (!painter) return r.bottom;
    return r.top + (r.bottom - r.top + painter->ascent(fontHeight) - painter->descent(fontHeight)) / 2;
}

void DrawnWindow::show() {
    show({0, 0, w, h});
}

void DrawnWindow::show(const PixelRect& r) {
    if (!window) return;
    ErrorTrap trap(link.display());
    image.show(window, gc, pixels.data(), w, r);
}

} // namespace platform::x11
