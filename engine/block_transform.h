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
#pragma once

#include "engine/aligned_buffer.h"

class BlockTransform {
public:
    static constexpr int kMinSlots = 8;
    static constexpr int kMaxSlots = 256;

    BlockTransform();

    // z: K slots as interleaved (re, im) pairs; K one of 8, 16, 32, 64, 128, 256.
    void forward(double* z, int slots) const;
    void inverse(double* z, int slots) const;

private:
    template <int K> void forwardFixed(double* z) const;
    template <int K> void inverseFixed(double* z) const;

    AlignedBuffer<double> twist; // e^(iπr/512), r < 256, as (cos, sin) pairs
    AlignedBuffer<double> roots; // e^(2πir/256), r < 128, as (cos, sin) pairs
};
