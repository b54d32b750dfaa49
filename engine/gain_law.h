// The gain of both channels from their envelopes P, follower maxima R and the "Transient" amount S,
// and the gain-reduction value the meters show.
//
//     gain = S / max(P, 1) + (1 − S) / max(P, R)
//
// Both denominators are at least P, so gain · P ≤ 1: the limited sample never exceeds full scale. The
// first term recovers as fast as the envelope alone, the second as the followers allow.
#pragma once

#include "engine/simd.h"

struct GainLaw {
    // "AttShow" bits: which parts of the reduction the meter shows.
    static constexpr int kShowFollowers = 1;
    static constexpr int kShowEnvelope = 2;
    static constexpr int kShowLeveller = 4;
    static constexpr int kShowAll = kShowFollowers | kShowEnvelope | kShowLeveller;

    // Frame-wise (left, right), W::kFrames frames at once (W an instruction-set tag).
    template <class W>
    static ORVEL_INLINE typename W::V gain(typename W::V envelope, typename W::V follow, double transient) {
        using V = typename W::V;
        const V fast = W::splat(transient) / W::max(envelope, W::splat(1.0));
        const V smooth = W::splat(1.0 - transient) / W::max(envelope, follow);
        return fast + smooth;
    }

    // The displayed gain: the follower part Z = S + (1 − S) / R, the envelope part gain / Z and the
    // leveller gain t, each included when its bit is set. All three together are the whole reduction,
    // gain · t, which is what the meter then shows (without the detour through Z).
    template <class W>
    static ORVEL_INLINE typename W::V displayed(typename W::V gain, typename W::V follow, double transient,
                                                typename W::V leveller, int mask) {
        using V = typename W::V;
        if (mask == kShowAll) return gain * leveller;
        const V one = W::splat(1.0);
        const V followers = W::splat(transient) + W::splat(1.0 - transient) / follow;
        const V envelopePart = (mask & kShowEnvelope) ? gain / followers : one;
        const V followerPart = (mask & kShowFollowers) ? followers : one;
        const V levellerPart = (mask & kShowLeveller) ? leveller : one;
        return envelopePart * followerPart * levellerPart;
    }
};
