// The peak detector of both channels: the 31-sample alignment delay, the optional intersample peak
// estimate, the long (look-ahead) windows with the L/R link and the follower banks, and the short
// windows that the gain smoother turns into the brickwall envelope.
//
// Legend for one sample: y the levelled, driven input; a the aligned audio (y of 31 samples ago);
// d the detector value of a (a itself, or the larger of a and the interpolated half-sample point,
// raised by 0.1 %); m = max(|d|, 0.00001); D the maximum of m over the last W samples, linked; R the
// follower maximum; S the maximum of m over the last K samples.
#pragma once

#include <algorithm>
#include <cmath>

#include "engine/follower_bank.h"
#include "engine/half_sample_interpolator.h"
#include "engine/max_tree.h"
#include "engine/stereo_delay.h"

struct DetectorResult {
    double alignedL, alignedR;     // a
    double magnitudeL, magnitudeR; // m
    double linkedL, linkedR;       // D after the link
    double followL, followR;       // R, at least 1
    double shortL, shortR;         // S
};

struct DetectorControls {
    bool oversample;
    bool secondOrder;
    double link;           // "L/R Link", 0 .. 1
    const double* attack;  // 8 coefficients
    const double* release; // 8 coefficients
};

class PeakDetector {
public:
    static constexpr int kAlignment = 31;
    static constexpr double kFloor = 0.00001;
    static constexpr double kMargin = 1.001;

    PeakDetector();

    // Long window W and short window K; clears the detector.
    void setLengths(int longLength, int shortLength);
    void clear();

    DetectorResult process(double yL, double yR, const DetectorControls& controls) {
        DetectorResult r;
        align.process(yL, yR, r.alignedL, r.alignedR);
        history.push(yL, yR);

        double dL = r.alignedL, dR = r.alignedR;
        if (controls.oversample) {
            dL = estimate(0);
            dR = estimate(1);
        }
        const double mL = std::max(std::fabs(dL) - kFloor, 0.0) + kFloor;
        const double mR = std::max(std::fabs(dR) - kFloor, 0.0) + kFloor;
        r.magnitudeL = mL;
        r.magnitudeR = mR;

        longL.update(longPosition, mL);
        longR.update(longPosition, mR);
        const double peakL = longL.max(), peakR = longR.max();
        if (++longPosition >= longL.length()) longPosition = 0;

        const double h = controls.link;
        const double loudest = std::max(peakL, peakR);
        r.linkedL = (1.0 - h) * peakL + h * loudest;
        r.linkedR = (1.0 - h) * peakR + h * loudest;
        r.followL = followersL.update(r.linkedL, controls.attack, controls.release, controls.secondOrder);
        r.followR = followersR.update(r.linkedR, controls.attack, controls.release, controls.secondOrder);

        shortL.update(shortPosition, mL);
        shortR.update(shortPosition, mR);
        r.shortL = shortL.max();
        r.shortR = shortR.max();
        if (++shortPosition >= shortL.length()) shortPosition = 0;
        return r;
    }

    const FollowerBank& followers(int channel) const { return channel == 0 ? followersL : followersR; }

private:
    // The signed value of larger magnitude of the sample 31 steps back and the half-sample point
    // after it, the interpolated one on a tie.
    double estimate(int channel) const {
        const double sample = history.back(channel, kAlignment);
        const double between = history.midpoint(channel);
        return (std::fabs(sample) > std::fabs(between) ? sample : between) * kMargin;
    }

    StereoDelay align;
    HalfSampleInterpolator history;
    MaxTree longL, longR, shortL, shortR;
    int longPosition = 0;
    int shortPosition = 0;
    FollowerBank followersL, followersR;
};
