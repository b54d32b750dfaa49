// A pair of circular delay lines (left, right) with one shared position. Each call returns the values
// written `length` calls ago and stores the new ones.
#pragma once

#include "engine/aligned_buffer.h"

class StereoDelay {
public:
    explicit StereoDelay(int capacity);

    // Lengths beyond the storage are clamped; the content is kept (callers clear on reset).
    void setLength(int length);
    int length() const { return size; }
    void clear();

    void process(double inL, double inR, double& outL, double& outR) {
        double* left = store.data();
        double* right = left + capacity;
        outL = left[position];
        outR = right[position];
        left[position] = inL;
        right[position] = inR;
        // ">=" so that a position left beyond a shortened length still wraps inside the storage.
        if (++position >= size) position = 0;
    }

private:
    AlignedBuffer<double> store;
    int capacity;
    int size;
    int position = 0;
};
