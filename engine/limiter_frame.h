// The limiter's signal path for one stereo instance, host-free: the processing of a block through all
// stages (shared by both sample types), the calibration generator that replaces it, and the meter feed.
//
// Threads: limit(), calibrate(), configure() and reset() belong to whoever holds the engine mutex;
// `settings` may be written from any thread at any time and are read once per block; `meters.poll`
// runs on the editor's thread. Nothing here allocates after construction.
//
// A block runs in pieces of up to FrameHistory::kMaxBlock frames, stage after stage over the whole
// piece, so that each stage's work for many frames sits together in vector lanes (see
// engine/limiter_pipeline.h). The processing path, one per instruction set, is chosen at construction.
#pragma once

#include "engine/aligned_buffer.h"
#include "engine/calibration_generator.h"
#include "engine/frame_history.h"
#include "engine/frame_path.h"
#include "engine/frame_settings.h"
#include "engine/gain_smoother.h"
#include "engine/leveller.h"
#include "engine/meter_feed.h"
#include "engine/noise_source.h"
#include "engine/peak_detector.h"
#include "engine/requantizer.h"

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
    void limit(const float* inL, const float* inR, float* outL, float* outR, int frames) {
        path->limitSingle(*this, inL, inR, outL, outR, frames);
    }
    void limit(const double* inL, const double* inR, double* outL, double* outR, int frames) {
        path->limitDouble(*this, inL, inR, outL, outR, frames);
    }

    // One block of calibration noise; outR may be null (only the left output is written).
    template <class T> void calibrate(T* outL, T* outR, int frames);

    // The processing path in use (the fastest this processor runs, unless chosen otherwise).
    const FramePath& processingPath() const { return *path; }
    void useProcessingPath(const FramePath& p) { path = &p; }

    // Inspection for tests.
    double driveGain() const { return drive; }
    double outputGain() const { return output; }
    double fadeGain() const { return requantizer.fadeGain(); }
    double levellerAverage() const { return leveller.currentAverage(); }

    // The processing of one block by path `Isa` (engine/limiter_pipeline.h).
    template <class Isa, class T> void process(const T* inL, const T* inR, T* outL, T* outR, int frames);

private:
    // Settings as one block reads them.
    struct Block {
        double driveTarget, outputTarget;
        double transient, link, leveller;
        bool levellerBypassed, oversample, secondOrder, power, meterOversample, quantize, autoblack;
        int attShow;
        double meterGain; // input meters: 1, or the drive gain at the start of the block
        double scale;     // quantizer scale h
        double attack[FollowerBank::kStages], release[FollowerBank::kStages];
    };
    // Drive and output gains of the frames of a piece: one value for all, or one per frame.
    struct Gains {
        bool driveSteady, outputSteady;
        double drive, output;
    };

    Block beginBlock();
    void endBlock(const Block& b);
    Gains rampGains(const Block& b, int n);

    template <class Isa, class T>
    void processPiece(const Block& b, const T* inL, const T* inR, T* outL, T* outR, int n);
    // Taps: the requantizer's tap count (Requantizer::withTaps) where it runs in the per-frame loop, or
    // kQuantizeApart.
    static constexpr int kQuantizeApart = -2;
    template <class Isa, bool Power, bool SecondOrder, bool MeterOversample, bool LevellerDeferred,
              bool AllShown, int Taps>
    void followAndApply(const Block& b, const double* dry, const double* audio, double* out, int n);

    const FramePath* path;
    FrameRates rate;
    Relaxed<int> shaperRate{44100};
    double drive = 1.0;  // smoothed drive gain
    double output = 0.5; // smoothed output gain
    NoiseSource noise;
    FrameHistory dry; // raw input, W + 31 frames
    Leveller leveller;
    PeakDetector detector;
    GainSmoother smoother;
    FrameHistory outputHistory; // output meter's oversampled peak ("MeterOvs" on)
    Requantizer requantizer;
    CalibrationGenerator calibrator;
    // Per-frame values of the piece in progress (frame-wise pairs where two channels).
    AlignedBuffer<double> driveRamp, outputRamp, levellerGain, levellerInput;
    AlignedBuffer<double> linked, envelope, followMax, limited, quantized, meterSquares, outputMidpoints;
};
