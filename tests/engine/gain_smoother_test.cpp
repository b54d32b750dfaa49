// The bell kernel, the block transform and the envelope against the direct convolution sum.
#include <gtest/gtest.h>

#include <cmath>
#include <numeric>
#include <random>
#include <vector>

#include "engine/block_transform.h"
#include "engine/gain_smoother.h"

namespace {

const int kLengths[] = {8, 16, 32, 64, 128, 256};

TEST(Kernel, IsASymmetricBellThatSumsToOne) {
    for (int k : kLengths) {
        std::vector<double> taps(k);
        GainSmoother::buildKernel(k, taps.data());
        EXPECT_NEAR(std::accumulate(taps.begin(), taps.end(), 0.0), 1.0, 1e-15) << k;
        for (int i = 0; i < k / 2; ++i) {
            EXPECT_NEAR(taps[i], taps[k - 1 - i], 1e-15) << k << " tap " << i;
            if (i > 0) {
                EXPECT_GT(taps[i], taps[i - 1]) << k << " tap " << i;
            }
        }
        // The end taps are sin(±π)/π, a rounding residue.
        EXPECT_LT(std::fabs(taps[0]), 1e-15) << k;
        EXPECT_LT(std::fabs(taps[k - 1]), 1e-15) << k;
    }
}

TEST(BlockTransform, InverseUndoesForwardUpToTheSlotCount) {
    BlockTransform transform;
    std::mt19937 rng(3);
    std::uniform_real_distribution<double> value(-1.0, 1.0);
    for (int k : kLengths) {
        std::vector<double> z(2 * k), original;
        for (double& v : z)
            v = value(rng);
        original = z;
        transform.forward(z.data(), k);
        transform.inverse(z.data(), k);
        for (int i = 0; i < 2 * k; ++i)
            ASSERT_NEAR(z[i], original[i] * k, 1e-12 * k) << k << " value " << i;
    }
}

// P(n) = Σ k[i] · u(n − L − K + 1 − i), with u = 0 before the start.
TEST(GainSmoother, EnvelopeIsTheDelayedDirectConvolution) {
    std::mt19937 rng(5);
    std::uniform_real_distribution<double> value(0.00001, 16.0);
    for (int k : kLengths) {
        for (int delay : {2, 114, 450}) {
            GainSmoother smoother;
            smoother.setLengths(k, delay);
            const double* taps = smoother.kernel();
            std::vector<double> uL, uR;
            for (int n = 0; n < 6 * k + delay + 50; ++n) {
                uL.push_back(value(rng));
                uR.push_back(n % 7 == 0 ? 16.0 : 0.00001);
                double pL, pR;
                smoother.push(uL.back(), uR.back(), pL, pR);
                double expectL = 0, expectR = 0;
                for (int i = 0; i < k; ++i) {
                    const long at = n - delay - k + 1 - i;
                    if (at >= 0) {
                        expectL += taps[i] * uL[at];
                        expectR += taps[i] * uR[at];
                    }
                }
                ASSERT_NEAR(pL, expectL, 1e-13) << "K " << k << " L " << delay << " sample " << n;
                ASSERT_NEAR(pR, expectR, 1e-13) << "K " << k << " L " << delay << " sample " << n;
            }
        }
    }
}

TEST(GainSmoother, AConstantInputGivesItselfAfterTheStart) {
    for (int k : kLengths) {
        GainSmoother smoother;
        smoother.setLengths(k, 2);
        double p = 0, unused;
        for (int n = 0; n < 2 * k + 2; ++n)
            smoother.push(0.75, 0.75, p, unused);
        EXPECT_NEAR(p, 0.75, 2e-15) << k;
    }
}

TEST(GainSmoother, ClearingRestartsFromSilence) {
    GainSmoother smoother;
    smoother.setLengths(16, 2);
    double pL, pR;
    for (int n = 0; n < 40; ++n)
        smoother.push(5.0, 5.0, pL, pR);
    smoother.clear();
    for (int n = 0; n < 40; ++n) {
        smoother.push(0.0, 0.0, pL, pR);
        ASSERT_EQ(pL, 0.0) << n;
    }
}

} // namespace
