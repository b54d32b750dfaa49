// Sliding-window maxima of both channels over the last N frames (N up to kMaxLength), for any number of
// window lengths at once, block-wise and in vector lanes over the frames, without data-dependent
// branches:
//
// level 0 holds the values themselves, level j the maximum over the last 2^j frames, taken from level
// j − 1 as the larger of its value at the frame and 2^(j−1) frames before. A window of N frames, with
// 2^j ≤ N < 2^(j+1), is the larger of level j at the frame and N − 2^j frames before: two spans of
// 2^j frames that overlap and together cover exactly the last N. Every level keeps 2^j frames of
// history in one buffer; before the first frame everything counts as 0, as a window cleared to 0
// would.
//
// The maxima are exact, so the result is the same as any other way of taking them.
#pragma once

#include <utility>

#include "engine/aligned_buffer.h"
#include "engine/frame_history.h"
#include "engine/simd.h"

class WindowMax {
public:
    static constexpr int kMaxLength = 512;
    static constexpr int kLevels = 10; // 2^9 = kMaxLength

    WindowMax();

    // The longest window that will be asked for; clears the window.
    void setLength(int length);
    int length() const { return size; }
    void clear();

    // A block of n frames (n ≤ FrameHistory::kMaxBlock): the values at input(n) (left, right per
    // frame; FrameHistory::kScratch frames beyond them may be written too), run(n), then the maxima
    // of the block's frames, then commit(n).
    double* input(int n) {
        if (position + n > kSpan) moveBack();
        return level(0);
    }
    template <class Isa> ORVEL_STAGE void run(int n) {
        switch (levels) {
        case 2:
            runLevels<Isa, 2>(n);
            break;
        case 3:
            runLevels<Isa, 3>(n);
            break;
        case 4:
            runLevels<Isa, 4>(n);
            break;
        case 5:
            runLevels<Isa, 5>(n);
            break;
        case 6:
            runLevels<Isa, 6>(n);
            break;
        case 7:
            runLevels<Isa, 7>(n);
            break;
        case 8:
            runLevels<Isa, 8>(n);
            break;
        case 9:
            runLevels<Isa, 9>(n);
            break;
        case 10:
            runLevels<Isa, 10>(n);
            break;
        default:
            break;
        }
    }
    // The maxima over the last `length` frames (1 ≤ length ≤ length()) of the block's frames: for
    // frame i the larger of the two spans' values at newer + 2 i and older + 2 i.
    struct Spans {
        const double* newer;
        const double* older;
        template <class Isa> ORVEL_INLINE typename Isa::V at(int i) const {
            return Isa::max(Isa::load(newer + 2 * i), Isa::load(older + 2 * i));
        }
    };
    Spans maxima(int length) const {
        const int j = 31 - __builtin_clz(static_cast<unsigned>(length));
        const double* newer = level(j);
        return {newer, newer - 2 * (length - (1 << j))};
    }
    // The values of the block, as written at input(n).
    const double* block() const { return level(0); }
    void commit(int n) { position += n; }

    // One frame for callers outside the processing paths.
    void push(double left, double right, double& maxLeft, double& maxRight);

private:
    // All L levels in one pass over the block, a vector of frames at a time, each level taken from the
    // one below while it is in a register. Where the look-back is within one vector, the older frames
    // come from the previous vector of the level below (kept in a register), not from memory: a load
    // that straddles two recent stores would wait for them to reach the cache.
    template <class Isa, int L> ORVEL_INLINE void runLevels(int n) {
        using V = typename Isa::V;
        constexpr int G = Isa::kFrames;
        // The levels' places in locals: the stores below might otherwise alias the members.
        double* const at = level(0);
        constexpr int stride = 2 * kStride;
        V previous[L];
        for (int j = 0; j < L; ++j)
            previous[j] = Isa::load(at + j * stride - 2 * G);
        for (int i = 0; i < n; i += G) {
            V current = Isa::load(at + 2 * i);
            // Level Below + 1 from level Below, which looks back 2^Below frames.
            // (The tag as a parameter of its own keeps shiftIn a dependent name, which the compiler
            // looks up only where the branch is taken.)
            const auto step = [&]<int Below, class Tag = Isa>() ORVEL_INLINE_LAMBDA {
                constexpr int back = 1 << Below;
                V older;
                if constexpr (back < G)
                    older = Tag::template shiftIn<back>(previous[Below], current);
                else if constexpr (back == G)
                    older = previous[Below];
                else
                    older = Isa::load(at + Below * stride + 2 * (i - back));
                if constexpr (back <= G) previous[Below] = current;
                current = Isa::max(current, older);
                Isa::store(at + (Below + 1) * stride + 2 * i, current);
            };
            [&]<int... J>(std::integer_sequence<int, J...>) {
                (step.template operator()<J>(), ...);
            }
            (std::make_integer_sequence<int, L - 1>{});
        }
    }

    static constexpr int kSpan = FrameHistory::kMaxBlock * 16; // frames between two moves

    // Level j's place for frame 0 of the block; frame k before it at level(j) − 2 k, k ≤ max(2^j, 8).
    double* level(int j) { return store.data() + 2 * (j * kStride + kMaxLength + position); }
    const double* level(int j) const { return store.data() + 2 * (j * kStride + kMaxLength + position); }
    void moveBack();

    // Frames per level: the levels lie 640 bytes apart within a 4 KiB page. Whole pages apart, a load
    // from one level and a recent store to another would match in the address bits the processor
    // compares first, and the load would wait.
    static constexpr int kStride = (kMaxLength + kSpan + FrameHistory::kScratch + 255) / 256 * 256 + 40;
    AlignedBuffer<double> store;
    int size = kMaxLength;
    int levels = kLevels;
    int position = 0;
};
