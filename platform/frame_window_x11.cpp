// The frame window on X11: a child window of the host's parent window, on a connection of its own.
// X delivers nothing by itself to a plug-in: the host's idle calls (pump) read the connection
// without blocking, merge exposures into one rectangle painted once, and run the window's timers.
#include "platform/frame_window_x11.h"

#include <X11/Xatom.h>

#include <algorithm>
#include <cstdlib>
#include <vector>

namespace platform {

namespace x11 {

namespace {

constexpr long kFrameEvents = ExposureMask | ButtonPressMask | ButtonReleaseMask | PointerMotionMask |
                              LeaveWindowMask | KeyPressMask | KeyReleaseMask | StructureNotifyMask |
                              FocusChangeMask;

// The double-click rule of Win32: the second press of the same button within the double-click
// time, inside a rectangle of 4 x 4 pixels centred on the first press.
constexpr Time kDoubleClickMs = 500;
constexpr int kDoubleClickHalfSize = 2;
constexpr unsigned int kMaskedModifiers = kKeyShift | kKeyControl | kKeyAlt;

PixelRect unite(const PixelRect& a, const PixelRect& b) {
    if (a.empty()) return b;
    if (b.empty()) return a;
    return {std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
            std::max(a.bottom, b.bottom)};
}

// The button-state bit of a pressed button; 0 for the wheel and the horizontal scroll buttons.
std::uint32_t buttonBit(unsigned int button) {
    switch (button) {
    case Button1:
        return kMouseLeft;
    case Button2:
        return kMouseMiddle;
    case Button3:
        return kMouseRight;
    case 8:
        return kMouseButton4;
    case 9:
        return kMouseButton5;
    default:
        return 0;
    }
}

bool isOwnInput(int type) {
    return type == ButtonPress || type == ButtonRelease || type == MotionNotify || type == LeaveNotify ||
           type == KeyPress || type == KeyRelease;
}

} // namespace

X11FrameWindow::X11FrameWindow(std::unique_ptr<Connection> connection, int width, int height,
                               FrameWindowClient& client)
    : link(std::move(connection)), w(width), h(height), client(&client) {}

bool X11FrameWindow::open(Window parentWindow) {
    Display* d = link->display();
    {
        ErrorTrap trap(d);
        window = link->createWindow(parentWindow, 0, 0, w, h, kFrameEvents);
        if (!window) return false;
        parent = parentWindow;
        gc = XCreateGC(d, window, 0, nullptr);
        // Some hosts show only embedded children that say they are mapped.
        Atom embedInfo = link->atom("_XEMBED_INFO");
        long info[2] = {0, 1};
        XChangeProperty(d, window, embedInfo, embedInfo, 32, PropModeReplace,
                        reinterpret_cast<unsigned char*>(info), 2);
        if (XSizeHints* hints = XAllocSizeHints()) {
            hints->flags = PMinSize | PMaxSize;
            hints->min_width = hints->max_width = w;
            hints->min_height = hints->max_height = h;
            XSetWMNormalHints(d, window, hints);
            XFree(hints);
        }
        XMapWindow(d, window);
        if (trap.errors() != 0) {
            XDestroyWindow(d, window);
            window = 0;
            return false;
        }
    }
    pending = {0, 0, w, h};
    // Refused while the host has not mapped its window yet: the first click takes it then.
    ErrorTrap trap(d);
    XSetInputFocus(d, window, RevertToParent, CurrentTime);
    return true;
}

X11FrameWindow::~X11FrameWindow() {
    client = nullptr;
    ErrorTrap trap(link->display());
    image.reset();
    if (gc) XFreeGC(link->display(), gc);
    if (window) XDestroyWindow(link->display(), window);
}

void X11FrameWindow::forget() {
    window = 0;
    timers.clear();
    deferredInput.clear();
    pending = {};
}

void X11FrameWindow::present(const std::uint32_t* pixels, int stride, const PixelRect& r) {
    if (!window) return;
    ErrorTrap trap(link->display());
    if (!image) image = std::make_unique<WindowImage>(*link, w, h);
    image->show(window, gc, pixels, stride, r);
}

void X11FrameWindow::invalidate(const PixelRect& r) {
    if (!window) return;
    PixelRect clipped{std::max(r.left, 0), std::max(r.top, 0), std::min(r.right, w), std::min(r.bottom, h)};
    if (!clipped.empty()) pending = unite(pending, clipped);
}

void X11FrameWindow::dispatchPendingPaints() {
    ErrorTrap trap(link->display());
    paintPending();
}

void X11FrameWindow::paintPending() {
    if (pending.empty() || !client || !window) return;
    PixelRect r = pending;
    pending = {};
    client->windowPaint(r);
}

std::uint32_t X11FrameWindow::currentButtons() const {
    if (!window) return 0;
    ErrorTrap trap(link->display());
    Window root = 0, child = 0;
    int rootX = 0, rootY = 0, x = 0, y = 0;
    unsigned int mask = 0;
    if (!XQueryPointer(link->display(), window, &root, &child, &rootX, &rootY, &x, &y, &mask)) return 0;
    return buttonsOfState(mask);
}

void X11FrameWindow::screenOrigin(int& x, int& y) const {
    x = y = 0;
    if (!window) return;
    ErrorTrap trap(link->display());
    Window child = 0;
    XTranslateCoordinates(link->display(), window, link->root(), 0, 0, &x, &y, &child);
}

int X11FrameWindow::startTimer(unsigned intervalMs, std::function<void()> tick) {
    if (!window || !tick) return 0;
    int id = nextTimer++;
    timers[id] = Timer{intervalMs, nowMs() + intervalMs, std::move(tick)};
    return id;
}

void X11FrameWindow::stopTimer(int id) {
    timers.erase(id);
}

void X11FrameWindow::runDueTimers() {
    std::uint32_t now = nowMs();
    std::vector<int> due;
    for (const auto& [id, timer] : timers)
        if (std::int32_t(now - timer.due) >= 0) due.push_back(id);
    for (int id : due) {
        auto it = timers.find(id); // an earlier tick may have stopped this one
        if (it == timers.end()) continue;
        // A late pump fires a timer once, not once per missed interval.
        it->second.due = now + it->second.interval;
        auto tick = it->second.tick; // the tick may stop its own timer
        tick();
    }
}

// A pump inside a pump (a control's idle calls while it handles a press) paints but leaves the
// frame's further input for the outer pump, as a window procedure is not re-entered by the queued
// messages of its own window; timers run only in the outermost pump or a modal loop.
void X11FrameWindow::pump() {
    if (!window) return;
    Display* d = link->display();
    ErrorTrap trap(d);
    ++pumpDepth;
    if (pumpDepth == 1)
        while (window && !deferredInput.empty()) {
            XEvent event = deferredInput.front();
            deferredInput.pop_front();
            handleOwnInput(event);
        }
    while (window && XPending(d) > 0) {
        XEvent event;
        XNextEvent(d, &event);
        dispatch(event);
    }
    if (window && (pumpDepth == 1 || modalDepth > 0)) runDueTimers();
    paintPending();
    --pumpDepth;
}

void X11FrameWindow::pumpWhileModal() {
    ++modalDepth;
    pump();
    --modalDepth;
}

void X11FrameWindow::takeFocus(Time when) {
    if (!window) return;
    ErrorTrap trap(link->display());
    XSetInputFocus(link->display(), window, RevertToParent, when);
}

void X11FrameWindow::dispatch(XEvent& event) {
    if (event.xany.window == window) {
        handleEvent(event);
        return;
    }
    if (EventSink* sink = link->sinkOf(event.xany.window)) sink->handleEvent(event);
}

void X11FrameWindow::handleEvent(XEvent& event) {
    switch (event.type) {
    case Expose:
        invalidate({event.xexpose.x, event.xexpose.y, event.xexpose.x + event.xexpose.width,
                    event.xexpose.y + event.xexpose.height});
        return;
    case DestroyNotify:
        if (event.xdestroywindow.window != window) return;
        // Destroyed with the host's window: nothing of it is touched again.
        forget();
        if (client) client->windowDestroyed();
        return;
    default:
        break;
    }
    if (!isOwnInput(event.type)) return;
    if (modalDepth > 0) return;
    if (pumpDepth > 1) {
        deferredInput.push_back(event);
        return;
    }
    handleOwnInput(event);
}

void X11FrameWindow::handleOwnInput(XEvent& event) {
    if (!client || !window) return;
    switch (event.type) {
    case ButtonPress:
        press(event.xbutton);
        break;
    case ButtonRelease:
        release(event.xbutton);
        break;
    case MotionNotify: {
        // Only the latest of a run of queued moves matters, as on Win32.
        Display* d = link->display();
        while (XPending(d) > 0) {
            XEvent next;
            XPeekEvent(d, &next);
            if (next.type != MotionNotify || next.xmotion.window != window) break;
            XNextEvent(d, &event);
        }
        client->windowMouseMoved(event.xmotion.x, event.xmotion.y, buttonsOfState(event.xmotion.state));
        break;
    }
    case LeaveNotify:
        // Into our own entry field is not out of the window.
        if (!leaveTracking || event.xcrossing.detail == NotifyInferior ||
            event.xcrossing.mode != NotifyNormal)
            break;
        leaveTracking = false;
        client->windowMouseExited(event.xcrossing.x, event.xcrossing.y,
                                  buttonsOfState(event.xcrossing.state));
        break;
    case KeyPress:
        key(event.xkey, true);
        break;
    case KeyRelease:
        key(event.xkey, false);
        break;
    default:
        break;
    }
}

void X11FrameWindow::press(XButtonEvent& event) {
    std::uint32_t modifiers = buttonsOfState(event.state);
    if (event.button == Button4 || event.button == Button5) {
        client->windowWheel(event.x, event.y, event.button == Button4 ? 1 : -1, modifiers & kMaskedModifiers);
        return;
    }
    std::uint32_t bit = buttonBit(event.button);
    if (!bit) return;
    // Some hosts never give a plug-in's window the focus; without it, keys typed into the editor
    // would reach the host's shortcuts instead.
    XSetInputFocus(link->display(), window, RevertToParent, event.time);
    bool isDouble = !lastWasDouble && event.button == lastButton &&
                    event.time - lastPressMs <= kDoubleClickMs &&
                    std::abs(event.x - lastPressX) <= kDoubleClickHalfSize &&
                    std::abs(event.y - lastPressY) <= kDoubleClickHalfSize;
    lastButton = event.button;
    lastPressMs = std::uint32_t(event.time);
    lastPressX = event.x;
    lastPressY = event.y;
    lastWasDouble = isDouble;
    // The state is the one before the press; Win32 reports the pressed button with it. The
    // pointer stays with this window until the release (X's implicit grab), as a capture does.
    client->windowMouseDown(event.x, event.y, modifiers | bit | (isDouble ? kMouseDoubleClick : 0u));
}

void X11FrameWindow::release(XButtonEvent& event) {
    std::uint32_t bit = buttonBit(event.button);
    if (!bit) return;
    // The state still holds the released button; Win32's button-up does not.
    client->windowMouseUp(event.x, event.y, buttonsOfState(event.state) & ~bit);
}

void X11FrameWindow::key(XKeyEvent& event, bool down) {
    KeyEvent k = keyEventOf(event);
    bool used = down ? client->windowKeyDown(k) : client->windowKeyUp(k);
    if (used || !window || !parent) return;
    // A key the editor has no use for goes on to the host's window, as if typed there (its
    // transport and other shortcuts keep working while the editor has the focus).
    XEvent forwarded;
    forwarded.xkey = event;
    forwarded.xkey.window = parent;
    forwarded.xkey.subwindow = window;
    XSendEvent(link->display(), parent, True, down ? KeyPressMask : KeyReleaseMask, &forwarded);
}

} // namespace x11

std::unique_ptr<FrameWindow> FrameWindow::create(void* parentWindow, int width, int height,
                                                 FrameWindowClient& client) {
    auto parent = Window(reinterpret_cast<std::uintptr_t>(parentWindow));
    if (!parent || width <= 0 || height <= 0) return nullptr;
    auto connection = x11::Connection::open();
    if (!connection) return nullptr;
    auto window = std::make_unique<x11::X11FrameWindow>(std::move(connection), width, height, client);
    if (!window->open(parent)) return nullptr;
    return window;
}

} // namespace platform
