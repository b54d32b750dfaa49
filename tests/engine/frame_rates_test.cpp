// Lengths and latency by sample rate and "TransShape".
#include <gtest/gtest.h>

#include <cmath>

#include "engine/frame_settings.h"

namespace {

struct RateCase {
    int rate;
    int shift, lookahead, latency;
    int kernel[3]; // hard, med, soft
};

TEST(FrameRates, LengthsFollowTheRateShift) {
    const RateCase cases[] = {
        {44100, 0, 128, 159, {8, 16, 64}},    {48000, 0, 128, 159, {8, 16, 64}},
        {50000, 0, 128, 159, {8, 16, 64}},    {79999, 0, 128, 159, {8, 16, 64}},
        {80000, 1, 256, 287, {16, 32, 128}},  {96000, 1, 256, 287, {16, 32, 128}},
        {169999, 1, 256, 287, {16, 32, 128}}, {170000, 2, 512, 543, {32, 64, 256}},
        {192000, 2, 512, 543, {32, 64, 256}},
    };
    for (const RateCase& c : cases) {
        for (int shape = 0; shape < 3; ++shape) {
            const FrameRates r = FrameRates::make(c.rate, shape);
            EXPECT_EQ(r.shift, c.shift) << c.rate;
            EXPECT_EQ(r.lookahead, c.lookahead) << c.rate;
            EXPECT_EQ(r.latency(), c.latency) << c.rate;
            EXPECT_EQ(r.kernel, c.kernel[shape]) << c.rate << " shape " << shape;
            EXPECT_EQ(r.gainDelay, c.lookahead - 2 * c.kernel[shape] + 2) << c.rate << " shape " << shape;
            EXPECT_GE(r.gainDelay, 2);
        }
    }
    EXPECT_EQ(FrameRates::make(44100, 0).gainDelay, 114);
    EXPECT_EQ(FrameRates::make(192000, 2).gainDelay, 2);
}

TEST(FrameRates, CoefficientsHaveTheirTimeConstants) {
    const FrameRates r = FrameRates::make(48000, 2);
    // A step through each one-pole: the ramp has its 30 Hz corner, the fade 10 ms, the leveller 1 s,
    // and the meter's mean square falls to 1 % in 600 ms.
    EXPECT_NEAR(r.ramp, 1.0 - std::exp(-2.0 * 3.141592653589793 * 30.0 / 48000.0), 1e-17);
    EXPECT_NEAR(std::pow(1.0 - r.fade, 480), std::exp(-1.0), 1e-12);
    EXPECT_NEAR(std::pow(1.0 - r.level, 48000), std::exp(-1.0), 1e-9);
    EXPECT_NEAR(std::pow(1.0 - r.rms, 28800), 0.01, 1e-9);
}

} // namespace
