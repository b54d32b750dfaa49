// The meter values as an editor polls them from the limiter.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <vector>

#include "engine/limiter_core.h"
#include "engine/parameters.h"

using namespace engine;

namespace {

std::array<float, 10> poll(LimiterCore& p) {
    std::array<float, 10> v;
    p.pollMeters(v.data());
    return v;
}

void process(LimiterCore& p, double left, double right, int frames) {
    std::vector<double> l(frames), r(frames);
    for (int n = 0; n < frames; ++n) {
        const double s = n % 4 == 1 ? 1.0 : n % 4 == 3 ? -1.0 : 0.0; // full-scale sine at fs/4
        l[n] = left * s;
        r[n] = right * s;
    }
    double* ins[2] = {l.data(), r.data()};
    LimiterCore::StereoPins pins;
    p.process(ins, ins, frames, pins);
}

TEST(CoreMeters, TenValuesInTheirOrderAndEachPollSeesItsOwnPeaks) {
    LimiterCore p;
    p.setSampleRate(48000.0f);
    p.setParameter(kOutput, 1.0f);
    p.setParameter(kDrive, 0.5f);
    p.setParameter(kLeveller, 1.0f);
    p.setParameter(kLink, 1.0f);
    p.setParameter(kRelease, 0.61f);
    p.setParameter(kPostMeter, centre(1, 2));
    p.setParameter(kAttShow, centre(7, 8));
    p.setParameter(kQuantize, centre(0, 2));
    p.setParameter(kMeterOvs, centre(0, 2));
    p.reset();

    process(p, 0.5, 0.25, 3 * 48000);
    const std::array<float, 10> v = poll(p);
    const float expected[10] = {0.5f, 0.25f, 0.5f, 0.25f, 0.5f, 0.25f, 0.5f, 0.25f, 1.0f, 1.0f};
    for (int i = 0; i < 10; ++i)
        EXPECT_NEAR(v[i], expected[i], 2e-3 * expected[i]) << i;
    EXPECT_EQ(poll(p), v) << "without processing a second poll sees the same";

    // A loud left burst: the limiter reduces, the displayed gains show it, then the next poll after
    // the burst has left starts over.
    process(p, 4.0, 0.25, 2000);
    const std::array<float, 10> loud = poll(p);
    EXPECT_NEAR(loud[0], 4.0f, 1e-6f);
    EXPECT_LE(loud[2], 1.0f);
    EXPECT_LT(loud[8], 0.5f);
    EXPECT_LT(loud[9], 0.5f) << "L/R Link at its default follows the louder channel";
    process(p, 0.0, 0.0, 3 * 48000);
    poll(p);
    process(p, 0.0, 0.0, 64);
    const std::array<float, 10> quiet = poll(p);
    for (int i : {0, 1, 2, 3})
        EXPECT_EQ(quiet[i], 0.0f) << i;
    EXPECT_EQ(quiet[8], 1.0f);
    EXPECT_EQ(quiet[9], 1.0f);
}

} // namespace
