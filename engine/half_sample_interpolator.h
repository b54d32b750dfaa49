// The 64-tap symmetric half-sample interpolator: from a stereo history of the last 64 values it
// estimates the signal half-way between the samples 31 and 32 steps back. The detector uses it for
// the intersample peak estimate, the output meter for its oversampled peak reading; each has its own
// history.
#pragma once

#include "engine/aligned_buffer.h"

class HalfSampleInterpolator {
public:
    static constexpr int kTaps = 64;
    static constexpr int kMask = kTaps - 1;
    // Taps of one half, outermost first; the other half mirrors them. They sum to 1 over all 64.
    static const double kCoefficients[kTaps / 2];

    HalfSampleInterpolator();

    void clear();

    // Makes (l, r) the newest entry, 0 steps back.
    void push(double l, double r) {
        left[index] = l;
        right[index] = r;
        index = (index + 1) & kMask;
    }

    // The entry j steps back (0 = newest) of channel 0 (left) or 1 (right).
    double back(int channel, int j) const {
        const double* h = channel == 0 ? left.data() : right.data();
        return h[(index - 1 - j) & kMask];
    }

    // Σ c[n] · (h[n] + h[63 − n]) for n = 0 .. 31, with h[j] the entry j steps back.
    double midpoint(int channel) const {
        const double* h = channel == 0 ? left.data() : right.data();
        const int newest = index - 1;
        double sum = 0.0;
        for (int n = 0; n < kTaps / 2; ++n)
            sum += kCoefficients[n] * (h[(newest - n) & kMask] + h[(newest - (kMask - n)) & kMask]);
        return sum;
    }

private:
    AlignedBuffer<double> left;
    AlignedBuffer<double> right;
    int index = 0;
};
