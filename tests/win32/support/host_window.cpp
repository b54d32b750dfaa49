#include "support/host_window.h"

#include <cstdio>
#include <map>

namespace wintest {

namespace {

int wheelCount = 0;

LRESULT CALLBACK hostProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_MOUSEWHEEL) {
        ++wheelCount;
        return 0;
    }
    return DefWindowProcA(hwnd, message, wParam, lParam);
}

const char* hostClass() {
    static bool registered = false;
    if (!registered) {
        WNDCLASSEXA wc{};
        wc.cbSize = sizeof wc;
        wc.lpfnWndProc = hostProcedure;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
        wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
        wc.lpszClassName = "OrvelTestHost";
        registered = RegisterClassExA(&wc) != 0;
    }
    return "OrvelTestHost";
}

// A 32-bit top-down DIB section selected into a memory DC, as a target for reading pixels.
struct Capture {
    HDC memory = nullptr;
    HBITMAP bitmap = nullptr;
    HGDIOBJ previous = nullptr;
    std::uint32_t* bits = nullptr;
    int w, h;
    Capture(HDC reference, int width, int height) : w(width), h(height) {
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof info.bmiHeader;
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = -height;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        void* b = nullptr;
        memory = CreateCompatibleDC(reference);
        bitmap = CreateDIBSection(reference, &info, DIB_RGB_COLORS, &b, nullptr, 0);
        bits = static_cast<std::uint32_t*>(b);
        previous = SelectObject(memory, bitmap);
    }
    ~Capture() {
        SelectObject(memory, previous);
        DeleteObject(bitmap);
        DeleteDC(memory);
    }
    std::vector<std::uint32_t> pixels() const {
        GdiFlush();
        std::vector<std::uint32_t> out(bits, bits + std::size_t(w) * std::size_t(h));
        for (std::uint32_t& p : out)
            p &= 0xFFFFFF;
        return out;
    }
};

std::map<UINT_PTR, std::function<bool()>>& drivers() {
    static std::map<UINT_PTR, std::function<bool()>> steps;
    return steps;
}

void CALLBACK driverTick(HWND, UINT, UINT_PTR id, DWORD) {
    auto it = drivers().find(id);
    if (it == drivers().end() || !it->second) return;
    auto step = it->second;
    it->second = nullptr; // not re-entered while the step runs a modal loop of its own
    bool done = step();
    it = drivers().find(id);
    if (it != drivers().end() && !done) it->second = step;
}

std::string event(const char* kind, const std::string& name, const CPoint& p, CButtonState b) {
    return std::string(kind) + " " + name + " " + std::to_string(p.x) + "," + std::to_string(p.y) +
           " b=" + std::to_string(b);
}

} // namespace

// ------------------------------------------------------------------------------------ host window

HostWindow::HostWindow(int clientWidth, int clientHeight) {
    RECT r{0, 0, clientWidth, clientHeight};
    AdjustWindowRectEx(&r, WS_OVERLAPPEDWINDOW, FALSE, 0);
    window = CreateWindowExA(0, hostClass(), "Orvel test host",
                             WS_OVERLAPPEDWINDOW | WS_VISIBLE | WS_CLIPCHILDREN, 40, 40, r.right - r.left,
                             r.bottom - r.top, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    SetForegroundWindow(window);
    UpdateWindow(window);
    wheelCount = 0;
}

HostWindow::~HostWindow() {
    destroy();
    pump(10);
}

void HostWindow::destroy() {
    if (window && IsWindow(window)) DestroyWindow(window);
    window = nullptr;
}

int HostWindow::wheelMessages() const {
    return wheelCount;
}

// ---------------------------------------------------------------------------------- message loop

void pump(int ms, HWND dialogHost) {
    DWORD end = GetTickCount() + DWORD(ms);
    do {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (dialogHost && IsDialogMessageA(dialogHost, &msg)) continue;
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        if (ms > 0) MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
    } while (LONG(GetTickCount() - end) < 0);
}

bool pumpUntil(const std::function<bool()>& done, int timeoutMs) {
    DWORD end = GetTickCount() + DWORD(timeoutMs);
    while (!done()) {
        if (LONG(GetTickCount() - end) >= 0) return done();
        pump(5);
    }
    return true;
}

void post(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    PostMessageA(hwnd, message, wParam, lParam);
    pump(0);
}

LPARAM point(int x, int y) {
    return MAKELPARAM(std::uint16_t(std::int16_t(x)), std::uint16_t(std::int16_t(y)));
}

LPARAM screenPointOf(HWND hwnd, int x, int y) {
    POINT p{x, y};
    ClientToScreen(hwnd, &p);
    return point(p.x, p.y);
}

void moveCursor(int screenX, int screenY) {
    SetCursorPos(screenX, screenY);
    pump(30);
}

void inputButton(DWORD flags) {
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = flags;
    SendInput(1, &input, sizeof input);
    pump(30);
}

void inputKey(WORD virtualKey, bool down) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = virtualKey;
    input.ki.dwFlags = down ? 0 : KEYEVENTF_KEYUP;
    SendInput(1, &input, sizeof input);
    pump(30);
}

// ----------------------------------------------------------------------------------- reading back

std::vector<std::uint32_t> readWindow(HWND hwnd, int width, int height) {
    HDC dc = GetDC(hwnd);
    Capture capture(dc, width, height);
    BitBlt(capture.memory, 0, 0, width, height, dc, 0, 0, SRCCOPY);
    ReleaseDC(hwnd, dc);
    return capture.pixels();
}

std::vector<std::uint32_t> readScreen(int screenX, int screenY, int width, int height) {
    HDC dc = GetDC(nullptr);
    Capture capture(dc, width, height);
    BitBlt(capture.memory, 0, 0, width, height, dc, screenX, screenY, SRCCOPY);
    ReleaseDC(nullptr, dc);
    return capture.pixels();
}

std::vector<std::uint32_t> printWindow(HWND hwnd, int width, int height) {
    HDC dc = GetDC(hwnd);
    Capture capture(dc, width, height);
    ReleaseDC(hwnd, dc);
    PrintWindow(hwnd, capture.memory, PW_CLIENTONLY);
    return capture.pixels();
}

std::string pictureDifference(const std::vector<std::uint32_t>& shown, const std::uint32_t* expected,
                              int width, int height) {
    int count = 0;
    std::string first;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            std::size_t i = std::size_t(y) * std::size_t(width) + std::size_t(x);
            std::uint32_t a = shown[i] & 0xFFFFFF, b = expected[i] & 0xFFFFFF;
            if (a == b) continue;
            if (count++ == 0) {
                char text[96];
                std::snprintf(text, sizeof text, "first at %d,%d: shown %06X, drawn %06X", x, y, unsigned(a),
                              unsigned(b));
                first = text;
            }
        }
    return count == 0 ? std::string() : std::to_string(count) + " pixels differ, " + first;
}

// ---------------------------------------------------------------------------------- modal driver

ModalDriver::ModalDriver(std::function<bool()> step) : timer(SetTimer(nullptr, 0, 20, driverTick)) {
    drivers()[timer] = std::move(step);
}

ModalDriver::~ModalDriver() {
    KillTimer(nullptr, timer);
    drivers().erase(timer);
}

bool ModalDriver::finished() const {
    auto it = drivers().find(timer);
    return it != drivers().end() && !it->second;
}

namespace {

struct WindowSearch {
    const char* className;
    const char* title;
    HWND found = nullptr;
};

BOOL CALLBACK matchWindow(HWND hwnd, LPARAM data) {
    auto* search = reinterpret_cast<WindowSearch*>(data);
    if (!IsWindowVisible(hwnd) || className(hwnd) != search->className) return TRUE;
    if (search->title && windowText(hwnd) != search->title) return TRUE;
    search->found = hwnd;
    return FALSE;
}

} // namespace

HWND threadWindow(const char* name, const char* title) {
    WindowSearch search{name, title};
    EnumThreadWindows(GetCurrentThreadId(), matchWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

std::string windowText(HWND hwnd) {
    char text[512] = {};
    GetWindowTextA(hwnd, text, sizeof text);
    return text;
}

std::string className(HWND hwnd) {
    char text[256] = {};
    GetClassNameA(hwnd, text, sizeof text);
    return text;
}

// --------------------------------------------------------------------------------------- probes

CMouseEventResult ProbeView::onMouseDown(CPoint& where, const CButtonState& buttons) {
    journal.add(event("down", name, where, buttons));
    return downResult;
}
CMouseEventResult ProbeView::onMouseUp(CPoint& where, const CButtonState& buttons) {
    journal.add(event("up", name, where, buttons));
    return kMouseEventHandled;
}
CMouseEventResult ProbeView::onMouseMoved(CPoint& where, const CButtonState& buttons) {
    journal.add(event("move", name, where, buttons));
    return kMouseEventHandled;
}
CMouseEventResult ProbeView::onMouseEntered(CPoint& where, const CButtonState& buttons) {
    journal.add(event("enter", name, where, buttons));
    return kMouseEventHandled;
}
CMouseEventResult ProbeView::onMouseExited(CPoint& where, const CButtonState& buttons) {
    journal.add(event("exit", name, where, buttons));
    return kMouseEventHandled;
}
bool ProbeView::onWheel(const CPoint& where, const float& distance, const CButtonState& buttons) {
    journal.add("wheel " + name + " " + std::to_string(where.x) + "," + std::to_string(where.y) +
                " d=" + std::to_string(int(distance)) + " b=" + std::to_string(buttons));
    return true;
}

void RecordingListener::controlChanged(CControl* control) {
    char value[32];
    std::snprintf(value, sizeof value, "%g", double(control->getValue()));
    journal.add("changed " + std::to_string(control->getTag()) + " " + value);
}

// ---------------------------------------------------------------------------------- window frame

WindowFrame::WindowFrame(CRect size) {
    frame = new CFrame(size, host.hwnd(), nullptr);
    hwnd = frame->isOpen() ? static_cast<HWND>(frame->getPlatformWindow()->nativeHandle()) : nullptr;
}

WindowFrame::~WindowFrame() {
    delete frame;
    pump(10);
}

std::vector<std::uint32_t> WindowFrame::shown() {
    frame->idle();
    UpdateWindow(hwnd);
    pump(20);
    return readWindow(hwnd, width(), height());
}

} // namespace wintest
