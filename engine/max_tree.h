// Sliding-window maximum over the last N values, N a power of two up to kMaxLength.
//
// Layout: nodes 1 .. 2N-1 of one array; leaves N .. 2N-1 (leaf N + p holds the value written at window
// position p); inner node k holds max(node 2k, node 2k+1), so node 1 is the window maximum. Node 0 holds
// a sentinel far above any detector value so that a climb always stops at the root. An update touches
// only the path whose maximum actually changes, and ties never climb.
#pragma once

#include "engine/aligned_buffer.h"

class MaxTree {
public:
    static constexpr int kMaxLength = 512;
    static constexpr double kSentinel = 1e10;

    MaxTree();

    // Changes the window length and clears the window.
    void setLength(int length);
    int length() const { return size; }
    void clear();

    // Writes v at window position p (0 .. N-1) and restores the maxima above it.
    void update(int p, double v) {
        double* node = nodes.data();
        int i = size + p;
        const double old = node[i];
        node[i] = v;
        if (v > old) {
            while (v > node[i ^ 1]) {
                i >>= 1;
                node[i] = v;
            }
        } else if (old > node[i ^ 1]) {
            do {
                i >>= 1;
                const double a = node[2 * i], b = node[2 * i + 1];
                node[i] = a > b ? a : b;
            } while (old > node[i ^ 1]);
        }
    }

    double max() const { return nodes[1]; }

private:
    AlignedBuffer<double> nodes;
    int size = kMaxLength;
};
