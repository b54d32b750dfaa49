// The meter strips' colour zones and the scales' ticks meet at the same window rows in every meter
// mode, read the way the meters read them: peak mode at strip row = window y + 6; K-12, K-14 and K-20
// at row Z − r for a bar of r pixels (Z = 432, 420, 384), the unlit part from row U at window y 42
// (U = 72, 60, 24); scales drawn at window y 38. Zones: green up to the reference, yellow above it,
// red above the top of the yellow zone.
#include <gtest/gtest.h>

#include <string>

#include "support/resource_list.h"

namespace {

using namespace testimg;

enum class Zone { Green, Yellow, Red, Other };

Zone zoneOf(const Pixel& p) {
    double h = hue(p);
    if (h < 0) return Zone::Other;
    if (h < 20 || h > 340) return Zone::Red;
    if (h >= 35 && h <= 70) return Zone::Yellow;
    if (h >= 90 && h <= 170) return Zone::Green;
    return Zone::Other;
}

const char* name(Zone z) {
    switch (z) {
    case Zone::Green:
        return "green";
    case Zone::Yellow:
        return "yellow";
    case Zone::Red:
        return "red";
    default:
        return "other";
    }
}

int luma(const Pixel& p) {
    return (p.r * 3 + p.g * 6 + p.b) / 10;
}

struct Mode {
    const char* name;
    int lit, unlit, scaleIn, scaleOut;
    double offset;    // dB added before the 6 px/dB conversion
    int litBase;      // strip row of an empty bar's top: row = litBase − bar height
    int unlitBase;    // strip row drawn at window y 42
    double reference; // green up to here
    double top;       // yellow up to here
};

const Mode kModes[] = {
    {"peak", 130, 155, 133, 136, 48, 408, 48, -12, 0},
    {"K-12", 154, 129, 133, 136, 60, 432, 72, -12, -8},
    {"K-14", 154, 129, 132, 135, 60, 420, 60, -14, -10},
    {"K-20", 154, 129, 131, 134, 60, 384, 24, -20, -16},
};

// Window y of the top pixel of a bar that reaches `db` dBFS.
int barTop(const Mode& m, double db) {
    return 402 - static_cast<int>((db + m.offset) * 6 + 0.5);
}

TEST(MeterScales, StripZonesChangeExactlyAtTheTickedLevelsInEveryMode) {
    for (const Mode& m : kModes) {
        SCOPED_TRACE(m.name);
        auto lit = bitmap(m.lit), unlit = bitmap(m.unlit);
        ASSERT_TRUE(lit && unlit);
        for (auto [level, below, above] : {std::tuple{m.reference, Zone::Green, Zone::Yellow},
                                           std::tuple{m.top, Zone::Yellow, Zone::Red}}) {
            SCOPED_TRACE("boundary at " + std::to_string(level) + " dBFS");
            const int y = barTop(m, level);
            const int litRow = m.litBase - (402 - y);
            const int unlitRow = m.unlitBase + (y - 42);
            ASSERT_EQ(litRow, unlitRow) << "lit and unlit strips must share their row mapping";
            for (int x : {2, 7, 12}) {
                EXPECT_EQ(name(zoneOf(lit->at(x, litRow))), name(below));
                EXPECT_EQ(name(zoneOf(lit->at(x, litRow - 1))), name(above));
                EXPECT_EQ(name(zoneOf(unlit->at(x, unlitRow))), name(below));
                EXPECT_EQ(name(zoneOf(unlit->at(x, unlitRow - 1))), name(above));
                EXPECT_GT(luma(lit->at(x, litRow)), luma(unlit->at(x, unlitRow)) + 40)
                    << "lit must outshine unlit";
            }
            for (int scale : {m.scaleIn, m.scaleOut}) {
                SCOPED_TRACE("scale " + std::to_string(scale));
                auto s = bitmap(scale);
                ASSERT_TRUE(s);
                const int row = y - 38;
                // A major tick reaches three pixels in from each edge; minor ticks stop short of that.
                for (int x : {3, s->width - 3}) {
                    EXPECT_GT(luma(s->at(x, row)), 120) << "no major tick at row " << row;
                    EXPECT_LT(luma(s->at(x, row - 1)), 60);
                    EXPECT_LT(luma(s->at(x, row + 1)), 60);
                }
            }
        }
    }
}

TEST(MeterScales, KModesShareOneStripShiftedByTheirReference) {
    // An RMS of −14 dBFS in K-14 is a 276-pixel bar; the colour boundary lies 12 rows lower on the
    // screen than in K-12 for the same bar height.
    const Mode& k12 = kModes[1];
    const Mode& k14 = kModes[2];
    EXPECT_EQ(402 - barTop(k14, -14), 276);
    auto lit = bitmap(154);
    ASSERT_TRUE(lit);
    auto boundaryY = [&](const Mode& m) {
        for (int y = 42; y < 402; ++y) {
            int row = m.litBase - (402 - y);
            if (zoneOf(lit->at(7, row)) == Zone::Green) return y;
        }
        return -1;
    };
    EXPECT_EQ(boundaryY(k14) - boundaryY(k12), 12);
}

TEST(GainReductionScale, TicksSitWhereBarsOfWholeDecibelsEnd) {
    // A bar of d dB reaches window row 42 + d·f (f = 6 normally, 12 zoomed); the scale is drawn at y 39,
    // frame 1 (zoomed) from row 153.
    auto scale = bitmap(167);
    ASSERT_TRUE(scale);
    const int tickX = 249 - 233 + 3; // three pixels into the middle column
    for (auto [frame, f, step, maxDb] : {std::tuple{0, 6, 3, 24}, std::tuple{1, 12, 2, 12}}) {
        SCOPED_TRACE("frame " + std::to_string(frame));
        for (int d = 0; d <= maxDb; d += step) {
            int row = frame * 153 + 42 - 39 + d * f;
            EXPECT_GT(luma(scale->at(tickX, row)), 120) << d << " dB";
            EXPECT_LT(luma(scale->at(tickX, row + 1)), 60) << d << " dB";
            EXPECT_LT(luma(scale->at(tickX, row - 1)), 60) << d << " dB";
        }
    }
    auto bar = bitmap(156);
    ASSERT_TRUE(bar);
    for (int row = 0; row < 145; row += 3)
        EXPECT_GT(luma(bar->at(7, row)), luma(scale->at(241 - 233, row + 3)) + 60);
}

} // namespace
