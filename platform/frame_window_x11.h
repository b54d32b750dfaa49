// The frame window on X11, for the backend's other services (pop-up menu, entry field, dialogs):
// they open their windows on its connection and keep it painting while they are modal.
#pragma once

#include <deque>
#include <map>

#include "platform/frame_window.h"
#include "platform/x11_connection.h"

namespace platform::x11 {

class X11FrameWindow final : public FrameWindow, private EventSink {
public:
    X11FrameWindow(std::unique_ptr<Connection> connection, int width, int height, FrameWindowClient& client);
    ~X11FrameWindow() override;
    bool open(Window parent);

    // --- FrameWindow
    void* nativeHandle() const override { return reinterpret_cast<void*>(window); }
    void present(const std::uint32_t* pixels, int stride, const PixelRect& r) override;
    void invalidate(const PixelRect& r) override;
    void dispatchPendingPaints() override;
    void trackMouseLeave() override { leaveTracking = true; }
    std::uint32_t currentButtons() const override;
    void screenOrigin(int& x, int& y) const override;
    int startTimer(unsigned intervalMs, std::function<void()> tick) override;
    void stopTimer(int id) override;
    void pump() override;

    // --- For the backend's other services.
    Connection& connection() { return *link; }
    Window xWindow() const { return window; }
    // While a modal element of ours runs its loop: what it calls instead of returning to the host.
    // The frame keeps painting and its timers keep running; its own input is dropped (a modal
    // dialog's owner takes no clicks), and the element's windows get their events.
    void pumpWhileModal();
    // Lets go of the keyboard focus back to the frame window (an entry field closed).
    void takeFocus(Time when);

private:
    struct Timer {
        unsigned interval;
        std::uint32_t due;
        std::function<void()> tick;
    };

    void handleEvent(XEvent& event) override;
    void dispatch(XEvent& event);
    void handleOwnInput(XEvent& event);
    void press(XButtonEvent& event);
    void release(XButtonEvent& event);
    void key(XKeyEvent& event, bool down);
    void runDueTimers();
    void paintPending();
    void forget();

    std::unique_ptr<Connection> link;
    int w, h;
    FrameWindowClient* client;
    Window window = 0;
    Window parent = 0;
    GC gc = nullptr;
    std::unique_ptr<WindowImage> image;
    PixelRect pending;
    bool leaveTracking = false;
    int pumpDepth = 0;
    int modalDepth = 0;
    std::deque<XEvent> deferredInput;
    std::map<int, Timer> timers;
    int nextTimer = 1;
    // The last press, for the double-click rule.
    unsigned lastButton = 0;
    std::uint32_t lastPressMs = 0;
    int lastPressX = 0, lastPressY = 0;
    bool lastWasDouble = false;
};

} // namespace platform::x11
