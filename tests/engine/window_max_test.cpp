// Sliding-window maxima of both channels against a scan of the window.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <vector>

#include "engine/window_max.h"

namespace {

// Values from a handful of levels, so that ties are common, or spread continuously; the right channel
// runs on its own values.
void compareWithScan(int length, bool fewLevels, unsigned seed) {
    std::mt19937 rng(seed);
    std::uniform_real_distribution<double> spread(0.00001, 20.0);
    std::uniform_int_distribution<int> level(0, 4);
    auto next = [&] { return fewLevels ? 0.5 * level(rng) + 0.00001 : spread(rng); };
    WindowMax window;
    window.setLength(length);
    std::vector<double> left(length, 0.0), right(length, 0.0);
    for (int n = 0; n < 20 * length + 100; ++n) {
        const double l = next(), r = next();
        left[n % length] = l;
        right[n % length] = r;
        double maxL, maxR;
        window.push(l, r, maxL, maxR);
        ASSERT_EQ(maxL, *std::max_element(left.begin(), left.end()))
            << "length " << length << ", value " << n;
        ASSERT_EQ(maxR, *std::max_element(right.begin(), right.end()))
            << "length " << length << ", value " << n;
    }
}

TEST(WindowMax, IsTheMaximumOfTheLastNValuesForEveryLength) {
    for (int length = 1; length <= WindowMax::kMaxLength; length *= 2) {
        compareWithScan(length, false, 1u + length);
        compareWithScan(length, true, 7u + length);
    }
    for (int length : {10, 13, 100})
        compareWithScan(length, false, 3u + length);
}

TEST(WindowMax, APeakStaysExactlyOneWindowLong) {
    for (int length : {8, 128, 512}) {
        for (int offset : {0, 1, length / 2, length - 1}) {
            WindowMax window;
            window.setLength(length);
            double l, r;
            for (int n = 0; n < offset; ++n)
                window.push(0.00001, 0.00001, l, r);
            window.push(2.0, 0.00001, l, r);
            EXPECT_EQ(l, 2.0);
            for (int n = 1; n < 3 * length; ++n) {
                window.push(0.00001, 0.00001, l, r);
                EXPECT_EQ(l, n < length ? 2.0 : 0.00001)
                    << "length " << length << ", offset " << offset << ", " << n;
                EXPECT_EQ(r, 0.00001);
            }
        }
    }
}

TEST(WindowMax, ChangingTheLengthClearsTheWindow) {
    WindowMax window;
    window.setLength(64);
    double l, r;
    window.push(3.0, 3.0, l, r);
    window.setLength(16);
    window.push(1.0, 0.5, l, r);
    EXPECT_EQ(l, 1.0);
    EXPECT_EQ(r, 0.5);
}

TEST(WindowMax, ValuesFarAboveTheRestStillLeaveTheWindow) {
    WindowMax window;
    window.setLength(8);
    double l, r;
    window.push(1e12, 1e12, l, r);
    EXPECT_EQ(l, 1e12);
    for (int n = 1; n <= 8; ++n)
        window.push(1.0, 1.0, l, r);
    EXPECT_EQ(l, 1.0);
    EXPECT_EQ(r, 1.0);
}

} // namespace
