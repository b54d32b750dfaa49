// The headless frame window: no display at all. Tests (and rendering tools) play the system's part:
// they inject mouse and wheel messages, ask for paints, read back what the window shows, set the
// physical button state and fire the window's timers. The translation from messages to events is
// the one a native window procedure performs (focus before a press, capture on a press answered 1,
// release after the button-up, wheel delta in notches, leave tracking).
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <vector>

#include "platform/frame_window.h"

namespace platform {

class HeadlessFrameWindow : public FrameWindow {
public:
    HeadlessFrameWindow(int width, int height, FrameWindowClient& client);
    ~HeadlessFrameWindow() override;

    // --- FrameWindow
    void* nativeHandle() const override { return const_cast<HeadlessFrameWindow*>(this); }
    void present(const std::uint32_t* pixels, int stride, const PixelRect& r) override;
    void invalidate(const PixelRect& r) override;
    void dispatchPendingPaints() override;
    void trackMouseLeave() override { leaveTracking = true; }
    std::uint32_t currentButtons() const override;
    void screenOrigin(int& x, int& y) const override;
    int startTimer(unsigned intervalMs, std::function<void()> tick) override;
    void stopTimer(int id) override;

    // --- The system's side, for tests. Points are client pixels; buttons are button-state bits.
    // A button down (kMouseDoubleClick in `buttons` makes it a double-click message).
    int press(int x, int y, std::uint32_t buttons);
    int move(int x, int y, std::uint32_t buttons);
    int release(int x, int y, std::uint32_t buttons);
    // The mouse left the window: reported only while leave tracking is armed, as on a real window.
    int leave();
    // A wheel message at a screen position with a system delta (120 per notch) and modifier bits.
    bool wheelAtScreen(int screenX, int screenY, int delta, std::uint32_t modifiers);
    // The same at a client position.
    bool wheel(int x, int y, int delta, std::uint32_t modifiers);
    // A paint message for r (the whole window when r is empty).
    void paint(PixelRect r = {});
    // Fires every running timer once, in the order they were started.
    void fireTimers();

    void setPhysicalButtons(std::uint32_t state) { physical = state; }
    void setButtonsSwapped(bool swapped) { buttonsSwapped = swapped; }
    void setScreenOrigin(int x, int y) { originX = x, originY = y; }

    // --- What the window shows and holds.
    int width() const { return w; }
    int height() const { return h; }
    std::uint32_t pixel(int x, int y) const {
        return shown[std::size_t(y) * std::size_t(w) + std::size_t(x)];
    }
    const std::vector<std::uint32_t>& pixels() const { return shown; }
    bool hasCapture() const { return capture; }
    bool hasKeyboardFocus() const;
    bool leaveTrackingArmed() const { return leaveTracking; }
    bool hasPendingPaint() const { return !pending.empty(); }
    int runningTimers() const { return int(timers.size()); }
    // Number of pixels presented so far (a rough count of drawing work).
    std::uint64_t presentedPixels() const { return presentedCount; }

    // Gives the keyboard focus to the window (a press does this first); an entry field that had it
    // loses it.
    void takeKeyboardFocus();

private:
    int w, h;
    FrameWindowClient& client;
    std::vector<std::uint32_t> shown;
    PixelRect pending;
    std::uint32_t physical = 0;
    bool buttonsSwapped = false;
    bool capture = false;
    bool leaveTracking = false;
    int originX = 0, originY = 0;
    int lastX = 0, lastY = 0;
    std::map<int, std::function<void()>> timers;
    int nextTimer = 1;
    std::uint64_t presentedCount = 0;
};

// The headless window behind a frame's FrameWindow, or null when it is another backend's.
HeadlessFrameWindow* asHeadless(FrameWindow* window);

} // namespace platform
