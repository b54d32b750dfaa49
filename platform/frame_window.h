// The editor frame's native window: a child of the host's parent window that shows the frame's
// pixels, turns the system's mouse messages into the toolkit's events and runs window timers.
//
// The toolkit draws everything into its own 32-bit ARGB surface; a backend only presents finished
// pixels. One backend file per system implements this header (frame_window_headless.cpp drives the
// window from tests; a Win32 child window implements the same calls with the window procedure that
// the comments below describe). Everything here runs on the thread that created the window.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>

#include "platform/key_event.h"

namespace platform {

// Bits of the button state that every mouse and wheel event carries.
enum MouseButtonBits : std::uint32_t {
    kMouseLeft = 0x2,
    kMouseMiddle = 0x4,
    kMouseRight = 0x8,
    kKeyShift = 0x10,
    kKeyControl = 0x20,
    kKeyAlt = 0x40,
    kMouseButton4 = 0x100,
    kMouseButton5 = 0x200,
    kMouseDoubleClick = 0x400,
};

// Wheel notches from a system wheel delta (120 per notch); integer division, so that a delta below
// one notch gives 0.
constexpr int wheelDistance(int delta) {
    return delta / 120;
}

// With the mouse buttons swapped by the system, the physical left button reports as the right bit
// and the physical right button as the left bit.
constexpr std::uint32_t swapMouseButtons(std::uint32_t state) {
    std::uint32_t swapped = state & ~std::uint32_t(kMouseLeft | kMouseRight);
    if (state & kMouseLeft) swapped |= kMouseRight;
    if (state & kMouseRight) swapped |= kMouseLeft;
    return swapped;
}

struct PixelRect {
    int left = 0, top = 0, right = 0, bottom = 0;
    bool empty() const { return right <= left || bottom <= top; }
};

// What the window gives to the frame. Points are client pixels of the window.
class FrameWindowClient {
public:
    // A button went down (or was double-clicked: the state has kMouseDoubleClick). The window has
    // taken the keyboard focus first; an answer of 1 makes it capture the mouse until the release.
    virtual int windowMouseDown(int x, int y, std::uint32_t buttons) = 0;
    virtual int windowMouseMoved(int x, int y, std::uint32_t buttons) = 0;
    // A button was released; the window releases its capture afterwards.
    virtual int windowMouseUp(int x, int y, std::uint32_t buttons) = 0;
    // The mouse left the window (reported once per armed leave tracking).
    virtual int windowMouseExited(int x, int y, std::uint32_t buttons) = 0;
    // Vertical wheel: distance in notches, buttons with only the shift, control and alt bits.
    virtual bool windowWheel(int x, int y, int distance, std::uint32_t buttons) = 0;
    // The system asks for these pixels: the client draws them into its surface and calls present().
    virtual void windowPaint(const PixelRect& update) = 0;
    // The native window is gone (destroyed by the system or the host).
    virtual void windowDestroyed() = 0;
    // A key typed while the window has the keyboard focus, from a backend that receives keys itself
    // (X11; on Win32 the host forwards keys to the editor instead). True when the frame used it.
    virtual bool windowKeyDown(KeyEvent& key) {
        (void)key;
        return false;
    }
    virtual bool windowKeyUp(KeyEvent& key) {
        (void)key;
        return false;
    }

protected:
    ~FrameWindowClient() = default;
};

class FrameWindow {
public:
    // The frame's window inside the host's parent window, at 0, 0 with the given size, visible, with
    // the keyboard focus. Null when the system refuses to create it.
    static std::unique_ptr<FrameWindow> create(void* parentWindow, int width, int height,
                                               FrameWindowClient& client);
    virtual ~FrameWindow() = default;

    // The native handle (an HWND on Windows); owner of pop-ups, entry fields and dialogs.
    virtual void* nativeHandle() const = 0;
    // Shows the rectangle r of a surface of 32-bit ARGB pixels (rows of `stride` pixels; the
    // surface starts at the window's origin).
    virtual void present(const std::uint32_t* pixels, int stride, const PixelRect& r) = 0;
    // Asks for a paint of r later (through windowPaint when pending paints are dispatched).
    virtual void invalidate(const PixelRect& r) = 0;
    // Paints what is pending now instead of waiting for the message loop.
    virtual void dispatchPendingPaints() = 0;
    // Asks to be told once (windowMouseExited) when the mouse leaves the window.
    virtual void trackMouseLeave() = 0;
    // The physical buttons and modifier keys at this moment, as button-state bits.
    virtual std::uint32_t currentButtons() const = 0;
    // The window's top-left corner in screen pixels.
    virtual void screenOrigin(int& x, int& y) const = 0;
    // A repeating timer on this window; returns its id (never 0), or 0 when refused.
    virtual int startTimer(unsigned intervalMs, std::function<void()> tick) = 0;
    virtual void stopTimer(int id) = 0;
    // Handles what the system has queued for the window (input, exposures, due timers) without
    // blocking. A backend whose system delivers messages to the window itself (Win32) needs no call;
    // one without (X11) depends on the host's idle calls reaching here.
    virtual void pump() {}
};

} // namespace platform
