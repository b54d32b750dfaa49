// The limiter's signal path for one stereo instance, host-free: the per-sample loop over all stages
// (shared by both sample types), the calibration generator that replaces it, and the meter feed.
//
// Threads: limit(), calibrate(), configure() and reset() belong to whoever holds the engine mutex;
// `settings` may be written from any thread at any time; `meters.poll` runs on the editor's thread.
// Nothing here allocates after construction.
#pragma once

#include "engine/calibration_generator.h"
#include "engine/frame_settings.h"
#include "engine/gain_smoother.h"
#include "engine/half_sample_interpolator.h"
#include "engine/leveller.h"
#include "engine/meter_feed.h"
#include "engine/noise_source.h"
#include "engine/peak_detector.h"
#include "engine/requantizer.h"
#include "engine/stereo_delay.h"

class LimiterFrame {
public:
    static constexpr int kMaxLookahead = 512;

    LimiterFrame();

    FrameSettings settings;
    MeterFeed meters;

    // New lengths and coefficients (sample rate or "TransShape"): rebuilds the kernel and resets.
    void configure(const FrameRates& rates);
    const FrameRates& rates() const { return rate; }

    // The state reset: every line, window, follower, accumulator and generator back to its start;
    // the ramps jump to their targets.
    void reset();

    // "NoiseShape" choice at the current sample rate (any thread); at a rate without tables the
    // current set stays. The error history restarts at position 0.
    void selectNoiseShaper(int choice);
    // A set chosen by the caller (any thread), with the same restart of the error history.
    void useNoiseShaperSet(int index) { requantizer.selectSet(index); }
    int noiseShaperSet() const { return requantizer.selectedSet(); }
    int noiseShaperPosition() const { return requantizer.historyPosition(); }

    // One block. A mono host passes inR == inL and outR == outL: the right result is written first,
    // so the left one remains.
    template <class T> void limit(const T* inL, const T* inR, T* outL, T* outR, int frames);

    // One block of calibration noise; outR may be null (only the left output is written).
    template <class T> void calibrate(T* outL, T* outR, int frames);

    // Inspection for tests.
    double driveGain() const { return drive; }
    double outputGain() const { return output; }
    double fadeGain() const { return requantizer.fadeGain(); }
    double levellerAverage() const { return leveller.currentAverage(); }

private:
    FrameRates rate;
    Relaxed<int> shaperRate{44100};
    double drive = 1.0;  // smoothed drive gain
    double output = 0.5; // smoothed output gain
    NoiseSource noise;
    StereoDelay dry;       // raw input, W + 31
    StereoDelay lookahead; // aligned audio, W
    Leveller leveller;
    PeakDetector detector;
    GainSmoother smoother;
    HalfSampleInterpolator outputHistory; // output meter's oversampled peak
    Requantizer requantizer;
    CalibrationGenerator calibrator;
};
