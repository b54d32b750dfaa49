// Requantizes the limited output of both channels to 8, 16 or 24 bits: triangular dither, error
// feedback through a 12-tap noise-shaping filter, and the "Autoblack" fade to digital zero in silence.
//
// Per channel and frame: s = Σ w[n] · e[j − n] over the last 12 errors; v = out + s; the quantized
// value q = (trunc(d + v·h + h) − h) / h rounds v + d/h down to a step of 1/h (the + h keeps the
// truncated argument positive above −1); the new error is q − v; the output is q · g, g the fade gain.
//
// The error feedback turns any change of rounding into a different output step, so the operations and
// their order are exactly those above, both channels side by side in vector lanes. Taps that are 0 are
// skipped: adding their products (±0) changes no sum that is not itself zero, and the sign of a zero
// sum changes neither q nor the next error. h is a power of two, so dividing by it and multiplying by
// 1/h give the same value.
#pragma once

#include "engine/noise_shaper_sets.h"
#include "engine/noise_source.h"
#include "engine/relaxed.h"
#include "engine/simd.h"

class Requantizer {
public:
    static constexpr int kHistory = noise_shaper::kTaps;
    static constexpr double kSilence = 1e-8;

    explicit Requantizer(NoiseSource& noise) : noise(noise) { reset(); }

    // The quantizer scale h for a "Bits" choice (0: 8, 1: 16, 2: 24 bits): a power of two.
    static double scaleFor(int bitsChoice);

    // Clears the error histories and restarts the fade from silence. The selected set stays.
    void reset();

    void setFadeCoefficient(double c) { fadeCoefficient = c; }

    // Selects a noise-shaper set (any thread): from the next block on, the error history restarts at
    // position 0 with the new taps.
    void selectSet(int index) {
        selected = index;
        restart = true;
    }
    int selectedSet() const { return selected; }
    // The error-history position the next frame starts from.
    int historyPosition() const { return restart ? 0 : position; }

    // Once per block, before run(): takes up a new set.
    void beginBlock();

    // Requantizes n frames (left, right per frame) from `in` into `out`.
    template <class Isa> void run(const double* in, double* out, int n, double scale, bool autoblack) {
        using simd::F2;
        using simd::Pair;
        const double limit = 1073741824.0 / scale;
        const F2 h = Pair::splat(scale), step = Pair::splat(1.0 / scale);
        const F2 high = Pair::splat(limit), low = Pair::splat(-limit);
        double* e = errors;
        for (int i = 0; i < n; ++i) {
            const F2 o = Pair::load(in + 2 * i);
            const F2 loudest = Pair::maxAcross(Pair::abs(o));
            if (loudest[0] > kSilence || !autoblack)
                fade = 1.0;
            else
                fade = fade - fade * fadeCoefficient;
            fade = fade + 1e-30;
            fade = fade - 1e-30;

            F2 shape = Pair::splat(0.0);
            for (int t = 0; t < taps; ++t)
                shape = shape +
                        Pair::splat(tapWeight[t]) * Pair::load(e + 2 * (position + kHistory - tapIndex[t]));
            if (++position >= kHistory) position = 0;

            // Far beyond full scale (only reachable with "Power" off and a wild host signal) the value
            // is held at half the 32-bit range: the conversion cannot overflow, and the error fed back
            // stays a rounding error instead of growing without bound through the shaping filter.
            F2 v = o + shape;
            v = v > low ? v : low;
            v = v > high ? high : v;
            const double u1 = noise.uniform();
            const double u2 = noise.uniform();
            const double u3 = noise.uniform();
            const double u4 = noise.uniform();
            const F2 dither = Pair::make((u1 + u2) * 0.5, (u3 + u4) * 0.5);
            const F2 q = (Pair::truncate(dither + v * h + h) - h) * step;
            const F2 error = q - v;
            Pair::store(e + 2 * position, error);
            Pair::store(e + 2 * (position + kHistory), error);
            Pair::store(out + 2 * i, q * Pair::splat(fade));
        }
    }

    // One frame for callers outside the processing paths.
    void process(double& left, double& right, double scale, bool autoblack);

    double fadeGain() const { return fade; }

private:
    NoiseSource& noise;
    // Errors as frames (left, right), twice over, so that the last 12 lie in a row before any position.
    alignas(16) double errors[4 * kHistory] = {};
    int position = 0;
    double fade = 1e-20;
    double fadeCoefficient = 0.0;
    Relaxed<int> selected{noise_shaper::kNone};
    Relaxed<bool> restart{false};
    // The nonzero taps of the selected set, in order.
    int taps = 0;
    int tapIndex[kHistory] = {};
    double tapWeight[kHistory] = {};
};
