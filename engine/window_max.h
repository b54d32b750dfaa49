// Sliding-window maximum over the last N frames of both channels at once (N up to kMaxLength), in
// constant time per frame and without data-dependent branches (van Herk / Gil-Werman):
//
// the frames since the last reset are cut into segments of N. For the frame at position p of the
// current segment, the window is positions 0..p of this segment, whose running maximum `prefix` is
// kept, and positions p+1..N-1 of the previous segment, whose maxima from each position to its end
// (`suffix`) were computed once when that segment was complete. Before the first segment everything
// counts as 0, as a window cleared to 0 would.
//
// The maxima are exact, so the result is the same as any other way of taking them.
#pragma once

#include "engine/aligned_buffer.h"
#include "engine/simd.h"

class WindowMax {
public:
    static constexpr int kMaxLength = 512;

    WindowMax();

    // Changes the window length and clears the window.
    void setLength(int length);
    int length() const { return size; }
    void clear();

    // Adds the newest frame (left, right) and returns the maximum of each channel over the last N.
    template <class Isa> simd::F2 push(simd::F2 value) {
        using simd::Pair;
        double* current = segment.data();
        Pair::store(current + 2 * position, value);
        prefix = Pair::max(prefix, value);
        const simd::F2 result = Pair::max(Pair::load(suffix.data() + 2 * (position + 1)), prefix);
        if (++position == size) closeSegment<Isa>();
        return result;
    }

    // The same for callers outside the processing paths.
    void push(double left, double right, double& maxLeft, double& maxRight);

private:
    template <class Isa> void closeSegment() {
        using simd::Pair;
        const double* current = segment.data();
        double* tail = suffix.data();
        simd::F2 running = Pair::splat(0.0);
        for (int j = size - 1; j >= 0; --j) {
            running = Pair::max(running, Pair::load(current + 2 * j));
            Pair::store(tail + 2 * j, running);
        }
        position = 0;
        prefix = Pair::splat(0.0);
    }

    AlignedBuffer<double> segment; // the current segment's frames
    AlignedBuffer<double> suffix;  // the previous segment's suffix maxima, and 0 after its end
    simd::F2 prefix;
    int size = kMaxLength;
    int position = 0;
};
