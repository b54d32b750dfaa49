// Vector types and operations for the processing kernels.
//
// The kernels are templates on an instruction-set tag (`Sse2`, `Avx2` below) and are compiled once per
// set, each in its own translation unit (engine/frame_path_*.cpp, the AVX2 one with -mavx2). Everything
// here has internal linkage, and every kernel template takes a tag of internal linkage, so no copy
// compiled for one set can stand in for another's at link time.
//
// Every operation is an IEEE basic operation lane by lane (no fused multiply-add, no reassociation),
// so each set computes exactly the same values; only the number of lanes per instruction differs.
//
// Stereo data is kept as frames of two doubles (left, right): a `Pair` is one frame in a 16-byte
// vector; a tag's `V` holds `kFrames` frames.
#pragma once

#include <cstring>

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

#define ORVEL_INLINE __attribute__((always_inline)) inline

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
    // std::max and std::min, lane by lane: (x < y ? y : x) and (y < x ? y : x).
    static ORVEL_INLINE F2 max(F2 x, F2 y) { return x < y ? y : x; }
    static ORVEL_INLINE F2 min(F2 x, F2 y) { return y < x ? y : x; }
    // Both lanes hold max(left, right).
    static ORVEL_INLINE F2 maxAcross(F2 v) {
        const F2 swapped = __builtin_shufflevector(v, v, 1, 0);
        return max(v, swapped);
    }
    // Each lane rounded to single precision and back.
    static ORVEL_INLINE F2 toSingle(F2 v) {
        return __builtin_convertvector(__builtin_convertvector(v, S2), F2);
    }
    // The square of each lane's single-precision value, computed in single precision.
    static ORVEL_INLINE F2 singleSquare(F2 v) {
        const S2 s = __builtin_convertvector(v, S2);
        return __builtin_convertvector(s * s, F2);
    }
    // Conversion to a signed 32-bit integer toward zero, and back (arguments within the int range).
    static ORVEL_INLINE F2 truncate(F2 v) {
        return __builtin_convertvector(__builtin_convertvector(v, I2), F2);
    }
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
    static ORVEL_INLINE V abs(V v) { return Pair::abs(v); }
    static ORVEL_INLINE V max(V x, V y) { return x < y ? y : x; }
    static ORVEL_INLINE V min(V x, V y) { return y < x ? y : x; }
    // Lane-wise maximum of the frames in v, as one frame.
    static ORVEL_INLINE F2 foldFrames(V v) { return v; }
    // Two pairs divided lane by lane at once: (a / b, c / d).
    static ORVEL_INLINE void divide(F2 a, F2 b, F2 c, F2 d, F2& ab, F2& cd) {
        ab = a / b;
        cd = c / d;
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
    static ORVEL_INLINE V max(V x, V y) { return x < y ? y : x; }
    static ORVEL_INLINE V min(V x, V y) { return y < x ? y : x; }
    static ORVEL_INLINE F2 foldFrames(V v) {
        const F2 lo = __builtin_shufflevector(v, v, 0, 1);
        const F2 hi = __builtin_shufflevector(v, v, 2, 3);
        return Pair::max(lo, hi);
    }
    static ORVEL_INLINE void divide(F2 a, F2 b, F2 c, F2 d, F2& ab, F2& cd) {
        const V q = __builtin_shufflevector(a, c, 0, 1, 2, 3) / __builtin_shufflevector(b, d, 0, 1, 2, 3);
        ab = __builtin_shufflevector(q, q, 0, 1);
        cd = __builtin_shufflevector(q, q, 2, 3);
    }
};
#endif

} // namespace
} // namespace simd
