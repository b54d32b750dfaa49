// Sliding-window maxima of the max tree against a scan of the window.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <vector>

#include "engine/max_tree.h"

namespace {

// Values from a handful of levels, so that ties are common, or spread continuously.
void compareWithScan(int length, bool fewLevels, unsigned seed) {
    std::mt19937 rng(seed);
    std::uniform_real_distribution<double> spread(0.00001, 20.0);
    std::uniform_int_distribution<int> level(0, 4);
    MaxTree tree;
    tree.setLength(length);
    std::vector<double> window(length, 0.0);
    for (int n = 0; n < 20 * length + 100; ++n) {
        const double v = fewLevels ? 0.5 * level(rng) + 0.00001 : spread(rng);
        const int p = n % length;
        window[p] = v;
        tree.update(p, v);
        ASSERT_EQ(tree.max(), *std::max_element(window.begin(), window.end()))
            << "length " << length << ", update " << n;
    }
}

TEST(MaxTree, RootIsTheMaximumOfTheLastNValuesForEveryLength) {
    for (int length = 1; length <= MaxTree::kMaxLength; length *= 2) {
        compareWithScan(length, false, 1u + length);
        compareWithScan(length, true, 7u + length);
    }
}

TEST(MaxTree, APeakStaysExactlyOneWindowLong) {
    for (int length : {8, 128, 512}) {
        MaxTree tree;
        tree.setLength(length);
        tree.update(0, 2.0);
        for (int n = 1; n < 3 * length; ++n) {
            tree.update(n % length, 0.00001);
            EXPECT_EQ(tree.max(), n < length ? 2.0 : 0.00001) << "length " << length << ", update " << n;
        }
    }
}

TEST(MaxTree, ChangingTheLengthClearsTheWindow) {
    MaxTree tree;
    tree.setLength(64);
    tree.update(5, 3.0);
    tree.setLength(16);
    EXPECT_EQ(tree.max(), 0.0);
    tree.update(3, 1.0);
    EXPECT_EQ(tree.max(), 1.0);
}

TEST(MaxTree, ValuesBeyondTheSentinelStillLeaveTheWindow) {
    MaxTree tree;
    tree.setLength(8);
    tree.update(0, 1e12);
    EXPECT_EQ(tree.max(), 1e12);
    for (int n = 1; n <= 8; ++n)
        tree.update(n % 8, 1.0);
    EXPECT_EQ(tree.max(), 1.0);
}

} // namespace
