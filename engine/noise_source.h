// Three xor-shift registers whose combined word gives uniform values in [−1, 1). The requantizer's
// dither and the calibration generator share one source; they never run in the same block.
#pragma once

#include <cstdint>

#include "engine/simd.h"

class NoiseSource {
public:
    void reset() {
        g1 = 592;
        g2 = 153768;
        g3 = 1526;
    }

    // Always inlined: the processing paths compiled for different instruction sets each keep their own.
    __attribute__((always_inline)) double uniform() {
        // ((((g >> a) ^ g) >> b) & m) ^ (g << c), with the shifts distributed over the xor: the same
        // value, one dependent step shorter.
        g1 = (((g1 >> 15) ^ (g1 >> 6)) & 0x1FFFu) ^ (g1 << 13);
        g2 = (((g2 >> 9) ^ (g2 >> 7)) & 0xFFFFFu) ^ (g2 << 20);
        g3 = (((g3 >> 14) ^ (g3 >> 8)) & 0x1FFFFu) ^ (g3 << 17);
        return static_cast<double>(g1 ^ g2 ^ g3) * 2.3283064365e-10 * 2.0 - 1.0;
    }

    // The registers, open to the requantizer's dither run, which keeps them in vector lanes.
    std::uint32_t g1 = 592, g2 = 153768, g3 = 1526;
};

namespace {

// The requantizer's dither of one frame, ((u1, u3) + (u2, u4)) / 2 from four uniforms in a row, for a
// stretch of frames on a processing path with Frames frames per vector: the source's state in locals,
// handed back by storeTo().
template <int Frames> class DitherRun {
public:
    explicit DitherRun(const NoiseSource& s) : source(s) {}
    ORVEL_INLINE simd::F2 next() {
        const double u1 = source.uniform();
        const double u2 = source.uniform();
        const double u3 = source.uniform();
        const double u4 = source.uniform();
        return (simd::Pair::make(u1, u3) + simd::Pair::make(u2, u4)) * simd::Pair::splat(0.5);
    }
    void storeTo(NoiseSource& s) const { s = source; }

private:
    NoiseSource source;
};

#if defined(__AVX2__)
// With AVX2 the three registers step side by side in the lanes of one vector (the fourth lane stays 0),
// with a shift count per lane, and the four words' values are taken together: the same numbers from a
// third of the instructions, which the requantizer's loop otherwise spends most of its time issuing.
template <int Frames>
requires(Frames > 1) class DitherRun<Frames> {
public:
    explicit DitherRun(const NoiseSource& s)
        : g(_mm_setr_epi32(static_cast<int>(s.g1), static_cast<int>(s.g2), static_cast<int>(s.g3), 0)) {}
    ORVEL_INLINE simd::F2 next() {
        const __m128i g1 = step(g), g2 = step(g1), g3 = step(g2), g4 = step(g3);
        g = g4;
        // Register r of step k at lane r of gk: transposed, lane k holds g1 ^ g2 ^ g3 of step k.
        const __m128i a = _mm_unpacklo_epi32(g1, g2), b = _mm_unpacklo_epi32(g3, g4);
        const __m128i c = _mm_unpackhi_epi32(g1, g2), d = _mm_unpackhi_epi32(g3, g4);
        const __m128i words = _mm_xor_si128(_mm_xor_si128(_mm_unpacklo_epi64(a, b), _mm_unpackhi_epi64(a, b)),
                                            _mm_unpacklo_epi64(c, d));
        // Unsigned words to double, exactly: as signed after flipping the top bit, then 2^31 back on.
        const __m256d value = _mm256_add_pd(
            _mm256_cvtepi32_pd(_mm_xor_si128(words, _mm_set1_epi32(static_cast<int>(0x80000000u)))),
            _mm256_set1_pd(2147483648.0));
        const __m256d u = _mm256_sub_pd(
            _mm256_mul_pd(_mm256_mul_pd(value, _mm256_set1_pd(2.3283064365e-10)), _mm256_set1_pd(2.0)),
            _mm256_set1_pd(1.0));
        const __m128d low = _mm256_castpd256_pd128(u), high = _mm256_extractf128_pd(u, 1);
        const __m128d sum = _mm_add_pd(_mm_unpacklo_pd(low, high), _mm_unpackhi_pd(low, high));
        return (simd::F2)_mm_mul_pd(sum, _mm_set1_pd(0.5));
    }
    void storeTo(NoiseSource& s) const {
        s.g1 = static_cast<std::uint32_t>(_mm_extract_epi32(g, 0));
        s.g2 = static_cast<std::uint32_t>(_mm_extract_epi32(g, 1));
        s.g3 = static_cast<std::uint32_t>(_mm_extract_epi32(g, 2));
    }

private:
    static ORVEL_INLINE __m128i step(__m128i v) {
        const __m128i a = _mm_setr_epi32(15, 9, 14, 0), b = _mm_setr_epi32(6, 7, 8, 0);
        const __m128i c = _mm_setr_epi32(13, 20, 17, 0), m = _mm_setr_epi32(0x1FFF, 0xFFFFF, 0x1FFFF, 0);
        const __m128i mixed = _mm_and_si128(_mm_xor_si128(_mm_srlv_epi32(v, a), _mm_srlv_epi32(v, b)), m);
        return _mm_xor_si128(mixed, _mm_sllv_epi32(v, c));
    }
    __m128i g;
};
#endif

} // namespace
