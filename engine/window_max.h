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

    // The window's state in registers for a stretch of frames: push() the frames, then save().
    template <class Isa> struct Cursor {
        double* segment;
        double* suffix;
        simd::F2 prefix;
        int position;
        int size;

        explicit Cursor(WindowMax& w)
            : segment(w.segment.data()), suffix(w.suffix.data()), prefix(w.prefix), position(w.position),
              size(w.size) {}
        void save(WindowMax& w) const {
            w.prefix = prefix;
            w.position = position;
        }

        // Adds the newest frame (left, right) and returns the maximum of each channel over the last N.
        ORVEL_INLINE simd::F2 push(simd::F2 value) {
            using simd::Pair;
            Pair::store(segment + 2 * position, value);
            prefix = Pair::max(prefix, value);
            const simd::F2 result = Pair::max(Pair::load(suffix + 2 * (position + 1)), prefix);
            if (++position == size) closeSegment();
            return result;
        }

        // The segment is complete: its suffix maxima serve the next one. The running maximum from the
        // end is a chain of dependent steps; it runs in four quarters at once, and each quarter then
        // takes in the maximum of the quarters after it.
        void closeSegment() {
            using simd::F2;
            using simd::Pair;
            if (size < 8 || size % 4 != 0) {
                F2 running = Pair::splat(0.0);
                for (int j = size - 1; j >= 0; --j) {
                    running = Pair::max(running, Pair::load(segment + 2 * j));
                    Pair::store(suffix + 2 * j, running);
                }
            } else {
                const int q = size / 4;
                F2 r0 = Pair::splat(0.0), r1 = r0, r2 = r0, r3 = r0;
                for (int j = q - 1; j >= 0; --j) {
                    r0 = Pair::max(r0, Pair::load(segment + 2 * j));
                    r1 = Pair::max(r1, Pair::load(segment + 2 * (q + j)));
                    r2 = Pair::max(r2, Pair::load(segment + 2 * (2 * q + j)));
                    r3 = Pair::max(r3, Pair::load(segment + 2 * (3 * q + j)));
                    Pair::store(suffix + 2 * j, r0);
                    Pair::store(suffix + 2 * (q + j), r1);
                    Pair::store(suffix + 2 * (2 * q + j), r2);
                    Pair::store(suffix + 2 * (3 * q + j), r3);
                }
                const F2 after2 = r3, after1 = Pair::max(r2, after2), after0 = Pair::max(r1, after1);
                for (int j = 0; j < q; ++j) {
                    double* s0 = suffix + 2 * j;
                    Pair::store(s0, Pair::max(Pair::load(s0), after0));
                    double* s1 = suffix + 2 * (q + j);
                    Pair::store(s1, Pair::max(Pair::load(s1), after1));
                    double* s2 = suffix + 2 * (2 * q + j);
                    Pair::store(s2, Pair::max(Pair::load(s2), after2));
                }
            }
            position = 0;
            prefix = Pair::splat(0.0);
        }
    };

    // One frame for callers outside the processing paths.
    void push(double left, double right, double& maxLeft, double& maxRight);

private:
    AlignedBuffer<double> segment; // the current segment's frames
    AlignedBuffer<double> suffix;  // the previous segment's suffix maxima, and 0 after its end
    simd::F2 prefix;
    int size = kMaxLength;
    int position = 0;
};
