// Calibration noise: levels by "Scale", channel modes, the uncorrelated pair, the pink slope, and the
// limiter's state frozen while it runs.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "engine/calibration_generator.h"
#include "engine/limiter_frame.h"
#include "tests/engine/support/engine_fixtures.h"
#include "tests/engine/support/power_density.h"

namespace {

struct Calibration {
    std::vector<double> left, right;
    float meters[10];
};

Calibration run(int mode, int scale, int frames, bool stereo = true) {
    LimiterFrame frame;
    fixtures::prepare(frame, 48000, 2, fixtures::neutralSettings());
    frame.settings.calibrate = mode;
    frame.settings.scale = scale;
    Calibration c{std::vector<double>(frames, 7.0), std::vector<double>(frames, 7.0), {}};
    frame.calibrate(c.left.data(), stereo ? c.right.data() : nullptr, frames);
    frame.meters.poll(c.meters);
    return c;
}

double rms(const std::vector<double>& v) {
    double sum = 0;
    for (double x : v)
        sum += x * x;
    return std::sqrt(sum / static_cast<double>(v.size()));
}

TEST(Calibration, LeftModeAtK20ReadsMinusTwentyDecibelsOnTheLeftOnly) {
    const Calibration c = run(CalibrationGenerator::kLeft, 2, 48000 * 4);
    EXPECT_NEAR(c.meters[MeterFeed::kOutRmsL], 0.1, 0.01);
    EXPECT_NEAR(c.meters[MeterFeed::kInRmsL], c.meters[MeterFeed::kOutRmsL], 1e-7);
    EXPECT_GE(c.meters[MeterFeed::kInPeakL], c.meters[MeterFeed::kOutRmsL]);
    for (int i : {MeterFeed::kInPeakR, MeterFeed::kOutPeakR, MeterFeed::kInRmsR, MeterFeed::kOutRmsR})
        EXPECT_EQ(c.meters[i], 0.0f) << i;
    for (double v : c.right)
        ASSERT_EQ(v, 0.0);
    EXPECT_NEAR(rms(c.left) * std::sqrt(2.0), 0.1, 0.01);
}

TEST(Calibration, RightModeUsesTheRightChannel) {
    const Calibration c = run(CalibrationGenerator::kRight, 2, 48000);
    for (double v : c.left)
        ASSERT_EQ(v, 0.0);
    EXPECT_NEAR(rms(c.right) * std::sqrt(2.0), 0.1, 0.01);
    EXPECT_EQ(c.meters[MeterFeed::kOutRmsL], 0.0f);
    EXPECT_GT(c.meters[MeterFeed::kOutRmsR], 0.05f);
}

TEST(Calibration, ScaleSetsTheLevelAboveK20) {
    const double k20 = rms(run(CalibrationGenerator::kLeft, 2, 48000 * 2).left);
    const double k14 = rms(run(CalibrationGenerator::kLeft, 1, 48000 * 2).left);
    const double k12 = rms(run(CalibrationGenerator::kLeft, 0, 48000 * 2).left);
    // The same noise scaled: the ratios are exact.
    EXPECT_NEAR(20 * std::log10(k14 / k20), 6.0206, 1e-6);
    EXPECT_NEAR(20 * std::log10(k12 / k20), 8.0, 1e-6);
}

TEST(Calibration, TheStereoPairIsUncorrelatedAtEqualLevels) {
    const Calibration c = run(CalibrationGenerator::kBoth, 2, 1 << 18);
    double lr = 0, ll = 0, rr = 0;
    for (std::size_t n = 0; n < c.left.size(); ++n) {
        lr += c.left[n] * c.right[n];
        ll += c.left[n] * c.left[n];
        rr += c.right[n] * c.right[n];
    }
    EXPECT_LT(std::fabs(lr / std::sqrt(ll * rr)), 0.02);
    EXPECT_NEAR(c.meters[MeterFeed::kOutRmsL], 0.1, 0.01);
    EXPECT_NEAR(c.meters[MeterFeed::kOutRmsR], 0.1, 0.01);
}

TEST(Calibration, TheSpectrumFallsByAboutThreeDecibelsPerOctave) {
    const Calibration c = run(CalibrationGenerator::kLeft, 2, 1 << 19);
    const std::vector<double> power = spectrum::averagePower(c.left, 4096);
    // Octave bands from fs/512 up to fs/16, inside the range of the eight rows.
    const double low = spectrum::band(power, 1.0 / 512, 2.0 / 512);
    const double high = spectrum::band(power, 1.0 / 32, 2.0 / 32);
    const double slope = 10 * std::log10(high / low) / 4.0;
    EXPECT_NEAR(slope, -3.0, 1.0);
}

TEST(Calibration, AMonoHostGetsTheLeftSignal) {
    const Calibration stereo = run(CalibrationGenerator::kBoth, 2, 4000);
    const Calibration mono = run(CalibrationGenerator::kBoth, 2, 4000, false);
    EXPECT_EQ(mono.left, stereo.left);
    for (double v : mono.right)
        ASSERT_EQ(v, 7.0) << "a missing right output is not written";
    for (double v : run(CalibrationGenerator::kRight, 2, 4000, false).left)
        ASSERT_EQ(v, 0.0);
}

// Audio held in the limiter before calibration is played out after it, as if no time had passed.
TEST(Calibration, TheLimiterIsFrozenWhileItRuns) {
    reference::Settings s = fixtures::neutralSettings();
    s.drive = 6.0;
    std::vector<double> in(3000), noise(700);
    for (std::size_t n = 0; n < in.size(); ++n)
        in[n] = std::sin(n * 0.07) * (n % 500 < 250 ? 1.0 : 0.1);
    LimiterFrame interrupted, plain;
    fixtures::prepare(interrupted, 44100, 1, s);
    fixtures::prepare(plain, 44100, 1, s);
    std::vector<double> a(3000), b(3000), unused(3000);
    interrupted.limit(in.data(), in.data(), a.data(), unused.data(), 1000);
    interrupted.settings.calibrate = CalibrationGenerator::kBoth;
    interrupted.calibrate(noise.data(), unused.data(), 700);
    interrupted.settings.calibrate = 0;
    interrupted.limit(in.data() + 1000, in.data() + 1000, a.data() + 1000, unused.data(), 2000);
    plain.limit(in.data(), in.data(), b.data(), unused.data(), 3000);
    EXPECT_EQ(a, b);
}

TEST(Calibration, OutputsAreRoundedPerSampleType) {
    LimiterFrame frame;
    frame.settings.calibrate = CalibrationGenerator::kBoth;
    std::vector<float> l(256), r(256);
    frame.calibrate(l.data(), r.data(), 256);
    LimiterFrame again;
    again.settings.calibrate = CalibrationGenerator::kBoth;
    std::vector<double> dl(256), dr(256);
    again.calibrate(dl.data(), dr.data(), 256);
    for (int n = 0; n < 256; ++n) {
        ASSERT_EQ(l[n], static_cast<float>(dl[n]));
        ASSERT_EQ(r[n], static_cast<float>(dr[n]));
    }
}

} // namespace
