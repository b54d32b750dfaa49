#include "support/x11_host.h"

#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

#include <cctype>
#include <cstdio>
#include <map>
#include <mutex>
#include <stdexcept>

namespace x11test {

namespace {

// Per connection: a user's thread that looks at windows which are going away meanwhile counts
// errors of its own, not the host's.
std::mutex errorsLock;
std::map<Display*, int> errorsOf;

int countError(Display* d, XErrorEvent* e) {
    std::fprintf(stderr, "X error seen by a test connection: code %d, request %d.%d, resource 0x%lx\n",
                 e->error_code, e->request_code, e->minor_code, e->resourceid);
    std::lock_guard<std::mutex> hold(errorsLock);
    ++errorsOf[d];
    return 0;
}

} // namespace

Host::Host() {
    dpy = XOpenDisplay(nullptr);
    if (!dpy) throw std::runtime_error("no X display (run under scripts/x11-run)");
    int event = 0, error = 0, major = 0, minor = 0;
    if (!XTestQueryExtension(dpy, &event, &error, &major, &minor))
        throw std::runtime_error("the X server has no XTEST extension");
    XSetErrorHandler(countError);
}

Host::~Host() {
    if (!dpy) return;
    XCloseDisplay(dpy);
    std::lock_guard<std::mutex> hold(errorsLock);
    errorsOf.erase(dpy);
}

int Host::errors() const {
    XSync(dpy, False);
    std::lock_guard<std::mutex> hold(errorsLock);
    return errorsOf[dpy];
}

Window Host::makeParent(int width, int height, int x, int y) {
    int screen = DefaultScreen(dpy);
    Window w = XCreateSimpleWindow(dpy, RootWindow(dpy, screen), x, y, unsigned(width), unsigned(height), 0,
                                   0, BlackPixel(dpy, screen));
    XSelectInput(dpy, w, KeyPressMask | StructureNotifyMask);
    // Placed where asked: no window manager runs, but hints keep one from moving it.
    XSizeHints hints{};
    hints.flags = PPosition | PSize;
    hints.x = x, hints.y = y, hints.width = width, hints.height = height;
    XSetWMNormalHints(dpy, w, &hints);
    XMapWindow(dpy, w);
    XSync(dpy, False);
    return w;
}

void Host::destroy(Window window) {
    XDestroyWindow(dpy, window);
    XSync(dpy, False);
}

std::vector<Window> Host::childrenOf(Window parent) const {
    std::vector<Window> all;
    Window root = 0, up = 0, *children = nullptr;
    unsigned int count = 0;
    if (!XQueryTree(dpy, parent, &root, &up, &children, &count)) return all;
    for (unsigned int i = 0; i < count; ++i) {
        all.push_back(children[i]);
        for (Window grandchild : childrenOf(children[i]))
            all.push_back(grandchild);
    }
    if (children) XFree(children);
    return all;
}

Window Host::firstChild(Window parent) const {
    Window root = 0, up = 0, *children = nullptr;
    unsigned int count = 0;
    Window first = 0;
    if (XQueryTree(dpy, parent, &root, &up, &children, &count) && count > 0) first = children[0];
    if (children) XFree(children);
    return first;
}

int Host::childCount(Window parent) const {
    return int(childrenOf(parent).size());
}

bool Host::geometry(Window window, int& x, int& y, int& width, int& height) const {
    XWindowAttributes a{};
    if (!XGetWindowAttributes(dpy, window, &a)) return false;
    Window child = 0;
    XTranslateCoordinates(dpy, window, a.root, 0, 0, &x, &y, &child);
    width = a.width;
    height = a.height;
    return true;
}

void Host::moveTo(int screenX, int screenY) {
    XTestFakeMotionEvent(dpy, -1, screenX, screenY, CurrentTime);
    XSync(dpy, False);
}

void Host::button(unsigned int b, bool down) {
    XTestFakeButtonEvent(dpy, b, down ? True : False, CurrentTime);
    XSync(dpy, False);
}

void Host::click(int screenX, int screenY, unsigned int b) {
    moveTo(screenX, screenY);
    button(b, true);
    button(b, false);
}

void Host::key(unsigned long keysym, bool down) {
    KeyCode code = XKeysymToKeycode(dpy, KeySym(keysym));
    XTestFakeKeyEvent(dpy, code, down ? True : False, CurrentTime);
    XSync(dpy, False);
}

void Host::tap(unsigned long keysym, bool shift) {
    if (shift) key(XK_Shift_L, true);
    key(keysym, true);
    key(keysym, false);
    if (shift) key(XK_Shift_L, false);
}

// Letters, digits, space, point and minus, as typed on a US keyboard (capitals with shift).
void Host::type(const std::string& ascii) {
    for (char c : ascii) {
        auto u = static_cast<unsigned char>(c);
        KeySym sym = c == ' '          ? XK_space
                     : c == '.'        ? XK_period
                     : c == '-'        ? XK_minus
                     : std::isupper(u) ? KeySym(XK_a + (c - 'A'))
                                       : KeySym(u);
        tap(sym, std::isupper(u) != 0);
    }
}

void Host::sync() {
    XSync(dpy, False);
}

std::vector<std::uint32_t> Host::readScreen(int x, int y, int width, int height) const {
    return readWindowPart(RootWindow(dpy, DefaultScreen(dpy)), x, y, width, height);
}

std::vector<std::uint32_t> Host::readWindow(Window window) const {
    XWindowAttributes a{};
    if (!XGetWindowAttributes(dpy, window, &a)) return {};
    return readWindowPart(window, 0, 0, a.width, a.height);
}

std::vector<std::uint32_t> Host::readWindowPart(Window window, int x, int y, int width, int height) const {
    std::vector<std::uint32_t> pixels;
    XImage* image = XGetImage(dpy, window, x, y, unsigned(width), unsigned(height), AllPlanes, ZPixmap);
    if (!image) return pixels;
    pixels.reserve(std::size_t(width) * std::size_t(height));
    for (int row = 0; row < height; ++row)
        for (int col = 0; col < width; ++col)
            pixels.push_back(0xFF000000u | std::uint32_t(XGetPixel(image, col, row) & 0xFFFFFF));
    XDestroyImage(image);
    return pixels;
}

std::vector<unsigned long> Host::takeParentKeys() {
    XSync(dpy, False);
    while (XPending(dpy) > 0) {
        XEvent e;
        XNextEvent(dpy, &e);
        if (e.type == KeyPress) parentKeys.push_back(XLookupKeysym(&e.xkey, 0));
    }
    std::vector<unsigned long> keys;
    keys.swap(parentKeys);
    return keys;
}

bool Host::pointerGrabbable() {
    Window root = RootWindow(dpy, DefaultScreen(dpy));
    int status = XGrabPointer(dpy, root, False, ButtonPressMask, GrabModeAsync, GrabModeAsync, None, None,
                              CurrentTime);
    if (status == GrabSuccess) XUngrabPointer(dpy, CurrentTime);
    XSync(dpy, False);
    return status == GrabSuccess;
}

int Host::mappedPopups() const {
    int count = 0;
    for (Window w : childrenOf(RootWindow(dpy, DefaultScreen(dpy)))) {
        XWindowAttributes a{};
        if (XGetWindowAttributes(dpy, w, &a) && a.override_redirect && a.map_state == IsViewable) ++count;
    }
    return count;
}

std::string pictureDifference(const std::vector<std::uint32_t>& shown, const std::uint32_t* expected,
                              int width, int height) {
    if (shown.size() != std::size_t(width) * std::size_t(height)) return "the picture has the wrong size";
    std::size_t differing = 0, first = 0;
    for (std::size_t i = 0; i < shown.size(); ++i)
        if ((shown[i] & 0xFFFFFF) != (expected[i] & 0xFFFFFF) && differing++ == 0) first = i;
    if (differing == 0) return "";
    char text[160];
    std::snprintf(text, sizeof text, "%zu pixels differ; the first at %zu,%zu: shown %06X, expected %06X",
                  differing, first % std::size_t(width), first / std::size_t(width), shown[first] & 0xFFFFFF,
                  expected[first] & 0xFFFFFF);
    return text;
}

} // namespace x11test
