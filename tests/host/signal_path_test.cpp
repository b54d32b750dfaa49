// The limiter as a host hears it: audio through processReplacing and processDoubleReplacing, set up
// only through the dispatcher and the parameter entries.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <vector>

#include "tests/host/test_host.h"

using namespace vst;
using namespace testhost;

namespace {

enum Parameter {
    kOutput = 0,
    kDrive = 1,
    kTransient = 2,
    kTransShape = 4,
    kOversample = 6,
    kPower = 8,
    kScale = 9,
    kBits = 10,
    kCalibrate = 12,
    kLeveller = 13,
    kAutoOut = 15,
    kQuantize = 16,
    kAutoblack = 17,
};

constexpr float centre(int k, int n) {
    return static_cast<float>(k) / n + 0.5f / n;
}

// A host that answers the pin queries as told and records nothing while audio runs.
struct PinHost {
    static inline VstIntPtr answer = 0; // 0: connected
    static VstIntPtr callback(AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void*, float) {
        switch (opcode) {
        case audioMasterVersion:
            return 2400;
        case audioMasterPinConnected:
            return answer;
        default:
            return 0;
        }
    }
};

class Effect {
public:
    explicit Effect(int rate = 44100) : effect(library().instantiate(PinHost::callback)) {
        if (!effect) return;
        effect->dispatcher(effect, effSetSampleRate, 0, 0, nullptr, static_cast<float>(rate));
        effect->dispatcher(effect, effSetBlockSize, 0, 512, nullptr, 0.0f);
        effect->dispatcher(effect, effMainsChanged, 0, 1, nullptr, 0.0f);
        // Neutral: 0 dB drive and output, "Power" on, nothing else switched on.
        set(kOutput, 1.0f);
        set(kDrive, 0.5f);
        set(kTransient, 0.5f);
        set(kOversample, centre(0, 2));
        set(kPower, centre(1, 2));
        set(kCalibrate, centre(0, 4));
        set(kLeveller, 0.5f);
        set(kAutoOut, centre(0, 2));
        set(kQuantize, centre(0, 2));
        restart();
    }
    ~Effect() {
        if (effect) effect->dispatcher(effect, effClose, 0, 0, nullptr, 0.0f);
    }
    Effect(const Effect&) = delete;
    Effect& operator=(const Effect&) = delete;

    explicit operator bool() const { return effect != nullptr; }
    AEffect* operator->() const { return effect; }
    void set(int index, float value) { effect->setParameter(effect, index, value); }
    // Switched off and on: a cleared state, with the gains at their targets instead of ramping.
    void restart() {
        effect->dispatcher(effect, effMainsChanged, 0, 0, nullptr, 0.0f);
        effect->dispatcher(effect, effMainsChanged, 0, 1, nullptr, 0.0f);
    }

    template <class T>
    void process(std::vector<T>& inL, std::vector<T>& inR, std::vector<T>& outL, std::vector<T>& outR,
                 int start, int frames) {
        T* ins[2] = {inL.data() + start, inR.data() + start};
        T* outs[2] = {outL.data() + start, outR.data() + start};
        if constexpr (std::is_same_v<T, float>)
            effect->processReplacing(effect, ins, outs, frames);
        else
            effect->processDoubleReplacing(effect, ins, outs, frames);
    }

    // The whole input in blocks of `block`.
    template <class T>
    std::pair<std::vector<T>, std::vector<T>> run(std::vector<T> inL, std::vector<T> inR, int block = 512) {
        std::vector<T> outL(inL.size()), outR(inL.size());
        const int total = static_cast<int>(inL.size());
        for (int start = 0; start < total; start += block)
            process(inL, inR, outL, outR, start, std::min(block, total - start));
        return {outL, outR};
    }

private:
    AEffect* effect;
};

template <class T> void checkImpulse(int rate, int latency) {
    Effect fx(rate);
    ASSERT_TRUE(fx);
    EXPECT_EQ(fx->initialDelay, latency);
    std::vector<T> in(3 * latency, T(0));
    in[5] = T(0.5);
    const auto [l, r] = fx.run(in, in, 100);
    for (int n = 0; n < 3 * latency; ++n) {
        const double expected = n == latency + 5 ? 0.5 : 0.0;
        ASSERT_NEAR(l[n], expected, 4e-16) << rate << " sample " << n;
        ASSERT_NEAR(r[n], expected, 4e-16) << rate << " sample " << n;
    }
}

TEST(SignalPath, AnImpulseLeavesAfterTheReportedLatency) {
    for (auto [rate, latency] : {std::pair{44100, 159}, {96000, 287}, {192000, 543}}) {
        checkImpulse<float>(rate, latency);
        checkImpulse<double>(rate, latency);
    }
}

// "Output" at −6.02 dB keeps the final clip out of reach: the limited signal, 24 dB too hot, must
// stay within full scale before the output gain.
TEST(SignalPath, FullDriveOnLoudNoiseNeverExceedsFullScaleBeforeTheOutputGain) {
    std::mt19937 rng(1);
    std::normal_distribution<double> gauss(0.0, 0.5);
    for (int rate : {44100, 96000, 192000}) {
        for (int shape = 0; shape < 3; ++shape) {
            Effect fx(rate);
            fx.set(kOutput, 0.5f);
            fx.set(kDrive, 1.0f);
            fx.set(kTransient, shape == 1 ? 1.0f : 0.0f);
            fx.set(kOversample, centre(shape == 2 ? 1 : 0, 2));
            fx.set(kTransShape, centre(shape, 3));
            fx.restart();
            std::vector<double> l(rate / 4), r(rate / 4);
            for (std::size_t n = 0; n < l.size(); ++n) {
                l[n] = std::clamp(gauss(rng), -1.0, 1.0);
                r[n] = std::clamp(gauss(rng) * ((n / 3000) % 2 ? 1.0 : 0.01), -1.0, 1.0);
            }
            const auto [outL, outR] = fx.run(l, r, 333);
            double loudest = 0;
            for (std::size_t n = 0; n < l.size(); ++n)
                loudest = std::max({loudest, std::fabs(outL[n]), std::fabs(outR[n])});
            EXPECT_LE(loudest, 0.5 * (1 + 1e-12)) << rate << " shape " << shape;
            EXPECT_GT(loudest, 0.3) << rate << " shape " << shape; // the limiter works near the ceiling
        }
    }
}

TEST(SignalPath, PowerOffGivesTheDelayedDrySignal) {
    std::mt19937 rng(2);
    std::uniform_real_distribution<float> value(-1.0f, 1.0f);
    Effect fx(48000);
    fx.set(kPower, centre(0, 2));
    fx.set(kDrive, 1.0f);
    fx.set(kOutput, 0.0f);
    std::vector<float> l(5000), r(5000);
    for (std::size_t n = 0; n < l.size(); ++n)
        l[n] = value(rng), r[n] = value(rng);
    const auto [outL, outR] = fx.run(l, r, 256);
    for (int n = 159; n < 5000; ++n) {
        ASSERT_EQ(outL[n], l[n - 159]) << n;
        ASSERT_EQ(outR[n], r[n - 159]) << n;
    }
}

// Only channel 0 connected: both channels process the left input and the left output holds the left
// result (the requantizer's dither differs between channels, so the order shows); the right output
// buffer is not written. A null right pointer counts as unconnected too.
TEST(SignalPath, AMonoHostGetsTheLeftResultInTheLeftBuffer) {
    std::mt19937 rng(3);
    std::uniform_real_distribution<float> value(-1.0f, 1.0f);
    std::vector<float> in(4000), silence(4000, 0.0f);
    for (float& v : in)
        v = value(rng);

    auto configure = [](Effect& fx) {
        fx.set(kDrive, 0.8f);
        fx.set(kQuantize, centre(1, 2));
        fx.set(kBits, centre(0, 3));
    };
    Effect stereo;
    configure(stereo);
    const auto [expected, unused] = stereo.run(in, in);
    EXPECT_NE(expected, unused);

    for (int variant = 0; variant < 2; ++variant) {
        PinHost::answer = variant == 0 ? 1 : 0;
        Effect mono;
        configure(mono);
        std::vector<float> inL = in, inR = silence, outL(4000), outR(4000, 7.0f);
        for (int start = 0; start < 4000; start += 500) {
            float* ins[2] = {inL.data() + start, variant == 0 ? inR.data() + start : nullptr};
            float* outs[2] = {outL.data() + start, variant == 0 ? outR.data() + start : nullptr};
            mono->processReplacing(mono.operator->(), ins, outs, 500);
        }
        PinHost::answer = 0;
        EXPECT_EQ(outL, expected) << "variant " << variant;
        for (float v : outR)
            ASSERT_EQ(v, 7.0f);
    }
}

TEST(SignalPath, BothPrecisionsComputeTheSameSignal) {
    std::mt19937 rng(4);
    std::normal_distribution<double> gauss(0.0, 0.4);
    std::vector<float> l(20000), r(20000);
    for (std::size_t n = 0; n < l.size(); ++n)
        l[n] = static_cast<float>(gauss(rng)), r[n] = static_cast<float>(gauss(rng));
    Effect single, dual;
    for (Effect* fx : {&single, &dual}) {
        fx->set(kDrive, 0.8f);
        fx->set(kOversample, centre(1, 2));
    }
    const auto [sl, sr] = single.run(l, r, 300);
    const auto [dl, dr] =
        dual.run(std::vector<double>(l.begin(), l.end()), std::vector<double>(r.begin(), r.end()), 300);
    for (std::size_t n = 0; n < l.size(); ++n) {
        ASSERT_EQ(sl[n], static_cast<float>(dl[n])) << n;
        ASSERT_EQ(sr[n], static_cast<float>(dr[n])) << n;
    }
}

TEST(SignalPath, SwitchingOffAndOnStartsAfresh) {
    std::vector<double> loud(3000, 0.9), quiet(3000, 0.0);
    Effect fx;
    fx.set(kDrive, 1.0f);
    fx.run(loud, loud);
    fx->dispatcher(fx.operator->(), effMainsChanged, 0, 0, nullptr, 0.0f);
    fx->dispatcher(fx.operator->(), effMainsChanged, 0, 1, nullptr, 0.0f);
    const auto [l, r] = fx.run(quiet, quiet);
    for (double v : l)
        ASSERT_EQ(v, 0.0);
}

TEST(SignalPath, ZeroFramesWriteNothing) {
    Effect fx;
    std::vector<float> in(16, 0.5f), out(16, 7.0f);
    float* ins[2] = {in.data(), in.data()};
    float* outs[2] = {out.data(), out.data()};
    fx->processReplacing(fx.operator->(), ins, outs, 0);
    for (float v : out)
        EXPECT_EQ(v, 7.0f);
}

TEST(SignalPath, CalibrateReplacesTheAudioWithNoise) {
    for (int mode : {1, 2, 3}) {
        Effect fx;
        fx.set(kCalibrate, centre(mode, 4));
        fx.set(kScale, centre(2, 3)); // K-20
        std::vector<float> in(48000, 0.9f);
        const auto [l, r] = fx.run(in, in);
        double sumL = 0, sumR = 0;
        for (std::size_t n = 0; n < l.size(); ++n)
            sumL += double(l[n]) * l[n], sumR += double(r[n]) * r[n];
        const double rmsL = std::sqrt(2 * sumL / l.size()), rmsR = std::sqrt(2 * sumR / r.size());
        EXPECT_NEAR(rmsL, mode == 3 ? 0.0 : 0.1, 0.01) << mode;
        EXPECT_NEAR(rmsR, mode == 1 ? 0.0 : 0.1, 0.01) << mode;
    }
}

} // namespace
