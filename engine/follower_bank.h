// The eight attack/release followers of both channels' linked long-window peak, in two stages. Stage
// k attacks with time 32 − k · 31/7 ms and releases from the "Release" time R down to 2 ms, so the
// maximum over the stages releases fast after short peaks and slowly after sustained ones.
//
// The 16 followers of a stage are independent lanes, stored frame-wise: lane 2k is stage k of the
// left channel, lane 2k + 1 stage k of the right one. The processing loop keeps them in vector
// registers for a block (load, step per frame, store).
#pragma once

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

    // The lanes in registers of one instruction set.
    template <class Isa> struct Registers {
        static constexpr int kVectors = kLanes / Isa::kDoubles;
        typename Isa::V first[kVectors], second[kVectors], attack[kVectors], release[kVectors];

        explicit Registers(const FollowerBank& bank) {
            for (int v = 0; v < kVectors; ++v) {
                first[v] = Isa::load(bank.first + v * Isa::kDoubles);
                second[v] = Isa::load(bank.second + v * Isa::kDoubles);
                attack[v] = Isa::load(bank.attack + v * Isa::kDoubles);
                release[v] = Isa::load(bank.release + v * Isa::kDoubles);
            }
        }
        void storeTo(FollowerBank& bank) const {
            for (int v = 0; v < kVectors; ++v) {
                Isa::store(bank.first + v * Isa::kDoubles, first[v]);
                Isa::store(bank.second + v * Isa::kDoubles, second[v]);
            }
        }

        // One frame: `d` points at the linked peaks (left, right); returns (RL, RR).
        //   f1 ← f1 + (d − f1) · (d ≥ f1 ? a : r);  order II: f2 ← f2 + (f1 − f2) · (f1 > f2 ? a : r)
        template <bool SecondOrder> ORVEL_INLINE simd::F2 step(const double* d) {
            using V = typename Isa::V;
            const V dv = Isa::loadFrames(d);
            V loudest;
#pragma GCC unroll 8
            for (int v = 0; v < kVectors; ++v) {
                const V f = first[v];
                const V updated = f + (dv - f) * (dv >= f ? attack[v] : release[v]);
                first[v] = updated;
                if constexpr (SecondOrder) {
                    const V s = second[v];
                    second[v] = s + (updated - s) * (updated > s ? attack[v] : release[v]);
                }
                loudest = v == 0 ? updated : Isa::max(loudest, updated);
            }
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
