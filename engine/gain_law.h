// The gain of one channel from its envelope P, its follower maximum R and the "Transient" amount S,
// and the gain-reduction value the meters show.
//
//     gain = S / max(P, 1) + (1 − S) / max(P, R)
//
// Both denominators are at least P, so gain · P ≤ 1: the limited sample never exceeds full scale. The
// first term recovers as fast as the envelope alone, the second as the followers allow.
#pragma once

#include <algorithm>

struct GainLaw {
    // "AttShow" bits: which parts of the reduction the meter shows.
    static constexpr int kShowFollowers = 1;
    static constexpr int kShowEnvelope = 2;
    static constexpr int kShowLeveller = 4;

    static double gain(double envelope, double follow, double transient) {
        return transient / std::max(envelope, 1.0) + (1.0 - transient) / std::max(envelope, follow);
    }

    // The displayed gain: the follower part Z = S + (1 − S) / R, the envelope part gain / Z and the
    // leveller gain t, each included when its bit is set. All three give gain · t.
    static double displayed(double gain, double follow, double transient, double leveller, int mask) {
        const double followers = transient + (1.0 - transient) / follow;
        const double envelopePart = (mask & kShowEnvelope) ? gain / followers : 1.0;
        const double followerPart = (mask & kShowFollowers) ? followers : 1.0;
        const double levellerPart = (mask & kShowLeveller) ? leveller : 1.0;
        return envelopePart * followerPart * levellerPart;
    }
};
