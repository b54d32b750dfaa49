// Level meters: the bar geometry of every scale mode against a reference painter written from the
// window-pixel layout, the peak hold and fall on feed time stamps, scale-mode switching and reset.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "editor/meter_level.h"
#include "tests/editor/support/meter_fixture.h"

using namespace metertest;

namespace {

enum class Which { In, Out };

// The meters' layout in window pixels, as the artwork is drawn for it.
struct Layout {
    CRect control;
    CCoord bar[2];
    CCoord scale;
};
constexpr Layout kInLayout = {{147, 38, 207, 408}, {150, 191}, 164};
constexpr Layout kOutLayout = {{319, 38, 379, 406}, {320, 363}, 335};

const Layout& layoutOf(Which w) {
    return w == Which::In ? kInLayout : kOutLayout;
}

std::unique_ptr<CMeterLevel> makeMeter(Which w, const CodedBitmaps& b, CControlListener* listener = nullptr) {
    const CRect& r = layoutOf(w).control;
    if (w == Which::In)
        return std::make_unique<CMeterIn>(
            r, listener, editor::kMeterTag, b.get(kIdBackground), b.get(kIdPeakUnlit), b.get(kIdPeakLit),
            b.get(kIdScaleK20), b.get(kIdScaleK14), b.get(kIdScalePeakK12), b.get(kIdKLit), b.get(kIdKUnlit));
    return std::make_unique<CMeterOut>(
        r, listener, editor::kMeterTag, b.get(kIdBackground), b.get(kIdPeakUnlit), b.get(kIdPeakLit),
        b.get(kIdScaleK20), b.get(kIdScaleK14), b.get(kIdScalePeakK12), b.get(kIdKLit), b.get(kIdKUnlit));
}

// What the meter must show: the scale, then per channel the bar from y 402 up to y 42, strips
// addressed with their row for each window row.
Picture expectedMeter(Which w, int mode, const int height[2], const int marker[2]) {
    const Layout& l = layoutOf(w);
    Picture p;
    const int scaleId = mode == 2 ? kIdScaleK14 : mode == 3 ? kIdScaleK20 : kIdScalePeakK12;
    p.blit(scaleId, CRect(l.scale, 38, l.scale + 27, 405), CPoint(0, 0));
    for (int c = 0; c < 2; ++c) {
        const CCoord x0 = l.bar[c];
        for (CCoord y = 42; y < 402; ++y)
            for (CCoord x = x0; x < x0 + 15; ++x) {
                const bool lit = y >= 402 - height[c];
                if (mode == 0) {
                    p.set(x, y, code(lit ? kIdPeakLit : kIdPeakUnlit, x - x0, y + 6));
                    continue;
                }
                const int zero = mode == 1 ? 432 : mode == 2 ? 420 : 384;
                const int unlitTop = mode == 1 ? 72 : mode == 2 ? 60 : 24;
                const bool inMarker = marker[c] >= 3 && y >= 402 - marker[c] && y < 405 - marker[c];
                if (lit || inMarker)
                    p.set(x, y, code(kIdKLit, x - x0, y + zero - 402));
                else
                    p.set(x, y, code(kIdKUnlit, x - x0, y - 42 + unlitTop));
            }
    }
    return p;
}

struct GeometryCase {
    const char* name;
    Which which;
    int mode;
    float peak[2];
    float rms[2];
    int height[2]; // held peak in peak mode, RMS in the K modes
    int marker[2]; // K modes: the held peak's pixel height
};

void PrintTo(const GeometryCase& c, std::ostream* os) {
    *os << c.name;
}

class LevelMeterGeometry : public testing::TestWithParam<GeometryCase> {};

TEST_P(LevelMeterGeometry, DrawsStripsAndScaleAtTheWindowPixels) {
    const GeometryCase& g = GetParam();
    CodedBitmaps bitmaps;
    auto meter = makeMeter(g.which, bitmaps);
    meter->setScaleMode(g.mode);
    meter->feed(1000, g.peak[0], g.peak[1], g.rms[0], g.rms[1]);
    Canvas canvas;
    meter->draw(&canvas.context);

    Picture expected = expectedMeter(g.which, g.mode, g.height, g.marker);
    // The whole window: nothing outside the scale and the bars is touched.
    EXPECT_EQ(firstDifference(canvas, expected, CRect(0, 0, 524, 462)), "");
    EXPECT_FALSE(meter->isDirty());
}

const float kMinus14 = amplitude(-14), kMinus26 = amplitude(-26), kMinus59_5 = amplitude(-59.5),
            kMinus59_6 = amplitude(-59.6), kMinus40 = amplitude(-40);

INSTANTIATE_TEST_SUITE_P(
    Cases, LevelMeterGeometry,
    testing::Values(
        // A peak of 2.0 (+6.02 dBFS) is 324 pixels; 0 dBFS lies at 288.
        GeometryCase{"InPeak", Which::In, 0, {2.0f, 1.0f}, {0.0f, 0.0f}, {324, 288}, {0, 0}},
        // Silence draws an empty bar; +40 dBFS is stored as +20 and fills the bar.
        GeometryCase{"OutPeakEmptyAndFull", Which::Out, 0, {0.0f, 100.0f}, {1.0f, 1.0f}, {0, 360}, {0, 0}},
        // K-14: an RMS of -14 dBFS is 276 pixels; a held peak 0.5 dB above the range bottom is a marker.
        GeometryCase{"InK14", Which::In, 2, {0.5f, kMinus59_5}, {kMinus14, kMinus26}, {276, 204}, {324, 3}},
        // K-12: 0.4 dB above the bottom of the range (2 pixels) shows no marker; 0 dBFS is at the top.
        GeometryCase{"OutK12", Which::Out, 1, {1.0f, kMinus59_6}, {0.25f, 0.0f}, {288, 0}, {360, 2}},
        GeometryCase{"InK20", Which::In, 3, {kMinus40, 0.0f}, {0.1f, 0.0f}, {240, 0}, {120, 0}},
        GeometryCase{"OutK20", Which::Out, 3, {kMinus40, 1.0f}, {kMinus14, 0.1f}, {276, 240}, {120, 360}}),
    [](const testing::TestParamInfo<GeometryCase>& info) { return std::string(info.param.name); });

TEST(LevelMeter, PixelHeightRoundsHalfUpWithinTheTravel) {
    struct {
        float db, offset;
        int pixels;
    } cases[] = {
        {0.0f, 48.0f, 288},  {-48.0f, 48.0f, 0},   {12.0f, 48.0f, 360},
        {20.0f, 48.0f, 360}, {-14.0f, 60.0f, 276}, {-59.6f, 60.0f, 2},
        {-59.5f, 60.0f, 3},  {-122.0f, 60.0f, 0},  {-59.95f, 60.0f, 0}, // 0.3 + 0.5 truncates to 0
    };
    for (const auto& c : cases)
        EXPECT_EQ(editor::levelMeterPixels(c.db, c.offset), c.pixels) << c.db << " dB, offset " << c.offset;
}

// Counts the rows of a bar column that come from a strip.
int rowsFrom(const Canvas& canvas, CCoord x, int id) {
    int n = 0;
    for (CCoord y = 42; y < 402; ++y)
        n += (canvas.at(x, y) >> 20 & 0xF) == std::uint32_t(id);
    return n;
}

// Runs a peak meter through feeds every 10 ms and draws after each, as the editor's idle does.
struct PeakRun {
    explicit PeakRun(std::uint32_t start) : t0(start), meter(makeMeter(Which::In, bitmaps)) {}
    void feedAt(std::uint32_t dt, float peak) {
        meter->feed(t0 + dt, peak, peak, 0.0f, 0.0f);
        meter->draw(&canvas.context);
    }
    // Silence fed every 10 ms from the last feed up to dt.
    void silenceUntil(std::uint32_t dt) {
        while (last + 10 <= dt) {
            last += 10;
            feedAt(last, 0.0f);
        }
    }
    int barHeight() const { return rowsFrom(canvas, 150, kIdPeakLit); }

    std::uint32_t t0;
    std::uint32_t last = 0;
    CodedBitmaps bitmaps;
    Canvas canvas;
    std::unique_ptr<CMeterLevel> meter;
};

class LevelMeterBallistics : public testing::TestWithParam<std::uint32_t> {};

// A single peak at -6 dBFS followed by silence: held for 50 ms of feed time, then falling at 8.66 dB
// per second until it drops out of the peak range. The same across the tick counter's wrap.
TEST_P(LevelMeterBallistics, HoldsFiftyMillisecondsThenFalls) {
    PeakRun run(GetParam());
    const float peakDb = 20.0f * std::log10(0.5f);
    run.feedAt(0, 0.5f);
    EXPECT_FLOAT_EQ(run.meter->getHeldDb(0), peakDb);
    EXPECT_EQ(run.barHeight(), 252);

    run.silenceUntil(50);
    EXPECT_FLOAT_EQ(run.meter->getHeldDb(0), peakDb) << "still within the hold";
    EXPECT_EQ(run.barHeight(), 252);
    run.silenceUntil(60);
    EXPECT_NEAR(run.meter->getHeldDb(0), peakDb - 10 * 0.00866, 1e-4);
    run.silenceUntil(1050);
    EXPECT_NEAR(run.meter->getHeldDb(0), peakDb - 8.66, 2e-3);
    EXPECT_EQ(run.barHeight(), 200);

    // Below -48 dBFS less than half a pixel remains: an empty bar from 4890 ms on.
    run.silenceUntil(4880);
    EXPECT_EQ(run.barHeight(), 1);
    run.silenceUntil(4890);
    EXPECT_EQ(run.barHeight(), 0);
    EXPECT_EQ(run.meter->getPeakDb(1), -120.0f) << "silence reads -120 dB after the floor";
}

// A new peak above the falling level restarts the hold there; a peak below it is ignored.
TEST_P(LevelMeterBallistics, NewPeaksAboveTheFallRestartTheHold) {
    PeakRun run(GetParam());
    run.feedAt(0, 0.5f);
    run.silenceUntil(1050);
    const float falling = run.meter->getHeldDb(0);
    ASSERT_LT(falling, -14.0f);

    const float minus10 = amplitude(-10);
    run.feedAt(run.last += 10, minus10);
    const float held = run.meter->getHeldDb(0);
    EXPECT_NEAR(held, -10.0f, 1e-4);
    EXPECT_EQ(run.meter->getHoldMs(0), 50);
    run.silenceUntil(1110);
    EXPECT_EQ(run.meter->getHeldDb(0), held);
    run.silenceUntil(1120);
    EXPECT_NEAR(run.meter->getHeldDb(0), held - 0.0866f, 1e-4);

    const float before = run.meter->getHeldDb(0);
    run.feedAt(run.last += 10, amplitude(-30));
    EXPECT_NEAR(run.meter->getHeldDb(0), before - 0.0866f, 1e-4) << "a lower peak is ignored";
}

INSTANTIATE_TEST_SUITE_P(Starts, LevelMeterBallistics, testing::Values(1000u, 0xFFFFFF00u));

// However long the meter went without feeds (a window left idle, a counter that jumped), the gap
// counts as a fall of at most a minute: the held level leaves the display and the next peak is taken.
TEST(LevelMeter, LongGapsBetweenFeedsFallOutOfRange) {
    for (std::uint32_t gap : {60000u, 0x7FFFFFFFu, 0x90000000u, 0xFFFFFFFFu}) {
        PeakRun run(5000);
        run.feedAt(0, 1.0f);
        run.feedAt(gap, 0.0f);
        EXPECT_LT(run.meter->getHeldDb(0), -48.0f) << gap;
        EXPECT_GT(run.meter->getHeldDb(0), -1000.0f) << gap;
        EXPECT_EQ(run.barHeight(), 0) << gap;
        run.feedAt(gap + 20, 0.5f);
        EXPECT_NEAR(run.meter->getHeldDb(0), -6.0206f, 1e-3) << gap;
        EXPECT_EQ(run.meter->getHoldMs(0), 50) << gap;
    }
}

TEST(LevelMeter, ResetClearsLevelsButNotTheHoldCounters) {
    CodedBitmaps bitmaps;
    auto meter = makeMeter(Which::Out, bitmaps);
    Canvas canvas;
    meter->feed(1000, 0.5f, 0.25f, 0.1f, 0.1f);
    meter->draw(&canvas.context);
    meter->feed(1030, 0.0f, 0.0f, 0.0f, 0.0f);
    meter->draw(&canvas.context);
    ASSERT_EQ(meter->getHoldMs(0), 20);

    meter->reset();
    EXPECT_TRUE(meter->isDirty());
    for (int c = 0; c < 2; ++c) {
        EXPECT_EQ(meter->getPeakDb(c), -122.0f);
        EXPECT_EQ(meter->getRmsDb(c), -122.0f);
        EXPECT_EQ(meter->getHeldDb(c), -122.0f);
        EXPECT_EQ(meter->getHoldMs(c), 20);
    }
    meter->draw(&canvas.context);
    EXPECT_EQ(rowsFrom(canvas, 320, kIdPeakLit), 0);
    EXPECT_EQ(rowsFrom(canvas, 363, kIdPeakUnlit), 360);
}

// The scale mode picks the scale bitmap and the strips; modes outside 0 … 3 are peak mode.
TEST(LevelMeter, ScaleModeSwitchesScaleAndStrips) {
    struct {
        int mode, storedMode, scaleId, barId;
    } cases[] = {
        {2, 2, kIdScaleK14, kIdKUnlit},        {0, 0, kIdScalePeakK12, kIdPeakUnlit},
        {3, 3, kIdScaleK20, kIdKUnlit},        {1, 1, kIdScalePeakK12, kIdKUnlit},
        {4, 0, kIdScalePeakK12, kIdPeakUnlit}, {-1, 0, kIdScalePeakK12, kIdPeakUnlit},
    };
    CodedBitmaps bitmaps;
    for (Which w : {Which::In, Which::Out}) {
        auto meter = makeMeter(w, bitmaps);
        const Layout& l = layoutOf(w);
        Canvas canvas;
        for (const auto& c : cases) {
            meter->draw(&canvas.context);
            ASSERT_FALSE(meter->isDirty());
            meter->setScaleMode(c.mode);
            EXPECT_TRUE(meter->isDirty()) << c.mode;
            EXPECT_EQ(meter->getScaleMode(), c.storedMode);
            meter->draw(&canvas.context);
            EXPECT_EQ(canvas.at(l.scale + 5, 38), code(c.scaleId, 5, 0)) << c.mode;
            EXPECT_EQ(canvas.at(l.scale + 26, 404), code(c.scaleId, 26, 366)) << c.mode;
            EXPECT_EQ(canvas.at(l.bar[1], 42) >> 20 & 0xF, std::uint32_t(c.barId)) << c.mode;
        }
    }
}

} // namespace
