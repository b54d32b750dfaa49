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

    // Frame-wise (left, right); the two pairs of divisions go to the divider together.
    template <class Isa>
    static ORVEL_INLINE simd::F2 gain(simd::F2 envelope, simd::F2 follow, double transient) {
        using simd::Pair;
        simd::F2 fast, smooth;
        Isa::divide(Pair::splat(transient), Pair::max(envelope, Pair::splat(1.0)),
                    Pair::splat(1.0 - transient), Pair::max(envelope, follow), fast, smooth);
        return fast + smooth;
    }

    // The displayed gain: the follower part Z = S + (1 − S) / R, the envelope part gain / Z and the
    // leveller gain t, each included when its bit is set. All three together are the whole reduction,
    // gain · t, which is what the meter then shows (without the detour through Z).
    template <class Isa>
    static ORVEL_INLINE simd::F2 displayed(simd::F2 gain, simd::F2 follow, double transient, double leveller,
                                           int mask) {
        using simd::Pair;
        if (mask == kShowAll) return gain * Pair::splat(leveller);
        const simd::F2 one = Pair::splat(1.0);
        const simd::F2 followers = Pair::splat(transient) + Pair::splat(1.0 - transient) / follow;
        const simd::F2 envelopePart = (mask & kShowEnvelope) ? gain / followers : one;
        const simd::F2 followerPart = (mask & kShowFollowers) ? followers : one;
        const simd::F2 levellerPart = (mask & kShowLeveller) ? Pair::splat(leveller) : one;
        return envelopePart * followerPart * levellerPart;
    }
};
