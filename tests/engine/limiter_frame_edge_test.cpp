// The processing frame's promises that a listener or a host relies on: latency, no overshoot, the
// bypass, the mono fallback and the meter hand-over.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <vector>

#include "engine/limiter_frame.h"
#include "tests/engine/support/engine_fixtures.h"

namespace {

using fixtures::neutralSettings;
using fixtures::prepare;

template <class T> struct Output { std::vector<T> left, right; };

template <class T>
Output<T> process(LimiterFrame& frame, const std::vector<double>& l, const std::vector<double>& r) {
    std::vector<T> inL(l.begin(), l.end()), inR(r.begin(), r.end());
    Output<T> out{std::vector<T>(l.size()), std::vector<T>(l.size())};
    frame.limit(inL.data(), inR.data(), out.left.data(), out.right.data(), static_cast<int>(l.size()));
    return out;
}

template <class T> void checkImpulseLatency(int rate, int latency) {
    for (int shape = 0; shape < 3; ++shape) {
        LimiterFrame frame;
        prepare(frame, rate, shape, neutralSettings());
        std::vector<double> in(3 * latency, 0.0);
        in[0] = 0.5;
        in[latency + 7] = -0.5;
        const Output<T> out = process<T>(frame, in, in);
        for (int n = 0; n < static_cast<int>(in.size()); ++n) {
            const double expected = n >= latency ? in[n - latency] : 0.0;
            ASSERT_NEAR(out.left[n], expected, 4e-16) << rate << " shape " << shape << " sample " << n;
            ASSERT_NEAR(out.right[n], expected, 4e-16) << rate << " shape " << shape << " sample " << n;
        }
    }
}

TEST(LimiterFrame, AnImpulseLeavesAfterTheReportedLatencyUnchanged) {
    for (auto [rate, latency] : {std::pair{44100, 159}, {96000, 287}, {192000, 543}}) {
        checkImpulseLatency<double>(rate, latency);
        checkImpulseLatency<float>(rate, latency);
        EXPECT_EQ(FrameRates::make(rate, 2).latency(), latency);
    }
}

// "Output" at −6.02 dB (exactly 0.5) keeps the final clip out of reach, so whatever the limiter lets
// through shows in the output: it must stay within 0.5, that is full scale before the output gain.
TEST(LimiterFrame, FullDriveOnLoudNoiseNeverExceedsFullScaleBeforeTheOutputGain) {
    std::mt19937 rng(11);
    std::normal_distribution<double> gauss(0.0, 0.5);
    for (int rate : {44100, 96000, 192000}) {
        for (int shape = 0; shape < 3; ++shape) {
            for (int variant = 0; variant < 4; ++variant) {
                reference::Settings s = neutralSettings();
                s.drive = 16.0;
                s.output = 0.5;
                s.oversample = variant & 1;
                s.transient = variant & 2 ? 0.5 : 0.0;
                s.link = variant == 1 ? 0.0 : 1.0;
                s.releaseMs = variant == 3 ? 1.0 : 100.0;
                LimiterFrame frame;
                prepare(frame, rate, shape, s);
                std::vector<double> l(rate / 4), r(rate / 4);
                for (std::size_t n = 0; n < l.size(); ++n) {
                    const double burst = (n / 1000) % 3 == 0 ? 0.05 : 1.0;
                    l[n] = std::clamp(gauss(rng) * burst, -1.0, 1.0);
                    r[n] = std::clamp(gauss(rng) * burst * 0.3, -1.0, 1.0);
                }
                const Output<double> out = process<double>(frame, l, r);
                double loudest = 0;
                for (std::size_t n = 0; n < l.size(); ++n)
                    loudest = std::max({loudest, std::fabs(out.left[n]), std::fabs(out.right[n])});
                EXPECT_LE(loudest, 0.5 * (1 + 1e-12)) << rate << " shape " << shape << " variant " << variant;
                EXPECT_GT(loudest, 0.45) << "the limiter should be working near full scale";
            }
        }
    }
}

TEST(LimiterFrame, ASampleOfTwoLeavesAsOne) {
    for (int rate : {44100, 96000, 192000}) {
        for (int shape = 0; shape < 3; ++shape) {
            reference::Settings s = neutralSettings();
            s.transient = 0.0;
            LimiterFrame frame;
            prepare(frame, rate, shape, s);
            const int latency = frame.rates().latency();
            std::vector<double> in(2 * latency, 0.0);
            in[0] = 2.0;
            const Output<double> out = process<double>(frame, in, in);
            for (int n = 0; n < 2 * latency; ++n)
                ASSERT_NEAR(out.left[n], n == latency ? 1.0 : 0.0, 1e-15) << rate << " sample " << n;
        }
    }
}

TEST(LimiterFrame, PowerOffPassesTheDelayedDrySignalWhateverTheGains) {
    std::mt19937 rng(12);
    std::uniform_real_distribution<double> value(-1.5, 1.5);
    for (bool quantize : {false, true}) {
        reference::Settings s = neutralSettings();
        s.power = false;
        s.quantize = quantize;
        LimiterFrame frame;
        prepare(frame, 48000, 2, s);
        const int latency = frame.rates().latency();
        std::vector<double> l(4000), r(4000);
        for (std::size_t n = 0; n < l.size(); ++n)
            l[n] = value(rng), r[n] = value(rng) * 0.1;
        std::vector<double> outL(l.size()), outR(l.size());
        for (int start = 0; start < 4000; start += 500) {
            s.drive = std::pow(2.0, value(rng) * 2);
            s.output = std::pow(2.0, value(rng));
            fixtures::apply(frame, s, &s);
            frame.limit(l.data() + start, r.data() + start, outL.data() + start, outR.data() + start, 500);
        }
        for (int n = latency; n < 4000; ++n) {
            const double dryL = std::clamp(l[n - latency], -1.0, 1.0),
                         dryR = std::clamp(r[n - latency], -1.0, 1.0);
            if (quantize) {
                // Dithered to 16 bits: within two steps, on the step grid.
                ASSERT_NEAR(outL[n], dryL, 2.0 / 32768) << n;
                ASSERT_EQ(outR[n] * 32768, std::round(outR[n] * 32768)) << n;
            } else {
                ASSERT_NEAR(outL[n], dryL, 1e-15) << n;
                ASSERT_NEAR(outR[n], dryR, 1e-15) << n;
            }
        }
        float meters[10];
        frame.meters.poll(meters);
        EXPECT_EQ(meters[MeterFeed::kGainL], 1.0f);
        EXPECT_EQ(meters[MeterFeed::kGainR], 1.0f);
    }
}

// With only one channel connected the host passes the same buffers twice; what remains is the left
// result. The requantizer's dither differs between the channels, so the order shows.
TEST(LimiterFrame, AMonoHostGetsTheLeftResult) {
    std::mt19937 rng(13);
    std::uniform_real_distribution<double> value(-1.0, 1.0);
    reference::Settings s = neutralSettings();
    s.drive = 4.0;
    s.quantize = true;
    s.bits = 0;
    std::vector<double> in(3000);
    for (double& v : in)
        v = value(rng);

    LimiterFrame stereo, mono;
    prepare(stereo, 44100, 1, s);
    prepare(mono, 44100, 1, s);
    std::vector<double> outL(in.size()), outR(in.size()), buffer(in);
    stereo.limit(in.data(), in.data(), outL.data(), outR.data(), 3000);
    mono.limit(buffer.data(), buffer.data(), buffer.data(), buffer.data(), 3000);
    EXPECT_EQ(buffer, outL);
    EXPECT_NE(outL, outR);
}

TEST(LimiterFrame, EachPollSeesWhatHappenedSinceThePreviousOne) {
    reference::Settings s = neutralSettings();
    s.drive = 8.0;
    LimiterFrame frame;
    prepare(frame, 44100, 2, s);
    std::vector<double> loud(20000), silence(3 * 44100, 0.0);
    for (std::size_t n = 0; n < loud.size(); ++n)
        loud[n] = std::sin(n * 0.05);
    process<double>(frame, loud, loud);

    float first[10], again[10];
    frame.meters.poll(first);
    frame.meters.poll(again);
    EXPECT_TRUE(std::equal(first, first + 10, again)) << "no processing, no reset";
    EXPECT_GT(first[MeterFeed::kInPeakL], 7.9f);
    EXPECT_GT(first[MeterFeed::kOutPeakL], 0.9f);
    EXPECT_LT(first[MeterFeed::kGainL], 0.2f);

    process<double>(frame, silence, silence);
    float afterSilence[10], next[10];
    frame.meters.poll(afterSilence);
    process<double>(frame, std::vector<double>(64, 0.0), std::vector<double>(64, 0.0));
    frame.meters.poll(next);
    for (int i : {MeterFeed::kInPeakL, MeterFeed::kInPeakR, MeterFeed::kOutPeakL, MeterFeed::kOutPeakR})
        EXPECT_EQ(next[i], 0.0f) << i;
    EXPECT_EQ(next[MeterFeed::kGainL], 1.0f);
    EXPECT_EQ(next[MeterFeed::kGainR], 1.0f);
    // Mean squares are never reset by a poll; they decay.
    EXPECT_GT(next[MeterFeed::kInRmsL], 0.0f);
    EXPECT_LT(next[MeterFeed::kInRmsL], first[MeterFeed::kInRmsL]);
}

TEST(LimiterFrame, AFullScaleSineReadsOneOnTheInputMeters) {
    for (auto [drive, post, expected] : {std::tuple{1.0, false, 1.0}, {2.0, true, 1.0}, {2.0, false, 2.0}}) {
        reference::Settings s = neutralSettings();
        s.drive = drive;
        s.postMeter = post;
        LimiterFrame frame;
        prepare(frame, 48000, 2, s);
        std::vector<double> sine(3 * 48000);
        for (std::size_t n = 0; n < sine.size(); ++n)
            sine[n] = (n % 4 == 1) ? 1.0 : (n % 4 == 3) ? -1.0 : 0.0;
        process<double>(frame, sine, sine);
        float m[10];
        frame.meters.poll(m);
        EXPECT_NEAR(m[MeterFeed::kInRmsL], expected, 2e-3 * expected) << drive << " " << post;
        EXPECT_NEAR(m[MeterFeed::kInRmsR], expected, 2e-3 * expected);
        EXPECT_FLOAT_EQ(m[MeterFeed::kInPeakL], static_cast<float>(expected));
    }
}

TEST(LimiterFrame, AutoOutMirrorsTheDriveAndTheClipHoldsFullScale) {
    for (double drive : {16.0, 1.0 / 16}) {
        reference::Settings s = neutralSettings();
        s.drive = drive;
        s.autoOut = true;
        LimiterFrame frame;
        prepare(frame, 44100, 2, s);
        EXPECT_EQ(frame.outputGain(), 1.0) << "a reset jumps to the Output gain, then ramps";
        // A host signal beyond full scale: −24 dB of drive leaves the limiter idle, +24 dB of output
        // restores the level, and only the clip keeps it inside full scale.
        std::vector<double> in(44100);
        for (std::size_t n = 0; n < in.size(); ++n)
            in[n] = 1.5 * std::sin(n * 0.01);
        const Output<float> out = process<float>(frame, in, in);
        EXPECT_NEAR(frame.outputGain(), 1.0 / drive, 1e-9 / drive);
        float loudest = 0; // once the output ramp has settled
        for (std::size_t n = in.size() / 2; n < in.size(); ++n)
            loudest = std::max(loudest, std::fabs(out.left[n]));
        if (drive < 1)
            EXPECT_EQ(loudest, 1.0f);
        else
            EXPECT_LE(loudest, static_cast<float>(1.0 / drive * (1 + 1e-6)));
    }
}

TEST(LimiterFrame, ResetClearsTheAudioAndJumpsTheRamps) {
    reference::Settings s = neutralSettings();
    LimiterFrame frame;
    prepare(frame, 44100, 2, s);
    std::vector<double> in(1000, 0.25);
    process<double>(frame, in, in);
    s.drive = 2.0;
    s.output = 0.5;
    fixtures::apply(frame, s, &s);
    frame.reset();
    EXPECT_EQ(frame.driveGain(), 2.0);
    EXPECT_EQ(frame.outputGain(), 0.5);
    const Output<double> out =
        process<double>(frame, std::vector<double>(200, 0.0), std::vector<double>(200, 0.0));
    for (double v : out.left)
        ASSERT_EQ(v, 0.0);
}

} // namespace
