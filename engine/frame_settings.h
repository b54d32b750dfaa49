// What the processing frame reads from the parameter side. FrameSettings are published without a lock
// by whatever thread sets a parameter and read by the audio thread at every sample (a few once per
// block); FrameRates change only under the engine mutex, together with a state reset.
#pragma once

#include "engine/follower_bank.h"
#include "engine/peak_detector.h"
#include "engine/relaxed.h"

struct FrameSettings {
    Relaxed<double> drive{1.0};            // "Drive" gain, target of the drive ramp
    Relaxed<double> output{0.5};           // "Output" gain, target of the output ramp
    Relaxed<double> transient{0.125};      // "Transient" amount S, 0 .. 0.5
    Relaxed<double> link{1.0};             // "L/R Link", 0 .. 1
    Relaxed<double> leveller{0.5};         // "Leveller" threshold T, 0.25 .. 1
    Relaxed<bool> levellerBypassed{false}; // "Leveller" at its very top
    Relaxed<bool> oversample{false};
    Relaxed<bool> secondOrder{false}; // "DetectorOrder" II
    Relaxed<bool> power{true};
    Relaxed<bool> meterOversample{false}; // "MeterOvs"
    Relaxed<bool> autoOut{false};
    Relaxed<bool> quantize{false};
    Relaxed<bool> autoblack{false};
    Relaxed<bool> postMeter{false};
    Relaxed<int> bits{1};      // "Bits" choice: 8, 16, 24
    Relaxed<int> attShow{7};   // "AttShow" mask
    Relaxed<int> calibrate{0}; // "Calibrate" choice
    Relaxed<int> scale{1};     // "Scale" choice: K-12, K-14, K-20
    // Follower coefficients for the current sample rate, "Release" time and stage.
    Relaxed<double> attack[FollowerBank::kStages];
    Relaxed<double> release[FollowerBank::kStages];
};

struct FrameRates {
    static constexpr int kAlignment = PeakDetector::kAlignment; // detector alignment delay [samples]

    int sampleRate = 44100; // integer rate
    double fs = 44100.0;
    int shift = 0;       // s: 0 below 80 kHz, 1 below 170 kHz, else 2
    int lookahead = 128; // W = 128 · 2^s
    int kernel = 64;     // K by "TransShape": 8, 16, 64 times 2^s
    int gainDelay = 2;   // L = W − 2K + 2
    double ramp = 0.0;   // drive and output ramps, 30 Hz
    double level = 0.0;  // leveller average, 1000 ms
    double rms = 0.0;    // meter mean squares, to 1 % in 600 ms
    double fade = 0.0;   // "Autoblack" fade, 10 ms

    int latency() const { return lookahead + kAlignment; }

    // Everything for an integer sample rate (taken as given) and a "TransShape" choice (0 hard, 1 med,
    // 2 soft).
    static FrameRates make(int sampleRate, int shapeChoice);
    static int shiftFor(double fs) { return fs < 80000.0 ? 0 : (fs < 170000.0 ? 1 : 2); }
    static int kernelFor(int shapeChoice, int shift);
};
