// The limiter core on its own, as a format adapter drives it: its state after construction, the
// pins it is handed, the changes it reports, and the rate it is given.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <memory>
#include <new>
#include <string>
#include <utility>
#include <vector>

#include "engine/limiter_core.h"

using namespace engine;

namespace {

// Answers as told and records which pins were asked, in order.
class ScriptedPins final : public LimiterCore::Pins {
public:
    ScriptedPins(bool rightOut, bool rightIn) : rightOut(rightOut), rightIn(rightIn) {}
    bool rightOutputConnected() override {
        asked += "out ";
        return rightOut;
    }
    bool rightInputConnected() override {
        asked += "in ";
        return rightIn;
    }
    std::string asked;

private:
    bool rightOut, rightIn;
};

class RecordingListener final : public LimiterCore::Listener {
public:
    void parameterChanged(int index, float value) override { changes.push_back({index, value}); }
    std::vector<std::pair<int, float>> changes;
};

struct Block {
    explicit Block(int frames) : inL(frames), inR(frames), outL(frames, 7.0), outR(frames, 7.0) {
        for (int n = 0; n < frames; ++n) {
            inL[n] = 0.9 * std::sin(n * 0.05) * (n % 400 < 200 ? 3.0 : 0.2);
            inR[n] = 0.6 * std::cos(n * 0.021);
        }
    }
    std::vector<double> inL, inR, outL, outR;
};

// The core a host would drive: driven hard enough that both channels are limited differently.
std::unique_ptr<LimiterCore> drivenCore() {
    auto core = std::make_unique<LimiterCore>();
    core->setParameter(kDrive, 0.75f);
    core->setParameter(kLink, 0.0f);
    core->reset();
    return core;
}

TEST(LimiterCore, StartsAtTheTableDefaultsAt44100Hz) {
    LimiterCore core;
    for (int i = 0; i < kNumLiveParameters; ++i)
        EXPECT_EQ(core.getParameter(i), kParameters[i].defaultValue) << kParameters[i].name;
    EXPECT_EQ(core.getParameter(kResvdVid), kCurrentLayoutMarker);
    EXPECT_EQ(core.integerSampleRate(), 44100);
    EXPECT_EQ(core.latency(), 159);
    EXPECT_EQ(core.kernelLength(), 64); // "soft"
    EXPECT_EQ(core.activeNoiseShaperSet(), 0);
}

TEST(LimiterCore, TheSignalPathGetsEveryRateCoefficientAtConstruction) {
    // Built over memory full of a pattern, so that a coefficient handed over before it is computed
    // shows as that pattern.
    alignas(LimiterCore) static unsigned char memory[sizeof(LimiterCore)];
    std::memset(memory, 0xA5, sizeof(memory));
    auto* core = new (memory) LimiterCore;
    const FrameRates& rates = core->frame().rates();
    EXPECT_EQ(rates.rms, core->rmsCoefficient());
    EXPECT_EQ(rates.ramp, core->rampCoefficient());
    EXPECT_EQ(rates.fade, core->fadeCoefficient());
    EXPECT_EQ(rates.level, core->levelCoefficient());
    EXPECT_GT(rates.rms, 0.0);
    core->~LimiterCore();
}

TEST(LimiterCore, AsksThePinsItNeedsAndWritesOnlyTheConnectedBuffers) {
    struct Case {
        bool rightOut, rightIn, calibrate;
        const char* asked;
    };
    const Case cases[] = {
        {true, true, false, "out in "},   {false, true, false, "out in "}, {true, false, false, "out in "},
        {false, false, false, "out in "}, {true, true, true, "out "},      {false, true, true, "out "},
    };
    constexpr int kFrames = 1500;
    for (const Case& c : cases) {
        std::unique_ptr<LimiterCore> core = drivenCore();
        if (c.calibrate) core->setParameter(kCalibrate, centre(1, 3));
        Block block(kFrames);
        double* inputs[2] = {block.inL.data(), block.inR.data()};
        double* outputs[2] = {block.outL.data(), block.outR.data()};
        ScriptedPins pins(c.rightOut, c.rightIn);
        core->process(inputs, outputs, kFrames, pins);
        EXPECT_EQ(pins.asked, c.asked) << c.rightOut << c.rightIn << c.calibrate;
        EXPECT_NE(block.outL[kFrames / 2], 7.0);
        EXPECT_EQ(block.outR[kFrames / 2] == 7.0, !c.rightOut) << c.rightOut << c.rightIn << c.calibrate;
    }
}

TEST(LimiterCore, AMissingRightPinActsAsTheMonoHostItStandsFor) {
    constexpr int kFrames = 3000;
    // Right input missing: the left input feeds both channels.
    std::unique_ptr<LimiterCore> a = drivenCore(), b = drivenCore();
    Block one(kFrames), two(kFrames);
    two.inR = two.inL;
    double* inOne[2] = {one.inL.data(), one.inR.data()};
    double* outOne[2] = {one.outL.data(), one.outR.data()};
    double* inTwo[2] = {two.inL.data(), two.inR.data()};
    double* outTwo[2] = {two.outL.data(), two.outR.data()};
    ScriptedPins noRightIn(true, false);
    LimiterCore::StereoPins stereo;
    a->process(inOne, outOne, kFrames, noRightIn);
    b->process(inTwo, outTwo, kFrames, stereo);
    EXPECT_EQ(one.outL, two.outL);
    EXPECT_EQ(one.outR, two.outR);

    // Right output missing: the left buffer ends with the left result.
    std::unique_ptr<LimiterCore> c = drivenCore(), d = drivenCore();
    Block three(kFrames), four(kFrames);
    double* inThree[2] = {three.inL.data(), three.inR.data()};
    double* outThree[2] = {three.outL.data(), three.outR.data()};
    double* inFour[2] = {four.inL.data(), four.inR.data()};
    double* outFour[2] = {four.outL.data(), four.outR.data()};
    ScriptedPins noRightOut(false, true);
    c->process(inThree, outThree, kFrames, noRightOut);
    d->process(inFour, outFour, kFrames, stereo);
    EXPECT_EQ(three.outL, four.outL);
    EXPECT_NE(four.outL, four.outR);
}

TEST(LimiterCore, SkipsBlocksWithoutLeftBuffersOrFramesAndAsksNoPin) {
    LimiterCore core;
    Block block(64);
    double* inputs[2] = {block.inL.data(), block.inR.data()};
    double* outputs[2] = {block.outL.data(), block.outR.data()};
    double* noLeft[2] = {nullptr, block.outR.data()};
    ScriptedPins pins(true, true);
    core.process(inputs, outputs, 0, pins);
    core.process(inputs, outputs, -5, pins);
    core.process(inputs, noLeft, 64, pins);
    core.process(noLeft, outputs, 64, pins);
    core.process(static_cast<double**>(nullptr), outputs, 64, pins);
    EXPECT_EQ(pins.asked, "");
    EXPECT_EQ(block.outL, std::vector<double>(64, 7.0));
    EXPECT_EQ(block.outR, std::vector<double>(64, 7.0));
}

TEST(LimiterCore, ReportsEveryChangeItStoresTheConversionsFirst) {
    LimiterCore core;
    RecordingListener listener;
    core.setListener(&listener);
    core.setParameter(kRelease, 0.42f);
    core.setParameter(40, 0.5f); // outside the table: reported all the same, as the host sent it
    EXPECT_EQ(listener.changes, (std::vector<std::pair<int, float>>{{kRelease, 0.42f}, {40, 0.5f}}));

    listener.changes.clear();
    core.setParameter(kBits, 0.6f);
    core.setParameter(kScale, 0.9f);
    core.setParameter(kResvdVid, 0.005f);
    const std::vector<std::pair<int, float>> expected = {
        {kBits, 0.6f},
        {kScale, 0.9f},
        {kAutoblack, centre(0, 2)},
        {kQuantize, centre(1, 2)},
        {kBits, centre(1, 3)},
        {kAttShow, centre(7, 8)},
        {kAttZoom, centre(0, 2)},
        {kPostMeter, centre(1, 2)},
        {kMeterType, centre(1, 2)},
        {kScale, centre(2, 3)},
        {kResvdVid, 0.005f},
    };
    EXPECT_EQ(listener.changes, expected);

    core.setListener(nullptr);
    core.setParameter(kDrive, 0.3f);
    EXPECT_EQ(listener.changes.size(), expected.size());
}

TEST(LimiterCore, TellsWhenANewRateMayHaveMovedTheLatency) {
    struct Case {
        float rate;
        bool changed;
        int latency;
    };
    const Case cases[] = {
        {44100.0f, false, 159}, {44100.9f, false, 159}, {96000.0f, true, 287}, {96000.5f, false, 287},
        {192000.0f, true, 543}, {4000.0f, true, 159},   {48000.0f, true, 159},
    };
    LimiterCore core;
    for (const Case& c : cases) {
        EXPECT_EQ(core.setSampleRate(c.rate), c.changed) << c.rate;
        EXPECT_EQ(core.latency(), c.latency) << c.rate;
    }
}

TEST(LimiterCore, StoredPreferencesApplyAsTheNearestChoice) {
    struct Case {
        std::int32_t stored;
        float expected;
    };
    const MeteringPreference& scale = kMeteringPreferences[0];
    ASSERT_EQ(scale.parameter, kScale);
    const Case cases[] = {{0, centre(0, 3)}, {2, centre(2, 3)}, {5, centre(2, 3)}, {-7, centre(0, 3)}};
    for (const Case& c : cases) {
        LimiterCore core;
        RecordingListener listener;
        core.setListener(&listener);
        core.applyMeteringPreference(scale, c.stored);
        EXPECT_EQ(core.getParameter(kScale), c.expected) << c.stored;
        EXPECT_EQ(listener.changes, (std::vector<std::pair<int, float>>{{kScale, c.expected}}));
    }
}

} // namespace
