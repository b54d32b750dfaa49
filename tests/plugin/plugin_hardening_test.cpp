// What a host, a preset or a stored preference can throw at the effect beyond real settings:
// parameter values outside 0..1 and indices outside the table, preferences outside their choices,
// key modifiers outside a byte, a reset in the middle of a block.
#include <gtest/gtest.h>

#include <atomic>
#include <bit>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "host/aeff_editor.h"
#include "host/audio_effect.h"
#include "host/plugin.h"
#include "host/preset_system_effect.h"
#include "platform/registry.h"
#include "platform/registry_sandbox.h"

using namespace engine;

namespace {

bool sameBits(double a, double b) {
    return std::bit_cast<std::uint64_t>(a) == std::bit_cast<std::uint64_t>(b);
}

bool sameBits(float a, float b) {
    return std::bit_cast<std::uint32_t>(a) == std::bit_cast<std::uint32_t>(b);
}

// ---------------------------------------------------------------------------------------------
// Parameter values from outside 0..1

vst::VstIntPtr quietHost(vst::AEffect*, vst::VstInt32 opcode, vst::VstInt32, vst::VstIntPtr, void*, float) {
    return opcode == vst::audioMasterVersion ? 2400 : 0;
}

class HardeningPlugin : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(sandbox.active()); }
    platform::RegistrySandbox sandbox;
};

std::string display(Plugin& p, int index) {
    char text[64];
    std::memset(text, 0x5A, sizeof(text));
    p.getParameterDisplay(index, text);
    EXPECT_LT(std::strlen(text), 14u) << index;
    return text;
}

// Everything a parameter derives, as one comparable text.
std::string derivedState(Plugin& effect) {
    const LimiterCore& p = effect.core();
    std::string state;
    auto add = [&](double v) {
        EXPECT_TRUE(std::isfinite(v));
        state += std::to_string(std::bit_cast<std::uint64_t>(v)) + " ";
    };
    add(p.outputGain());
    add(p.driveGain());
    add(p.transientAmount());
    add(p.releaseTime());
    add(p.linkAmount());
    add(p.levellerLevel());
    add(p.powerGain());
    for (int k = 0; k < LimiterCore::kFollowerStages; ++k) {
        add(p.attackCoefficient(k));
        add(p.releaseCoefficient(k));
    }
    for (int i = 0; i < kNumParameters; ++i) {
        const int choices = kParameters[i].choices;
        const int c = p.choice(i);
        if (choices > 0) {
            EXPECT_TRUE(c >= 0 && c < choices) << kParameters[i].name << " choice " << c;
        }
        state += std::to_string(c) + " " + display(effect, i) + " | ";
    }
    state += std::to_string(p.kernelLength()) + " " + std::to_string(p.activeNoiseShaperSet()) + " " +
             std::to_string(p.wordLength());
    return state;
}

// A host's value v and the value limited to 0..1 (NaN as 0) must give the same engine, block by
// block, while getParameter keeps answering v itself.
TEST_F(HardeningPlugin, ValuesOutsideTheRangeDeriveAsTheirLimitedValue) {
    const float inf = std::numeric_limits<float>::infinity();
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float values[] = {nan,
                            -nan,
                            inf,
                            -inf,
                            -1e30f,
                            -3.0f,
                            -0.5f,
                            -0.34f,
                            -1e-30f,
                            1.0000001f,
                            1.5f,
                            7.0f,
                            std::numeric_limits<float>::max(),
                            std::numeric_limits<float>::denorm_min()};
    Plugin asSent(quietHost), limited(quietHost);
    std::vector<double> inL(257), inR(257), outA(2 * 257), outB(2 * 257);
    for (int n = 0; n < 257; ++n) {
        inL[n] = 1.5 * std::sin(n * 0.3);
        inR[n] = 0.8 * std::cos(n * 0.07);
    }
    for (int index = 0; index < kNumParameters; ++index) {
        for (float v : values) {
            asSent.setParameter(index, v);
            limited.setParameter(index, clampNormalized(v));
            if (index < kNumLiveParameters) {
                EXPECT_TRUE(sameBits(asSent.getParameter(index), v)) << kParameters[index].name << " " << v;
            }
            ASSERT_EQ(derivedState(asSent), derivedState(limited)) << kParameters[index].name << " at " << v;

            double* inputs[2] = {inL.data(), inR.data()};
            double* a[2] = {outA.data(), outA.data() + 257};
            double* b[2] = {outB.data(), outB.data() + 257};
            asSent.processDoubleReplacing(inputs, a, 257);
            limited.processDoubleReplacing(inputs, b, 257);
            for (int n = 0; n < 2 * 257; ++n) {
                ASSERT_TRUE(sameBits(outA[n], outB[n]))
                    << kParameters[index].name << " at " << v << ", sample " << n;
                ASSERT_LE(std::fabs(outA[n]), 1.0);
            }
        }
        // Back to the edit buffer's value, so that later parameters run on a sensible setting.
        const float usual = asSent.presetSlot(1)->values[index];
        asSent.setParameter(index, usual);
        limited.setParameter(index, usual);
    }
}

TEST_F(HardeningPlugin, IndicesOutsideTheTableAreHarmless) {
    Plugin p(quietHost);
    const std::string before = derivedState(p);
    for (int index : {-1, 26, 27, 1000, std::numeric_limits<int>::max(), std::numeric_limits<int>::min()}) {
        for (float v : {0.5f, -1.0f, std::numeric_limits<float>::quiet_NaN()}) {
            p.setParameter(index, v);
            EXPECT_EQ(p.getParameter(index), 0.0f) << index;
        }
        char text[64] = "x";
        p.getParameterName(index, text);
        EXPECT_STREQ(text, "");
        p.getParameterLabel(index, text);
        EXPECT_STREQ(text, "");
        EXPECT_EQ(display(p, index), "");
    }
    EXPECT_EQ(derivedState(p), before);
}

// ---------------------------------------------------------------------------------------------
// Stored metering preferences outside their choices

TEST_F(HardeningPlugin, StoredPreferencesOutsideTheChoicesApplyTheNearestChoice) {
    struct Preference {
        const char* name;
        int index;
        int choices;
    };
    const Preference preferences[] = {
        {"Metering_Scale", kScale, 3},     {"Metering_Type", kMeterType, 2}, {"Metering_Zoom", kAttZoom, 2},
        {"Metering_AttShow", kAttShow, 8}, {"Metering_Recon", kMeterOvs, 2}, {"Metering_Post", kPostMeter, 2},
    };
    const std::int32_t stored[] = {std::numeric_limits<std::int32_t>::min(), -7, -1, 0, 1, 2, 3, 5, 7, 8, 100,
                                   std::numeric_limits<std::int32_t>::max()};
    for (std::int32_t v : stored) {
        platform::RegistrySandbox store;
        ASSERT_TRUE(store.active());
        {
            platform::RegistryKey key;
            ASSERT_TRUE(key.create(presets::kPreferencesKey));
            for (const Preference& p : preferences)
                ASSERT_TRUE(key.write(p.name, platform::kRegistryDword, &v, sizeof(v)));
        }
        Plugin plugin(quietHost);
        for (const Preference& p : preferences) {
            const int nearest = std::clamp<std::int32_t>(v, 0, p.choices - 1);
            const float expected = centre(nearest, p.choices);
            EXPECT_EQ(plugin.getParameter(p.index), expected) << p.name << " stored as " << v;
            EXPECT_EQ(plugin.presetSlot(0)->values[p.index], expected) << p.name << " stored as " << v;
            EXPECT_EQ(plugin.core().choice(p.index), nearest) << p.name << " stored as " << v;
        }
    }
}

// ---------------------------------------------------------------------------------------------
// Key events with any modifier

struct KeyEditor : AEffEditor {
    using AEffEditor::AEffEditor;
    std::vector<vst::VstKeyCode> keys;
    bool onKeyDown(vst::VstKeyCode& key) override {
        keys.push_back(key);
        return true;
    }
};

TEST(HostBoundary, KeyModifiersOutsideAByteCountAsNone) {
    AudioEffectX effect(nullptr, 1, 1);
    auto* editor = new KeyEditor(&effect);
    effect.setEditor(editor); // the effect deletes it
    const float modifiers[] = {0.0f,
                               3.0f,
                               255.0f,
                               255.9f,
                               256.0f,
                               -1.0f,
                               1e10f,
                               -1e30f,
                               std::numeric_limits<float>::quiet_NaN(),
                               std::numeric_limits<float>::infinity()};
    const unsigned char expected[] = {0, 3, 255, 255, 0, 0, 0, 0, 0, 0};
    for (float m : modifiers)
        EXPECT_EQ(effect.dispatcher(vst::effEditKeyDown, 'a', 0x10f, nullptr, m), 1);
    ASSERT_EQ(editor->keys.size(), std::size(modifiers));
    for (std::size_t i = 0; i < std::size(modifiers); ++i) {
        EXPECT_EQ(editor->keys[i].character, 'a');
        EXPECT_EQ(editor->keys[i].virt, 0x0f);
        EXPECT_EQ(editor->keys[i].modifier, expected[i]) << modifiers[i];
    }
}

// ---------------------------------------------------------------------------------------------
// The state reset against the engine mutex

// A host that, in the middle of a block (at its pin query), switches the effect off from another
// thread: the reset must wait for the block, as a "TransShape" change on another thread must wait
// for a reset.
std::atomic<int> resetStage{0};
Plugin* racingPlugin = nullptr;
std::thread* resetter = nullptr;

vst::VstIntPtr hostThatResetsMidBlock(vst::AEffect*, vst::VstInt32 opcode, vst::VstInt32, vst::VstIntPtr,
                                      void*, float) {
    if (opcode == vst::audioMasterVersion) return 2400;
    if (opcode == vst::audioMasterPinConnected && racingPlugin && !resetter) {
        resetter = new std::thread([] {
            racingPlugin->dispatcher(vst::effMainsChanged, 0, 0, nullptr, 0.0f);
            resetStage = 2;
        });
        resetStage = 1;
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        EXPECT_EQ(resetStage.load(), 1) << "the reset ran inside a block";
    }
    return 0;
}

TEST_F(HardeningPlugin, AHostResetWaitsForTheRunningBlock) {
    Plugin p(hostThatResetsMidBlock);
    std::vector<double> l(64, 0.5), r(64, 0.5), outL(64), outR(64);
    double* in[2] = {l.data(), r.data()};
    double* out[2] = {outL.data(), outR.data()};
    racingPlugin = &p;
    p.processDoubleReplacing(in, out, 64);
    ASSERT_NE(resetter, nullptr);
    resetter->join();
    EXPECT_EQ(resetStage.load(), 2);
    delete resetter;
    resetter = nullptr;
    racingPlugin = nullptr;
}

} // namespace
