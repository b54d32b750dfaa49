// The eight attack/release followers of both channels' linked long-window peak, in two stages. Stage
// k attacks with time 32 − k · 31/7 ms and releases from the "Release" time R down to 2 ms, so the
// maximum over the stages releases fast after short peaks and slowly after sustained ones.
//
// The 16 followers of a stage are independent lanes, stored frame-wise: lane 2k is stage k of the
// left channel, lane 2k + 1 stage k of the right one. The processing loop keeps them in vector
// registers for a block (load, step per frame, store).
#pragma once

#include <utility>

#include "engine/simd.h"

class FollowerBank {
public:
    static constexpr int kStages = 8;
    static constexpr int kLanes = 2 * kStages;

    void clear();

    // Coefficients for the next frames (per stage, shared by both channels).
    void setCoefficients(const double* attack, const double* release);

    double firstStage(int channel, int k) const { return first[2 * k + channel]; }
    double secondStage(int channel, int k) const { return second[2 * k + channel]; }

    // In "DetectorOrder" I the second stage copies the first: done once when a stretch of frames in
    // that mode ends, which leaves the same state as copying at every frame.
    void copyFirstToSecond();

    // One frame for callers outside the processing paths: feeds the linked peaks and returns the
    // follower maxima max(1, f1[0..7]) of each channel that the gain law reads (1: no reduction).
    void update(double left, double right, bool secondOrder, double& followLeft, double& followRight);

    // The lanes in registers of one instruction set, for a stretch of frames. The state vectors are
    // named members rather than an array, so that the compiler keeps them in registers throughout.
    template <class Isa> struct Registers {
        using V = typename Isa::V;
        static constexpr int kVectors = kLanes / Isa::kDoubles;

        struct Set {
            V v0, v1, v2, v3, v4, v5, v6, v7;
            template <int K> ORVEL_INLINE V& at() {
                static_assert(K >= 0 && K < 8);
                if constexpr (K == 0)
                    return v0;
                else if constexpr (K == 1)
                    return v1;
                else if constexpr (K == 2)
                    return v2;
                else if constexpr (K == 3)
                    return v3;
                else if constexpr (K == 4)
                    return v4;
                else if constexpr (K == 5)
                    return v5;
                else if constexpr (K == 6)
                    return v6;
                else
                    return v7;
            }
        };
        Set first, second;
        const double* attack;
        const double* release;

        template <class F> static ORVEL_INLINE void forEach(F&& f) {
            [&]<int... K>(std::integer_sequence<int, K...>) {
                (f.template operator()<K>(), ...);
            }
            (std::make_integer_sequence<int, kVectors>{});
        }

        explicit Registers(const FollowerBank& bank) : attack(bank.attack), release(bank.release) {
            forEach([&]<int K>() {
                first.template at<K>() = Isa::load(bank.first + K * Isa::kDoubles);
                second.template at<K>() = Isa::load(bank.second + K * Isa::kDoubles);
            });
        }
        void storeTo(FollowerBank& bank) {
            forEach([&]<int K>() {
                Isa::store(bank.first + K * Isa::kDoubles, first.template at<K>());
                Isa::store(bank.second + K * Isa::kDoubles, second.template at<K>());
            });
        }

        // One frame: `d` points at the linked peaks (left, right); returns (RL, RR).
        //   f1 ← f1 + (d − f1) · (d ≥ f1 ? a : r);  order II: f2 ← f2 + (f1 − f2) · (f1 > f2 ? a : r)
        // Where the instruction set blends by sign bits, the coefficient is chosen by the sign of the
        // difference itself, one step shorter than a comparison: the difference is ≥ 0 exactly where
        // d ≥ f1 (f1 > f2), apart from a zero difference, whose product is 0 with either coefficient.
        template <bool SecondOrder> ORVEL_INLINE simd::F2 step(const double* d) {
            const V dv = Isa::loadFrames(d);
            V loudest;
            forEach([&]<int K>() {
                const V a = Isa::load(attack + K * Isa::kDoubles), r = Isa::load(release + K * Isa::kDoubles);
                V& f = first.template at<K>();
                if constexpr (Isa::kBlendsBySign) {
                    const V rise = dv - f;
                    f = f + rise * Isa::bySign(rise, a, r);
                } else {
                    f = f + (dv - f) * (dv >= f ? a : r);
                }
                if constexpr (SecondOrder) {
                    V& s = second.template at<K>();
                    if constexpr (Isa::kBlendsBySign) {
                        const V gap = f - s;
                        s = s + gap * Isa::bySign(gap, a, r);
                    } else {
                        s = s + (f - s) * (f > s ? a : r);
                    }
                }
                if constexpr (K == 0)
                    loudest = f;
                else
                    loudest = Isa::max(loudest, f);
            });
            return simd::Pair::max(simd::Pair::splat(1.0), Isa::foldFrames(loudest));
        }
    };

    // One-pole coefficients 1 − exp(−1000 / (t · fs)) for the stage times [ms].
    static void attackCoefficients(double fs, double* out);
    static void releaseCoefficients(double fs, double releaseMs, double* out);

private:
    alignas(32) double first[kLanes] = {};
    alignas(32) double second[kLanes] = {};
    alignas(32) double attack[kLanes] = {};
    alignas(32) double release[kLanes] = {};
};
