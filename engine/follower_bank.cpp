#include "engine/follower_bank.h"

#include <cmath>

void FollowerBank::clear() {
    for (int k = 0; k < kStages; ++k)
        first[k] = second[k] = 0.0;
}

void FollowerBank::attackCoefficients(double fs, double* out) {
    for (int k = 0; k < kStages; ++k) {
        const double t = 32.0 - k * (31.0 / 7.0); // 32 ms down to 1 ms
        out[k] = 1.0 - std::exp(-1000.0 / (t * fs));
    }
}

void FollowerBank::releaseCoefficients(double fs, double releaseMs, double* out) {
    for (int k = 0; k < kStages; ++k) {
        const double t = releaseMs - k * (releaseMs - 2.0) / 7.0; // R down to 2 ms
        out[k] = 1.0 - std::exp(-1000.0 / (t * fs));
    }
}
