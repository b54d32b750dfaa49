// Requantizes the limited output of both channels to 8, 16 or 24 bits: triangular dither, error
// feedback through a 12-tap noise-shaping filter, and the "Autoblack" fade to digital zero in silence.
//
// Per channel and frame: s = Σ w[n] · e[j − n] over the last 12 errors; v = out + s; the quantized
// value q = (trunc(d + v·h + h) − h) / h rounds v + d/h down to a step of 1/h (the + h keeps the
// truncated argument positive above −1); the new error is q − v; the output is q · g, g the fade gain.
//
// The error feedback turns any change of rounding into a different output step, so the operations and
// their order are exactly those above, both channels side by side in vector lanes. Taps after the last
// nonzero one are left out: adding their products (±0) changes no sum that is not itself zero, and the
// sign of a zero sum changes neither q nor the next error. h is a power of two, so dividing by it and
// multiplying by 1/h give the same value. The truncation may be any exact one: the held value keeps
// its argument inside the 32-bit range.
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
        withTaps([&]<int T>() { runTaps<Isa, T>(in, out, n, scale, autoblack); });
    }

    // Calls f.template operator()<T>() with the tap count T of the selected set that the frame steps
    // below are compiled for (−1: any count).
    template <class F> ORVEL_INLINE void withTaps(F&& f) const {
        switch (taps) {
        case 0:
            f.template operator()<0>();
            break;
        case 3:
            f.template operator()<3>();
            break;
        case 11:
            f.template operator()<11>();
            break;
        case 12:
            f.template operator()<12>();
            break;
        default:
            f.template operator()<-1>();
            break;
        }
    }

    // The requantizer's state in locals for a stretch of frames, so that a stage with work of its own
    // can requantize frame by frame beside it: the error feedback is one long chain from frame to frame
    // with little work on it, which leaves the processor room for the other stage's. `Steps` with the
    // tap count of withTaps; frame() in order, one call per frame; finish() hands the state back.
    template <class Isa, int T> class Steps {
    public:
        Steps(Requantizer& q, double scale, bool autoblack)
            : owner(q), count(T < 0 ? q.taps : T), autoblack(autoblack), h(simd::Pair::splat(scale)),
              step(simd::Pair::splat(1.0 / scale)), high(simd::Pair::splat(1073741824.0 / scale)), low(-high),
              e(q.errors), j(q.position), newest(simd::Pair::load(q.errors + 2 * (q.position + kHistory))),
              g(q.fade), c(q.fadeCoefficient), source(q.noise) {
            for (int t = 0; t < kHistory; ++t)
                w[t] = simd::Pair::splat(q.tapWeight[t]);
        }

        // One frame (left, right) from `in` to `out`.
        ORVEL_INLINE void frame(const double* in, double* out) {
            using simd::F2;
            using simd::Pair;
            const F2 o = Pair::load(in);
            const F2 loudest = Pair::maxAcross(Pair::abs(o));
            if (loudest[0] > kSilence || !autoblack)
                g = 1.0;
            else
                g = g - g * c;
            g = g + 1e-30;
            g = g - 1e-30;

            // s = Σ w[t] · e[j − t], from 0, the newest error first. The sum starts from the first
            // product rather than from 0 + it: the two differ only in the sign of a zero, which changes
            // neither q nor the next error (see below).
            F2 shape = Pair::splat(0.0);
            if (count > 0) {
                shape = w[0] * newest;
#pragma GCC unroll 12
                for (int t = 1; t < (T < 0 ? kHistory : T); ++t)
                    if (T >= 0 || t < count) shape = shape + w[t] * Pair::load(e + 2 * (j + kHistory - t));
            }
            if (++j >= kHistory) j = 0;

            F2 v = o + shape;
            const F2 dither = source.next();
            F2 steps;
            if constexpr (Isa::kRoundsDown) {
                // Inside the hold's bounds the hold changes nothing, and above −1 the + h and − h around
                // the truncation change nothing either, except where d + v · h lies a hair below a
                // whole step and adding h rounds it up onto that step. So the chain goes on with the
                // argument rounded down, while the exact form is worked out beside it and takes over
                // in the rare frame where the two differ: a branch the processor predicts, off the
                // chain, where the hold and the offsets would be on it.
                const F2 x = argument(v, dither);
                steps = Isa::floor(x);
                const F2 exact = Isa::truncate(x + h) - h;
                if (__builtin_expect(Pair::any(~(Pair::abs(v) <= high) | (exact != steps)), 0)) {
                    v = hold(v);
                    steps = Isa::truncate(argument(v, dither) + h) - h;
                }
            } else {
                v = hold(v);
                steps = Isa::truncate(argument(v, dither) + h) - h;
            }
            // (trunc(…) − h) · step is exact (an integer below 2^32 scaled by a power of two), so a
            // fused multiply-add that takes it in gives the same error with one rounding step less in
            // the chain.
            const F2 q = steps * step;
            if constexpr (Isa::kFusedMultiplyAdd)
                newest = Isa::fma(steps, step, -v);
            else
                newest = q - v;
            Pair::store(e + 2 * j, newest);
            Pair::store(e + 2 * (j + kHistory), newest);
            Pair::store(out, q * Pair::splat(g));
        }

        void finish() {
            owner.position = j;
            owner.fade = g;
            source.storeTo(owner.noise);
        }

    private:
        // Far beyond full scale (only reachable with "Power" off and a wild host signal) the value is
        // held at half the 32-bit range: the conversion cannot overflow, and the error fed back stays
        // a rounding error instead of growing without bound through the shaping filter.
        ORVEL_INLINE simd::F2 hold(simd::F2 v) const {
            v = simd::Pair::max(low, v);     // v > −limit ? v : −limit, a NaN held too
            return simd::Pair::min(v, high); // v > limit ? limit : v
        }
        // d + v · h. The product is exact (a scaling by a power of two of a value far from overflow),
        // so a fused multiply-add gives the same sum.
        ORVEL_INLINE simd::F2 argument(simd::F2 v, simd::F2 dither) const {
            if constexpr (Isa::kFusedMultiplyAdd)
                return Isa::fma(v, h, dither);
            else
                return dither + v * h;
        }

        Requantizer& owner;
        const int count;
        const bool autoblack;
        const simd::F2 h, step, high, low;
        simd::F2 w[kHistory];
        double* const e;
        int j;
        simd::F2 newest;
        double g;
        const double c;
        DitherRun<Isa::kFrames> source;
    };

    // One frame for callers outside the processing paths.
    void process(double& left, double& right, double scale, bool autoblack);

    double fadeGain() const {
        return fade;
    }

private:
    // T taps (w[0 .. T−1], the rest 0), or T = −1 for any count. The newest error stays in a register
    // from one frame to the next; the older ones are read back from the history.
    template <class Isa, int T>
    ORVEL_STAGE void runTaps(const double* in, double* out, int n, double scale, bool autoblack) {
        Steps<Isa, T> steps(*this, scale, autoblack);
        for (int i = 0; i < n; ++i)
            steps.frame(in + 2 * i, out + 2 * i);
        steps.finish();
    }

    NoiseSource& noise;
    // Errors as frames (left, right), twice over, so that the last 12 lie in a row before any position.
    alignas(16) double errors[4 * kHistory] = {};
    int position = 0;
    double fade = 1e-20;
    double fadeCoefficient = 0.0;
    Relaxed<int> selected{noise_shaper::kNone};
    Relaxed<bool> restart{false};
    // The taps of the selected set up to its last nonzero one: w[0 .. taps − 1], the rest 0.
    int taps = 0;
    double tapWeight[kHistory] = {};
};
