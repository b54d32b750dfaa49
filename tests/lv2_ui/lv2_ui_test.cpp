// The LV2 user interface in a real X11 window: this program is a host that finds it through lilv,
// loads its binary, instantiates it through its descriptor in a window of its own, drives it with
// real input (XTEST), the host's idle calls and port notifications, and reads what it writes to the
// ports. The VST 2.4 editor, compiled into this program and drawn headlessly after the same
// gestures, must show the very same pixels.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>

#include "engine/parameters.h"
#include "lv2/ports.h"
#include "platform/registry_sandbox.h"
#include "presets/factory_presets.h"
#include "resources/window_layout.h"
#include "support/editor_host.h"
#include "ui_under_test.h"

using namespace lv2port;
using lv2uitest::onScreen;
using lv2uitest::UiUnderTest;

namespace {

constexpr int kWidth = window_layout::kWidth, kHeight = window_layout::kHeight;
// The Output knob (dragged down: it starts at the top), the Power button and the rocker's right
// half, in window pixels.
constexpr int kKnobX = 446, kKnobY = 377, kDrag = 100;
constexpr int kPowerX = 262, kPowerY = 417;
constexpr int kNextX = 365, kNextY = 453;

// The VST 2.4 editor drawn headlessly in this program after the same gestures, and after the host
// set "Drive" to a normalized value (none when negative).
std::vector<std::uint32_t> headless(bool gestures, float drive = -1.0f) {
    const editortest::DragThenClick dragThenClick{kKnobX, kKnobY, kDrag, kPowerX, kPowerY};
    auto host = [drive](Plugin& plugin) {
        if (drive >= 0.0f) plugin.setParameter(engine::kDrive, drive);
    };
    return editortest::headlessPicture(gestures ? &dragThenClick : nullptr, host);
}

// What a host sends after instantiating: every control input at its default, and the latency.
void sendInitialValues(UiUnderTest& ui) {
    for (std::uint32_t p = kFirstControl; p < kLatency; ++p)
        ui.send(p, defaultValue(port(p)));
    ui.send(kLatency, 159.0f);
}

// The last value written to each port.
std::map<std::uint32_t, float> lastWrites(const std::vector<lv2uitest::PortWrite>& writes) {
    std::map<std::uint32_t, float> last;
    for (const auto& w : writes)
        last[w.port] = w.value;
    return last;
}

bool regionDiffers(const std::vector<std::uint32_t>& a, const std::vector<std::uint32_t>& b,
                   const window_layout::Rect& r) {
    for (int y = r.t; y < r.b; ++y)
        for (int x = r.l; x < r.r; ++x)
            if (a[std::size_t(y * kWidth + x)] != b[std::size_t(y * kWidth + x)]) return true;
    return false;
}

class Lv2UiInAnX11Window : public ::testing::Test {
protected:
    // The UI instantiated in a parent window of the host's: its widget, 0 when it did not open.
    Window openInParent() {
        parent = host.makeParent(kWidth, kHeight);
        return sandbox.active() && ui.descriptor() ? ui.instantiate(parent) : 0;
    }

    platform::RegistrySandbox sandbox;
    x11test::Host host;
    UiUnderTest ui;
    Window parent = 0;
};

TEST_F(Lv2UiInAnX11Window, LilvListsOneX11UiWhoseDescriptorOffersTheIdleInterfaceAndNeedsAParent) {
    const lv2uitest::FoundUi found = lv2uitest::findUi();
    EXPECT_EQ(found.count, 1);
    EXPECT_TRUE(found.isX11Ui);
    EXPECT_NE(found.binaryPath.find("/OrvelZelmar.lv2/OrvelZelmar_ui.so"), std::string::npos)
        << found.binaryPath;

    ASSERT_NE(ui.descriptor(), nullptr) << ui.error();
    ASSERT_NE(ui.idleInterface(), nullptr);
    EXPECT_EQ(ui.descriptor()->extension_data("http://lv2plug.in/ns/extensions/ui#showInterface"), nullptr);
    // Without a parent window there is nothing to embed in: the host hears so.
    EXPECT_EQ(ui.instantiate(0), 0u);
    EXPECT_TRUE(ui.writes.empty());
}

TEST_F(Lv2UiInAnX11Window, ShowsTheVstEditorsPixelsAndTurnsRealInputIntoPortWritesAndTouches) {
    const Window widget = openInParent();
    ASSERT_NE(widget, 0u) << ui.error();
    EXPECT_EQ(host.firstChild(parent), widget);
    int x = 0, y = 0, w = 0, h = 0;
    ASSERT_TRUE(host.geometry(widget, x, y, w, h));
    EXPECT_EQ(w, kWidth);
    EXPECT_EQ(h, kHeight);
    EXPECT_EQ(ui.resizes, (std::vector<std::pair<int, int>>{{kWidth, kHeight}}));

    sendInitialValues(ui);
    const std::vector<std::uint32_t> first = ui.settle(host);
    EXPECT_EQ(x11test::pictureDifference(first, headless(false).data(), kWidth, kHeight), "");
    // Opening changes no setting.
    EXPECT_TRUE(ui.writes.empty());

    // A drag on the Output knob and a click on Power, as the server's input devices deliver them.
    const std::uint32_t outputPort = controlPortOf(engine::kOutput),
                        powerPort = controlPortOf(engine::kPower);
    const float output = toNormalized(port(outputPort), defaultValue(port(outputPort)));
    const lv2uitest::ScreenPoint knob = onScreen(host, widget, kKnobX, kKnobY);
    host.moveTo(knob.x, knob.y);
    ui.idleFor(host, 60);
    host.button(1, true);
    ui.idleFor(host, 60);
    host.moveTo(knob.x, knob.y + kDrag);
    ui.idleFor(host, 60);
    host.button(1, false);
    ui.idleFor(host, 60);
    const lv2uitest::ScreenPoint power = onScreen(host, widget, kPowerX, kPowerY);
    host.click(power.x, power.y);
    ui.idleFor(host, 60);

    ASSERT_FALSE(ui.writes.empty());
    for (const auto& write : ui.writes)
        EXPECT_TRUE(write.port == outputPort || write.port == powerPort) << write.port;
    const float turned = std::max(0.0f, output - float(kDrag) * (1.0f / 400.0f));
    const std::map<std::uint32_t, float> last = lastWrites(ui.writes);
    EXPECT_EQ(last.at(outputPort), toPortValue(port(outputPort), turned));
    EXPECT_EQ(last.at(powerPort), 0.0f);
    EXPECT_EQ(ui.writes.back().port, powerPort);
    // Each gesture is touched and let go, the drag as one.
    ASSERT_EQ(ui.touches.size(), 4u);
    EXPECT_TRUE(ui.touches[0].port == outputPort && ui.touches[0].grabbed);
    EXPECT_TRUE(ui.touches[1].port == outputPort && !ui.touches[1].grabbed);
    EXPECT_TRUE(ui.touches[2].port == powerPort && ui.touches[2].grabbed);
    EXPECT_TRUE(ui.touches[3].port == powerPort && !ui.touches[3].grabbed);

    // The host echoes what was written, then moves "Drive" itself (automation): the controls follow.
    for (const auto& [p, value] : last)
        ui.send(p, value);
    const float drive = 12.0f;
    ui.send(controlPortOf(engine::kDrive), drive);
    const std::vector<std::uint32_t> after = ui.settle(host);
    const float driven = toNormalized(port(controlPortOf(engine::kDrive)), drive);
    EXPECT_EQ(x11test::pictureDifference(after, headless(true, driven).data(), kWidth, kHeight), "");

    // Meter notifications move the meters and read-outs; nothing is written back.
    const std::size_t writes = ui.writes.size();
    for (std::uint32_t p : {kInPeakLeft, kInPeakRight, kOutPeakLeft, kOutPeakRight})
        ui.send(p, -3.0f);
    for (std::uint32_t p : {kInRmsLeft, kInRmsRight, kOutRmsLeft, kOutRmsRight})
        ui.send(p, -9.0f);
    for (std::uint32_t p : {kGainReductionLeft, kGainReductionRight})
        ui.send(p, 6.0f);
    const std::vector<std::uint32_t> metered = ui.settle(host);
    using namespace window_layout;
    for (const Rect& r : {kMeterIn, kMeterOut, kMeterGr, kLcdIn, kLcdOut, kLcdGr})
        EXPECT_TRUE(regionDiffers(after, metered, r)) << r.l << "," << r.t;
    EXPECT_FALSE(regionDiffers(after, metered, kOutput));
    EXPECT_EQ(ui.writes.size(), writes);

    ui.cleanup();
    EXPECT_EQ(host.childCount(parent), 0);
    EXPECT_EQ(host.errors(), 0);
}

TEST_F(Lv2UiInAnX11Window, ThePresetStripSelectsAFactoryPresetByWritingEveryControlPort) {
    const Window widget = openInParent();
    ASSERT_NE(widget, 0u) << ui.error();
    sendInitialValues(ui);
    ui.settle(host);
    ASSERT_TRUE(ui.writes.empty());

    const lv2uitest::ScreenPoint next = onScreen(host, widget, kNextX, kNextY);
    host.click(next.x, next.y);
    ui.idleFor(host, 120);
    const std::map<std::uint32_t, float> last = lastWrites(ui.writes);
    // Every control port ends at the preset's value; those that change are written, once each.
    const presets::FactoryPreset& preset = presets::kFactoryPresets[1];
    int changed = 0;
    for (std::uint32_t p = kFirstControl; p < kLatency; ++p) {
        const PortInfo& info = port(p);
        const float wanted = toPortValue(info, preset.values[info.parameter]);
        const bool differs = toNormalized(info, wanted) != toNormalized(info, defaultValue(info));
        changed += differs;
        EXPECT_EQ(last.count(p), differs ? 1u : 0u) << info.symbol;
        if (differs) {
            EXPECT_EQ(last.at(p), wanted) << info.symbol;
        }
    }
    EXPECT_GT(changed, 2);
    EXPECT_EQ(ui.writes.size(), std::size_t(changed));
}

} // namespace
