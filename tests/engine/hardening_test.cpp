// What a host can throw at the signal path beyond real signals: non-finite and absurd input samples.
// Nothing of it may crash, stay in the state or leave the outputs' range.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <bit>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <memory>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "engine/input_guard.h"
#include "engine/limiter_frame.h"
#include "tests/engine/support/engine_fixtures.h"

using namespace engine;

namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

bool sameBits(double a, double b) {
    return std::bit_cast<std::uint64_t>(a) == std::bit_cast<std::uint64_t>(b);
}

bool sameBits(float a, float b) {
    return std::bit_cast<std::uint32_t>(a) == std::bit_cast<std::uint32_t>(b);
}

// ---------------------------------------------------------------------------------------------
// The input guard

TEST(InputGuard, PassesRealSamplesBitForBitAndMapsTheRest) {
    struct Case {
        double in, out;
    };
    const double denormal = std::numeric_limits<double>::denorm_min();
    const Case cases[] = {
        {0.0, 0.0},
        {-0.0, -0.0},
        {denormal, denormal},
        {-denormal, -denormal},
        {0.5, 0.5},
        {-1.0, -1.0},
        {1e6, 1e6},
        {-1e6, -1e6},
        {std::nextafter(1e6, kInf), 1e6},
        {std::nextafter(-1e6, -kInf), -1e6},
        {1.4e154, 1e6}, // its square overflows
        {1e300, 1e6},
        {-1e300, -1e6},
        {std::numeric_limits<double>::max(), 1e6},
        {-std::numeric_limits<double>::max(), -1e6},
        {double(std::numeric_limits<float>::max()), 1e6},
        {kInf, 0.0},
        {-kInf, 0.0},
        {kNaN, 0.0},
        {-kNaN, 0.0},
        {std::numeric_limits<double>::signaling_NaN(), 0.0},
    };
    for (const Case& c : cases)
        EXPECT_TRUE(sameBits(guardInput(c.in), c.out)) << c.in << " gave " << guardInput(c.in);

    // Every finite magnitude up to the limit, over the whole exponent range, both signs.
    std::mt19937_64 rng(5);
    for (int i = 0; i < 200000; ++i) {
        const double x = std::bit_cast<double>(rng() & ~(std::uint64_t(0x7FF) << 52)) *
                         std::ldexp(1.0, int(rng() % 2100) - 1075);
        if (!(std::fabs(x) <= kInputLimit)) continue;
        ASSERT_TRUE(sameBits(guardInput(x), x)) << x;
    }
}

// ---------------------------------------------------------------------------------------------
// Bad samples in the frame

template <class T> struct Processed {
    std::vector<T> left, right;
    std::vector<std::array<float, 10>> meters; // polled after every block
};

// Processes l/r through a frame prepared with settings s in the given blocks, polling the meters
// after each block.
template <class T>
Processed<T> runFrame(const std::vector<T>& l, const std::vector<T>& r, const reference::Settings& s,
                      int shape, int rate, const std::vector<int>& blocks,
                      const FramePath& path = frame_path::fastest()) {
    LimiterFrame frame;
    frame.useProcessingPath(path);
    fixtures::prepare(frame, rate, shape, s);
    Processed<T> run{std::vector<T>(l.size()), std::vector<T>(l.size()), {}};
    int start = 0;
    for (int block : blocks) {
        frame.limit(l.data() + start, r.data() + start, run.left.data() + start, run.right.data() + start,
                    block);
        std::array<float, 10> m;
        frame.meters.poll(m.data());
        run.meters.push_back(m);
        start += block;
    }
    return run;
}

template <class T>
void expectIdentical(const Processed<T>& a, const Processed<T>& b, const std::string& where) {
    for (std::size_t n = 0; n < a.left.size(); ++n) {
        ASSERT_TRUE(sameBits(a.left[n], b.left[n]))
            << "left sample " << n << ": " << a.left[n] << " vs " << b.left[n] << ", " << where;
        ASSERT_TRUE(sameBits(a.right[n], b.right[n]))
            << "right sample " << n << ": " << a.right[n] << " vs " << b.right[n] << ", " << where;
    }
    for (std::size_t k = 0; k < a.meters.size(); ++k)
        for (int i = 0; i < 10; ++i)
            ASSERT_TRUE(sameBits(a.meters[k][i], b.meters[k][i]))
                << "meter value " << i << " after block " << k << ": " << a.meters[k][i] << " vs "
                << b.meters[k][i] << ", " << where;
}

template <class T> void expectSane(const Processed<T>& run, const std::string& where) {
    for (std::size_t n = 0; n < run.left.size(); ++n) {
        ASSERT_TRUE(std::fabs(run.left[n]) <= 1)
            << "left sample " << n << ": " << run.left[n] << ", " << where;
        ASSERT_TRUE(std::fabs(run.right[n]) <= 1)
            << "right sample " << n << ": " << run.right[n] << ", " << where;
    }
    for (std::size_t k = 0; k < run.meters.size(); ++k)
        for (int i = 0; i < 10; ++i)
            ASSERT_TRUE(std::isfinite(run.meters[k][i]))
                << "meter value " << i << " after block " << k << ": " << run.meters[k][i] << ", " << where;
}

struct BadSample {
    double value;     // what the host sends
    double standsFor; // the real sample the frame must treat it as
};

// Random settings and programmes with bad samples (single ones, bursts, one channel or both) must
// give exactly the outputs and meter values of the same programme with the samples they stand for, on
// every processing path: so no stage reads the input before the guard, and nothing of the bad value
// stays behind.
template <class T> void checkBadSamplesActAs(const std::vector<BadSample>& bad, unsigned seed) {
    std::mt19937 rng(seed);
    for (int trial = 0; trial < 6; ++trial) {
        const int rate = fixtures::kStandardRates[rng() % 6];
        const int shape = int(rng() % 3);
        const reference::Settings s = fixtures::randomSettings(rng);
        const int frames = 6000;
        fixtures::Stereo programme = fixtures::programme(frames, rate, rng);
        std::vector<T> l(frames), r(frames), cleanL(frames), cleanR(frames);
        for (int n = 0; n < frames; ++n) {
            cleanL[n] = l[n] = static_cast<T>(programme.left[n]);
            cleanR[n] = r[n] = static_cast<T>(programme.right[n]);
        }
        for (int burst = 0; burst < 12; ++burst) {
            const BadSample b = bad[rng() % bad.size()];
            const int at = int(rng() % frames);
            const int length = rng() % 3 == 0 ? 1 + int(rng() % 600) : 1;
            const int channels = int(rng() % 3); // 0 left, 1 right, 2 both
            for (int n = at; n < std::min(frames, at + length); ++n) {
                if (channels != 1) {
                    l[n] = static_cast<T>(b.value);
                    cleanL[n] = static_cast<T>(b.standsFor);
                }
                if (channels != 0) {
                    r[n] = static_cast<T>(b.value);
                    cleanR[n] = static_cast<T>(b.standsFor);
                }
            }
        }
        const std::vector<int> blocks = fixtures::randomSplit(frames, 900, rng);
        int count = 0;
        const FramePath* const* paths = frame_path::available(count);
        for (int p = 0; p < count; ++p) {
            const std::string where = "trial " + std::to_string(trial) + " at " + std::to_string(rate) +
                                      " Hz, " + paths[p]->name + " path";
            const Processed<T> poisoned = runFrame(l, r, s, shape, rate, blocks, *paths[p]);
            const Processed<T> clean = runFrame(cleanL, cleanR, s, shape, rate, blocks, *paths[p]);
            expectIdentical(poisoned, clean, where);
            expectSane(poisoned, where);
            if (testing::Test::HasFatalFailure()) return;
        }
    }
}

TEST(BadInput, NonFiniteSamplesActAsSilence) {
    const std::vector<BadSample> bad = {{kNaN, 0.0}, {-kNaN, 0.0}, {kInf, 0.0}, {-kInf, 0.0}};
    checkBadSamplesActAs<double>(bad, 1);
    checkBadSamplesActAs<float>(bad, 2);
}

TEST(BadInput, AbsurdSamplesActAsTheLimit) {
    checkBadSamplesActAs<double>({{1e300, 1e6}, {-1e300, -1e6}, {1.4e154, 1e6}, {-5e7, -1e6}}, 3);
    // In single precision: the largest floats, and one whose float square overflows.
    checkBadSamplesActAs<float>({{3.4e38, 1e6}, {-3.4e38, -1e6}, {2e19, 1e6}, {-2e19, -1e6}}, 4);
}

// Beyond full scale the two sums of the branch-free clip round apart and could land an ulp outside
// [−1, 1]; a double-precision host would get such a sample. With "Power" off the dry input passes
// straight to the clip; with "AutoOut" and −24 dB drive the output gain is 16.
TEST(BadInput, TheClipHoldsEverySampleWithinFullScale) {
    std::mt19937_64 rng(21);
    for (int variant = 0; variant < 2; ++variant) {
        reference::Settings s = fixtures::neutralSettings();
        if (variant == 0) {
            s.power = false;
        } else {
            s.autoOut = true;
            s.drive = 1.0 / 16.0;
        }
        const int frames = 40000;
        std::vector<double> l(frames), r(frames);
        for (int n = 0; n < frames; ++n) {
            const double magnitude =
                std::ldexp(std::uniform_real_distribution<double>(1.0, 2.0)(rng), int(rng() % 21));
            l[n] = rng() % 2 ? magnitude : -magnitude;
            r[n] = -l[n] * 0.999;
        }
        const Processed<double> out = runFrame(l, r, s, 2, 44100, {frames});
        expectSane(out, variant == 0 ? "power off" : "auto out");
        const Processed<float> single =
            runFrame(std::vector<float>(l.begin(), l.end()), std::vector<float>(r.begin(), r.end()), s, 2,
                     44100, {frames});
        expectSane(single, variant == 0 ? "power off, floats" : "auto out, floats");
    }
}

// A 120 dB peak is limited like any other: the outputs stay in range, and once the followers have
// released (and the leveller's one-second average has come down) the output is the undisturbed one
// again. Unheld, 1e300 kept the leveller's gain near 1e-295 and the output silent for many minutes,
// and its square left the meters at infinity and then NaN for good.
TEST(BadInput, AnAbsurdPeakFadesLikeAnyOther) {
    struct Case {
        bool leveller;      // the leveller engaged (threshold −6 dB) or at its top (off)
        double recoveredBy; // seconds after the peak
    };
    // The meters' mean squares fall by 1 % in 600 ms: from 120 dB over full scale that takes a while.
    const double metersRecoveredBy = 7.5;
    for (const Case c : {Case{false, 1.5}, Case{true, 9.0}}) {
        std::mt19937 rng(9);
        const int rate = 44100, peakAt = rate / 2,
                  frames = peakAt + int((std::max(c.recoveredBy, metersRecoveredBy) + 0.5) * rate);
        reference::Settings s = fixtures::neutralSettings(); // "Release" 100 ms
        s.leveller = c.leveller ? 0.5 : 1.0;
        s.levellerBypassed = !c.leveller;
        const fixtures::Stereo music = fixtures::programme(frames, rate, rng);
        std::vector<double> l = music.left, r = music.right;
        for (int n = peakAt; n < peakAt + 10; ++n) {
            l[n] = 1e300;
            r[n] = -1e300;
        }
        const std::vector<int> blocks(frames / 441, 441);
        const Processed<double> hit = runFrame(l, r, s, 2, rate, blocks);
        const Processed<double> undisturbed = runFrame(music.left, music.right, s, 2, rate, blocks);
        const std::string where = c.leveller ? "leveller engaged" : "leveller off";
        expectSane(hit, where);
        for (int n = peakAt + int(c.recoveredBy * rate); n < frames; ++n) {
            ASSERT_NEAR(hit.left[n], undisturbed.left[n], 1e-9) << "sample " << n << ", " << where;
            ASSERT_NEAR(hit.right[n], undisturbed.right[n], 1e-9) << "sample " << n << ", " << where;
        }
        const std::size_t settled = std::size_t((peakAt + metersRecoveredBy * rate) / 441);
        for (std::size_t k = settled; k < hit.meters.size(); ++k)
            for (int i = 0; i < 10; ++i)
                ASSERT_NEAR(hit.meters[k][i], undisturbed.meters[k][i],
                            1e-6 * std::max(1.0f, undisturbed.meters[k][i]))
                    << "meter value " << i << " after block " << k << ", " << where;
    }
}

} // namespace
