// The plug-in's editor in a real window: this program is a host that loads the DLL, opens its editor
// through effEditOpen in a window of its own, clicks a knob and a button with real mouse input, and
// checks what the plug-in tells it. The same editor, compiled into this program and drawn headlessly
// after the same gestures, must show the very same pixels.
#include <gtest/gtest.h>

#include <algorithm>

#include "platform/library_loader.h"
#include "platform/registry_sandbox.h"
#include "support/editor_host.h"
#include "support/host_window.h"

using namespace editortest;

namespace {

constexpr int kWidth = 524, kHeight = 462;
// The Output knob and the Power button, in window pixels.
constexpr int kKnobX = 446, kKnobY = 377, kDrag = 100;
constexpr int kPowerX = 262, kPowerY = 417;

using Entry = vst::AEffect* (*)(vst::HostCallback);

struct LoadedPlugin {
    LoadedPlugin() {
        if (!library.open(ORVEL_PLUGIN_FILE)) return;
        if (auto entry = reinterpret_cast<Entry>(library.symbol("VSTPluginMain")))
            effect = entry(recordingHost);
    }
    ~LoadedPlugin() {
        if (effect) dispatch(vst::effClose);
    }
    vst::VstIntPtr dispatch(vst::VstInt32 opcode, vst::VstInt32 index = 0, vst::VstIntPtr value = 0,
                            void* ptr = nullptr, float opt = 0.0f) {
        return effect->dispatcher(effect, opcode, index, value, ptr, opt);
    }
    float parameter(int index) { return effect->getParameter(effect, index); }

    platform::LoadedLibrary library;
    vst::AEffect* effect = nullptr;
};

// Lets the editor's timer and the host's idle run, then reads what the window shows. The cursor is
// parked outside first, so that no control shows a hover look.
std::vector<std::uint32_t> settle(LoadedPlugin& plugin, HWND window) {
    wintest::moveCursor(1200, 1000);
    for (int i = 0; i < 5; ++i) {
        plugin.dispatch(vst::effEditIdle);
        wintest::pump(30);
    }
    UpdateWindow(window);
    wintest::pump(20);
    return wintest::readWindow(window, kWidth, kHeight);
}

POINT onScreen(HWND window, int x, int y) {
    POINT p{x, y};
    ClientToScreen(window, &p);
    return p;
}

// The reference: the editor drawn headlessly in this program after the same gestures.
std::vector<std::uint32_t> headless(bool gestures) {
    const DragThenClick dragThenClick{kKnobX, kKnobY, -kDrag, kPowerX, kPowerY};
    return headlessPicture(gestures ? &dragThenClick : nullptr);
}

} // namespace

TEST(EditorInAWindow, OpensInTheHostsWindowTakesRealClicksAndShowsTheHeadlessPixels) {
    platform::RegistrySandbox sandbox;
    ASSERT_TRUE(sandbox.active());
    LoadedPlugin plugin;
    ASSERT_NE(plugin.effect, nullptr) << plugin.library.error();
    ASSERT_TRUE(plugin.effect->flags & vst::effFlagsHasEditor);

    vst::ERect* rect = nullptr;
    ASSERT_EQ(plugin.dispatch(vst::effEditGetRect, 0, 0, &rect), 1);
    ASSERT_EQ(rect->right - rect->left, kWidth);
    ASSERT_EQ(rect->bottom - rect->top, kHeight);

    wintest::HostWindow host(kWidth, kHeight);
    ASSERT_EQ(plugin.dispatch(vst::effEditOpen, 0, 0, host.hwnd()), 1);
    HWND editor = GetWindow(host.hwnd(), GW_CHILD);
    ASSERT_NE(editor, nullptr);
    RECT client{};
    GetClientRect(editor, &client);
    EXPECT_EQ(client.right, kWidth);
    EXPECT_EQ(client.bottom, kHeight);

    // As it opens.
    const std::vector<std::uint32_t> first = settle(plugin, editor);
    const std::vector<std::uint32_t> expectedFirst = headless(false);
    EXPECT_EQ(wintest::pictureDifference(first, expectedFirst.data(), kWidth, kHeight), "");

    // A drag on the Output knob and a click on Power, as the system's input queue delivers them.
    const float output = plugin.parameter(engine::kOutput);
    ASSERT_EQ(plugin.parameter(engine::kPower), 1.0f);
    hostRecord().clear();
    POINT knob = onScreen(editor, kKnobX, kKnobY);
    wintest::moveCursor(knob.x, knob.y);
    wintest::inputButton(MOUSEEVENTF_LEFTDOWN);
    wintest::moveCursor(knob.x, knob.y - kDrag);
    wintest::inputButton(MOUSEEVENTF_LEFTUP);
    POINT power = onScreen(editor, kPowerX, kPowerY);
    wintest::moveCursor(power.x, power.y);
    wintest::inputButton(MOUSEEVENTF_LEFTDOWN);
    wintest::inputButton(MOUSEEVENTF_LEFTUP);
    const std::vector<HostCall> edits = hostRecord().edits();

    const float turned = std::min(1.0f, output + float(kDrag) * (1.0f / 400.0f));
    // The drag is one edit of Output; the click an edit of Power of its own.
    expectDragThenClickEdits(edits, engine::kOutput, turned, engine::kPower, 0.25f);
    EXPECT_NEAR(plugin.parameter(engine::kOutput), turned, 1e-6);
    EXPECT_EQ(plugin.parameter(engine::kPower), 0.25f);

    // After the gestures.
    const std::vector<std::uint32_t> after = settle(plugin, editor);
    const std::vector<std::uint32_t> expectedAfter = headless(true);
    EXPECT_EQ(wintest::pictureDifference(after, expectedAfter.data(), kWidth, kHeight), "");
    EXPECT_NE(after, first);
    // What the X server shows at the window's place is the same.
    POINT origin = onScreen(editor, 0, 0);
    EXPECT_EQ(wintest::pictureDifference(wintest::readScreen(origin.x, origin.y, kWidth, kHeight),
                                         expectedAfter.data(), kWidth, kHeight),
              "");

    plugin.dispatch(vst::effEditClose);
    wintest::pump(20);
    EXPECT_FALSE(IsWindow(editor));
    // Open again: a new window in the same state.
    ASSERT_EQ(plugin.dispatch(vst::effEditOpen, 0, 0, host.hwnd()), 1);
    editor = GetWindow(host.hwnd(), GW_CHILD);
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(wintest::pictureDifference(settle(plugin, editor), expectedAfter.data(), kWidth, kHeight), "");
    plugin.dispatch(vst::effEditClose);
}
