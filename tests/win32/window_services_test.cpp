// The window's timers and the editor base's OLE use.
#include <gtest/gtest.h>

#include <windows.h>

#include <objbase.h>
#include <ole2.h>

#include <thread>

#include "support/host_window.h"

using namespace wintest;

TEST(Win32Timer, ATimerTicksUntilStoppedAndMayStopItselfFromItsTick) {
    WindowFrame w;
    platform::FrameWindow* window = w->getPlatformWindow();
    int steady = 0, once = 0;
    int a = window->startTimer(15, [&] { ++steady; });
    int b = 0;
    b = window->startTimer(15, [&] {
        if (++once == 2) window->stopTimer(b);
    });
    EXPECT_NE(a, 0);
    EXPECT_NE(b, 0);
    EXPECT_NE(a, b);
    ASSERT_TRUE(pumpUntil([&] { return steady >= 4; }));
    EXPECT_EQ(once, 2);
    window->stopTimer(a);
    int stopped = steady;
    pump(100);
    EXPECT_EQ(steady, stopped);
    EXPECT_EQ(window->startTimer(15, nullptr), 0);
}

TEST(Win32Timer, TimersGoWithTheWindow) {
    HostWindow host;
    int ticks = 0;
    auto* frame = new CFrame(CRect(0, 0, 100, 100), host.hwnd(), nullptr);
    frame->getPlatformWindow()->startTimer(10, [&] { ++ticks; });
    ASSERT_TRUE(pumpUntil([&] { return ticks > 0; }));
    host.destroy();
    int atDestroy = ticks;
    pump(80);
    EXPECT_EQ(ticks, atDestroy);
    delete frame;
}

namespace {

// COM's state on a thread, probed by asking for the multithreaded apartment: S_OK means the thread
// had no COM at all (the probe is undone), S_FALSE that it is in that apartment already, and
// RPC_E_CHANGED_MODE that it is in a single-threaded one (as OLE leaves it).
HRESULT comState() {
    HRESULT r = CoInitializeEx(nullptr, COINIT_MULTITHREADED);
    if (SUCCEEDED(r)) CoUninitialize();
    return r;
}

class BareEditor : public CFrameEditor {
public:
    BareEditor() : CFrameEditor(nullptr) {}
    bool open(void* parent) override {
        frame = new CFrame(CRect(0, 0, 100, 100), parent, this);
        return true;
    }
};

} // namespace

TEST(Win32Ole, TheEditorAndItsFrameLeaveTheThreadAsTheyFoundIt) {
    // Nothing of the toolkit exists here: no OLE is left on this thread (none by static constructors).
    EXPECT_EQ(comState(), S_OK);
    HostWindow host;
    {
        BareEditor editor;
        EXPECT_EQ(comState(), RPC_E_CHANGED_MODE);
        editor.open(host.hwnd());
        editor.close();
        EXPECT_EQ(comState(), RPC_E_CHANGED_MODE);
    }
    EXPECT_EQ(comState(), S_OK);
}

TEST(Win32Ole, AThreadInTheMultithreadedApartmentKeepsItsComUse) {
    // OLE cannot start there; the toolkit must then not release the thread's own COM use.
    HRESULT before = E_FAIL, during = E_FAIL, after = E_FAIL;
    std::thread([&] {
        if (FAILED(CoInitializeEx(nullptr, COINIT_MULTITHREADED))) return;
        before = comState();
        {
            BareEditor editor;
            CFrame frame(CRect(0, 0, 10, 10), nullptr, nullptr);
            during = comState();
        }
        after = comState();
        CoUninitialize();
    }).join();
    EXPECT_EQ(before, S_FALSE);
    EXPECT_EQ(during, S_FALSE);
    EXPECT_EQ(after, S_FALSE);
}
