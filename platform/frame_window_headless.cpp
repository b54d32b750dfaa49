#include "platform/frame_window_headless.h"

#include <algorithm>

#include "platform/native_dialogs_headless.h"

namespace platform {

std::unique_ptr<FrameWindow> FrameWindow::create(void*, int width, int height, FrameWindowClient& client) {
    if (width <= 0 || height <= 0) return nullptr;
    return std::make_unique<HeadlessFrameWindow>(width, height, client);
}

HeadlessFrameWindow* asHeadless(FrameWindow* window) {
    return dynamic_cast<HeadlessFrameWindow*>(window);
}

HeadlessFrameWindow::HeadlessFrameWindow(int width, int height, FrameWindowClient& client)
    : w(width), h(height), client(client), shown(std::size_t(width) * std::size_t(height), 0) {
    // A new window is painted whole at its first paint, and it takes the keyboard focus.
    pending = {0, 0, w, h};
    headless::setKeyboardFocus(this, nullptr);
}

HeadlessFrameWindow::~HeadlessFrameWindow() {
    headless::windowGone(this);
}

void HeadlessFrameWindow::present(const std::uint32_t* pixels, int stride, const PixelRect& r) {
    int l = std::max(r.left, 0), t = std::max(r.top, 0);
    int rt = std::min(r.right, w), b = std::min(r.bottom, h);
    for (int y = t; y < b; ++y) {
        std::copy(pixels + std::size_t(y) * std::size_t(stride) + std::size_t(l),
                  pixels + std::size_t(y) * std::size_t(stride) + std::size_t(rt),
                  shown.begin() + std::ptrdiff_t(std::size_t(y) * std::size_t(w) + std::size_t(l)));
    }
    if (rt > l && b > t) presentedCount += std::uint64_t(rt - l) * std::uint64_t(b - t);
}

void HeadlessFrameWindow::invalidate(const PixelRect& r) {
    PixelRect c{std::max(r.left, 0), std::max(r.top, 0), std::min(r.right, w), std::min(r.bottom, h)};
    if (c.empty()) return;
    if (pending.empty()) {
        pending = c;
        return;
    }
    pending = {std::min(pending.left, c.left), std::min(pending.top, c.top), std::max(pending.right, c.right),
               std::max(pending.bottom, c.bottom)};
}

void HeadlessFrameWindow::dispatchPendingPaints() {
    if (pending.empty()) return;
    PixelRect r = pending;
    pending = {};
    client.windowPaint(r);
}

void HeadlessFrameWindow::paint(PixelRect r) {
    if (r.empty()) r = {0, 0, w, h};
    pending = {};
    client.windowPaint(r);
}

std::uint32_t HeadlessFrameWindow::currentButtons() const {
    return buttonsSwapped ? swapMouseButtons(physical) : physical;
}

void HeadlessFrameWindow::screenOrigin(int& x, int& y) const {
    x = originX;
    y = originY;
}

int HeadlessFrameWindow::startTimer(unsigned, std::function<void()> tick) {
    if (!tick) return 0;
    int id = nextTimer++;
    timers.emplace(id, std::move(tick));
    return id;
}

void HeadlessFrameWindow::stopTimer(int id) {
    timers.erase(id);
}

void HeadlessFrameWindow::fireTimers() {
    std::vector<int> ids;
    for (auto& t : timers)
        ids.push_back(t.first);
    for (int id : ids) {
        auto it = timers.find(id); // a tick may stop timers, its own included
        if (it == timers.end()) continue;
        auto tick = it->second;
        tick();
    }
}

bool HeadlessFrameWindow::hasKeyboardFocus() const {
    return headless::keyboardFocusWindow() == this;
}

void HeadlessFrameWindow::takeKeyboardFocus() {
    headless::setKeyboardFocus(this, nullptr);
}

int HeadlessFrameWindow::press(int x, int y, std::uint32_t buttons) {
    lastX = x, lastY = y;
    takeKeyboardFocus();
    int result = client.windowMouseDown(x, y, buttons);
    if (result == 1) capture = true;
    return result;
}

int HeadlessFrameWindow::move(int x, int y, std::uint32_t buttons) {
    // Without capture, moves outside the client area do not reach the window.
    if (!capture && (x < 0 || y < 0 || x >= w || y >= h)) return 0;
    lastX = x, lastY = y;
    return client.windowMouseMoved(x, y, buttons);
}

int HeadlessFrameWindow::release(int x, int y, std::uint32_t buttons) {
    if (!capture && (x < 0 || y < 0 || x >= w || y >= h)) return 0;
    lastX = x, lastY = y;
    int result = client.windowMouseUp(x, y, buttons);
    capture = false;
    return result;
}

int HeadlessFrameWindow::leave() {
    if (!leaveTracking) return 0;
    leaveTracking = false;
    return client.windowMouseExited(lastX, lastY, currentButtons());
}

bool HeadlessFrameWindow::wheelAtScreen(int screenX, int screenY, int delta, std::uint32_t modifiers) {
    std::uint32_t state = modifiers & (kKeyShift | kKeyControl | kKeyAlt);
    return client.windowWheel(screenX - originX, screenY - originY, wheelDistance(delta), state);
}

bool HeadlessFrameWindow::wheel(int x, int y, int delta, std::uint32_t modifiers) {
    return wheelAtScreen(x + originX, y + originY, delta, modifiers);
}

} // namespace platform
