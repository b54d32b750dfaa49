// The 64-tap symmetric half-sample interpolator: from the last 64 frames of a stereo history it
// estimates the signal half-way between the frames 31 and 32 steps back. The detector uses it for the
// intersample peak estimate, the output meter for its oversampled peak reading; each has its own
// history (a FrameHistory).
#pragma once

#include "engine/simd.h"

struct HalfSampleInterpolator {
    static constexpr int kTaps = 64;
    // Taps of one half, outermost first; the other half mirrors them. They sum to 1 over all 64.
    static const double kCoefficients[kTaps / 2];

    // For each of `frames` frames, with h[j] the frame j steps back from it (h[0] at newest + 2 i):
    //     out_i = Σ c[n] · (h[n] + h[63 − n]),  n = 0 .. 31, summed in that order from 0.
    // The history must hold the 63 frames before newest. May compute up to FrameHistory::kScratch
    // frames more than asked (out needs room for them; newest + 2 · (frames + kScratch) must be
    // readable).
    template <class Isa> ORVEL_STAGE static void midpoints(const double* newest, double* out, int frames) {
        for (int i = 0; i < frames; i += Isa::kFrames)
            Isa::store(out + 2 * i, midpoint<Isa>(newest + 2 * i));
    }

    // The same for the Isa::kFrames frames from h on (h[0] the newest), for a loop that has them at hand.
    template <class Isa> static ORVEL_INLINE typename Isa::V midpoint(const double* h) {
        using V = typename Isa::V;
        const double* c = kCoefficients;
        V sum = Isa::splat(0.0);
#pragma GCC unroll 32
        for (int n = 0; n < kTaps / 2; ++n)
            sum = sum + Isa::splat(c[n]) * (Isa::load(h - 2 * n) + Isa::load(h - 2 * (kTaps - 1 - n)));
        return sum;
    }
};
