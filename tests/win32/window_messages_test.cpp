// The frame's window: its class and styles, and the translation of window messages into the
// toolkit's mouse and wheel events.
#include <gtest/gtest.h>

#include <cstdio>

#include "support/host_window.h"

using namespace wintest;
using Lines = std::vector<std::string>;

namespace {

std::string expectedClassName() {
    char name[40];
    std::snprintf(name, sizeof name, "Plugin%p", static_cast<void*>(GetModuleHandleA(nullptr)));
    return name;
}

bool classRegistered() {
    WNDCLASSEXA info{};
    info.cbSize = sizeof info;
    return GetClassInfoExA(GetModuleHandleA(nullptr), expectedClassName().c_str(), &info) != 0;
}

// A frame with one probe view A at {10, 10, 110, 60}.
struct ProbeFrame : WindowFrame {
    ProbeFrame() : probe(new ProbeView("A", CRect(10, 10, 110, 60), journal)) {
        frame->addView(probe);
        pump(20);
        journal.lines.clear();
    }
    // The lines of one kind ("down", "up", "move", "wheel", ...) since the last call.
    Lines take(const std::string& kind) {
        Lines out = journal.with(kind + " ");
        journal.lines.clear();
        return out;
    }
    Journal journal;
    ProbeView* probe;
};

void setAltKey(bool down) {
    BYTE keys[256];
    GetKeyboardState(keys);
    keys[VK_MENU] = down ? 0x80 : 0;
    SetKeyboardState(keys);
}

} // namespace

TEST(Win32Window, IsAVisibleChildOfTheHostWindowWithTheFramesClassAndTheKeyboardFocus) {
    WindowFrame w;
    ASSERT_NE(w.hwnd, nullptr);
    EXPECT_EQ(GetParent(w.hwnd), w.host.hwnd());
    EXPECT_EQ(className(w.hwnd), expectedClassName());
    EXPECT_EQ(windowText(w.hwnd), "Window");
    EXPECT_EQ(GetClassLongPtrA(w.hwnd, GCL_STYLE), ULONG_PTR(CS_DBLCLKS | CS_GLOBALCLASS));
    EXPECT_EQ(GetClassLongPtrA(w.hwnd, GCL_STYLE), ULONG_PTR(0x4008));
    EXPECT_EQ(reinterpret_cast<HCURSOR>(GetClassLongPtrA(w.hwnd, GCLP_HCURSOR)),
              LoadCursor(nullptr, IDC_ARROW));
    EXPECT_EQ(GetClassLongPtrA(w.hwnd, GCLP_HBRBACKGROUND), ULONG_PTR(0));
    EXPECT_EQ(GetClassLongPtrA(w.hwnd, GCLP_HICON), ULONG_PTR(0));

    LONG_PTR style = GetWindowLongPtrA(w.hwnd, GWL_STYLE);
    for (LONG_PTR bit : {WS_CHILD, WS_VISIBLE, WS_CLIPSIBLINGS, WS_CLIPCHILDREN})
        EXPECT_EQ(style & bit, bit) << std::hex << bit;
    OSVERSIONINFOA version{};
    version.dwOSVersionInfoSize = sizeof version;
    ASSERT_TRUE(GetVersionExA(&version));
    bool composited = (GetWindowLongPtrA(w.hwnd, GWL_EXSTYLE) & 0x2000000) != 0;
    EXPECT_EQ(composited, version.dwMajorVersion >= 6);

    RECT r;
    GetWindowRect(w.hwnd, &r);
    MapWindowPoints(nullptr, w.host.hwnd(), reinterpret_cast<POINT*>(&r), 2);
    EXPECT_EQ(r.left, 0);
    EXPECT_EQ(r.top, 0);
    EXPECT_EQ(r.right, 320);
    EXPECT_EQ(r.bottom, 200);
    EXPECT_NE(GetWindowLongPtrA(w.hwnd, GWLP_USERDATA), 0);
    EXPECT_EQ(GetFocus(), w.hwnd);

    int x = 0, y = 0;
    w->getPlatformWindow()->screenOrigin(x, y);
    POINT origin{0, 0};
    ClientToScreen(w.hwnd, &origin);
    EXPECT_EQ(x, origin.x);
    EXPECT_EQ(y, origin.y);
}

TEST(Win32Window, OneClassServesEveryFrameWindowAndLeavesWithTheLast) {
    ASSERT_FALSE(classRegistered());
    {
        WindowFrame first, second;
        EXPECT_EQ(GetClassLongPtrA(first.hwnd, GCW_ATOM), GetClassLongPtrA(second.hwnd, GCW_ATOM));
        EXPECT_TRUE(classRegistered());
    }
    EXPECT_FALSE(classRegistered());
    WindowFrame again;
    EXPECT_NE(again.hwnd, nullptr);
}

TEST(Win32Window, WithoutAParentWindowThereIsNoFrameWindow) {
    CFrame frame(CRect(0, 0, 100, 100), nullptr, nullptr);
    EXPECT_FALSE(frame.isOpen());
    EXPECT_FALSE(classRegistered());
}

TEST(Win32Window, MouseButtonMessagesBecomePressesAndReleasesWithTheirButtonState) {
    struct Case {
        UINT down, up;
        WPARAM downKeys; // key flags of the button-down message
        bool alt;
        CButtonState expected;
    };
    const Case cases[] = {
        {WM_LBUTTONDOWN, WM_LBUTTONUP, MK_LBUTTON, false, kLButton},
        {WM_LBUTTONDOWN, WM_LBUTTONUP, MK_LBUTTON | MK_SHIFT, false, kLButton | kShift},
        {WM_RBUTTONDOWN, WM_RBUTTONUP, MK_RBUTTON | MK_CONTROL, false, kRButton | kControl},
        {WM_MBUTTONDOWN, WM_MBUTTONUP, MK_MBUTTON, true, kMButton | kAlt},
        {WM_LBUTTONDBLCLK, WM_LBUTTONUP, MK_LBUTTON, false, kLButton | kDoubleClick},
        {WM_RBUTTONDBLCLK, WM_RBUTTONUP, MK_RBUTTON | MK_SHIFT, false, kRButton | kShift | kDoubleClick},
        {WM_MBUTTONDBLCLK, WM_MBUTTONUP, MK_MBUTTON, false, kMButton | kDoubleClick},
        {WM_XBUTTONDOWN, WM_XBUTTONUP, MAKEWPARAM(MK_XBUTTON1, XBUTTON1), false, kButton4},
        {WM_XBUTTONDOWN, WM_XBUTTONUP, MAKEWPARAM(MK_XBUTTON2, XBUTTON2), false, kButton5},
        {WM_XBUTTONDBLCLK, WM_XBUTTONUP, MAKEWPARAM(MK_XBUTTON1 | MK_CONTROL, XBUTTON1), false,
         kButton4 | kControl | kDoubleClick},
    };
    ProbeFrame w;
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.down) + " keys " + std::to_string(c.downKeys));
        SetFocus(w.host.hwnd());
        setAltKey(c.alt);
        post(w.hwnd, c.down, c.downKeys, point(20, 30));
        EXPECT_EQ(w.take("down"), Lines{"down A 20,30 b=" + std::to_string(c.expected)});
        // The window took the keyboard focus first, and captures the mouse for a press answered 1.
        EXPECT_EQ(GetFocus(), w.hwnd);
        EXPECT_EQ(GetCapture(), w.hwnd);
        post(w.hwnd, c.up,
             c.downKeys & ~WPARAM(MK_LBUTTON | MK_RBUTTON | MK_MBUTTON | MK_XBUTTON1 | MK_XBUTTON2),
             point(25, 35));
        EXPECT_EQ(w.take("up").size(), 1u);
        EXPECT_EQ(GetCapture(), nullptr);
        setAltKey(false);
    }
}

TEST(Win32Window, MovesCarrySignedPointsAndACapturedPressFollowsTheMouseOutOfTheWindow) {
    ProbeFrame w;
    post(w.hwnd, WM_MOUSEMOVE, 0, point(30, 20));
    EXPECT_EQ(w.take("enter"), Lines{"enter A 30,20 b=0"});
    post(w.hwnd, WM_LBUTTONDOWN, MK_LBUTTON, point(30, 20));
    w.take("down");
    post(w.hwnd, WM_MOUSEMOVE, MK_LBUTTON, point(-5, -7));
    post(w.hwnd, WM_MOUSEMOVE, MK_LBUTTON | MK_SHIFT, point(400, 300));
    EXPECT_EQ(w.journal.with("move "), (Lines{"move A -5,-7 b=2", "move A 400,300 b=18"}));
    w.journal.lines.clear();
    post(w.hwnd, WM_LBUTTONUP, 0, point(-40, 12));
    EXPECT_EQ(w.take("up"), Lines{"up A -40,12 b=0"});
    EXPECT_EQ(GetCapture(), nullptr);
}

TEST(Win32Window, APressNotAnsweredOneDoesNotCaptureTheMouse) {
    ProbeFrame w;
    w.probe->downResult = kMouseDownEventHandledButDontNeedMovedOrUpEvents;
    post(w.hwnd, WM_LBUTTONDOWN, MK_LBUTTON, point(20, 20));
    EXPECT_EQ(w.take("down").size(), 1u);
    EXPECT_EQ(GetCapture(), nullptr);
    post(w.hwnd, WM_MOUSEMOVE, MK_LBUTTON, point(22, 22));
    post(w.hwnd, WM_LBUTTONUP, 0, point(22, 22));
    EXPECT_TRUE(w.take("up").empty());
    // Outside every view: nobody takes it.
    post(w.hwnd, WM_LBUTTONDOWN, MK_LBUTTON, point(200, 150));
    EXPECT_TRUE(w.take("down").empty());
    EXPECT_EQ(GetCapture(), nullptr);
}

TEST(Win32Window, WheelMessagesArriveAtTheClientPointInWholeNotchesWithModifiersOnly) {
    struct Case {
        int delta;
        WPARAM keys;
        bool alt;
        int distance;
        CButtonState buttons;
    };
    const Case cases[] = {
        {120, 0, false, 1, 0},
        {240, MK_SHIFT, false, 2, kShift},
        {-240, MK_LBUTTON | MK_CONTROL, false, -2, kControl},
        {60, MK_RBUTTON, true, 0, kAlt},
        {-119, 0, false, 0, 0},
        {-360, MK_SHIFT | MK_CONTROL | MK_MBUTTON, false, -3, kShift | kControl},
    };
    ProbeFrame w;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.delta);
        setAltKey(c.alt);
        int before = w.host.wheelMessages();
        post(w.hwnd, WM_MOUSEWHEEL, MAKEWPARAM(c.keys, std::uint16_t(std::int16_t(c.delta))),
             screenPointOf(w.hwnd, 110, 60));
        // The right-bottom corner of the view is inside it for the wheel.
        EXPECT_EQ(w.take("wheel"), Lines{"wheel A 110,60 d=" + std::to_string(c.distance) +
                                         " b=" + std::to_string(c.buttons)});
        // Then the default processing hands the message to the parent window.
        EXPECT_EQ(w.host.wheelMessages(), before + 1);
        setAltKey(false);
    }
}

TEST(Win32Window, LeavingTheWindowIsReportedOnceAfterEachMoveIntoIt) {
    ProbeFrame w;
    POINT inside{60, 30}, outside{500, 400}, further{560, 420};
    for (POINT* p : {&inside, &outside, &further})
        ClientToScreen(w.hwnd, p);
    for (int round = 0; round < 2; ++round) {
        SCOPED_TRACE(round);
        moveCursor(inside.x, inside.y);
        post(w.hwnd, WM_MOUSEMOVE, 0, point(60, 30));
        EXPECT_EQ(w.take("enter"), Lines{"enter A 60,30 b=0"});
        moveCursor(outside.x, outside.y);
        ASSERT_TRUE(pumpUntil([&] { return !w.journal.with("exit ").empty(); }));
        pump(500);
        // The cursor's place in client pixels, with the buttons as they are now; reported once.
        EXPECT_EQ(w.take("exit"), Lines{"exit A 500,400 b=0"});
        // Moving about outside: nothing more until the mouse comes back.
        moveCursor(further.x, further.y);
        pump(500);
        EXPECT_TRUE(w.take("exit").empty());
    }
}

TEST(Win32Window, TheButtonStateNowComesFromThePhysicalKeysAndButtons) {
    WindowFrame w;
    POINT outside{500, 400}; // the host window, away from the frame
    ClientToScreen(w.host.hwnd(), &outside);
    moveCursor(outside.x, outside.y);
    EXPECT_EQ(w->getCurrentMouseButtons(), 0);
    inputKey(VK_SHIFT, true);
    inputButton(MOUSEEVENTF_LEFTDOWN);
    EXPECT_EQ(w->getCurrentMouseButtons(), kLButton | kShift);
    inputButton(MOUSEEVENTF_LEFTUP);
    inputKey(VK_SHIFT, false);
    inputKey(VK_CONTROL, true);
    inputButton(MOUSEEVENTF_RIGHTDOWN);
    EXPECT_EQ(w->getCurrentMouseButtons(), kRButton | kControl);
    inputButton(MOUSEEVENTF_RIGHTUP);
    inputKey(VK_CONTROL, false);
    EXPECT_EQ(w->getCurrentMouseButtons(), 0);
}

TEST(Win32Window, WithTheButtonsSwappedThePhysicalLeftButtonReportsAsTheRightOne) {
    // The system's setting is read when the first frame window of the process is made.
    SwapMouseButton(TRUE);
    {
        WindowFrame w;
        POINT outside{500, 400};
        ClientToScreen(w.host.hwnd(), &outside);
        moveCursor(outside.x, outside.y);
        inputButton(MOUSEEVENTF_LEFTDOWN);
        EXPECT_EQ(w->getCurrentMouseButtons(), kRButton);
        inputButton(MOUSEEVENTF_LEFTUP);
        inputButton(MOUSEEVENTF_RIGHTDOWN);
        EXPECT_EQ(w->getCurrentMouseButtons(), kLButton);
        inputButton(MOUSEEVENTF_RIGHTUP);
    }
    SwapMouseButton(FALSE);
}

TEST(Win32Window, DestroyingTheHostWindowTakesTheFrameWindowAlong) {
    HostWindow host;
    auto* frame = new CFrame(CRect(0, 0, 200, 100), host.hwnd(), nullptr);
    ASSERT_TRUE(frame->isOpen());
    HWND hwnd = static_cast<HWND>(frame->getPlatformWindow()->nativeHandle());
    host.destroy();
    EXPECT_FALSE(IsWindow(hwnd));
    EXPECT_FALSE(frame->isOpen());
    frame->invalidateWindow(CRect(0, 0, 10, 10));
    frame->idle();
    delete frame;
    EXPECT_FALSE(classRegistered());
}
