// Vector types and operations for the processing kernels.
//
// The kernels are templates on an instruction-set tag (`Sse2`, `Avx2`, `Avx512` below) and are compiled
// once per set, each in its own translation unit (engine/frame_path_*.cpp, built with that set's
// options: -mavx2, or -mavx512f -mavx512dq -mavx512vl -mavx512bw -mfma). Everything
// here has internal linkage, and every kernel template takes a tag of internal linkage, so no copy
// compiled for one set can stand in for another's at link time.
//
// Every operation is an IEEE basic operation lane by lane (no reassociation, and a fused multiply-add
// only where the product is exact, so that it rounds once where the separate steps would round once
// too), so each set computes exactly the same values; only the number of lanes per instruction
// differs.
//
// Stereo data is kept as frames of two doubles (left, right): a `Pair` is one frame in a 16-byte
// vector; a tag's `V` holds `kFrames` frames.
#pragma once

#include <cstring>
#include <emmintrin.h>
#if defined(__AVX2__) || defined(__AVX512F__)
#include <immintrin.h>
#endif

namespace simd {

typedef double F2 __attribute__((vector_size(16)));
typedef long long L2 __attribute__((vector_size(16)));
typedef float S2 __attribute__((vector_size(8)));
typedef int I2 __attribute__((vector_size(8)));
#if defined(__AVX2__)
typedef double F4 __attribute__((vector_size(32)));
typedef long long L4 __attribute__((vector_size(32)));
typedef float S4 __attribute__((vector_size(16)));
typedef int I4 __attribute__((vector_size(16)));
#endif
#if defined(__AVX512F__)
typedef double F8 __attribute__((vector_size(64)));
typedef long long L8 __attribute__((vector_size(64)));
#endif

#define ORVEL_INLINE __attribute__((always_inline)) inline
#define ORVEL_INLINE_LAMBDA __attribute__((always_inline))
// For the stages' block functions: each stays a function of its own, so that one stage's code does not
// change how the compiler lays out another's.
#define ORVEL_STAGE __attribute__((noinline))

namespace {

constexpr long long kMagnitudeBits = 0x7fffffffffffffffLL;

// One stereo frame.
struct Pair {
    static ORVEL_INLINE F2 load(const double* p) {
        F2 v;
        std::memcpy(&v, p, sizeof v);
        return v;
    }
    static ORVEL_INLINE void store(double* p, F2 v) { std::memcpy(p, &v, sizeof v); }
    static ORVEL_INLINE F2 splat(double x) { return F2{x, x}; }
    static ORVEL_INLINE F2 make(double l, double r) { return F2{l, r}; }
    static ORVEL_INLINE F2 abs(F2 v) { return (F2)((L2)v & L2{kMagnitudeBits, kMagnitudeBits}); }
    // std::max and std::min, lane by lane: (x < y ? y : x) and (y < x ? y : x), which are exactly what
    // maxpd (y, x) and minpd (y, x) compute.
    static ORVEL_INLINE F2 max(F2 x, F2 y) { return (F2)_mm_max_pd((__m128d)y, (__m128d)x); }
    static ORVEL_INLINE F2 min(F2 x, F2 y) { return (F2)_mm_min_pd((__m128d)y, (__m128d)x); }
    // Both lanes hold max(left, right).
    static ORVEL_INLINE F2 maxAcross(F2 v) {
        const F2 swapped = __builtin_shufflevector(v, v, 1, 0);
        return max(v, swapped);
    }
    // Each lane rounded to single precision and back.
    static ORVEL_INLINE F2 toSingle(F2 v) { return widen(single(v)); }
    // The square of each lane's single-precision value, computed in single precision.
    static ORVEL_INLINE F2 singleSquare(F2 v) {
        const S4x s = single(v);
        return widen(s * s);
    }
    // Single precision in the low two lanes.
    typedef float S4x __attribute__((vector_size(16)));
    static ORVEL_INLINE S4x single(F2 v) { return (S4x)_mm_cvtpd_ps((__m128d)v); }
    static ORVEL_INLINE F2 widen(S4x v) { return (F2)_mm_cvtps_pd((__m128)v); }
    // Conversion to a signed 32-bit integer toward zero, and back (arguments within the int range).
    static ORVEL_INLINE F2 truncate(F2 v) {
        return __builtin_convertvector(__builtin_convertvector(v, I2), F2);
    }
    // Whether any lane of a comparison's result is true.
    static ORVEL_INLINE bool any(L2 m) { return _mm_movemask_pd((__m128d)m) != 0; }
    static ORVEL_INLINE double left(F2 v) { return v[0]; }
    static ORVEL_INLINE double right(F2 v) { return v[1]; }
};

// Baseline x86-64: one frame per vector.
struct Sse2 {
    static constexpr const char* kName = "sse2";
    static constexpr int kFrames = 1;
    static constexpr int kDoubles = 2;
    typedef F2 V;
    typedef L2 M;
    static ORVEL_INLINE V load(const double* p) { return Pair::load(p); }
    static ORVEL_INLINE void store(double* p, V v) { Pair::store(p, v); }
    static ORVEL_INLINE V splat(double x) { return V{x, x}; }
    // A frame's value in both of its lanes, for every frame of the vector: (l, r) stays (l, r).
    static ORVEL_INLINE V frames(F2 pair) { return pair; }
    static ORVEL_INLINE V loadFrames(const double* p) { return load(p); }
    static ORVEL_INLINE V toSingle(V v) { return Pair::toSingle(v); }
    static ORVEL_INLINE V abs(V v) { return Pair::abs(v); }
    static ORVEL_INLINE V max(V x, V y) { return Pair::max(x, y); }
    static ORVEL_INLINE V min(V x, V y) { return Pair::min(x, y); }
    // Lane-wise maximum (minimum) of the frames in v, as one frame.
    static ORVEL_INLINE F2 foldFrames(V v) { return v; }
    static ORVEL_INLINE F2 foldMin(V v) { return v; }
    // Left and right exchanged within each frame.
    static ORVEL_INLINE V swapChannels(V v) { return __builtin_shufflevector(v, v, 1, 0); }
    // kFrames values, each in both lanes of its frame.
    static ORVEL_INLINE V loadDoubled(const double* p) { return V{p[0], p[0]}; }
    // Whether bySign() below is a single instruction (it is on AVX2 only).
    static constexpr bool kBlendsBySign = false;
    // Whether fma(a, b, c) = a · b + c with one rounding is there (on AVX-512 only).
    static constexpr bool kFusedMultiplyAdd = false;
    // Frame K of the vector.
    template <int K> static ORVEL_INLINE F2 frame(V v) { return v; }
    static ORVEL_INLINE V singleSquare(V v) { return Pair::singleSquare(v); }
    // Each lane truncated toward zero (arguments within the signed 32-bit range).
    static ORVEL_INLINE F2 truncate(F2 v) { return Pair::truncate(v); }
    // Whether floor() below is a single instruction (it is from AVX2 on; not used here).
    static constexpr bool kRoundsDown = false;

    // Planar host channels and frame pairs, kIoFrames frames at a time.
    static constexpr int kIoFrames = 2;
    static ORVEL_INLINE void interleave(F2 l, F2 r, double* out) {
        Pair::store(out, __builtin_shufflevector(l, r, 0, 2));
        Pair::store(out + 2, __builtin_shufflevector(l, r, 1, 3));
    }
    static ORVEL_INLINE void read(const float* l, const float* r, double* out) {
        S2 a, b;
        std::memcpy(&a, l, sizeof a);
        std::memcpy(&b, r, sizeof b);
        interleave(__builtin_convertvector(a, F2), __builtin_convertvector(b, F2), out);
    }
    static ORVEL_INLINE void read(const double* l, const double* r, double* out) {
        interleave(Pair::load(l), Pair::load(r), out);
    }
    // Frames `in`, each vector passed through f, to the planar host channels. The right channel is
    // stored first, so that with l == r the left one remains.
    template <class F> static ORVEL_INLINE void write(const double* in, float* l, float* r, F f) {
        const F2 a = f(Pair::load(in)), b = f(Pair::load(in + 2));
        const S2 left = __builtin_convertvector(__builtin_shufflevector(a, b, 0, 2), S2);
        const S2 right = __builtin_convertvector(__builtin_shufflevector(a, b, 1, 3), S2);
        std::memcpy(r, &right, sizeof right);
        std::memcpy(l, &left, sizeof left);
    }
    template <class F> static ORVEL_INLINE void write(const double* in, double* l, double* r, F f) {
        const F2 a = f(Pair::load(in)), b = f(Pair::load(in + 2));
        Pair::store(r, __builtin_shufflevector(a, b, 1, 3));
        Pair::store(l, __builtin_shufflevector(a, b, 0, 2));
    }
};

#if defined(__AVX2__)
// AVX2: two frames per vector.
struct Avx2 {
    static constexpr const char* kName = "avx2";
    static constexpr int kFrames = 2;
    static constexpr int kDoubles = 4;
    typedef F4 V;
    typedef L4 M;
    static ORVEL_INLINE V load(const double* p) {
        V v;
        std::memcpy(&v, p, sizeof v);
        return v;
    }
    static ORVEL_INLINE void store(double* p, V v) { std::memcpy(p, &v, sizeof v); }
    static ORVEL_INLINE V splat(double x) { return V{x, x, x, x}; }
    static ORVEL_INLINE V frames(F2 pair) { return __builtin_shufflevector(pair, pair, 0, 1, 0, 1); }
    static ORVEL_INLINE V abs(V v) {
        return (V)((M)v & M{kMagnitudeBits, kMagnitudeBits, kMagnitudeBits, kMagnitudeBits});
    }
    static ORVEL_INLINE V max(V x, V y) { return (V)_mm256_max_pd((__m256d)y, (__m256d)x); }
    static ORVEL_INLINE V min(V x, V y) { return (V)_mm256_min_pd((__m256d)y, (__m256d)x); }
    // Broadcast of one frame to both halves, straight from memory.
    static ORVEL_INLINE V loadFrames(const double* p) { return (V)_mm256_broadcast_pd((const __m128d*)p); }
    static ORVEL_INLINE V toSingle(V v) { return (V)_mm256_cvtps_pd(_mm256_cvtpd_ps((__m256d)v)); }
    static ORVEL_INLINE V swapChannels(V v) { return __builtin_shufflevector(v, v, 1, 0, 3, 2); }
    static ORVEL_INLINE V loadDoubled(const double* p) {
        const F2 pair = Pair::load(p);
        return __builtin_shufflevector(pair, pair, 0, 0, 1, 1);
    }
    static constexpr bool kFusedMultiplyAdd = false;
    // Lane by lane: `positive` where the sign bit of x is clear, `negative` where it is set.
    static constexpr bool kBlendsBySign = true;
    static ORVEL_INLINE V bySign(V x, V positive, V negative) {
        return (V)_mm256_blendv_pd((__m256d)positive, (__m256d)negative, (__m256d)x);
    }
    template <int K> static ORVEL_INLINE F2 frame(V v) {
        return __builtin_shufflevector(v, v, 2 * K, 2 * K + 1);
    }
    // The frames O steps before those of `current`, from it and the vector before it.
    template <int O> static ORVEL_INLINE V shiftIn(V previous, V current) {
        static_assert(O == 1);
        return __builtin_shufflevector(previous, current, 2, 3, 4, 5);
    }
    // Frames of two vectors in runs of H: unzip puts the even runs into a and the odd ones into b, zip
    // undoes it; spread(p) repeats the H frames at p over a vector.
    template <int H> static ORVEL_INLINE void unzip(V v0, V v1, V& a, V& b) {
        static_assert(H == 1);
        a = __builtin_shufflevector(v0, v1, 0, 1, 4, 5);
        b = __builtin_shufflevector(v0, v1, 2, 3, 6, 7);
    }
    template <int H> static ORVEL_INLINE void zip(V a, V b, V& v0, V& v1) {
        static_assert(H == 1);
        v0 = __builtin_shufflevector(a, b, 0, 1, 4, 5);
        v1 = __builtin_shufflevector(a, b, 2, 3, 6, 7);
    }
    template <int H> static ORVEL_INLINE V spread(const double* p) {
        static_assert(H == 1);
        return loadFrames(p);
    }
    static ORVEL_INLINE V singleSquare(V v) {
        const __m128 s = _mm256_cvtpd_ps((__m256d)v);
        return (V)_mm256_cvtps_pd(_mm_mul_ps(s, s));
    }
    // The same value as the conversion to a 32-bit integer and back, in one rounding instruction.
    static ORVEL_INLINE F2 truncate(F2 v) {
        return (F2)_mm_round_pd((__m128d)v, _MM_FROUND_TO_ZERO | _MM_FROUND_NO_EXC);
    }
    static constexpr bool kRoundsDown = true;
    // Each lane rounded toward −∞ to a whole number.
    static ORVEL_INLINE F2 floor(F2 v) {
        return (F2)_mm_round_pd((__m128d)v, _MM_FROUND_TO_NEG_INF | _MM_FROUND_NO_EXC);
    }
    static ORVEL_INLINE F2 foldFrames(V v) {
        const F2 lo = __builtin_shufflevector(v, v, 0, 1);
        const F2 hi = __builtin_shufflevector(v, v, 2, 3);
        return Pair::max(lo, hi);
    }
    static ORVEL_INLINE F2 foldMin(V v) {
        const F2 lo = __builtin_shufflevector(v, v, 0, 1);
        const F2 hi = __builtin_shufflevector(v, v, 2, 3);
        return Pair::min(lo, hi);
    }

    static constexpr int kIoFrames = 4;
    static ORVEL_INLINE void interleave(V l, V r, double* out) {
        const V lo = __builtin_shufflevector(l, r, 0, 4, 2, 6); // L0 R0 L2 R2
        const V hi = __builtin_shufflevector(l, r, 1, 5, 3, 7); // L1 R1 L3 R3
        store(out, __builtin_shufflevector(lo, hi, 0, 1, 4, 5));
        store(out + 4, __builtin_shufflevector(lo, hi, 2, 3, 6, 7));
    }
    static ORVEL_INLINE void read(const float* l, const float* r, double* out) {
        interleave((V)_mm256_cvtps_pd(_mm_loadu_ps(l)), (V)_mm256_cvtps_pd(_mm_loadu_ps(r)), out);
    }
    static ORVEL_INLINE void read(const double* l, const double* r, double* out) {
        interleave(load(l), load(r), out);
    }
    template <class F> static ORVEL_INLINE void split(const double* in, V& left, V& right, F f) {
        const V a = f(load(in)), b = f(load(in + 4));           // L0 R0 L1 R1, L2 R2 L3 R3
        const V lo = __builtin_shufflevector(a, b, 0, 1, 4, 5); // L0 R0 L2 R2
        const V hi = __builtin_shufflevector(a, b, 2, 3, 6, 7); // L1 R1 L3 R3
        left = __builtin_shufflevector(lo, hi, 0, 4, 2, 6);
        right = __builtin_shufflevector(lo, hi, 1, 5, 3, 7);
    }
    template <class F> static ORVEL_INLINE void write(const double* in, float* l, float* r, F f) {
        V left, right;
        split(in, left, right, f);
        _mm_storeu_ps(r, _mm256_cvtpd_ps((__m256d)right));
        _mm_storeu_ps(l, _mm256_cvtpd_ps((__m256d)left));
    }
    template <class F> static ORVEL_INLINE void write(const double* in, double* l, double* r, F f) {
        V left, right;
        split(in, left, right, f);
        store(r, right);
        store(l, left);
    }
};
#endif

#if defined(__AVX512F__) && defined(__AVX512DQ__) && defined(__AVX512VL__) && defined(__AVX512BW__) &&       \
    defined(__FMA__)
// AVX-512 (F, DQ, VL, BW): four frames per vector.
// The operations are written in their merging forms with a full mask: the same instructions, without
// the undefined source operand that GCC 12 warns about in the plain forms.
struct Avx512 {
    static constexpr const char* kName = "avx512";
    static constexpr int kFrames = 4;
    static constexpr int kDoubles = 8;
    typedef F8 V;
    typedef L8 M;
    static ORVEL_INLINE V load(const double* p) {
        V v;
        std::memcpy(&v, p, sizeof v);
        return v;
    }
    static ORVEL_INLINE void store(double* p, V v) { std::memcpy(p, &v, sizeof v); }
    static ORVEL_INLINE V splat(double x) { return V{x, x, x, x, x, x, x, x}; }
    static ORVEL_INLINE V frames(F2 pair) {
        return __builtin_shufflevector(pair, pair, 0, 1, 0, 1, 0, 1, 0, 1);
    }
    static ORVEL_INLINE V abs(V v) {
        const long long k = kMagnitudeBits;
        return (V)((M)v & M{k, k, k, k, k, k, k, k});
    }
    static constexpr __mmask8 kAll = 0xff;
    static ORVEL_INLINE V max(V x, V y) {
        return (V)_mm512_mask_max_pd((__m512d)y, kAll, (__m512d)y, (__m512d)x);
    }
    static ORVEL_INLINE V min(V x, V y) {
        return (V)_mm512_mask_min_pd((__m512d)y, kAll, (__m512d)y, (__m512d)x);
    }
    static ORVEL_INLINE V loadFrames(const double* p) {
        const __m128d pair = _mm_loadu_pd(p);
        return (V)_mm512_mask_broadcast_f64x2(_mm512_castpd128_pd512(pair), kAll, pair);
    }
    static ORVEL_INLINE __m256 single(V v) {
        return _mm512_mask_cvtpd_ps(_mm256_setzero_ps(), kAll, (__m512d)v);
    }
    static ORVEL_INLINE V widen(__m256 v) { return (V)_mm512_mask_cvtps_pd(_mm512_setzero_pd(), kAll, v); }
    static ORVEL_INLINE V toSingle(V v) { return widen(single(v)); }
    static ORVEL_INLINE V swapChannels(V v) { return __builtin_shufflevector(v, v, 1, 0, 3, 2, 5, 4, 7, 6); }
    // A mask from the sign bits costs more here than the comparison it would replace.
    static constexpr bool kBlendsBySign = false;
    // Every processor with AVX-512 has FMA3; the path asks for both (engine/frame_path.cpp).
    static constexpr bool kFusedMultiplyAdd = true;
    static ORVEL_INLINE F2 fma(F2 a, F2 b, F2 c) {
        return (F2)_mm_fmadd_pd((__m128d)a, (__m128d)b, (__m128d)c);
    }
    static ORVEL_INLINE V loadDoubled(const double* p) {
        F4 four;
        std::memcpy(&four, p, sizeof four);
        return __builtin_shufflevector(four, four, 0, 0, 1, 1, 2, 2, 3, 3);
    }
    template <int K> static ORVEL_INLINE F2 frame(V v) {
        return __builtin_shufflevector(v, v, 2 * K, 2 * K + 1);
    }
    template <int H> static ORVEL_INLINE void unzip(V v0, V v1, V& a, V& b) {
        static_assert(H == 1 || H == 2);
        if constexpr (H == 1) {
            a = __builtin_shufflevector(v0, v1, 0, 1, 4, 5, 8, 9, 12, 13);
            b = __builtin_shufflevector(v0, v1, 2, 3, 6, 7, 10, 11, 14, 15);
        } else {
            a = __builtin_shufflevector(v0, v1, 0, 1, 2, 3, 8, 9, 10, 11);
            b = __builtin_shufflevector(v0, v1, 4, 5, 6, 7, 12, 13, 14, 15);
        }
    }
    template <int H> static ORVEL_INLINE void zip(V a, V b, V& v0, V& v1) {
        static_assert(H == 1 || H == 2);
        if constexpr (H == 1) {
            v0 = __builtin_shufflevector(a, b, 0, 1, 8, 9, 2, 3, 10, 11);
            v1 = __builtin_shufflevector(a, b, 4, 5, 12, 13, 6, 7, 14, 15);
        } else {
            v0 = __builtin_shufflevector(a, b, 0, 1, 2, 3, 8, 9, 10, 11);
            v1 = __builtin_shufflevector(a, b, 4, 5, 6, 7, 12, 13, 14, 15);
        }
    }
    template <int H> static ORVEL_INLINE V spread(const double* p) {
        static_assert(H == 1 || H == 2);
        if constexpr (H == 1) {
            return loadFrames(p);
        } else {
            F4 two;
            std::memcpy(&two, p, sizeof two);
            return __builtin_shufflevector(two, two, 0, 1, 2, 3, 0, 1, 2, 3);
        }
    }
    template <int O> static ORVEL_INLINE V shiftIn(V previous, V current) {
        static_assert(O == 1 || O == 2);
        if constexpr (O == 1)
            return __builtin_shufflevector(previous, current, 6, 7, 8, 9, 10, 11, 12, 13);
        else
            return __builtin_shufflevector(previous, current, 4, 5, 6, 7, 8, 9, 10, 11);
    }
    static ORVEL_INLINE V singleSquare(V v) {
        const __m256 s = single(v);
        return widen(_mm256_mul_ps(s, s));
    }
    static ORVEL_INLINE F2 truncate(F2 v) {
        return (F2)_mm_round_pd((__m128d)v, _MM_FROUND_TO_ZERO | _MM_FROUND_NO_EXC);
    }
    static constexpr bool kRoundsDown = true;
    // Each lane rounded toward −∞ to a whole number.
    static ORVEL_INLINE F2 floor(F2 v) {
        return (F2)_mm_round_pd((__m128d)v, _MM_FROUND_TO_NEG_INF | _MM_FROUND_NO_EXC);
    }
    static ORVEL_INLINE F2 foldFrames(V v) {
        const F4 lo = __builtin_shufflevector(v, v, 0, 1, 2, 3);
        const F4 hi = __builtin_shufflevector(v, v, 4, 5, 6, 7);
        const F4 m = (F4)_mm256_max_pd((__m256d)hi, (__m256d)lo);
        return Pair::max(__builtin_shufflevector(m, m, 0, 1), __builtin_shufflevector(m, m, 2, 3));
    }
    static ORVEL_INLINE F2 foldMin(V v) {
        const F4 lo = __builtin_shufflevector(v, v, 0, 1, 2, 3);
        const F4 hi = __builtin_shufflevector(v, v, 4, 5, 6, 7);
        const F4 m = (F4)_mm256_min_pd((__m256d)hi, (__m256d)lo);
        return Pair::min(__builtin_shufflevector(m, m, 0, 1), __builtin_shufflevector(m, m, 2, 3));
    }

    static constexpr int kIoFrames = 8;
    static ORVEL_INLINE void interleave(V l, V r, double* out) {
        store(out, __builtin_shufflevector(l, r, 0, 8, 1, 9, 2, 10, 3, 11));
        store(out + 8, __builtin_shufflevector(l, r, 4, 12, 5, 13, 6, 14, 7, 15));
    }
    static ORVEL_INLINE void read(const float* l, const float* r, double* out) {
        interleave(widen(_mm256_loadu_ps(l)), widen(_mm256_loadu_ps(r)), out);
    }
    static ORVEL_INLINE void read(const double* l, const double* r, double* out) {
        interleave(load(l), load(r), out);
    }
    template <class F> static ORVEL_INLINE void split(const double* in, V& left, V& right, F f) {
        const V a = f(load(in)), b = f(load(in + 8));
        left = __builtin_shufflevector(a, b, 0, 2, 4, 6, 8, 10, 12, 14);
        right = __builtin_shufflevector(a, b, 1, 3, 5, 7, 9, 11, 13, 15);
    }
    template <class F> static ORVEL_INLINE void write(const double* in, float* l, float* r, F f) {
        V left, right;
        split(in, left, right, f);
        _mm256_storeu_ps(r, single(right));
        _mm256_storeu_ps(l, single(left));
    }
    template <class F> static ORVEL_INLINE void write(const double* in, double* l, double* r, F f) {
        V left, right;
        split(in, left, right, f);
        store(r, right);
        store(l, left);
    }
};
#endif

} // namespace
} // namespace simd
