// The user interface's side of the ports, without a window: what the editor's changes write, what
// the host's notifications change, the meters heard of, and the preset slots applied through the
// ports, the older layout's conversion included, against the limiter core given the same values.
// And the hold of the DSP's meter outputs between the runs a host's display samples.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cmath>
#include <filesystem>
#include <string>
#include <vector>

#include "engine/limiter_core.h"
#include "lv2/meter_hold.h"
#include "lv2/port_link.h"
#include "lv2/ports.h"
#include "platform/registry_sandbox.h"

using namespace lv2port;

namespace {

struct RecordingHost final : PortLink::Host {
    struct Write {
        std::uint32_t port;
        float value;
    };
    void writePort(std::uint32_t port, float value) override { writes.push_back({port, value}); }
    void touchPort(std::uint32_t port, bool grabbed) override {
        touches.push_back({port, grabbed ? 1.0f : 0.0f});
    }
    std::vector<Write> writes, touches;
};

class PortLinkTest : public ::testing::Test {
protected:
    platform::RegistrySandbox sandbox;
    RecordingHost host;
    PortLink link{host};
};

TEST_F(PortLinkTest, EditsWriteTheirPortsInThePortsUnitAndTheLinkHoldsWhatThePluginWill) {
    EXPECT_TRUE(link.atFactorySettings());
    link.beginEdit(engine::kDrive);
    link.automate(engine::kDrive, 0.75f);
    link.endEdit(engine::kDrive);
    const PortInfo& drive = port(controlPortOf(engine::kDrive));
    ASSERT_EQ(host.writes.size(), 1u);
    EXPECT_EQ(host.writes[0].port, controlPortOf(engine::kDrive));
    EXPECT_FLOAT_EQ(host.writes[0].value, 0.25f * 160.0f * std::log10(2.0f)); // +12.04 dB
    EXPECT_EQ(link.getParameter(engine::kDrive), toNormalized(drive, host.writes[0].value));
    EXPECT_NEAR(link.getParameter(engine::kDrive), 0.75f, 1e-6f);
    ASSERT_EQ(host.touches.size(), 2u);
    EXPECT_EQ(host.touches[0].value, 1.0f);
    EXPECT_EQ(host.touches[1].value, 0.0f);
    EXPECT_FALSE(link.atFactorySettings());
    // The slots keep the value as given, as the VST 2.4 plug-in's do.
    EXPECT_EQ(link.presetSlot(0)->values[engine::kDrive], 0.75f);

    // Parameters without a port write nothing; the layout marker always reads current.
    host.writes.clear();
    link.automate(engine::kDummy2, 0.5f);
    link.automate(engine::kResvdVid, 0.5f);
    EXPECT_TRUE(host.writes.empty());
    EXPECT_EQ(link.getParameter(engine::kDummy2), 0.5f);
    EXPECT_EQ(link.getParameter(engine::kResvdVid), engine::kCurrentLayoutMarker);
}

TEST_F(PortLinkTest, HostNotificationsSetParametersAndFeedTheMeters) {
    link.portEvent(controlPortOf(engine::kTransShape), 2.0f); // "soft"
    link.portEvent(controlPortOf(engine::kTransShape), 0.0f); // "hard"
    EXPECT_EQ(link.getParameter(engine::kTransShape), engine::centre(0, 3));
    EXPECT_EQ(link.presetSlot(0)->values[engine::kTransShape], engine::centre(0, 3));
    // Out of range and NaN: clamped as the plug-in clamps them.
    link.portEvent(controlPortOf(engine::kBits), 9.0f);
    EXPECT_EQ(link.getParameter(engine::kBits), engine::centre(2, 3));
    link.portEvent(controlPortOf(engine::kBits), NAN);
    EXPECT_EQ(link.getParameter(engine::kBits), engine::centre(0, 3));
    EXPECT_TRUE(host.writes.empty());
    // While the user holds a control, late echoes of its port do not move it.
    const std::uint32_t drive = controlPortOf(engine::kDrive);
    link.beginEdit(engine::kDrive);
    link.automate(engine::kDrive, 0.6f);
    link.automate(engine::kDrive, 0.7f);
    link.portEvent(drive, host.writes[0].value);
    EXPECT_NEAR(link.getParameter(engine::kDrive), 0.7f, 1e-6f);
    link.endEdit(engine::kDrive);
    link.portEvent(drive, 0.0f);
    EXPECT_EQ(link.getParameter(engine::kDrive), 0.5f);
    host.writes.clear();

    editor::MeterValues v;
    EXPECT_FALSE(link.pollMeters(v));
    link.portEvent(kInPeakLeft, -6.0f);
    link.portEvent(kInPeakLeft, -20.0f); // the higher one since the last poll counts
    link.portEvent(kOutRmsRight, -12.0f);
    link.portEvent(kGainReductionRight, 3.0f);
    link.portEvent(kInPeakRight, kPeakFloorDb);
    ASSERT_TRUE(link.pollMeters(v));
    EXPECT_NEAR(v.inPeakL, 0.501187f, 1e-5f);
    EXPECT_EQ(v.inPeakR, 0.0f);
    EXPECT_NEAR(v.outRmsR, 0.251189f, 1e-5f);
    EXPECT_NEAR(v.grR, 0.707946f, 1e-5f);
    EXPECT_EQ(v.grL, 1.0f);
    // Nothing new: no feed; news again: peaks afresh, RMS as last heard.
    EXPECT_FALSE(link.pollMeters(v));
    link.portEvent(kGainReductionLeft, 0.0f);
    ASSERT_TRUE(link.pollMeters(v));
    EXPECT_EQ(v.inPeakL, 0.0f);
    EXPECT_EQ(v.grR, 1.0f);
    EXPECT_NEAR(v.outRmsR, 0.251189f, 1e-5f);
}

// Values of the older layout in a slot ("Bits" off/8/16/24, "Scale" peak/K-12/K-14/K-20, marker 0):
// selected through the ports they end as the core converts them.
TEST_F(PortLinkTest, SelectingASlotOfTheOlderLayoutWritesWhatTheCoreConvertsItTo) {
    struct Case {
        float bits, scale;
    };
    // What the ports carry, as the host would keep them.
    std::vector<float> ports(kNumPorts, NAN);
    for (std::uint32_t p = kFirstControl; p < kLatency; ++p)
        ports[p] = defaultValue(port(p));
    for (const Case c : {Case{0.1f, 0.1f}, Case{0.6f, 0.9f}, Case{0.7f, 0.3f}, Case{0.99f, 0.6f}}) {
        presets::PresetSlot& slot = *link.presetSlot(5);
        for (int i = 0; i < engine::kNumParameters; ++i)
            slot.values[i] = presets::kFactoryPresets[5].values[i];
        slot.values[engine::kBits] = c.bits;
        slot.values[engine::kScale] = c.scale;
        slot.values[engine::kResvdVid] = 0.0f;
        LimiterCore core;
        for (int i = 0; i < engine::kNumParameters; ++i)
            core.setParameter(i, slot.values[i]);

        host.writes.clear();
        link.selectPreset(5);
        for (const auto& w : host.writes)
            ports[w.port] = w.value;
        for (int i = 0; i < engine::kNumLiveParameters; ++i) {
            const std::uint32_t p = controlPortOf(i);
            ASSERT_FALSE(std::isnan(ports[p])) << port(p).symbol;
            EXPECT_EQ(toNormalized(port(p), ports[p]),
                      toNormalized(port(p), toPortValue(port(p), core.getParameter(i))))
                << port(p).symbol << " bits " << c.bits << " scale " << c.scale;
            EXPECT_EQ(link.getParameter(i), toNormalized(port(p), ports[p])) << port(p).symbol;
        }
    }
}

TEST_F(PortLinkTest, APresetFileSavedHereLoadsIntoAnotherInstanceByWritingItsPorts) {
    link.automate(engine::kRelease, 0.3f);
    link.automate(engine::kNoiseShape, engine::centre(2, 4));
    link.renamePreset("Night mix");
    const std::string file =
        (std::filesystem::temp_directory_path() / ("orvel-port-link-" + std::to_string(::getpid()) + ".fxp"))
            .string();
    link.savePresetFile(file.c_str());

    RecordingHost other;
    PortLink fresh{other};
    ASSERT_TRUE(fresh.loadPresetFile(file.c_str(), false));
    EXPECT_STREQ(fresh.presetSlot(fresh.getCurrentPresetIndex())->name, "Night mix");
    std::vector<float> written(kNumPorts, NAN);
    for (const auto& w : other.writes)
        written[w.port] = w.value;
    EXPECT_EQ(written[controlPortOf(engine::kRelease)],
              toPortValue(port(controlPortOf(engine::kRelease)), 0.3f));
    EXPECT_EQ(written[controlPortOf(engine::kNoiseShape)], 2.0f);
    for (int i = 0; i < engine::kNumParameters; ++i)
        EXPECT_EQ(fresh.getParameter(i), link.getParameter(i)) << i;
    // A file that is not a preset changes nothing.
    other.writes.clear();
    EXPECT_FALSE(fresh.loadPresetFile((file + ".missing").c_str(), false));
    EXPECT_TRUE(other.writes.empty());
    std::filesystem::remove(file);
}

TEST(MeterHold, APeakOrReductionStaysShownForAWholeWindowAndRmsShowsTheLatest) {
    MeterHold hold;
    hold.setRate(48000); // windows of 2400 frames
    MeterHold::Values quiet{};
    quiet[MeterFeed::kGainL] = quiet[MeterFeed::kGainR] = 1.0f;
    MeterHold::Values loud{};
    loud[MeterFeed::kInPeakL] = 0.9f;
    loud[MeterFeed::kGainR] = 0.5f;
    loud[MeterFeed::kGainL] = 1.0f;
    loud[MeterFeed::kOutRmsL] = 0.3f;

    hold.add(loud, 64);
    EXPECT_EQ(hold.shown(MeterFeed::kInPeakL), 0.9f);
    EXPECT_EQ(hold.shown(MeterFeed::kGainR), 0.5f);
    EXPECT_EQ(hold.shown(MeterFeed::kOutRmsL), 0.3f);
    // Quiet runs: the peak and the reduction stay through the window that saw them and the next.
    int frames = 64;
    while (frames < 2 * 2400 - 64) {
        hold.add(quiet, 64);
        frames += 64;
        ASSERT_EQ(hold.shown(MeterFeed::kInPeakL), 0.9f) << frames;
        ASSERT_EQ(hold.shown(MeterFeed::kGainR), 0.5f) << frames;
        ASSERT_EQ(hold.shown(MeterFeed::kOutRmsL), 0.0f);
    }
    hold.add(quiet, 128);
    EXPECT_EQ(hold.shown(MeterFeed::kInPeakL), 0.0f);
    EXPECT_EQ(hold.shown(MeterFeed::kGainR), 1.0f);

    // A run longer than a window, and zero-frame runs, keep the rule.
    hold.add(loud, 10000);
    EXPECT_EQ(hold.shown(MeterFeed::kInPeakL), 0.9f);
    hold.add(quiet, 0);
    EXPECT_EQ(hold.shown(MeterFeed::kInPeakL), 0.9f);
    hold.reset();
    EXPECT_EQ(hold.shown(MeterFeed::kInPeakL), 0.0f);
    EXPECT_EQ(hold.shown(MeterFeed::kGainL), 1.0f);
}

} // namespace
