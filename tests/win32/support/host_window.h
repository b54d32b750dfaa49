// The host's side for the window suite: a top-level window that stands for the host's editor
// window, a message loop, real input and messages, reading back what is on the screen, and a
// driver for the modal loops of menus and dialogs. Everything runs on the test's thread.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "gui/toolkit.h"
#include "tests/support/journal.h"

namespace wintest {

// A visible top-level window; the frame goes into its client area.
class HostWindow {
public:
    explicit HostWindow(int clientWidth = 640, int clientHeight = 480);
    ~HostWindow();
    HostWindow(const HostWindow&) = delete;
    HostWindow& operator=(const HostWindow&) = delete;

    HWND hwnd() const { return window; }
    // Wheel messages that reached the host window (the frame passes them on).
    int wheelMessages() const;
    // Destroys the window (with every child) before the object goes.
    void destroy();

private:
    HWND window = nullptr;
};

// Runs the message loop for ms milliseconds. With a dialog host, the loop first offers each message
// to IsDialogMessage for that window, as hosts built on dialogs do.
void pump(int ms, HWND dialogHost = nullptr);
// Runs the message loop until done() or the timeout; returns done().
bool pumpUntil(const std::function<bool()>& done, int timeoutMs = 3000);
// Posts a message and runs the loop until it and what it caused are handled.
void post(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
LPARAM point(int x, int y);
LPARAM screenPointOf(HWND hwnd, int x, int y);

// Real input, as the system's input queue delivers it.
void moveCursor(int screenX, int screenY);
void inputButton(DWORD flags); // MOUSEEVENTF_LEFTDOWN and the like, at the cursor
void inputKey(WORD virtualKey, bool down);

// The window's client pixels as 0x00RRGGBB, read from the window's device context.
std::vector<std::uint32_t> readWindow(HWND hwnd, int width, int height);
// The same rectangle of the screen (the X server's picture).
std::vector<std::uint32_t> readScreen(int screenX, int screenY, int width, int height);
// The window's client area as the window paints it into a bitmap on request (PrintWindow).
std::vector<std::uint32_t> printWindow(HWND hwnd, int width, int height);
// Differences between two pictures, ignoring alpha: the count and a description of the first.
std::string pictureDifference(const std::vector<std::uint32_t>& shown, const std::uint32_t* expected,
                              int width, int height);

// Runs step() from a thread timer every 20 ms, also inside modal loops (menus, dialogs, message
// boxes), until it returns true.
class ModalDriver {
public:
    explicit ModalDriver(std::function<bool()> step);
    ~ModalDriver();
    ModalDriver(const ModalDriver&) = delete;
    ModalDriver& operator=(const ModalDriver&) = delete;
    bool finished() const;

private:
    UINT_PTR timer;
};

// A visible window of this thread with that class (and title), or null.
HWND threadWindow(const char* className, const char* title = nullptr);
std::string windowText(HWND hwnd);
std::string className(HWND hwnd);

// What views and listeners were told, in order, as short texts ("down A 12,3 b=2").
using testsupport::Journal;

// A view that records its mouse events and answers presses with a set result.
class ProbeView : public CView {
public:
    ProbeView(const std::string& name, const CRect& size, Journal& journal)
        : CView(size), name(name), journal(journal) {}
    CMouseEventResult downResult = kMouseEventHandled;
    CMouseEventResult onMouseDown(CPoint& where, const CButtonState& buttons) override;
    CMouseEventResult onMouseUp(CPoint& where, const CButtonState& buttons) override;
    CMouseEventResult onMouseMoved(CPoint& where, const CButtonState& buttons) override;
    CMouseEventResult onMouseEntered(CPoint& where, const CButtonState& buttons) override;
    CMouseEventResult onMouseExited(CPoint& where, const CButtonState& buttons) override;
    bool onWheel(const CPoint& where, const float& distance, const CButtonState& buttons) override;
    std::string name;
    Journal& journal;
};

// A listener that records changes as "changed <tag> <value>".
class RecordingListener : public CControlListener {
public:
    explicit RecordingListener(Journal& journal) : journal(journal) {}
    void controlChanged(CControl* control) override;
    Journal& journal;
};

// A frame in a host window, with its native window handle. As in an editor's open, the views go in
// before the message loop runs again, so the first paint draws them all.
struct WindowFrame {
    explicit WindowFrame(CRect size = CRect(0, 0, 320, 200));
    ~WindowFrame();
    CFrame* operator->() { return frame; }
    // Paints everything pending and returns what the window shows.
    std::vector<std::uint32_t> shown();
    int width() const { return frame->getWidth(); }
    int height() const { return frame->getHeight(); }

    HostWindow host;
    CFrame* frame;
    HWND hwnd;
};

} // namespace wintest
