// The peak detector of both channels: the 31-frame alignment delay, the optional intersample peak
// estimate, the long (look-ahead) windows with the L/R link and the follower banks, and the short
// windows that the gain smoother turns into the brickwall envelope.
//
// Legend for one frame: y the levelled, driven input; a the aligned audio (y of 31 frames ago);
// d the detector value of a (a itself, or the larger of a and the interpolated half-sample point,
// raised by 0.1 %); m = max(|d|, 0.00001); D the maximum of m over the last W frames, linked; R the
// follower maximum; S the maximum of m over the last K frames.
//
// The detector keeps the history of y, long enough for the frame's look-ahead delay to read its audio
// from it as well. Per block: write y at input(n), run(), read what is needed, commit(n). The
// followers are stepped by the frame's per-frame loop, where their results are used.
#pragma once

#include "engine/aligned_buffer.h"
#include "engine/follower_bank.h"
#include "engine/frame_history.h"
#include "engine/half_sample_interpolator.h"
#include "engine/simd.h"
#include "engine/window_max.h"

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
    // Frames of y kept: the longest look-ahead delay after the alignment.
    static constexpr int kHistory = WindowMax::kMaxLength + kAlignment;

    PeakDetector();

    // Long window W and short window K; clears the detector.
    void setLengths(int longLength, int shortLength);
    void clear();

    // Where the block's y goes (n frames). Frame 0 of the block is at block(); the frame j steps
    // before it at block() − 2 j, for j up to kHistory.
    double* input(int n) { return history.reserve(n); }
    const double* block() const { return history.head(); }

    // For the n frames written: linked long-window peaks D (left, right per frame) into `linked`, short
    // window maxima S into `shortMax`. Both need room for n frames.
    template <class Isa>
    ORVEL_STAGE void run(int n, bool oversample, double link, double* linked, double* shortMax) {
        using simd::F2;
        using simd::Pair;
        const double* y = history.head();
        const double* aligned = y - 2 * kAlignment;
        if (oversample) HalfSampleInterpolator::midpoints<Isa>(y, between.data(), n);
        const double* interpolated = between.data();
        const F2 floor = Pair::splat(kFloor), zero = Pair::splat(0.0), margin = Pair::splat(kMargin);
        const F2 keep = Pair::splat(1.0 - link), share = Pair::splat(link);
        double* magnitudes = magnitude.data();
        WindowMax::Cursor<Isa> longest(longWindow), shortest(shortWindow);
        for (int i = 0; i < n; ++i) {
            const F2 a = Pair::load(aligned + 2 * i);
            F2 d = a;
            if (oversample) {
                const F2 mid = Pair::load(interpolated + 2 * i);
                d = (Pair::abs(a) > Pair::abs(mid) ? a : mid) * margin;
            }
            const F2 m = Pair::max(Pair::abs(d) - floor, zero) + floor;
            Pair::store(magnitudes + 2 * i, m);
            const F2 peak = longest.push(m);
            Pair::store(linked + 2 * i, keep * peak + share * Pair::maxAcross(peak));
            Pair::store(shortMax + 2 * i, shortest.push(m));
        }
        longest.save(longWindow);
        shortest.save(shortWindow);
    }

    void commit(int n) { history.commit(n); }

    FollowerBank& followers() { return bank; }
    const FollowerBank& followers() const { return bank; }

    // One frame for callers outside the processing paths, followers included.
    DetectorResult process(double yL, double yR, const DetectorControls& controls);

private:
    FrameHistory history;
    AlignedBuffer<double> between;   // interpolated half-sample points of the block
    AlignedBuffer<double> magnitude; // m of the block
    WindowMax longWindow, shortWindow;
    FollowerBank bank;
};
