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
    // window maxima S into `shortMax`. Both need room for n + FrameHistory::kScratch frames.
    template <class Isa>
    ORVEL_STAGE void run(int n, bool oversample, double link, double* linked, double* shortMax) {
        using V = typename Isa::V;
        const double* y = history.head();
        const double* aligned = y - 2 * kAlignment;
        if (oversample) HalfSampleInterpolator::midpoints<Isa>(y, between.data(), n);
        const double* interpolated = between.data();
        const V floor = Isa::splat(kFloor), zero = Isa::splat(0.0), margin = Isa::splat(kMargin);
        double* magnitudes = windows.input(n);
        for (int i = 0; i < n; i += Isa::kFrames) {
            const V a = Isa::load(aligned + 2 * i);
            V d = a;
            if (oversample) {
                const V mid = Isa::load(interpolated + 2 * i);
                d = (Isa::abs(a) > Isa::abs(mid) ? a : mid) * margin;
            }
            Isa::store(magnitudes + 2 * i, Isa::max(Isa::abs(d) - floor, zero) + floor);
        }
        windows.run<Isa>(n);
        const V keep = Isa::splat(1.0 - link), share = Isa::splat(link);
        const WindowMax::Spans longest = windows.maxima(longLength), shortest = windows.maxima(shortLength);
        for (int i = 0; i < n; i += Isa::kFrames) {
            const V peak = longest.at<Isa>(i);
            Isa::store(linked + 2 * i, keep * peak + share * Isa::max(peak, Isa::swapChannels(peak)));
            Isa::store(shortMax + 2 * i, shortest.at<Isa>(i));
        }
    }

    void commit(int n) {
        history.commit(n);
        windows.commit(n);
    }

    FollowerBank& followers() { return bank; }
    const FollowerBank& followers() const { return bank; }

    // One frame for callers outside the processing paths, followers included.
    DetectorResult process(double yL, double yR, const DetectorControls& controls);

private:
    FrameHistory history;
    AlignedBuffer<double> between; // interpolated half-sample points of the block
    WindowMax windows;             // of m: the long window W and the short one K
    int longLength = 128, shortLength = 8;
    FollowerBank bank;
};
