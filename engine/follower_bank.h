// Eight parallel attack/release followers of one channel's linked long-window peak, in two stages.
// Stage k attacks with time 32 − k · 31/7 ms and releases from the "Release" time R down to 2 ms, so
// the maximum over the stages releases fast after short peaks and slowly after sustained ones.
#pragma once

#include <algorithm>
#include <cmath>

class FollowerBank {
public:
    static constexpr int kStages = 8;

    void clear();

    // Feeds the linked peak D; returns the follower maximum max(1, f1[0..7]) that the gain law reads
    // (1 means no reduction). The second stage is kept for "DetectorOrder" II; in mode I it copies
    // the first.
    double update(double d, const double* attack, const double* release, bool secondOrder) {
        double result = 1.0;
        for (int k = 0; k < kStages; ++k) {
            first[k] = first[k] + (d - first[k]) * (d >= first[k] ? attack[k] : release[k]);
            if (secondOrder)
                second[k] =
                    second[k] + (first[k] - second[k]) * (first[k] > second[k] ? attack[k] : release[k]);
            else
                second[k] = first[k];
            result = std::max(result, first[k]);
        }
        return result;
    }

    double firstStage(int k) const { return first[k]; }
    double secondStage(int k) const { return second[k]; }

    // One-pole coefficients 1 − exp(−1000 / (t · fs)) for the stage times [ms].
    static void attackCoefficients(double fs, double* out);
    static void releaseCoefficients(double fs, double releaseMs, double* out);

private:
    alignas(16) double first[kStages] = {};
    alignas(16) double second[kStages] = {};
};
