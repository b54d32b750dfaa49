// The requantizer inside the frame: dither in silence, the "Autoblack" fade, the noise-shaper
// selection by rate and the shape of the error spectrum.
#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <numbers>
#include <random>
#include <set>
#include <vector>

#include "engine/frame_path.h"
#include "engine/limiter_frame.h"
#include "engine/noise_shaper_sets.h"
#include "engine/noise_source.h"
#include "engine/requantizer.h"
#include "tests/engine/support/engine_fixtures.h"
#include "tests/engine/support/power_density.h"

namespace {

reference::Settings quantizing(int bits, int shape, bool autoblack) {
    reference::Settings s = fixtures::neutralSettings();
    s.quantize = true;
    s.bits = bits;
    s.noiseShape = shape;
    s.autoblack = autoblack;
    return s;
}

std::vector<double> silence(LimiterFrame& frame, int frames, std::vector<double>* right = nullptr) {
    std::vector<double> in(frames, 0.0), l(frames), r(frames);
    frame.limit(in.data(), in.data(), l.data(), r.data(), frames);
    if (right) *right = r;
    return l;
}

TEST(Requantizer, SilenceDithersToZeroOrOneStepBelow) {
    LimiterFrame frame;
    fixtures::prepare(frame, 44100, 2, quantizing(1, 0, false));
    std::vector<double> right;
    const std::vector<double> left = silence(frame, 20000, &right);
    std::set<double> seen(left.begin(), left.end());
    seen.insert(right.begin(), right.end());
    EXPECT_EQ(seen, (std::set<double>{-1.0 / 32768, 0.0}));
}

TEST(Requantizer, SilenceWithAutoblackIsDigitalZero) {
    LimiterFrame frame;
    fixtures::prepare(frame, 44100, 2, quantizing(1, 2, true));
    std::vector<double> right;
    for (double v : silence(frame, 20000, &right))
        ASSERT_EQ(v, 0.0);
    for (double v : right)
        ASSERT_EQ(v, 0.0);
}

TEST(Requantizer, AutoblackFadesWithTenMillisecondsOnceBothChannelsAreSilent) {
    LimiterFrame frame;
    fixtures::prepare(frame, 48000, 2, quantizing(1, 0, true));
    const int latency = frame.rates().latency();
    std::vector<double> in(4000, 0.0), l(4000), r(4000);
    for (int n = 0; n < 1000; ++n)
        in[n] = 0.3 * std::sin(n * 0.1) + 0.4;
    frame.limit(in.data(), in.data(), l.data(), r.data(), 1000 + latency);
    EXPECT_EQ(frame.fadeGain(), 1.0);
    const double* after = in.data() + 1000 + latency;
    frame.limit(after, after, l.data(), r.data(), 480); // 10 ms
    EXPECT_NEAR(frame.fadeGain(), std::exp(-1.0), 1e-3);
    frame.limit(after, after, l.data(), r.data(), 480 * 4);
    EXPECT_NEAR(frame.fadeGain(), std::exp(-5.0), 1e-4);
    for (int n = 480 * 3; n < 480 * 4; ++n)
        ASSERT_LE(std::fabs(l[n]), 2.0 / 32768 * std::exp(-3.0));
}

struct Selection {
    int rate;
    int choice;
    int previousRate; // the set chosen there first
    int expectedRow;  // row of kRatesHz whose set must be active, or -1 for none
};

TEST(Requantizer, NoiseShaperFollowsTheRateAndKeepsItsSetAtOtherRates) {
    const Selection cases[] = {
        {176400, 2, 176400, 4}, {44100, 1, 44100, 0},
        {192000, 3, 192000, 5}, {50000, 1, 48000, 1}, // type A chosen at 48 kHz stays at 50 kHz
        {32000, 2, 32000, -1},                        // nothing chosen before: no shaping
    };
    for (const Selection& c : cases) {
        LimiterFrame frame;
        frame.configure(FrameRates::make(c.previousRate, 2));
        frame.selectNoiseShaper(c.choice);
        frame.configure(FrameRates::make(c.rate, 2));
        frame.selectNoiseShaper(c.choice);
        const int expected = c.expectedRow < 0 ? noise_shaper::kNone : 1 + (c.choice - 1) * 6 + c.expectedRow;
        EXPECT_EQ(frame.noiseShaperSet(), expected) << c.rate;
        frame.selectNoiseShaper(0);
        EXPECT_EQ(frame.noiseShaperSet(), noise_shaper::kNone);
    }
    // Spot checks of the tables: first and last taps of a few rows.
    EXPECT_EQ(noise_shaper::taps(1 + 6 + 4)[0], -1.583163);  // type B, 176.4 kHz
    EXPECT_EQ(noise_shaper::taps(1 + 0 + 5)[2], 0.038527);   // type A, 192 kHz
    EXPECT_EQ(noise_shaper::taps(1 + 12 + 1)[11], 0.0);      // type C, 48 kHz
    EXPECT_EQ(noise_shaper::taps(1 + 12 + 3)[11], -0.01671); // type C, 96 kHz
    for (int n = 0; n < noise_shaper::kTaps; ++n)
        EXPECT_EQ(noise_shaper::taps(0)[n], 0.0);
}

// The error of the shaped quantizer is the plain error filtered by 1 + Σ w[n] z^−(n+1).
TEST(Requantizer, TheErrorSpectrumFollowsTheShapingFilter) {
    const int rate = 44100;
    auto errorSpectrum = [&](int shape) {
        LimiterFrame frame;
        fixtures::prepare(frame, rate, 2, quantizing(1, shape, false));
        std::vector<double> in(1 << 17), l(in.size()), r(in.size());
        for (std::size_t n = 0; n < in.size(); ++n)
            in[n] = 0.25 * std::sin(n * 0.001); // slow, busy enough
        frame.limit(in.data(), in.data(), l.data(), r.data(), static_cast<int>(in.size()));
        std::vector<double> error(in.size() - 1000);
        const int latency = frame.rates().latency();
        double mean = 0;
        for (std::size_t n = 0; n < error.size(); ++n)
            mean += error[n] = l[n + 1000] - in[n + 1000 - latency];
        mean /= static_cast<double>(error.size());
        // The truncation puts the mean half a step below zero; only the noise around it matters here.
        for (double& e : error)
            e -= mean;
        return spectrum::averagePower(error, 1024);
    };
    const std::vector<double> flat = errorSpectrum(0), shaped = errorSpectrum(2);
    const double* w = noise_shaper::taps(1 + 6 + 0); // type B, 44.1 kHz
    for (double f : {0.02, 0.07, 0.1, 0.2, 0.3, 0.4, 0.47}) {
        std::complex<double> h = 1.0;
        for (int n = 0; n < 12; ++n)
            h += w[n] * std::polar(1.0, -2.0 * std::numbers::pi * f * (n + 1));
        const double expected = 10 * std::log10(std::norm(h));
        const double measured = 10 * std::log10(spectrum::band(shaped, f - 0.01, f + 0.01) /
                                                spectrum::band(flat, f - 0.01, f + 0.01));
        EXPECT_NEAR(measured, expected, 1.5) << "at " << f << " fs";
    }
    EXPECT_LT(spectrum::band(shaped, 0.0, 0.1), spectrum::band(flat, 0.0, 0.1) / 10);
    EXPECT_GT(spectrum::band(shaped, 0.4, 0.5), spectrum::band(flat, 0.4, 0.5) * 10);
}

// The requantizer written out frame by frame: shaping sum newest error first, hold, dither, the
// offset truncation, the error fed back.
class FormulaRequantizer {
public:
    FormulaRequantizer(double scale, const double* taps) : h(scale), w(taps) {}

    // The shaping sums of the next frame, before its dither is drawn.
    double shapeOf(int channel) const {
        double s = w[0] * e[channel][j];
        for (int n = 1; n < 12; ++n)
            s = s + w[n] * e[channel][(j - n + 12) % 12];
        return s;
    }
    // Far beyond full scale, held at half the 32-bit range (a NaN too).
    double held(double v) const {
        const double limit = 1073741824.0 / h;
        return std::min(std::max(-limit, v), limit);
    }
    // One frame; returns the clipped outputs.
    std::pair<double, double> frame(double oL, double oR, double dL, double dR) {
        const double s[2] = {shapeOf(0), shapeOf(1)}, o[2] = {oL, oR}, d[2] = {dL, dR};
        j = (j + 1) % 12;
        double out[2];
        for (int c = 0; c < 2; ++c) {
            const double v = held(o[c] + s[c]);
            const double q = (static_cast<double>(static_cast<int>(d[c] + v * h + h)) - h) / h;
            e[c][j] = q - v;
            const double folded = (std::fabs(q + 1.0) - std::fabs(q - 1.0)) * 0.5;
            out[c] = std::min(std::max(folded, -1.0), 1.0);
        }
        return {out[0], out[1]};
    }

private:
    double h;
    const double* w;
    double e[2][12] = {};
    int j = 0;
};

// An input value for which the requantizer's argument d + v · h lies a hair below the whole number k,
// so close that adding h rounds it up onto k + h; NaN when no value near the guess does.
double hairBelowStep(double k, double shape, double dither, double h) {
    double o = (k - dither) / h - shape;
    for (int tries = 0; tries < 4096; ++tries) {
        const double x = dither + (o + shape) * h;
        if (x >= k) {
            o = std::nextafter(o, -1e9);
            continue;
        }
        return x + h == k + h ? o : std::nan("");
    }
    return std::nan("");
}

// Where rounding d + v · h down and the formula's offset truncation part: arguments a hair below a
// whole step, signals below −1 (the truncation rounds towards zero there) and signals held far beyond
// full scale, each followed by the errors it feeds back. Every path gives the formula's values.
TEST(Requantizer, EveryPathQuantizesAsTheFormulaWhereRoundingDownWouldNot) {
    int pathCount = 0;
    const FramePath* const* paths = frame_path::available(pathCount);
    for (int bits : {0, 1, 2}) {
        reference::Settings s = quantizing(bits, 3, false);
        s.power = false; // the requantizer sees the input, delayed
        const double h = Requantizer::scaleFor(bits);
        const int frames = 6000;
        LimiterFrame probe;
        fixtures::prepare(probe, 44100, 2, s);
        const int latency = probe.rates().latency();
        FormulaRequantizer formula(h, noise_shaper::taps(probe.noiseShaperSet()));
        NoiseSource noise;
        noise.reset();
        std::mt19937 rng(40 + bits);
        std::vector<double> inL(frames, 0.0), inR(frames, 0.0), expectL(frames), expectR(frames);
        int hairs = 0, belowMinusOne = 0, held = 0;
        for (int m = 0; m < frames; ++m) {
            const double u1 = noise.uniform(), u2 = noise.uniform(), u3 = noise.uniform(),
                         u4 = noise.uniform();
            const double d[2] = {(u1 + u2) * 0.5, (u3 + u4) * 0.5};
            double o[2] = {0.0, 0.0};
            const int n = m - latency;
            if (n >= 0) {
                for (int c = 0; c < 2; ++c) {
                    const int kind = static_cast<int>(rng() % 6);
                    const double shape = formula.shapeOf(c);
                    if (kind <= 2) {
                        const double k =
                            std::floor(std::uniform_real_distribution<double>(-0.25, 0.5)(rng) * h);
                        o[c] = hairBelowStep(k, shape, d[c], h);
                        if (std::isnan(o[c])) {
                            o[c] = 0.1;
                        } else {
                            ++hairs;
                        }
                    } else if (kind == 3) {
                        o[c] = -1.0 - std::uniform_real_distribution<double>(0.0, 2.0)(rng);
                        ++belowMinusOne;
                    } else if (kind == 4 && bits > 0) {
                        o[c] =
                            (rng() % 2 ? 1.0 : -1.0) * std::uniform_real_distribution<double>(1e5, 1e6)(rng);
                        ++held;
                    } else {
                        o[c] = std::uniform_real_distribution<double>(-0.9, 0.9)(rng);
                    }
                }
                inL[n] = o[0];
                inR[n] = o[1];
            }
            const auto [l, r] = formula.frame(o[0], o[1], d[0], d[1]);
            expectL[m] = l;
            expectR[m] = r;
        }
        // The fixture would be no test if the cases it is about did not come up.
        ASSERT_GT(hairs, frames / 2) << bits;
        ASSERT_GT(belowMinusOne, frames / 10) << bits;
        if (bits > 0) {
            ASSERT_GT(held, frames / 10) << bits;
        }

        for (int p = 0; p < pathCount; ++p) {
            LimiterFrame frame;
            frame.useProcessingPath(*paths[p]);
            fixtures::prepare(frame, 44100, 2, s);
            std::vector<double> l(frames), r(frames);
            for (int start = 0, block = 1; start < frames; start += block, block = block % 700 + 97)
                frame.limit(inL.data() + start, inR.data() + start, l.data() + start, r.data() + start,
                            std::min(block, frames - start));
            for (int m = 0; m < frames; ++m) {
                ASSERT_EQ(l[m], expectL[m]) << paths[p]->name << ", bits choice " << bits << ", frame " << m;
                ASSERT_EQ(r[m], expectR[m]) << paths[p]->name << ", bits choice " << bits << ", frame " << m;
            }
        }
    }
}

// With "Power" off nothing limits the host's signal; far beyond the 24-bit range the quantizer must
// neither overflow nor carry the excess into the following samples.
TEST(Requantizer, SignalsFarBeyondFullScaleAreClippedAndForgotten) {
    reference::Settings s = quantizing(2, 2, false);
    s.power = false;
    LimiterFrame frame;
    fixtures::prepare(frame, 44100, 2, s);
    const int latency = frame.rates().latency();
    std::vector<double> in(3000), l(3000), r(3000);
    for (int n = 0; n < 3000; ++n)
        in[n] = n < 200 ? (n % 2 ? 1e12 : -3e9) : 0.5 * std::sin(n * 0.02);
    frame.limit(in.data(), in.data(), l.data(), r.data(), 3000);
    for (int n = 0; n < 3000; ++n) {
        ASSERT_TRUE(std::isfinite(l[n])) << n;
        ASSERT_LE(std::fabs(l[n]), 1.0);
        if (n >= 200 + latency + 12) {
            ASSERT_NEAR(l[n], in[n - latency], 1e-5) << n;
        }
    }
}

// Dither generators, error history and fade advance only while "Quantize" is on. With "Power" off the
// requantizer sees the input delayed by the latency; the second run is fed so that its requantizer
// sees, without a pause, exactly what the first one sees before and after its pause.
TEST(Requantizer, StopsWhileOffAndContinuesWhereItStopped) {
    reference::Settings s = quantizing(0, 1, false);
    s.power = false;
    LimiterFrame paused, straight;
    fixtures::prepare(paused, 44100, 2, s);
    fixtures::prepare(straight, 44100, 2, s);
    const int latency = paused.rates().latency();

    std::vector<double> in(900);
    for (int n = 0; n < 900; ++n)
        in[n] = 0.3 * std::sin(n * 0.05) + 0.01 * std::sin(n * 0.7);
    std::vector<double> skipped(in.begin(), in.begin() + (300 - latency));
    skipped.insert(skipped.end(), in.begin() + (600 - latency), in.end());
    skipped.resize(900, 0.0);

    std::vector<double> a(900), b(900), r(900);
    paused.limit(in.data(), in.data(), a.data(), r.data(), 300);
    paused.settings.quantize = false;
    paused.limit(in.data() + 300, in.data() + 300, a.data() + 300, r.data(), 300);
    paused.settings.quantize = true;
    paused.limit(in.data() + 600, in.data() + 600, a.data() + 600, r.data(), 300);
    straight.limit(skipped.data(), skipped.data(), b.data(), r.data(), 600);

    for (int n = 0; n < 300; ++n)
        ASSERT_EQ(a[n], b[n]) << n;
    for (int n = 0; n < 300; ++n)
        ASSERT_EQ(a[600 + n], b[300 + n]) << n;
    for (int n = 300; n < 600; ++n)
        ASSERT_NEAR(a[n], in[n - latency], 1e-15) << "unquantized while off, " << n;
}

} // namespace
