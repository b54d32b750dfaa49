// The meter accumulators that the audio thread feeds and the editor polls, and the poll-and-reset
// hand-over between them. No lock.
//
// The audio thread accumulates into its own plain copy (`audio`) and publishes it into relaxed atomics
// at the end of every block; the editor reads only those. A poll reads, then raises the reset request;
// the audio thread serves it for the block in which it sees it: if the request was there at the start
// of the block, the block starts from cleared peaks; if it arrives during the block, the block's
// values replace the earlier ones when published, since the poll saw none of them. Either way each
// poll sees the peaks since the previous one, and nothing is lost between them. An "AttShow" change
// clears the published displayed gains at once and the audio side's at its next block.
#pragma once

#include <cmath>

#include "engine/relaxed.h"

class MeterFeed {
public:
    // Ten values in this order.
    enum Value {
        kInPeakL,
        kInPeakR,
        kOutPeakL,
        kOutPeakR,
        kInRmsL,
        kInRmsR,
        kOutRmsL,
        kOutRmsR,
        kGainL,
        kGainR
    };
    static constexpr int kValues = 10;

    // Mean squares below this read as 0 in single precision; they are set to 0 rather than left to
    // decay into subnormal numbers, whose arithmetic is slow on many processors.
    static constexpr double kNegligible = 1e-100;

    // What the audio thread accumulates. Frame-wise (left, right) pairs.
    struct Levels {
        alignas(16) double inPeak[2] = {0.0, 0.0};
        alignas(16) double outPeak[2] = {0.0, 0.0};
        alignas(16) double inMeanSquare[2] = {0.0, 0.0};
        alignas(16) double outMeanSquare[2] = {0.0, 0.0};
        alignas(16) double displayedGain[2] = {1.0, 1.0};

        void clearPeaks() {
            for (int c = 0; c < 2; ++c) {
                inPeak[c] = outPeak[c] = 0.0;
                displayedGain[c] = 1.0;
            }
        }
    };

    // State reset (engine mutex held): everything cleared, no reduction, no pending request.
    void reset();

    // Editor side: the ten values (peaks, √(2 · mean square), displayed gains), then the reset
    // request, so that the next poll sees what happened since this one.
    void poll(float* values);

    // "AttShow" change (any thread): the displayed gains restart from no reduction.
    void clearDisplayedGain();

    // Audio side. beginBlock() serves the requests. The limiter accumulates a block's peaks and
    // displayed gains into `block`, starting cleared, and runs the mean squares on in it; endBlock()
    // merges them into `audio` and publishes. The calibration generator works on `audio` directly and
    // then publishes.
    void beginBlock();
    void endBlock();
    void publish();
    Levels audio; // up to the start of the block
    Levels block; // peaks and gains of the block; mean squares running

    // Published values.
    Relaxed<double> inPeak[2];
    Relaxed<double> outPeak[2];
    Relaxed<double> inMeanSquare[2];
    Relaxed<double> outMeanSquare[2];
    Relaxed<double> displayedGain[2] = {1.0, 1.0};
    Relaxed<bool> resetRequest{false};

private:
    Relaxed<bool> gainRequest{false};
};
