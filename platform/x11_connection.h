// The X11 backend's connection to the display. Each editor window opens its own (a host's Display
// may be busy on another thread, and XInitThreads is only safe as a process's first Xlib call, which
// a plug-in never makes); the pop-up menu, entry field and dialogs of that window share it. Events
// are routed to the window they belong to. Only the thread that opened a connection uses it.
#pragma once

// Before Xlib, whose None macro would otherwise rename the key record's first entry.
#include "platform/frame_window.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <cstdint>
#include <map>
#include <memory>
#include <string>

namespace platform::x11 {

// A window of ours that wants its events.
class EventSink {
public:
    virtual void handleEvent(XEvent& event) = 0;

protected:
    ~EventSink() = default;
};

// Catches the X errors of one connection while it lives, so that a request on a window the host has
// destroyed costs nothing but an error count. The handler is process-wide: ours is set only around
// our own calls, and errors of any other connection go on to the handler that was there before.
class ErrorTrap {
public:
    explicit ErrorTrap(Display* display);
    ~ErrorTrap();
    ErrorTrap(const ErrorTrap&) = delete;
    ErrorTrap& operator=(const ErrorTrap&) = delete;
    // Errors caught so far, after waiting for the server to answer every request made until now.
    int errors();

private:
    Display* display;
    ErrorTrap* outer;
    XErrorHandler previous = nullptr; // what the outermost trap of a thread puts back
    int caught = 0;
    friend int trapError(Display*, XErrorEvent*);
};

class Connection {
public:
    // Null when there is no display (no DISPLAY, or the server refuses us) or it offers no
    // true-colour visual of 24 bits.
    static std::unique_ptr<Connection> open();
    ~Connection();
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    Display* display() const { return dpy; }
    Window root() const;
    Visual* visual() const { return visualInfo.visual; }
    int depth() const { return visualInfo.depth; }
    Colormap colormap() const { return colours; }
    Atom atom(const char* name);
    // Whether the server offers MIT-SHM images (a local server; remote ones refuse them).
    bool sharedMemory() const { return shm; }
    // The size of the screen, for placing pop-ups and dialogs.
    int screenWidth() const;
    int screenHeight() const;

    void route(Window window, EventSink* sink);
    void unroute(Window window);
    EventSink* sinkOf(Window window) const;

    // Waits at most `ms` milliseconds for an event or a reply to arrive; true when one is queued.
    bool waitForEvent(int ms);

    // A window of ours of the given size and events, with our visual: a child of `parent`, or an
    // override-redirect one (pop-ups) when asked. 0 when refused.
    Window createWindow(Window parent, int x, int y, int width, int height, long events,
                        bool overrideRedirect = false);

private:
    Connection() = default;
    Display* dpy = nullptr;
    XVisualInfo visualInfo{};
    Colormap colours = 0;
    bool ownColormap = false;
    bool shm = false;
    std::map<Window, EventSink*> sinks;
    std::map<std::string, Atom> atoms;
};

// Button-state bits of an X event's state field (buttons 1-3 and the shift, control and alt keys).
std::uint32_t buttonsOfState(unsigned int state);

// The toolkit's key record of an X key event: special keys by name, characters as Unicode.
KeyEvent keyEventOf(XKeyEvent& event);

// Milliseconds on a steady clock (timers, double-click timing).
std::uint32_t nowMs();

// A 32-bit ARGB picture of a window's size that can be shown in the window: through MIT-SHM when
// the server offers it (made once and reused), else through a plain XPutImage.
class WindowImage {
public:
    WindowImage(Connection& connection, int width, int height);
    ~WindowImage();
    WindowImage(const WindowImage&) = delete;
    WindowImage& operator=(const WindowImage&) = delete;
    bool valid() const { return image != nullptr; }
    // Copies rectangle r of a surface (rows of `stride` pixels, starting at the window's origin)
    // and shows it in the window.
    void show(Window window, GC gc, const std::uint32_t* pixels, int stride, const PixelRect& r);
    int width() const { return w; }
    int height() const { return h; }

private:
    bool makeShared();
    void makePlain();

    Connection& connection;
    int w, h;
    XImage* image = nullptr;
    struct Shared;
    std::unique_ptr<Shared> shared;
};

} // namespace platform::x11
