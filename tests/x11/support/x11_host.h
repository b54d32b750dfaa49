// The host's side of an X11 editor test: a connection of the host's own, a top-level parent window
// the plug-in embeds its editor in, real input through XTEST, and reading back what the server
// shows. Only the thread that made a Host uses it.
#pragma once

#include <X11/Xlib.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace x11test {

class Host {
public:
    Host();
    ~Host();
    Host(const Host&) = delete;
    Host& operator=(const Host&) = delete;

    Display* display() const { return dpy; }
    // X errors this connection has seen (the host's own requests).
    int errors() const;

    // A mapped top-level window of the given size at a screen position; selects key presses on it,
    // as a host that watches its window's keys does.
    Window makeParent(int width, int height, int x = 100, int y = 80);
    void destroy(Window window);
    // The first child of a window (the editor's window in its parent), 0 when it has none.
    Window firstChild(Window parent) const;
    // Children, recursively, of a window.
    std::vector<Window> childrenOf(Window parent) const;
    int childCount(Window parent) const;
    // The window's size and its top-left corner on the screen.
    bool geometry(Window window, int& x, int& y, int& width, int& height) const;

    // Real input, as the server receives it from a device.
    void moveTo(int screenX, int screenY);
    void button(unsigned int button, bool down);
    void click(int screenX, int screenY, unsigned int button = 1);
    void key(unsigned long keysym, bool down);
    void tap(unsigned long keysym, bool shift = false);
    void type(const std::string& ascii);
    void sync();

    // What the server shows in a window (24-bit pixels as 0xFFRRGGBB), or of a screen rectangle.
    std::vector<std::uint32_t> readWindow(Window window) const;
    std::vector<std::uint32_t> readScreen(int x, int y, int width, int height) const;

    // Key presses that reached a window of ours (the parent), since the last call.
    std::vector<unsigned long> takeParentKeys();

    // Whether this client can grab the pointer now (nothing of another client holds a grab).
    bool pointerGrabbable();
    // Override-redirect windows mapped on the screen's root (pop-ups).
    int mappedPopups() const;

private:
    Display* dpy = nullptr;
    std::vector<std::uint32_t> readWindowPart(Window window, int x, int y, int width, int height) const;
    std::vector<unsigned long> parentKeys;
};

// A difference between two pictures as text ("" when equal): the first differing pixel and count.
std::string pictureDifference(const std::vector<std::uint32_t>& shown, const std::uint32_t* expected,
                              int width, int height);

} // namespace x11test
