// The meter accumulators that the audio thread feeds and the editor polls, and the poll-and-reset
// hand-over between them. No lock: every accumulator is a relaxed atomic with one writer (the audio
// thread; the "AttShow" change also stores 1.0 into the displayed gains); a poll only reads and then
// raises the reset request, which the audio thread serves at its next sample.
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

    // State reset: everything cleared, no reduction, no pending request.
    void reset() {
        for (int c = 0; c < 2; ++c) {
            inPeak[c] = 0.0;
            outPeak[c] = 0.0;
            inMeanSquare[c] = 0.0;
            outMeanSquare[c] = 0.0;
            displayedGain[c] = 1.0;
        }
        resetRequest = false;
    }

    // Editor side: the ten values (peaks, √(2 · mean square), displayed gains), then the reset
    // request, so that the next poll sees what happened since this one.
    void poll(float* values) {
        for (int c = 0; c < 2; ++c) {
            values[kInPeakL + c] = static_cast<float>(inPeak[c].load());
            values[kOutPeakL + c] = static_cast<float>(outPeak[c].load());
            values[kInRmsL + c] = static_cast<float>(std::sqrt(2.0 * inMeanSquare[c].load()));
            values[kOutRmsL + c] = static_cast<float>(std::sqrt(2.0 * outMeanSquare[c].load()));
            values[kGainL + c] = static_cast<float>(displayedGain[c].load());
        }
        resetRequest = true;
    }

    // "AttShow" change: the displayed gains restart from no reduction.
    void clearDisplayedGain() {
        displayedGain[0] = 1.0;
        displayedGain[1] = 1.0;
    }

    // Audio side, once per sample before feeding: serves a pending poll's reset request (peaks and
    // displayed gains only; mean squares are never reset by a poll).
    void serveResetRequest() {
        if (!resetRequest) return;
        resetRequest = false;
        for (int c = 0; c < 2; ++c) {
            inPeak[c] = 0.0;
            outPeak[c] = 0.0;
            displayedGain[c] = 1.0;
        }
    }

    Relaxed<double> inPeak[2];
    Relaxed<double> outPeak[2];
    Relaxed<double> inMeanSquare[2];
    Relaxed<double> outMeanSquare[2];
    Relaxed<double> displayedGain[2] = {1.0, 1.0};
    Relaxed<bool> resetRequest{false};
};
