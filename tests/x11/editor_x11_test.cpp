// The plug-in's editor in a real X11 window: this program is a host that loads the .so, opens its
// editor through effEditOpen in a window of its own on an X server, drives it with real input
// (XTEST) and checks what the plug-in tells it. The same editor, compiled into this program and
// drawn headlessly after the same gestures, must show the very same pixels.
#include <X11/keysym.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <memory>
#include <string>
#include <thread>

#include "platform/registry_sandbox.h"
#include "support/plugin_under_test.h"

using namespace editortest;

namespace {

constexpr int kWidth = x11test::kEditorWidth, kHeight = x11test::kEditorHeight;
// The Output knob and the Power button, in window pixels.
constexpr int kKnobX = 446, kKnobY = 377, kDrag = 100;
constexpr int kPowerX = 262, kPowerY = 417;

using x11test::idleFor;
using x11test::LoadedPlugin;
using x11test::onScreen;
using x11test::ScreenPoint;
using x11test::settle;

// The reference: the editor drawn headlessly in this program after the same gestures.
std::vector<std::uint32_t> headless(bool gestures) {
    const DragThenClick dragThenClick{kKnobX, kKnobY, -kDrag, kPowerX, kPowerY};
    return headlessPicture(gestures ? &dragThenClick : nullptr);
}

class EditorInAnX11Window : public ::testing::Test {
protected:
    platform::RegistrySandbox sandbox;
    x11test::Host host;
};

TEST_F(EditorInAnX11Window, OpensInTheHostsWindowTakesRealInputAndShowsTheHeadlessPixels) {
    ASSERT_TRUE(sandbox.active());
    LoadedPlugin plugin;
    ASSERT_NE(plugin.effect, nullptr) << plugin.library.error();
    ASSERT_TRUE(plugin.effect->flags & vst::effFlagsHasEditor);

    vst::ERect* rect = nullptr;
    ASSERT_EQ(plugin.dispatch(vst::effEditGetRect, 0, 0, &rect), 1);
    ASSERT_EQ(rect->right - rect->left, kWidth);
    ASSERT_EQ(rect->bottom - rect->top, kHeight);

    Window parent = host.makeParent(kWidth, kHeight);
    ASSERT_EQ(plugin.open(parent), 1);
    Window editor = host.firstChild(parent);
    ASSERT_NE(editor, 0u);
    int x = 0, y = 0, w = 0, h = 0;
    ASSERT_TRUE(host.geometry(editor, x, y, w, h));
    EXPECT_EQ(w, kWidth);
    EXPECT_EQ(h, kHeight);

    // As it opens.
    const std::vector<std::uint32_t> first = settle(plugin, host, editor);
    const std::vector<std::uint32_t> expectedFirst = headless(false);
    EXPECT_EQ(x11test::pictureDifference(first, expectedFirst.data(), kWidth, kHeight), "");

    // A drag on the Output knob and a click on Power, as the server's input devices deliver them,
    // with the host's idle calls running meanwhile.
    const float output = plugin.parameter(engine::kOutput);
    ASSERT_EQ(plugin.parameter(engine::kPower), 1.0f);
    hostRecord().clear();
    ScreenPoint knob = onScreen(host, editor, kKnobX, kKnobY);
    host.moveTo(knob.x, knob.y);
    idleFor(plugin, host, 60);
    host.button(1, true);
    idleFor(plugin, host, 60);
    host.moveTo(knob.x, knob.y - kDrag);
    idleFor(plugin, host, 60);
    host.button(1, false);
    idleFor(plugin, host, 60);
    ScreenPoint power = onScreen(host, editor, kPowerX, kPowerY);
    host.click(power.x, power.y);
    idleFor(plugin, host, 60);
    const std::vector<HostCall> edits = hostRecord().edits();

    const float turned = std::min(1.0f, output + float(kDrag) * (1.0f / 400.0f));
    // The drag is one edit of Output; the click an edit of Power of its own.
    expectDragThenClickEdits(edits, engine::kOutput, turned, engine::kPower, 0.25f);
    EXPECT_NEAR(plugin.parameter(engine::kOutput), turned, 1e-6);
    EXPECT_EQ(plugin.parameter(engine::kPower), 0.25f);

    // After the gestures; what the server shows at the window's place on the screen is the same.
    const std::vector<std::uint32_t> after = settle(plugin, host, editor);
    const std::vector<std::uint32_t> expectedAfter = headless(true);
    EXPECT_EQ(x11test::pictureDifference(after, expectedAfter.data(), kWidth, kHeight), "");
    EXPECT_NE(after, first);
    ScreenPoint origin = onScreen(host, editor, 0, 0);
    EXPECT_EQ(x11test::pictureDifference(host.readScreen(origin.x, origin.y, kWidth, kHeight),
                                         expectedAfter.data(), kWidth, kHeight),
              "");

    plugin.dispatch(vst::effEditClose);
    EXPECT_EQ(host.childCount(parent), 0);
    // Open again: a new window in the same state.
    ASSERT_EQ(plugin.open(parent), 1);
    editor = host.firstChild(parent);
    ASSERT_NE(editor, 0u);
    EXPECT_EQ(x11test::pictureDifference(settle(plugin, host, editor), expectedAfter.data(), kWidth, kHeight),
              "");
    plugin.dispatch(vst::effEditClose);
    EXPECT_EQ(host.errors(), 0);
}

TEST_F(EditorInAnX11Window, WheelNotchesTurnAKnobAsTheHeadlessWheelDoes) {
    // The reference: the same notches on the headless window.
    std::vector<HostCall> expected;
    {
        EditorBench bench;
        bench.open();
        bench.idle();
        hostRecord().clear();
        bench.wheel(kKnobX, kKnobY, 1);
        bench.wheel(kKnobX, kKnobY, 1);
        bench.wheel(kKnobX, kKnobY, -1);
        bench.wheel(kKnobX, kKnobY, 1, platform::kKeyShift);
        expected = hostRecord().edits();
    }
    ASSERT_FALSE(expected.empty());

    LoadedPlugin plugin;
    ASSERT_NE(plugin.effect, nullptr) << plugin.library.error();
    Window parent = host.makeParent(kWidth, kHeight);
    ASSERT_EQ(plugin.open(parent), 1);
    Window editor = host.firstChild(parent);
    settle(plugin, host, editor);
    hostRecord().clear();
    ScreenPoint knob = onScreen(host, editor, kKnobX, kKnobY);
    host.moveTo(knob.x, knob.y);
    for (unsigned button : {4u, 4u, 5u}) {
        host.button(button, true);
        host.button(button, false);
        idleFor(plugin, host, 30);
    }
    host.key(XK_Shift_L, true);
    host.button(4, true);
    host.button(4, false);
    host.key(XK_Shift_L, false);
    idleFor(plugin, host, 60);
    EXPECT_EQ(describe(hostRecord().edits()), describe(expected));
    plugin.dispatch(vst::effEditClose);
}

TEST_F(EditorInAnX11Window, OpensAndClosesTwoHundredTimesAndSurvivesItsParentGoingFirst) {
    LoadedPlugin plugin;
    ASSERT_NE(plugin.effect, nullptr) << plugin.library.error();
    Window parent = host.makeParent(kWidth, kHeight);
    for (int i = 0; i < 200; ++i) {
        ASSERT_EQ(plugin.open(parent), 1) << "cycle " << i;
        plugin.dispatch(vst::effEditIdle);
        plugin.dispatch(vst::effEditClose);
    }
    EXPECT_EQ(host.childCount(parent), 0);

    // The host destroys its window (and with it the editor's) before it closes the editor: the
    // editor's idle and close go by without an X error ending the process.
    ASSERT_EQ(plugin.open(parent), 1);
    idleFor(plugin, host, 60);
    host.destroy(parent);
    idleFor(plugin, host, 60);
    plugin.dispatch(vst::effEditClose);
    // And the very same the other way round: destroyed, closed without an idle in between.
    Window second = host.makeParent(kWidth, kHeight);
    ASSERT_EQ(plugin.open(second), 1);
    host.destroy(second);
    plugin.dispatch(vst::effEditClose);
    // The editor still opens afterwards.
    Window third = host.makeParent(kWidth, kHeight);
    ASSERT_EQ(plugin.open(third), 1);
    EXPECT_EQ(host.childCount(third), 1);
    plugin.dispatch(vst::effEditClose);
    EXPECT_EQ(host.errors(), 0);
}

TEST_F(EditorInAnX11Window, TwoInstancesShowTheirEditorsAtOnce) {
    LoadedPlugin first, second;
    ASSERT_NE(first.effect, nullptr) << first.library.error();
    ASSERT_NE(second.effect, nullptr) << second.library.error();
    Window left = host.makeParent(kWidth, kHeight, 0, 0);
    Window right = host.makeParent(kWidth, kHeight, 600, 0);
    ASSERT_EQ(first.open(left), 1);
    ASSERT_EQ(second.open(right), 1);
    // Power off in the second one only, with a real click.
    Window editor = host.firstChild(right);
    settle(second, host, editor);
    ScreenPoint power = onScreen(host, editor, kPowerX, kPowerY);
    host.click(power.x, power.y);
    for (int i = 0; i < 5; ++i) {
        idleFor(first, host, 30);
        idleFor(second, host, 30);
    }
    EXPECT_EQ(first.parameter(engine::kPower), 1.0f);
    EXPECT_EQ(second.parameter(engine::kPower), 0.25f);
    const std::vector<std::uint32_t> expected = headless(false);
    host.moveTo(1270, 1010);
    idleFor(first, host, 60);
    EXPECT_EQ(
        x11test::pictureDifference(host.readWindow(host.firstChild(left)), expected.data(), kWidth, kHeight),
        "");
    EXPECT_NE(host.readWindow(editor), host.readWindow(host.firstChild(left)));
    first.dispatch(vst::effEditClose);
    second.dispatch(vst::effEditClose);
}

TEST_F(EditorInAnX11Window, WithoutADisplayTheEditorDoesNotOpen) {
    LoadedPlugin plugin;
    ASSERT_NE(plugin.effect, nullptr) << plugin.library.error();
    Window parent = host.makeParent(kWidth, kHeight);
    std::string display = std::getenv("DISPLAY") ? std::getenv("DISPLAY") : "";
    for (const char* none : {"", ":4711"}) {
        setenv("DISPLAY", none, 1);
        EXPECT_EQ(plugin.open(parent), 0) << "DISPLAY=" << none;
        plugin.dispatch(vst::effEditIdle);
        plugin.dispatch(vst::effEditClose);
    }
    unsetenv("DISPLAY");
    EXPECT_EQ(plugin.open(parent), 0);
    setenv("DISPLAY", display.c_str(), 1);
    // And no window of a bad parent id.
    EXPECT_EQ(plugin.open(Window(0x7FFFFFF)), 0);
    EXPECT_EQ(plugin.open(parent), 1);
    plugin.dispatch(vst::effEditClose);
}

} // namespace
