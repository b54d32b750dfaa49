// The transform behind the block convolution of the gain smoother: a real sequence x of length 2K
// held as K complex slots, slot j = (x[j], x[K + j]), K a power of two from 8 to 256.
//
// The forward transform evaluates the sequence's polynomial at the K roots of z^(2K) = −1 in the
// upper half-plane: a twist of slot j by e^(iπj/2K) followed by a K-point FFT. Since x is real, the
// values at the conjugate roots follow, so the K complex results carry the whole sequence. Products
// of two such transforms give the product modulo z^(2K) + 1, which is the plain linear convolution
// whenever the result is shorter than 2K, as a block of K samples convolved with K taps is.
//
// The FFT runs decimation in frequency forward (natural order in, bit-reversed out) and decimation in
// time inverse (bit-reversed in, natural out), so the bins stay bit-reversed in between and no
// reordering pass is needed. The inverse is unscaled: it returns K times the input of the forward.
//
// The stereo form transforms both channels at once: real parts and imaginary parts in two arrays of
// (left, right) pairs, slot after slot, so that neighbouring butterflies of both channels share vector
// lanes. Each lane goes through exactly the operations of the one-channel form, in the same order.
#pragma once

#include <utility>

#include "engine/aligned_buffer.h"
#include "engine/simd.h"

class BlockTransform {
public:
    static constexpr int kMinSlots = 8;
    static constexpr int kMaxSlots = 256;

    BlockTransform();

    // z: K slots as interleaved (re, im) pairs; K one of 8, 16, 32, 64, 128, 256.
    void forward(double* z, int slots) const;
    void inverse(double* z, int slots) const;

    // Both channels: re and im hold K (left, right) pairs each.
    template <class Isa> void forwardStereo(double* re, double* im, int slots) const {
        withSlots(slots, [&]<int K>() { forwardStereoFixed<Isa, K>(re, im); });
    }
    template <class Isa> void inverseStereo(double* re, double* im, int slots) const {
        withSlots(slots, [&]<int K>() { inverseStereoFixed<Isa, K>(re, im); });
    }

private:
    template <int K> void forwardFixed(double* z) const;
    template <int K> void inverseFixed(double* z) const;

    template <class F> static ORVEL_INLINE void withSlots(int slots, F&& f) {
        switch (slots) {
        case 8:
            f.template operator()<8>();
            break;
        case 16:
            f.template operator()<16>();
            break;
        case 32:
            f.template operator()<32>();
            break;
        case 64:
            f.template operator()<64>();
            break;
        case 128:
            f.template operator()<128>();
            break;
        case 256:
            f.template operator()<256>();
            break;
        default:
            break;
        }
    }

    // One butterfly stage over every group of `len` slots: in vectors of Isa::kFrames slots where a half
    // group holds that many, else slot by slot.
    template <class Isa, int K, int Len, bool Forward> ORVEL_INLINE void stage(double* re, double* im) const {
        constexpr int half = Len / 2;
        const double* c = rootPairs.data() + 4 * half;
        const double* s = c + 2 * half;
        if constexpr (half >= Isa::kFrames)
            butterflies<Isa, K, half, Forward>(re, im, c, s);
        else
            zippedButterflies<Isa, K, half, Forward>(re, im, c, s);
    }
    // The same ops on two vectors of whole groups at a time, halves taken apart by shuffles.
    template <class Isa, int K, int Half, bool Forward>
    static ORVEL_INLINE void zippedButterflies(double* re, double* im, const double* c, const double* s) {
        using V = typename Isa::V;
        constexpr int G = Isa::kFrames;
        const V cr = Isa::template spread<Half>(c), sr = Isa::template spread<Half>(s);
        for (int j = 0; j < K; j += 2 * G) {
            V a0, b0, a1, b1;
            Isa::template unzip<Half>(Isa::load(re + 2 * j), Isa::load(re + 2 * (j + G)), a0, b0);
            Isa::template unzip<Half>(Isa::load(im + 2 * j), Isa::load(im + 2 * (j + G)), a1, b1);
            V ar, ai, br, bi;
            if constexpr (Forward) {
                const V difRe = a0 - b0, difIm = a1 - b1;
                ar = a0 + b0;
                ai = a1 + b1;
                br = difRe * cr - difIm * sr;
                bi = difRe * sr + difIm * cr;
            } else {
                const V bRe = b0 * cr + b1 * sr, bIm = b1 * cr - b0 * sr;
                ar = a0 + bRe;
                ai = a1 + bIm;
                br = a0 - bRe;
                bi = a1 - bIm;
            }
            V v0, v1;
            Isa::template zip<Half>(ar, br, v0, v1);
            Isa::store(re + 2 * j, v0);
            Isa::store(re + 2 * (j + G), v1);
            Isa::template zip<Half>(ai, bi, v0, v1);
            Isa::store(im + 2 * j, v0);
            Isa::store(im + 2 * (j + G), v1);
        }
    }
    template <class Isa, int K, int Half, bool Forward>
    static ORVEL_INLINE void butterflies(double* re, double* im, const double* c, const double* s) {
        using V = typename Isa::V;
        for (int start = 0; start < K; start += 2 * Half) {
            double* ar = re + 2 * start;
            double* ai = im + 2 * start;
            double* br = ar + 2 * Half;
            double* bi = ai + 2 * Half;
            for (int r = 0; r < Half; r += Isa::kFrames) {
                const V a0 = Isa::load(ar + 2 * r), a1 = Isa::load(ai + 2 * r);
                const V b0 = Isa::load(br + 2 * r), b1 = Isa::load(bi + 2 * r);
                const V cr = Isa::load(c + 2 * r), sr = Isa::load(s + 2 * r);
                if constexpr (Forward) {
                    const V difRe = a0 - b0, difIm = a1 - b1;
                    Isa::store(ar + 2 * r, a0 + b0);
                    Isa::store(ai + 2 * r, a1 + b1);
                    Isa::store(br + 2 * r, difRe * cr - difIm * sr);
                    Isa::store(bi + 2 * r, difRe * sr + difIm * cr);
                } else {
                    // b · conj(root)
                    const V bRe = b0 * cr + b1 * sr, bIm = b1 * cr - b0 * sr;
                    Isa::store(ar + 2 * r, a0 + bRe);
                    Isa::store(ai + 2 * r, a1 + bIm);
                    Isa::store(br + 2 * r, a0 - bRe);
                    Isa::store(bi + 2 * r, a1 - bIm);
                }
            }
        }
    }
    template <class Isa, int K, bool Forward> ORVEL_INLINE void twistStereo(double* re, double* im) const {
        using V = typename Isa::V;
        const double* c = twistPairs.data() + 4 * K;
        const double* s = c + 2 * K;
        for (int j = 0; j < K; j += Isa::kFrames) {
            const V x = Isa::load(re + 2 * j), y = Isa::load(im + 2 * j);
            const V cj = Isa::load(c + 2 * j), sj = Isa::load(s + 2 * j);
            if constexpr (Forward) {
                Isa::store(re + 2 * j, x * cj - y * sj);
                Isa::store(im + 2 * j, x * sj + y * cj);
            } else {
                Isa::store(re + 2 * j, x * cj + y * sj);
                Isa::store(im + 2 * j, y * cj - x * sj);
            }
        }
    }
    template <class Isa, int K> ORVEL_STAGE void forwardStereoFixed(double* re, double* im) const {
        twistStereo<Isa, K, true>(re, im);
        [&]<int... L>(std::integer_sequence<int, L...>) {
            (stage<Isa, K, (K >> L), true>(re, im), ...);
        }
        (std::make_integer_sequence<int, log2(K)>{});
    }
    template <class Isa, int K> ORVEL_STAGE void inverseStereoFixed(double* re, double* im) const {
        [&]<int... L>(std::integer_sequence<int, L...>) {
            (stage<Isa, K, (2 << L), false>(re, im), ...);
        }
        (std::make_integer_sequence<int, log2(K)>{});
        twistStereo<Isa, K, false>(re, im);
    }
    static constexpr int log2(int k) { return k <= 1 ? 0 : 1 + log2(k / 2); }

    AlignedBuffer<double> twist; // e^(iπr/512), r < 256, as (cos, sin) pairs
    AlignedBuffer<double> roots; // e^(2πir/256), r < 128, as (cos, sin) pairs
    // For the stereo form, each value twice (one per channel): for K slots, at 4K, the twist cosines of
    // slots 0 .. K − 1 and then their sines; for a stage of half-groups of h slots, at 4h, the root
    // cosines of 0 .. h − 1 and then their sines.
    AlignedBuffer<double> twistPairs, rootPairs;
};
