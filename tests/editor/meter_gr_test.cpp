// Gain-reduction meter: bar lengths at both zooms against a reference picture, the hold and the
// return towards 0 dB on feed time stamps, zoom and reset.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "editor/meter_gr.h"
#include "editor/meter_level.h"
#include "tests/editor/support/meter_fixture.h"

using namespace metertest;

namespace {

constexpr CRect kGrRect(233, 39, 291, 192);

struct GrMeter {
    explicit GrMeter(CControlListener* listener = nullptr)
        : meter(kGrRect, listener, editor::kMeterTag, bitmaps.get(kIdGrBar), bitmaps.get(kIdGrScale)) {}
    CodedBitmaps bitmaps;
    CMeterGR meter;
    Canvas canvas;
};

// The scale (the zoomed one 153 rows down), then the bars hanging from y 42.
Picture expectedGr(bool zoomed, int left, int right) {
    Picture p;
    p.blit(kIdGrScale, kGrRect, CPoint(0, zoomed ? 153 : 0));
    p.blit(kIdGrBar, CRect(234, 42, 249, 42 + left), CPoint(0, 0));
    p.blit(kIdGrBar, CRect(275, 42, 290, 42 + right), CPoint(0, 0));
    return p;
}

struct BarCase {
    float gain[2];
    bool zoomed;
    int pixels[2];
};

TEST(GainReductionMeter, BarLengthsAtBothZooms) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const BarCase cases[] = {
        {{0.5f, 1.0f}, false, {37, 0}},              // -6.02 dB at 6 px/dB
        {{0.5f, 0.0f}, true, {73, 145}},             // 12 px/dB; a factor of 0 is -30 dB, a full bar
        {{amplitude(-0.05), 0.25f}, false, {0, 73}}, // above -0.1 dB nothing shows
        {{1.0f, nan}, false, {0, 145}},              // not a number reads as the floor
        {{amplitude(-24), amplitude(-23.9)}, false, {145, 144}},
        {{amplitude(-12), amplitude(-11.9)}, true, {145, 144}},
    };
    for (const BarCase& c : cases) {
        GrMeter m;
        m.meter.setZoom(c.zoomed ? 1.0f : 0.0f);
        m.meter.feed(1000, c.gain[0], c.gain[1]);
        m.meter.draw(&m.canvas.context);
        EXPECT_EQ(
            firstDifference(m.canvas, expectedGr(c.zoomed, c.pixels[0], c.pixels[1]), CRect(0, 0, 524, 462)),
            "")
            << c.gain[0] << " " << c.gain[1] << (c.zoomed ? " zoomed" : "");
        EXPECT_FALSE(m.meter.isDirty());
    }
}

TEST(GainReductionMeter, PixelsFromTheHeldLevel) {
    struct {
        float db;
        bool zoomed;
        int pixels;
    } cases[] = {
        {0.0f, false, 0},     {-0.05f, false, 0},    {-0.1f, false, 2},
        {-0.1f, true, 2},     {-6.0206f, false, 37}, {-6.0206f, true, 73},
        {-30.0f, false, 145}, {2.0f, false, 0},      {-1e30f, true, 145},
    };
    for (const auto& c : cases)
        EXPECT_EQ(editor::gainReductionPixels(c.db, c.zoomed), c.pixels)
            << c.db << (c.zoomed ? " zoomed" : "");
}

class GainReductionBallistics : public testing::TestWithParam<std::uint32_t> {};

// After a deep reduction the bar stays for 50 ms of feed time, then returns at 30 dB per second, and
// the held level never rises above the reduction fed (0 dB here).
TEST_P(GainReductionBallistics, HoldsThenReturnsAtThirtyDbPerSecond) {
    GrMeter m;
    const std::uint32_t t0 = GetParam();
    const float held = 20.0f * std::log10(0.5f);
    m.meter.feed(t0, 0.5f, 0.25f);
    m.meter.draw(&m.canvas.context);
    EXPECT_FLOAT_EQ(m.meter.getHeldDb(0), held);
    EXPECT_EQ(m.meter.getHoldMs(0), 50);

    auto at = [&](std::uint32_t dt) {
        m.meter.feed(t0 + dt, 1.0f, 1.0f);
        m.meter.draw(&m.canvas.context);
    };
    auto leftBar = [&] {
        int n = 0;
        for (CCoord y = 42; y < 192; ++y)
            n += (m.canvas.at(240, y) >> 20 & 0xF) == std::uint32_t(kIdGrBar);
        return n;
    };
    for (std::uint32_t dt = 10; dt <= 50; dt += 10)
        at(dt);
    EXPECT_FLOAT_EQ(m.meter.getHeldDb(0), held);
    EXPECT_EQ(leftBar(), 37);
    at(60);
    EXPECT_NEAR(m.meter.getHeldDb(0), held + 0.3f, 1e-4);
    for (std::uint32_t dt = 70; dt <= 150; dt += 10)
        at(dt);
    EXPECT_NEAR(m.meter.getHeldDb(0), held + 3.0f, 1e-3);
    EXPECT_EQ(leftBar(), 19);
    for (std::uint32_t dt = 160; dt <= 240; dt += 10)
        at(dt);
    EXPECT_EQ(leftBar(), 3);
    at(250);
    EXPECT_EQ(leftBar(), 0);
    at(260);
    EXPECT_EQ(m.meter.getHeldDb(0), 0.0f);
    at(400);
    EXPECT_EQ(m.meter.getHeldDb(0), 0.0f);
}

INSTANTIATE_TEST_SUITE_P(Starts, GainReductionBallistics, testing::Values(1000u, 0xFFFFFFF0u));

TEST(GainReductionMeter, ZoomFollowsTheStepOfTheValue) {
    struct {
        float v;
        bool zoomed;
    } cases[] = {{0.0f, false}, {0.25f, false}, {0.4999f, false}, {0.5f, true}, {0.75f, true}, {1.0f, true}};
    GrMeter m;
    for (const auto& c : cases) {
        m.meter.draw(&m.canvas.context);
        m.meter.setZoom(c.v);
        EXPECT_EQ(m.meter.isZoomed(), c.zoomed) << c.v;
        EXPECT_TRUE(m.meter.isDirty());
        m.meter.draw(&m.canvas.context);
        EXPECT_EQ(m.canvas.at(233, 39), code(kIdGrScale, 0, c.zoomed ? 153 : 0)) << c.v;
    }
}

TEST(GainReductionMeter, ResetReturnsToNoReduction) {
    GrMeter m;
    m.meter.feed(1000, 0.5f, 0.1f);
    m.meter.draw(&m.canvas.context);
    m.meter.draw(&m.canvas.context);
    m.meter.reset();
    EXPECT_TRUE(m.meter.isDirty());
    for (int c = 0; c < 2; ++c) {
        EXPECT_EQ(m.meter.getGainReductionDb(c), 0.0f);
        EXPECT_EQ(m.meter.getHeldDb(c), 0.0f);
    }
    m.meter.draw(&m.canvas.context);
    EXPECT_EQ(firstDifference(m.canvas, expectedGr(false, 0, 0), kGrRect), "");
}

} // namespace
