// Detector, followers and leveller on signals whose answers are known.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <vector>

#include "engine/follower_bank.h"
#include "engine/leveller.h"
#include "engine/peak_detector.h"

namespace {

struct Detector {
    explicit Detector(int longLength, int shortLength, double fs = 44100.0, double releaseMs = 100.0) {
        detector.setLengths(longLength, shortLength);
        FollowerBank::attackCoefficients(fs, attack);
        FollowerBank::releaseCoefficients(fs, releaseMs, release);
    }
    DetectorResult push(double l, double r) { return detector.process(l, r, controls); }

    PeakDetector detector;
    double attack[8], release[8];
    DetectorControls controls{false, false, 1.0, attack, release};
};

TEST(PeakDetector, SilenceHoldsTheFloorAndNoReduction) {
    Detector d(128, 64);
    DetectorResult r{};
    for (int n = 0; n < 400; ++n)
        r = d.push(0.0, 0.0);
    EXPECT_EQ(r.shortL, 0.00001);
    EXPECT_EQ(r.linkedR, 0.00001);
    EXPECT_EQ(r.followL, 1.0);
    EXPECT_EQ(r.followR, 1.0);
}

TEST(PeakDetector, ASinglePeakHoldsTheLongWindowForWAndTheShortOneForK) {
    for (int w : {128, 256, 512}) {
        for (int k : {8, 64, 256}) {
            if (k > w / 2) continue;
            Detector d(w, k);
            d.controls.link = 0.0;
            int longCount = 0, shortCount = 0, firstLong = -1, firstShort = -1;
            for (int n = 0; n < 2 * w + 64; ++n) {
                const DetectorResult r = d.push(n == 0 ? 2.0 : 0.0, 0.0);
                if (r.linkedL == 2.0) longCount += 1, firstLong = firstLong < 0 ? n : firstLong;
                if (r.shortL == 2.0) shortCount += 1, firstShort = firstShort < 0 ? n : firstShort;
                if (n == 31) {
                    EXPECT_EQ(r.alignedL, 2.0);
                }
            }
            EXPECT_EQ(longCount, w) << "W " << w;
            EXPECT_EQ(shortCount, k) << "K " << k;
            EXPECT_EQ(firstLong, PeakDetector::kAlignment);
            EXPECT_EQ(firstShort, PeakDetector::kAlignment);
        }
    }
}

// A full-scale sine at fs/4 sampled at ±0.7071 of its peak: the half-sample points between the
// samples of equal sign reach the true peak.
TEST(PeakDetector, OversamplingFindsThePeakBetweenSamples) {
    Detector plain(128, 8), oversampled(128, 8);
    oversampled.controls.oversample = true;
    std::vector<double> estimates;
    for (int n = 0; n < 400; ++n) {
        const double v = std::sin(std::numbers::pi / 2 * n + std::numbers::pi / 4);
        const DetectorResult p = plain.push(v, v);
        const DetectorResult o = oversampled.push(v, v);
        if (n >= 200) {
            EXPECT_NEAR(p.magnitudeL, std::sqrt(0.5), 1e-12);
            estimates.push_back(o.magnitudeL);
        }
    }
    for (std::size_t i = 0; i + 1 < estimates.size(); i += 2) {
        const double high = std::max(estimates[i], estimates[i + 1]);
        const double low = std::min(estimates[i], estimates[i + 1]);
        EXPECT_NEAR(high, 1.001, 2e-3);
        EXPECT_NEAR(low, std::sqrt(0.5) * 1.001, 1e-9);
    }
}

TEST(PeakDetector, LinkDecidesWhetherTheQuietChannelFollowsTheLoudOne) {
    for (double link : {0.0, 0.5, 1.0}) {
        Detector d(128, 64);
        d.controls.link = link;
        DetectorResult r{};
        for (int n = 0; n < 3000; ++n)
            r = d.push(n % 2 ? 4.0 : -4.0, 0.0);
        EXPECT_EQ(r.linkedL, 4.0);
        EXPECT_NEAR(r.linkedR, (1.0 - link) * 0.00001 + link * 4.0, 1e-15) << link;
        EXPECT_GT(r.followL, 3.9);
        if (link == 0.0) {
            EXPECT_EQ(r.followR, 1.0);
            EXPECT_LE(d.detector.followers().firstStage(1, 0), 0.00001 * (1 + 1e-12));
        } else {
            EXPECT_GT(r.followR, 1.0);
        }
    }
}

TEST(PeakDetector, SecondOrderStageTrailsTheFirstAndOrderOneCopiesIt) {
    for (bool second : {false, true}) {
        Detector d(128, 64);
        d.controls.secondOrder = second;
        for (int n = 0; n < 300; ++n)
            d.push(3.0, 3.0);
        const FollowerBank& bank = d.detector.followers();
        for (int k = 0; k < FollowerBank::kStages; ++k) {
            if (second) {
                EXPECT_LT(bank.secondStage(0, k), bank.firstStage(0, k)) << k;
            } else {
                EXPECT_EQ(bank.secondStage(0, k), bank.firstStage(0, k)) << k;
            }
        }
    }
}

TEST(FollowerBank, StageTimesRunFromTheSetTimesToTheirFixedEnds) {
    const double fs = 48000.0;
    auto time = [fs](double c) { return -1000.0 / (std::log(1.0 - c) * fs); };
    double attack[8], release[8];
    FollowerBank::attackCoefficients(fs, attack);
    EXPECT_NEAR(time(attack[0]), 32.0, 1e-9);
    EXPECT_NEAR(time(attack[7]), 1.0, 1e-9);
    for (double r : {1.0, 50.0, 1000.0}) {
        FollowerBank::releaseCoefficients(fs, r, release);
        EXPECT_NEAR(time(release[0]), r, 1e-9 * r);
        EXPECT_NEAR(time(release[7]), 2.0, 1e-9);
        for (int k = 1; k < 8; ++k)
            EXPECT_NEAR(time(release[k]) - time(release[k - 1]), (2.0 - r) / 7.0, 1e-9 * r) << r;
    }
}

TEST(Leveller, AtTheTopItNeverActsAndAtTheBottomItSettlesAtAQuarter) {
    const double coefficient = 1.0 - std::exp(-1000.0 / (44100.0 * 1000.0));
    Leveller top, bottom;
    top.setCoefficient(coefficient);
    bottom.setCoefficient(coefficient);
    top.reset();
    bottom.reset();
    double tTop = 0, tBottom = 0;
    for (int n = 0; n < 44100 * 20; ++n) {
        const double x = n % 2 ? 1.0 : -1.0;
        tTop = top.gain(x, x, 16.0, 1.0, true);
        tBottom = bottom.gain(x, -x, 1.0, 0.25, false);
    }
    EXPECT_EQ(tTop, 1.0);
    EXPECT_NEAR(tBottom, 0.25, 1e-6);
}

} // namespace
