#include "engine/follower_bank.h"

#include <cmath>

namespace {
struct Baseline : simd::Sse2 {};
} // namespace

void FollowerBank::clear() {
    for (int k = 0; k < kLanes; ++k)
        first[k] = second[k] = 0.0;
}

void FollowerBank::setCoefficients(const double* a, const double* r) {
    for (int k = 0; k < kStages; ++k) {
        attack[2 * k] = attack[2 * k + 1] = a[k];
        release[2 * k] = release[2 * k + 1] = r[k];
    }
}

void FollowerBank::copyFirstToSecond() {
    for (int k = 0; k < kLanes; ++k)
        second[k] = first[k];
}

void FollowerBank::update(double left, double right, bool secondOrder, double& followLeft,
                          double& followRight) {
    Registers<Baseline> lanes(*this);
    const double d[2] = {left, right};
    const simd::F2 follow = secondOrder ? lanes.step<true>(d) : lanes.step<false>(d);
    lanes.storeTo(*this);
    if (!secondOrder) copyFirstToSecond();
    followLeft = follow[0];
    followRight = follow[1];
}

void FollowerBank::attackCoefficients(double fs, double* out) {
    for (int k = 0; k < kStages; ++k) {
        const double t = 32.0 - double(k) * 31.0 / 7.0; // 32 ms down to 1 ms
        out[k] = 1.0 - std::exp(-1000.0 / (t * fs));
    }
}

void FollowerBank::releaseCoefficients(double fs, double releaseMs, double* out) {
    for (int k = 0; k < kStages; ++k) {
        const double t = releaseMs - double(k) * (releaseMs - 2.0) / 7.0; // R down to 2 ms
        out[k] = 1.0 - std::exp(-1000.0 / (t * fs));
    }
}
