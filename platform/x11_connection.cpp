#include "platform/x11_connection.h"

#include <X11/XKBlib.h>
#include <X11/extensions/XShm.h>
#include <X11/keysym.h>
#include <poll.h>
#include <sys/ipc.h>
#include <sys/shm.h>

#include <array>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <utility>

namespace platform::x11 {

// ------------------------------------------------------------------------------------ error trap

namespace {

// Per thread: only the thread that opened a connection uses it, so its errors are reported on that
// thread. Errors on another thread (a host's own connection) find no trap there and go on.
thread_local ErrorTrap* innermostTrap = nullptr;
std::atomic<XErrorHandler> handlerBeforeUs{nullptr};

} // namespace

int trapError(Display* display, XErrorEvent* error) {
    for (ErrorTrap* trap = innermostTrap; trap; trap = trap->outer)
        if (trap->display == display) {
            ++trap->caught;
            return 0;
        }
    XErrorHandler before = handlerBeforeUs.load();
    return before ? before(display, error) : 0;
}

ErrorTrap::ErrorTrap(Display* display) : display(display), outer(innermostTrap) {
    if (!outer) {
        previous = XSetErrorHandler(trapError);
        if (previous != trapError) handlerBeforeUs.store(previous);
    }
    innermostTrap = this;
}

ErrorTrap::~ErrorTrap() {
    if (display) XSync(display, False);
    innermostTrap = outer;
    if (!outer) XSetErrorHandler(previous);
}

int ErrorTrap::errors() {
    if (display) XSync(display, False);
    return caught;
}

// ------------------------------------------------------------------------------------ connection

std::unique_ptr<Connection> Connection::open() {
    Display* display = XOpenDisplay(nullptr);
    if (!display) return nullptr;
    std::unique_ptr<Connection> c(new Connection);
    c->dpy = display;
    int screen = DefaultScreen(display);
    // The toolkit's 0xAARRGGBB words go to the server unchanged only with these masks.
    if (!XMatchVisualInfo(display, screen, 24, TrueColor, &c->visualInfo) ||
        c->visualInfo.red_mask != 0xFF0000 || c->visualInfo.green_mask != 0xFF00 ||
        c->visualInfo.blue_mask != 0xFF)
        return nullptr;
    if (c->visualInfo.visual == DefaultVisual(display, screen)) {
        c->colours = DefaultColormap(display, screen);
    } else {
        c->colours = XCreateColormap(display, RootWindow(display, screen), c->visualInfo.visual, AllocNone);
        c->ownColormap = true;
    }
    c->shm = XShmQueryExtension(display) == True;
    return c;
}

Connection::~Connection() {
    if (!dpy) return;
    if (ownColormap) XFreeColormap(dpy, colours);
    XCloseDisplay(dpy);
}

Window Connection::root() const {
    return RootWindow(dpy, DefaultScreen(dpy));
}

int Connection::screenWidth() const {
    return DisplayWidth(dpy, DefaultScreen(dpy));
}

int Connection::screenHeight() const {
    return DisplayHeight(dpy, DefaultScreen(dpy));
}

Atom Connection::atom(const char* name) {
    auto it = atoms.find(name);
    if (it != atoms.end()) return it->second;
    Atom a = XInternAtom(dpy, name, False);
    atoms.emplace(name, a);
    return a;
}

void Connection::route(Window window, EventSink* sink) {
    sinks[window] = sink;
}

void Connection::unroute(Window window) {
    sinks.erase(window);
}

EventSink* Connection::sinkOf(Window window) const {
    auto it = sinks.find(window);
    return it == sinks.end() ? nullptr : it->second;
}

bool Connection::waitForEvent(int ms) {
    XFlush(dpy);
    if (XPending(dpy) > 0) return true;
    pollfd fd{ConnectionNumber(dpy), POLLIN, 0};
    poll(&fd, 1, ms);
    return XPending(dpy) > 0;
}

Window Connection::createWindow(Window parent, int x, int y, int width, int height, long events,
                                bool overrideRedirect) {
    ErrorTrap trap(dpy);
    XSetWindowAttributes a{};
    a.event_mask = events;
    a.colormap = colours;
    a.border_pixel = 0;
    a.background_pixmap = None;
    a.override_redirect = overrideRedirect ? True : False;
    a.save_under = overrideRedirect ? True : False;
    unsigned long mask = CWEventMask | CWColormap | CWBorderPixel | CWBackPixmap | CWOverrideRedirect;
    if (overrideRedirect) mask |= CWSaveUnder;
    Window window = XCreateWindow(dpy, parent, x, y, unsigned(width), unsigned(height), 0, depth(),
                                  InputOutput, visual(), mask, &a);
    if (trap.errors() == 0) return window;
    if (window) XDestroyWindow(dpy, window);
    return 0;
}

// ------------------------------------------------------------------------------------ input

std::uint32_t buttonsOfState(unsigned int state) {
    std::uint32_t bits = 0;
    if (state & Button1Mask) bits |= kMouseLeft;
    if (state & Button2Mask) bits |= kMouseMiddle;
    if (state & Button3Mask) bits |= kMouseRight;
    if (state & ShiftMask) bits |= kKeyShift;
    if (state & ControlMask) bits |= kKeyControl;
    if (state & Mod1Mask) bits |= kKeyAlt;
    return bits;
}

namespace {

constexpr std::array<std::pair<KeySym, VirtualKey>, 63> kNamedKeys{{
    {XK_BackSpace, VirtualKey::Back},
    {XK_Tab, VirtualKey::Tab},
    {XK_ISO_Left_Tab, VirtualKey::Tab},
    {XK_Clear, VirtualKey::Clear},
    {XK_Return, VirtualKey::Return},
    {XK_Pause, VirtualKey::Pause},
    {XK_Escape, VirtualKey::Escape},
    {XK_space, VirtualKey::Space},
    {XK_End, VirtualKey::End},
    {XK_Home, VirtualKey::Home},
    {XK_Left, VirtualKey::Left},
    {XK_Up, VirtualKey::Up},
    {XK_Right, VirtualKey::Right},
    {XK_Down, VirtualKey::Down},
    {XK_Prior, VirtualKey::PageUp},
    {XK_Next, VirtualKey::PageDown},
    {XK_Select, VirtualKey::Select},
    {XK_Print, VirtualKey::Print},
    {XK_KP_Enter, VirtualKey::Enter},
    {XK_Insert, VirtualKey::Insert},
    {XK_Delete, VirtualKey::Delete},
    {XK_Help, VirtualKey::Help},
    {XK_KP_0, VirtualKey::Numpad0},
    {XK_KP_1, VirtualKey::Numpad1},
    {XK_KP_2, VirtualKey::Numpad2},
    {XK_KP_3, VirtualKey::Numpad3},
    {XK_KP_4, VirtualKey::Numpad4},
    {XK_KP_5, VirtualKey::Numpad5},
    {XK_KP_6, VirtualKey::Numpad6},
    {XK_KP_7, VirtualKey::Numpad7},
    {XK_KP_8, VirtualKey::Numpad8},
    {XK_KP_9, VirtualKey::Numpad9},
    {XK_KP_Multiply, VirtualKey::Multiply},
    {XK_KP_Add, VirtualKey::Add},
    {XK_KP_Separator, VirtualKey::Separator},
    {XK_KP_Subtract, VirtualKey::Subtract},
    {XK_KP_Decimal, VirtualKey::Decimal},
    {XK_KP_Divide, VirtualKey::Divide},
    {XK_F1, VirtualKey::F1},
    {XK_F2, VirtualKey::F2},
    {XK_F3, VirtualKey::F3},
    {XK_F4, VirtualKey::F4},
    {XK_F5, VirtualKey::F5},
    {XK_F6, VirtualKey::F6},
    {XK_F7, VirtualKey::F7},
    {XK_F8, VirtualKey::F8},
    {XK_F9, VirtualKey::F9},
    {XK_F10, VirtualKey::F10},
    {XK_F11, VirtualKey::F11},
    {XK_F12, VirtualKey::F12},
    {XK_Num_Lock, VirtualKey::NumLock},
    {XK_Scroll_Lock, VirtualKey::Scroll},
    {XK_Shift_L, VirtualKey::Shift},
    {XK_Shift_R, VirtualKey::Shift},
    {XK_Control_L, VirtualKey::Control},
    {XK_Control_R, VirtualKey::Control},
    {XK_Alt_L, VirtualKey::Alt},
    {XK_Alt_R, VirtualKey::Alt},
    {XK_KP_Equal, VirtualKey::Equals},
}};

// The keypad's navigation keys (NumLock off) are the plain ones.
constexpr std::array<std::pair<KeySym, KeySym>, 11> kKeypadNavigation{{
    {XK_KP_Home, XK_Home},
    {XK_KP_Left, XK_Left},
    {XK_KP_Up, XK_Up},
    {XK_KP_Right, XK_Right},
    {XK_KP_Down, XK_Down},
    {XK_KP_Prior, XK_Prior},
    {XK_KP_Next, XK_Next},
    {XK_KP_End, XK_End},
    {XK_KP_Insert, XK_Insert},
    {XK_KP_Delete, XK_Delete},
    {XK_KP_Begin, XK_Clear},
}};

// Latin-1 keysyms are their characters; others carry a Unicode code point above 0x1000000.
std::int32_t characterOf(KeySym sym) {
    if ((sym >= 0x20 && sym <= 0x7E) || (sym >= 0xA0 && sym <= 0xFF)) return std::int32_t(sym);
    if (sym >= 0x1000100 && sym <= 0x110FFFF) return std::int32_t(sym - 0x1000000);
    if (sym >= XK_KP_0 && sym <= XK_KP_9) return std::int32_t('0' + (sym - XK_KP_0));
    return 0;
}

} // namespace

KeyEvent keyEventOf(XKeyEvent& event) {
    char text[16];
    KeySym sym = NoSymbol;
    XLookupString(&event, text, sizeof text, &sym, nullptr);
    for (const auto& [keypad, plain] : kKeypadNavigation)
        if (sym == keypad) sym = plain;
    KeyEvent key;
    for (const auto& [named, virtualKey] : kNamedKeys)
        if (sym == named) key.key = virtualKey;
    // VirtualKey{} is None, a name Xlib takes for a macro.
    if (key.key == VirtualKey{} || key.key == VirtualKey::Space || (sym >= XK_KP_0 && sym <= XK_KP_9))
        key.character = characterOf(sym);
    if (event.state & ShiftMask) key.modifiers |= kModifierShift;
    if (event.state & ControlMask) key.modifiers |= kModifierControl;
    if (event.state & Mod1Mask) key.modifiers |= kModifierAlt;
    if (event.state & Mod4Mask) key.modifiers |= kModifierCommand;
    return key;
}

std::uint32_t nowMs() {
    using namespace std::chrono;
    return std::uint32_t(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

// ------------------------------------------------------------------------------------ image

struct WindowImage::Shared {
    XShmSegmentInfo info{};
};

WindowImage::WindowImage(Connection& connection, int width, int height)
    : connection(connection), w(width), h(height) {
    if (!connection.sharedMemory() || !makeShared()) makePlain();
}

bool WindowImage::makeShared() {
    Display* d = connection.display();
    auto segment = std::make_unique<Shared>();
    XImage* made = XShmCreateImage(d, connection.visual(), unsigned(connection.depth()), ZPixmap, nullptr,
                                   &segment->info, unsigned(w), unsigned(h));
    if (!made) return false;
    auto discard = [made] {
        made->data = nullptr;
        XDestroyImage(made);
    };
    if (made->bits_per_pixel != 32) {
        discard();
        return false;
    }
    segment->info.shmid =
        shmget(IPC_PRIVATE, std::size_t(made->bytes_per_line) * std::size_t(h), IPC_CREAT | 0600);
    if (segment->info.shmid < 0) {
        discard();
        return false;
    }
    void* address = shmat(segment->info.shmid, nullptr, 0);
    if (address == reinterpret_cast<void*>(-1)) {
        shmctl(segment->info.shmid, IPC_RMID, nullptr);
        discard();
        return false;
    }
    segment->info.shmaddr = made->data = static_cast<char*>(address);
    segment->info.readOnly = False;
    bool attached;
    {
        // A remote server accepts the extension's query but fails the attach.
        ErrorTrap trap(d);
        XShmAttach(d, &segment->info);
        attached = trap.errors() == 0;
    }
    // Marked for removal now: the segment goes when both sides have detached, even after a crash.
    shmctl(segment->info.shmid, IPC_RMID, nullptr);
    if (!attached) {
        shmdt(address);
        discard();
        return false;
    }
    image = made;
    shared = std::move(segment);
    return true;
}

void WindowImage::makePlain() {
    Display* d = connection.display();
    auto* data = static_cast<char*>(std::calloc(std::size_t(w) * std::size_t(h), 4));
    if (!data) return;
    image = XCreateImage(d, connection.visual(), unsigned(connection.depth()), ZPixmap, 0, data, unsigned(w),
                         unsigned(h), 32, 0);
    if (!image) {
        std::free(data);
        return;
    }
    if (image->bits_per_pixel != 32) {
        XDestroyImage(image); // frees data
        image = nullptr;
    }
}

WindowImage::~WindowImage() {
    if (!image) return;
    if (shared) {
        Display* d = connection.display();
        ErrorTrap trap(d);
        XShmDetach(d, &shared->info);
        XSync(d, False);
        shmdt(shared->info.shmaddr);
        image->data = nullptr;
    }
    XDestroyImage(image);
}

void WindowImage::show(Window window, GC gc, const std::uint32_t* pixels, int stride, const PixelRect& rect) {
    if (!image || !window || !pixels) return;
    PixelRect r{std::max(rect.left, 0), std::max(rect.top, 0), std::min(rect.right, w),
                std::min(rect.bottom, h)};
    if (r.empty()) return;
    for (int y = r.top; y < r.bottom; ++y)
        std::memcpy(image->data + std::size_t(y) * std::size_t(image->bytes_per_line) +
                        std::size_t(r.left) * 4,
                    pixels + std::size_t(y) * std::size_t(stride) + std::size_t(r.left),
                    std::size_t(r.right - r.left) * sizeof(std::uint32_t));
    Display* d = connection.display();
    unsigned rw = unsigned(r.right - r.left), rh = unsigned(r.bottom - r.top);
    if (shared) {
        XShmPutImage(d, window, gc, image, r.left, r.top, r.left, r.top, rw, rh, False);
        // The server reads the segment later: the next copy into it must wait until it has.
        XSync(d, False);
    } else {
        XPutImage(d, window, gc, image, r.left, r.top, r.left, r.top, rw, rh);
        XFlush(d);
    }
}

} // namespace platform::x11
