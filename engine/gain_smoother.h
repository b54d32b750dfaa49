// The brickwall envelope of both channels: the short-window maxima u convolved with a K-tap bell
// kernel (the main lobe of sin(x)/x, normalized to sum 1), then delayed by L = W − 2K + 2 samples:
//
//     P(n) = Σ_{i=0}^{K−1} k[i] · u(n − W + K − 1 − i)
//
// Every term's window covers the sample that leaves the look-ahead delay at n, so P(n) is never below
// that sample's detector magnitude. The convolution runs block-wise: each block of K inputs is
// transformed with K zeros after it, multiplied by the kernel spectrum and transformed back; the first
// K outputs are used while the next block fills, the last K are kept as the tail that overlaps them.
// This adds K − 1 samples of delay, which the gain delay accounts for.
//
// Per channel the block holds K complex slots: during a block, slot j's real part receives input j,
// while its real and imaginary parts still hold outputs j and K + j of the previous block until read.
#pragma once

#include "engine/aligned_buffer.h"
#include "engine/block_transform.h"
#include "engine/stereo_delay.h"

class GainSmoother {
public:
    static constexpr int kMaxKernel = BlockTransform::kMaxSlots;
    static constexpr int kMaxDelay = 512;

    GainSmoother();

    // Kernel length K (8 .. 256, a power of two) and gain delay L; rebuilds the kernel spectrum and
    // clears the state.
    void setLengths(int kernelLength, int gainDelay);
    void clear();
    int kernelLength() const { return length; }

    // Pushes the short-window maxima; returns the delayed envelope P of each channel.
    void push(double uL, double uR, double& pL, double& pR) {
        double* left = blockL.data();
        double* right = blockR.data();
        left[2 * slot] = uL;
        right[2 * slot] = uR;
        if (++slot >= length) {
            convolve(left);
            convolve(right);
            slot = 0;
        }
        const double eL = left[2 * slot] + tailL[slot];
        const double eR = right[2 * slot] + tailR[slot];
        tailL[slot] = left[2 * slot + 1];
        tailR[slot] = right[2 * slot + 1];
        left[2 * slot + 1] = 0.0;
        right[2 * slot + 1] = 0.0;
        gainDelay.process(eL, eR, pL, pR);
    }

    // The normalized kernel taps k[0 .. K−1].
    const double* kernel() const { return taps.data(); }

    // Writes the K normalized taps of the bell kernel.
    static void buildKernel(int kernelLength, double* out);

private:
    void convolve(double* block) const;

    BlockTransform transform;
    AlignedBuffer<double> taps;     // K
    AlignedBuffer<double> spectrum; // K slots, pre-scaled by 1/K
    AlignedBuffer<double> blockL, blockR;
    AlignedBuffer<double> tailL, tailR;
    StereoDelay gainDelay;
    int length = 64;
    int slot = 0;
};
