// A stereo signal kept as frames of two doubles (left, right) in one linear buffer, so that any of the
// last `keep` frames and the block being written lie at fixed offsets before the write position: a
// delay line, a filter history and a window all read it with plain pointer arithmetic. When the end of
// the buffer is reached, the last `keep` frames move back to its start (once every `span` frames).
//
// Blocks are written in two steps: reserve(n) gives the place of the next n frames, commit(n) makes
// them part of the history. Between the two, frame j before the block is at reserve(n) - 2 j.
#pragma once

#include "engine/aligned_buffer.h"

class FrameHistory {
public:
    // Frames the processing handles at once; every block reservation is at most this long.
    static constexpr int kMaxBlock = 128;
    // Frames beyond a block that vector code may write as scratch, or read from and compute into
    // (up to one vector less one frame).
    static constexpr int kScratch = 3;

    FrameHistory(int keep, int span);

    // Every kept frame 0, as after a reset.
    void clear();
    int kept() const { return keep; }

    // Where the next n frames (n ≤ kMaxBlock) go; kScratch more frames beyond them may be written as
    // scratch by vector code.
    double* reserve(int n) {
        if (position + n > keep + span) moveBack();
        return store.data() + 2 * position;
    }
    void commit(int n) { position += n; }
    // The write position: the frame one step back is at head() - 2.
    double* head() { return store.data() + 2 * position; }
    const double* head() const { return store.data() + 2 * position; }

private:
    void moveBack();

    AlignedBuffer<double> store;
    int keep;
    int span;
    int position;
};
