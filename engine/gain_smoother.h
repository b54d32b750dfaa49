// The brickwall envelope of both channels: the short-window maxima u convolved with a K-tap bell
// kernel (the main lobe of sin(x)/x, normalized to sum 1), then delayed by L = W − 2K + 2 frames:
//
//     P(n) = Σ_{i=0}^{K−1} k[i] · u(n − L − K + 1 − i)
//
// Every term's window covers the frame that leaves the look-ahead delay at n, so P(n) is never below
// that frame's detector magnitude.
//
// Short kernels (K up to kMaxDirect) take the sum directly, term by term in the order written, from a
// history of u; several frames at once in vector lanes. Longer kernels convolve block-wise through a
// fast transform: each block of K inputs is transformed with K zeros after it, multiplied by the
// kernel spectrum and transformed back; the first K outputs are used while the next block fills, the
// last K are kept as the tail that overlaps them. This adds K − 1 frames of delay, which the gain
// delay (L frames) then completes. During a block, slot j's real part receives input j, while its real
// and imaginary parts still hold outputs j and K + j of the previous block until read. Both channels
// share one stereo transform (engine/block_transform.h).
#pragma once

#include <cstring>

#include "engine/aligned_buffer.h"
#include "engine/block_transform.h"
#include "engine/frame_history.h"
#include "engine/simd.h"

class GainSmoother {
public:
    static constexpr int kMaxKernel = BlockTransform::kMaxSlots;
    static constexpr int kMaxDelay = 512;
    static constexpr int kMaxDirect = 32;

    GainSmoother();

    // Kernel length K (8 .. 256, a power of two) and gain delay L; rebuilds the kernel (and its
    // spectrum) and clears the state.
    void setLengths(int kernelLength, int gainDelay);
    void clear();
    int kernelLength() const { return length; }

    // Where the short-window maxima u of the next n frames go (left, right per frame).
    double* input(int n) { return length > kMaxDirect ? pending.data() : inputs.reserve(n); }

    // The envelope P of the n frames whose u was written at input(n). p needs room for
    // FrameHistory::kScratch frames more than n.
    template <class Isa> ORVEL_STAGE void run(double* p, int n) {
        if (length > kMaxDirect) {
            runTransformed<Isa>(pending.data(), p, n);
            return;
        }
        const double* w = inputs.head();
        switch (length) {
        case 8:
            direct<Isa, 8>(w, p, n);
            break;
        case 16:
            direct<Isa, 16>(w, p, n);
            break;
        default:
            direct<Isa, 32>(w, p, n);
            break;
        }
        inputs.commit(n);
    }

    // One frame for callers outside the processing paths.
    void push(double uL, double uR, double& pL, double& pR);

    // The normalized kernel taps k[0 .. K−1].
    const double* kernel() const { return taps.data(); }

    // Writes the K normalized taps of the bell kernel.
    static void buildKernel(int kernelLength, double* out);

private:
    template <class Isa, int K> ORVEL_STAGE void direct(const double* w, double* p, int n) const {
        using V = typename Isa::V;
        V k[K];
        for (int t = 0; t < K; ++t)
            k[t] = Isa::splat(taps[t]);
        const int back = delay + K - 1;
        int i = 0;
        // Two vectors of frames side by side: two chains of additions at once, and loads that the
        // second shares with the first.
        for (; i + 2 * Isa::kFrames <= n; i += 2 * Isa::kFrames) {
            const double* newest = w + 2 * (i - back);
            const double* next = newest + 2 * Isa::kFrames;
            V sum = Isa::splat(0.0), other = sum;
#pragma GCC unroll 32
            for (int t = 0; t < K; ++t) {
                sum = sum + k[t] * Isa::load(newest - 2 * t);
                other = other + k[t] * Isa::load(next - 2 * t);
            }
            Isa::store(p + 2 * i, sum);
            Isa::store(p + 2 * (i + Isa::kFrames), other);
        }
        for (; i < n; i += Isa::kFrames) {
            const double* newest = w + 2 * (i - back);
            V sum = Isa::splat(0.0);
#pragma GCC unroll 32
            for (int t = 0; t < K; ++t)
                sum = sum + k[t] * Isa::load(newest - 2 * t);
            Isa::store(p + 2 * i, sum);
        }
    }

    // Frame by frame: u into slot s, then the output from slot s + 1 (slot 0, after the convolution,
    // when s was the last). Between two convolutions the frames run a vector at a time: the outputs of
    // slots s + 1 .. s + kFrames are taken before the inputs go into slots s .. s + kFrames − 1, which
    // keeps every read ahead of the write that the next frame makes to the same slot.
    template <class W>
    static ORVEL_INLINE void between(double* re, double* im, double* t, const double* u, double* e, int s) {
        const int r = 2 * (s + 1);
        W::store(e, W::load(re + r) + W::load(t + r));
        W::store(t + r, W::load(im + r));
        W::store(im + r, W::splat(0.0));
        W::store(re + 2 * s, W::load(u));
    }
    template <class Isa> void runTransformed(const double* u, double* p, int n) {
        double* re = blockRe.data();
        double* im = blockIm.data();
        double* t = tail.data();
        double* e = envelope.reserve(n);
        const int k = length;
        int s = slot;
        for (int i = 0; i < n;) {
            // Frames before the block is full.
            const int run = n - i < k - 1 - s ? n - i : k - 1 - s;
            int j = 0;
            for (; j + Isa::kFrames <= run; j += Isa::kFrames)
                between<Isa>(re, im, t, u + 2 * (i + j), e + 2 * (i + j), s + j);
            for (; j < run; ++j)
                between<simd::Sse2>(re, im, t, u + 2 * (i + j), e + 2 * (i + j), s + j);
            s += run;
            i += run;
            if (i == n) break;
            // The frame that fills the block.
            simd::Pair::store(re + 2 * s, simd::Pair::load(u + 2 * i));
            convolve<Isa>(re, im);
            s = 0;
            simd::Pair::store(e + 2 * i, simd::Pair::load(re) + simd::Pair::load(t));
            simd::Pair::store(t, simd::Pair::load(im));
            simd::Pair::store(im, simd::Pair::splat(0.0));
            ++i;
        }
        slot = s;
        std::memcpy(p, e - 2 * delay, 2 * static_cast<std::size_t>(n) * sizeof(double));
        envelope.commit(n);
    }
    template <class Isa> ORVEL_STAGE void convolve(double* re, double* im) const {
        using V = typename Isa::V;
        transform.forwardStereo<Isa>(re, im, length);
        const double* hr = spectrumRe.data();
        const double* hi = spectrumIm.data();
        for (int j = 0; j < length; j += Isa::kFrames) {
            const V x = Isa::load(re + 2 * j), y = Isa::load(im + 2 * j);
            const V a = Isa::load(hr + 2 * j), b = Isa::load(hi + 2 * j);
            Isa::store(re + 2 * j, x * a - y * b);
            Isa::store(im + 2 * j, x * b + y * a);
        }
        transform.inverseStereo<Isa>(re, im, length);
    }

    BlockTransform transform;
    AlignedBuffer<double> taps;     // K
    AlignedBuffer<double> spectrum; // K slots, pre-scaled by 1/K
    // The transformed path's state, as (left, right) pairs per slot: the block's real and imaginary
    // parts, the tail; the spectrum's parts, each value for both channels.
    AlignedBuffer<double> blockRe, blockIm, tail;
    AlignedBuffer<double> spectrumRe, spectrumIm;
    FrameHistory inputs;           // u, for the direct sum
    AlignedBuffer<double> pending; // u of a block, for the transformed path
    FrameHistory envelope;         // e before the gain delay, for the transformed path
    int length = 64;
    int delay = 2;
    int slot = 0;
};
