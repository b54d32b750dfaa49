// The frame window on Win32: a child window of the host's parent window. The toolkit draws into its
// own ARGB surface; this window only copies finished pixels to the screen (through a DIB section of
// its own size) and turns window messages into the client's mouse, wheel and paint calls.
#include <windows.h>
#include <windowsx.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <map>

#include "platform/frame_window.h"
#include "platform/window_win32.h"

namespace platform {

namespace win32 {

HMODULE ownModule() {
    HMODULE module = nullptr;
    GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       reinterpret_cast<LPCSTR>(&ownModule), &module);
    return module;
}

} // namespace win32

namespace {

constexpr UINT kClassStyle = CS_DBLCLKS | CS_GLOBALCLASS; // 0x4008
constexpr DWORD kComposited = WS_EX_COMPOSITED;           // 0x2000000

// The window class, registered by the first window of the process and removed with the last one,
// so that an unloaded library leaves no class behind that points into it. Plain data: nothing runs
// before the first window is made.
struct WindowClass {
    int users = 0;
    char name[40] = {};
    bool buttonsSwapped = false;
};

WindowClass& windowClass() {
    static WindowClass shared;
    return shared;
}

LRESULT CALLBACK windowProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

bool acquireWindowClass() {
    WindowClass& c = windowClass();
    if (c.users > 0) {
        ++c.users;
        return true;
    }
    HMODULE module = win32::ownModule();
    std::snprintf(c.name, sizeof c.name, "Plugin%p", static_cast<void*>(module));
    WNDCLASSEXA wc{};
    wc.cbSize = sizeof wc;
    wc.style = kClassStyle;
    wc.lpfnWndProc = windowProcedure;
    wc.hInstance = module;
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.lpszClassName = c.name;
    // A class of that name left registered (its last window outlived an unregistration) is this
    // module's own: use it.
    if (!RegisterClassExA(&wc) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) return false;
    c.buttonsSwapped = GetSystemMetrics(SM_SWAPBUTTON) != 0;
    c.users = 1;
    return true;
}

void releaseWindowClass() {
    WindowClass& c = windowClass();
    if (c.users <= 0 || --c.users > 0) return;
    UnregisterClassA(c.name, win32::ownModule());
}

// Windows 6 (Vista) and later compose the window; earlier systems do not know the style.
bool composedSystem() {
    OSVERSIONINFOA version{};
    version.dwOSVersionInfoSize = sizeof version;
    return GetVersionExA(&version) && version.dwMajorVersion >= 6;
}

std::uint32_t altKey() {
    return GetKeyState(VK_MENU) < 0 ? std::uint32_t(kKeyAlt) : 0u;
}

// The button state of a mouse message: buttons, shift and control from its key flags, alt from the
// keyboard state (the flags do not carry it).
std::uint32_t messageButtons(WPARAM wParam) {
    WORD keys = GET_KEYSTATE_WPARAM(wParam);
    std::uint32_t state = 0;
    if (keys & MK_LBUTTON) state |= kMouseLeft;
    if (keys & MK_MBUTTON) state |= kMouseMiddle;
    if (keys & MK_RBUTTON) state |= kMouseRight;
    if (keys & MK_XBUTTON1) state |= kMouseButton4;
    if (keys & MK_XBUTTON2) state |= kMouseButton5;
    if (keys & MK_SHIFT) state |= kKeyShift;
    if (keys & MK_CONTROL) state |= kKeyControl;
    return state | altKey();
}

class Win32FrameWindow final : public FrameWindow {
public:
    Win32FrameWindow(int width, int height, FrameWindowClient& client)
        : w(width), h(height), client(&client) {}
    ~Win32FrameWindow() override;

    bool open(HWND parent);
    // The window procedure's first message: from here on the window has its handle.
    void attach(HWND window) { hwnd = window; }

    void* nativeHandle() const override { return hwnd; }
    void present(const std::uint32_t* pixels, int stride, const PixelRect& r) override;
    void invalidate(const PixelRect& r) override;
    void dispatchPendingPaints() override;
    void trackMouseLeave() override;
    std::uint32_t currentButtons() const override;
    void screenOrigin(int& x, int& y) const override;
    int startTimer(unsigned intervalMs, std::function<void()> tick) override;
    void stopTimer(int id) override;

    LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam);

private:
    bool makeBuffer(HDC reference);
    void blit(HDC dc, const PixelRect& r);
    LRESULT press(LPARAM lParam, std::uint32_t buttons);
    void release(LPARAM lParam, std::uint32_t buttons);

    int w, h;
    FrameWindowClient* client; // null once the window is going
    HWND hwnd = nullptr;
    bool classHeld = false;
    HDC paintDC = nullptr; // the device context of the paint being handled
    HBITMAP buffer = nullptr;
    std::uint32_t* bufferPixels = nullptr;
    std::map<UINT_PTR, std::function<void()>> timers;
    UINT_PTR nextTimer = 1;
};

Win32FrameWindow* windowOf(HWND hwnd) {
    return reinterpret_cast<Win32FrameWindow*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
}

LRESULT CALLBACK windowProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* window =
            static_cast<Win32FrameWindow*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
        SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(window));
        if (window) window->attach(hwnd);
    }
    Win32FrameWindow* window = windowOf(hwnd);
    return window ? window->handle(message, wParam, lParam) : DefWindowProcA(hwnd, message, wParam, lParam);
}

bool Win32FrameWindow::open(HWND parent) {
    if (!parent || !IsWindow(parent) || !acquireWindowClass()) return false;
    classHeld = true;
    DWORD exStyle = composedSystem() ? kComposited : 0;
    DWORD style = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;
    HWND created = CreateWindowExA(exStyle, windowClass().name, "Window", style, 0, 0, w, h, parent, nullptr,
                                   win32::ownModule(), this);
    if (!created) {
        hwnd = nullptr;
        return false;
    }
    SetFocus(hwnd);
    return true;
}

Win32FrameWindow::~Win32FrameWindow() {
    // The client is being destroyed: nothing reaches it from here on.
    client = nullptr;
    if (hwnd) {
        for (auto& timer : timers)
            KillTimer(hwnd, timer.first);
        SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);
        DestroyWindow(hwnd);
    }
    if (buffer) DeleteObject(buffer);
    if (classHeld) releaseWindowClass();
}

bool Win32FrameWindow::makeBuffer(HDC reference) {
    if (buffer) return true;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = w;
    info.bmiHeader.biHeight = -h; // top-down, as the toolkit's surface
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    buffer = CreateDIBSection(reference, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    bufferPixels = static_cast<std::uint32_t*>(bits);
    return buffer != nullptr;
}

void Win32FrameWindow::blit(HDC dc, const PixelRect& r) {
    HDC memory = CreateCompatibleDC(dc);
    if (!memory) return;
    HGDIOBJ previous = SelectObject(memory, buffer);
    BitBlt(dc, r.left, r.top, r.right - r.left, r.bottom - r.top, memory, r.left, r.top, SRCCOPY);
    SelectObject(memory, previous);
    DeleteDC(memory);
}

// A 32-bit BI_RGB DIB stores each pixel as the bytes blue, green, red, unused: the toolkit's
// 0xAARRGGBB words as they lie in memory, so rows are copied unchanged.
void Win32FrameWindow::present(const std::uint32_t* pixels, int stride, const PixelRect& rect) {
    if (!hwnd || !pixels) return;
    PixelRect r{std::max(rect.left, 0), std::max(rect.top, 0), std::min(rect.right, w),
                std::min(rect.bottom, h)};
    if (r.empty()) return;
    HDC dc = paintDC ? paintDC : GetDC(hwnd);
    if (!dc) return;
    if (makeBuffer(dc)) {
        GdiFlush();
        for (int y = r.top; y < r.bottom; ++y)
            std::memcpy(bufferPixels + std::size_t(y) * std::size_t(w) + std::size_t(r.left),
                        pixels + std::size_t(y) * std::size_t(stride) + std::size_t(r.left),
                        std::size_t(r.right - r.left) * sizeof(std::uint32_t));
        blit(dc, r);
    }
    if (!paintDC) ReleaseDC(hwnd, dc);
}

void Win32FrameWindow::invalidate(const PixelRect& r) {
    if (!hwnd || r.empty()) return;
    RECT rect{r.left, r.top, r.right, r.bottom};
    InvalidateRect(hwnd, &rect, FALSE);
}

void Win32FrameWindow::dispatchPendingPaints() {
    if (hwnd) UpdateWindow(hwnd);
}

void Win32FrameWindow::trackMouseLeave() {
    if (!hwnd) return;
    TRACKMOUSEEVENT track{};
    track.cbSize = sizeof track;
    track.dwFlags = TME_LEAVE;
    track.hwndTrack = hwnd;
    TrackMouseEvent(&track);
}

// The asynchronous key states report the physical buttons; with the buttons swapped by the system
// the physical left button is the logical right one.
std::uint32_t Win32FrameWindow::currentButtons() const {
    auto down = [](int key) { return (GetAsyncKeyState(key) & 0x8000) != 0; };
    std::uint32_t state = 0;
    if (down(VK_LBUTTON)) state |= kMouseLeft;
    if (down(VK_MBUTTON)) state |= kMouseMiddle;
    if (down(VK_RBUTTON)) state |= kMouseRight;
    if (down(VK_XBUTTON1)) state |= kMouseButton4;
    if (down(VK_XBUTTON2)) state |= kMouseButton5;
    if (down(VK_SHIFT)) state |= kKeyShift;
    if (down(VK_CONTROL)) state |= kKeyControl;
    if (down(VK_MENU)) state |= kKeyAlt;
    return windowClass().buttonsSwapped ? swapMouseButtons(state) : state;
}

void Win32FrameWindow::screenOrigin(int& x, int& y) const {
    POINT origin{0, 0};
    if (hwnd) ClientToScreen(hwnd, &origin);
    x = origin.x;
    y = origin.y;
}

int Win32FrameWindow::startTimer(unsigned intervalMs, std::function<void()> tick) {
    if (!hwnd || !tick) return 0;
    UINT_PTR id = nextTimer;
    if (!SetTimer(hwnd, id, intervalMs, nullptr)) return 0;
    ++nextTimer;
    timers[id] = std::move(tick);
    return int(id);
}

void Win32FrameWindow::stopTimer(int id) {
    auto it = timers.find(UINT_PTR(id));
    if (it == timers.end()) return;
    if (hwnd) KillTimer(hwnd, it->first);
    timers.erase(it);
}

LRESULT Win32FrameWindow::press(LPARAM lParam, std::uint32_t buttons) {
    HWND self = hwnd;
    SetFocus(self);
    if (!client) return 0;
    int result = client->windowMouseDown(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam), buttons);
    if (result == 1 && IsWindow(self)) SetCapture(self);
    return 0;
}

void Win32FrameWindow::release(LPARAM lParam, std::uint32_t buttons) {
    HWND self = hwnd;
    if (client) client->windowMouseUp(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam), buttons);
    if (GetCapture() == self) ReleaseCapture();
}

LRESULT Win32FrameWindow::handle(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_PAINT: {
        RECT update;
        if (!GetUpdateRect(hwnd, &update, FALSE)) return 0;
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(hwnd, &paint);
        if (dc && client) {
            paintDC = dc;
            client->windowPaint(
                {paint.rcPaint.left, paint.rcPaint.top, paint.rcPaint.right, paint.rcPaint.bottom});
            paintDC = nullptr;
        }
        EndPaint(hwnd, &paint);
        return 0;
    }
    case WM_PRINTCLIENT:
        // What the window shows is in the buffer already (PrintWindow and the like ask for it).
        if (buffer) blit(reinterpret_cast<HDC>(wParam), {0, 0, w, h});
        return 0;
    case WM_ERASEBKGND:
        return 1; // every pixel is painted by the frame
    case WM_CTLCOLOREDIT:
        if (HBRUSH brush =
                win32::entryFieldColours(reinterpret_cast<HWND>(lParam), reinterpret_cast<HDC>(wParam)))
            return reinterpret_cast<LRESULT>(brush);
        break;
    case WM_MOUSEMOVE:
        if (client)
            client->windowMouseMoved(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam), messageButtons(wParam));
        return 0;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
        return press(lParam, messageButtons(wParam));
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDBLCLK:
    case WM_MBUTTONDBLCLK:
        return press(lParam, messageButtons(wParam) | kMouseDoubleClick);
    case WM_XBUTTONDOWN:
        press(lParam, messageButtons(wParam));
        return TRUE;
    case WM_XBUTTONDBLCLK:
        press(lParam, messageButtons(wParam) | kMouseDoubleClick);
        return TRUE;
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
    case WM_MBUTTONUP:
        release(lParam, messageButtons(wParam));
        return 0;
    case WM_XBUTTONUP:
        release(lParam, messageButtons(wParam));
        return TRUE;
    case WM_MOUSEWHEEL: {
        // The message carries a screen position.
        int originX = 0, originY = 0;
        screenOrigin(originX, originY);
        std::uint32_t state = messageButtons(wParam) & (kKeyShift | kKeyControl | kKeyAlt);
        if (client)
            client->windowWheel(GET_X_LPARAM(lParam) - originX, GET_Y_LPARAM(lParam) - originY,
                                wheelDistance(GET_WHEEL_DELTA_WPARAM(wParam)), state);
        break;
    }
    case WM_MOUSELEAVE: {
        POINT cursor{0, 0};
        GetCursorPos(&cursor);
        ScreenToClient(hwnd, &cursor);
        if (client) client->windowMouseExited(cursor.x, cursor.y, currentButtons());
        return 0;
    }
    case WM_TIMER: {
        auto it = timers.find(wParam);
        if (it == timers.end()) break;
        auto tick = it->second; // the tick may stop its own timer
        tick();
        return 0;
    }
    case WM_DESTROY: {
        // Destroyed by the system or the host (with its parent): the client forgets the window.
        HWND self = hwnd;
        hwnd = nullptr;
        timers.clear();
        SetWindowLongPtrA(self, GWLP_USERDATA, 0);
        if (client) client->windowDestroyed();
        return DefWindowProcA(self, message, wParam, lParam);
    }
    default:
        break;
    }
    return DefWindowProcA(hwnd, message, wParam, lParam);
}

} // namespace

std::unique_ptr<FrameWindow> FrameWindow::create(void* parentWindow, int width, int height,
                                                 FrameWindowClient& client) {
    if (width <= 0 || height <= 0) return nullptr;
    auto window = std::make_unique<Win32FrameWindow>(width, height, client);
    if (!window->open(static_cast<HWND>(parentWindow))) return nullptr;
    return window;
}

} // namespace platform
