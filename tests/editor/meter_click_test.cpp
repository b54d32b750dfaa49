// The six meters and read-outs together in a window, as the editor creates them: a left click on any
// of them reaches the listener with tag 27 (the editor then resets them all), the idle's feeds and the
// frame's redraw show the real artwork at the layout's pixels.
#include <gtest/gtest.h>

#include <array>
#include <cmath>

#include "editor/meter_gr.h"
#include "editor/meter_lcd.h"
#include "editor/meter_level.h"
#include "tests/editor/support/meter_fixture.h"

using namespace metertest;

namespace {

// The editor's six meters in a window, with its bitmaps (by number) or coded stand-ins.
struct MeterWindow {
    explicit MeterWindow(bool realArtwork = false) {
        auto bitmap = [&](int number, int codedId) -> CBitmap* {
            if (realArtwork) {
                owned.push_back(new CBitmap(number));
                return owned.back();
            }
            return coded.get(codedId);
        };
        CBitmap* background = bitmap(128, kIdBackground);
        CBitmap* peakUnlit = bitmap(155, kIdPeakUnlit);
        CBitmap* peakLit = bitmap(130, kIdPeakLit);
        CBitmap* kLit = bitmap(154, kIdKLit);
        CBitmap* kUnlit = bitmap(129, kIdKUnlit);
        CBitmap* font = bitmap(137, kIdFont);
        CBitmap* overFont = bitmap(138, kIdOverFont);
        in = new CMeterIn(CRect(147, 38, 207, 408), &listener, 27, background, peakUnlit, peakLit,
                          bitmap(131, kIdScaleK20), bitmap(132, kIdScaleK14), bitmap(133, kIdScalePeakK12),
                          kLit, kUnlit);
        out = new CMeterOut(CRect(319, 38, 379, 406), &listener, 27, background, peakUnlit, peakLit,
                            bitmap(134, kIdScaleK20), bitmap(135, kIdScaleK14), bitmap(136, kIdScalePeakK12),
                            kLit, kUnlit);
        gr = new CMeterGR(CRect(233, 39, 291, 192), &listener, 27, bitmap(156, kIdGrBar),
                          bitmap(167, kIdGrScale));
        lcdIn = new CMeterLCD(CRect(131, 415, 224, 426), &listener, 27, background, font, overFont);
        lcdOut = new CMeterLCD(CRect(303, 415, 396, 426), &listener, 27, background, font, overFont);
        lcdGr = new CMeterLCDGR(CRect(217, 199, 310, 210), &listener, 27, background, font);
        for (CView* v : std::initializer_list<CView*>{in, out, gr, lcdIn, lcdOut, lcdGr})
            window.frame->addView(v);
        // The editor's bitmaps go once the controls hold theirs.
        for (CBitmap* b : owned)
            b->forget();
        owned.clear();
    }

    // The editor's resetMeters.
    void resetAll() {
        in->reset(), out->reset(), gr->reset(), lcdIn->reset(), lcdOut->reset(), lcdGr->reset();
    }
    // The editor's idle: one poll of the ten meter values at the toolkit's tick count.
    void feed(const std::array<float, 10>& v) {
        const std::uint32_t now = gui::ticks();
        in->feed(now, v[0], v[1], v[4], v[5]);
        out->feed(now, v[2], v[3], v[6], v[7]);
        gr->feed(now, v[8], v[9]);
        lcdIn->feed(v[0], v[1]);
        lcdOut->feed(v[2], v[3]);
        lcdGr->feed(v[8], v[9]);
    }
    bool allAtRest() const {
        return in->getPeakDb(0) == -122.0f && in->getHeldDb(1) == -122.0f && out->getRmsDb(0) == -122.0f &&
               gr->getHeldDb(0) == 0.0f && gr->getGainReductionDb(1) == 0.0f &&
               lcdIn->getMaxDb(0) == -120.0f && lcdOut->getMaxDb(1) == -120.0f && lcdGr->getMinDb(0) == 0.0f;
    }
    std::vector<CControl*> meters() const { return {in, out, gr, lcdIn, lcdOut, lcdGr}; }

    TestClock clock;
    CodedBitmaps coded;
    std::vector<CBitmap*> owned;
    RecordingListener listener;
    Window window;
    CMeterIn* in;
    CMeterOut* out;
    CMeterGR* gr;
    CMeterLCD* lcdIn;
    CMeterLCD* lcdOut;
    CMeterLCDGR* lcdGr;
};

const std::array<float, 10> kLoud = {0.9f, 1.2f, 0.7f, 0.8f, 0.3f, 0.4f, 0.2f, 0.25f, 0.5f, 0.6f};

// A point inside each meter, in the order of MeterWindow::meters().
const CPoint kInside[6] = {{160, 200}, {340, 200}, {260, 100}, {150, 420}, {320, 420}, {230, 204}};

TEST(MeterClicks, LeftClickOnAnyMeterReachesTheListenerWithTag27) {
    for (int i = 0; i < 6; ++i) {
        MeterWindow w;
        w.listener.onChange = [&w] {
            if (w.listener.tags.back() == editor::kMeterTag) w.resetAll();
        };
        w.feed(kLoud);
        w.window.frame->idle();
        ASSERT_FALSE(w.allAtRest());

        EXPECT_EQ(w.window.press(kInside[i].x, kInside[i].y, kLButton),
                  kMouseDownEventHandledButDontNeedMovedOrUpEvents)
            << i;
        ASSERT_EQ(w.listener.tags, std::vector<std::int32_t>{editor::kMeterTag}) << i;
        EXPECT_EQ(w.listener.sources[0], w.meters()[std::size_t(i)]) << i;
        EXPECT_TRUE(w.allAtRest()) << i;
        EXPECT_EQ(w.window.frame->getPressView(), nullptr) << "no moves or release wanted";
        EXPECT_TRUE(w.meters()[std::size_t(i)]->isDirty()) << i;
    }
}

TEST(MeterClicks, OtherButtonsAreNotHandled) {
    MeterWindow w;
    w.feed(kLoud);
    for (const CPoint& p : kInside)
        for (CButtonState b : {kRButton, kMButton})
            EXPECT_EQ(w.window.press(p.x, p.y, b), kMouseEventNotHandled) << p.x << "," << p.y;
    EXPECT_TRUE(w.listener.tags.empty());
    EXPECT_NEAR(w.lcdIn->getMaxDb(0), 20.0f * std::log10(0.9f), 1e-5);
}

// The read-outs clear their own values after telling the listener, whatever the listener does; the
// bars leave that to the editor.
TEST(MeterClicks, ReadoutsResetThemselves) {
    MeterWindow w;
    w.feed(kLoud);
    w.window.frame->idle();
    for (const CPoint& p : kInside)
        w.window.press(p.x, p.y, kLButton);
    EXPECT_EQ(w.listener.tags.size(), 6u);
    EXPECT_EQ(w.lcdIn->getMaxDb(0), -120.0f);
    EXPECT_EQ(w.lcdOut->getMaxDb(1), -120.0f);
    EXPECT_EQ(w.lcdGr->getMinDb(1), 0.0f);
    EXPECT_NEAR(w.gr->getGainReductionDb(0), 20.0f * std::log10(0.5f), 1e-5);
    EXPECT_NEAR(w.in->getPeakDb(1), 20.0f * std::log10(1.2f), 1e-5);
}

TEST(MeterArtwork, BitmapsHaveTheSizesTheMetersRelyOn) {
    const struct {
        int number;
        CCoord width, height;
    } sizes[] = {{128, 524, 462}, {129, 15, 432}, {130, 15, 432}, {154, 15, 432}, {155, 15, 432},
                 {131, 27, 367},  {132, 27, 367}, {133, 27, 367}, {134, 27, 367}, {135, 27, 367},
                 {136, 27, 367},  {137, 5, 1536}, {138, 5, 1536}, {156, 15, 203}, {167, 58, 306}};
    for (const auto& s : sizes) {
        CBitmap b(s.number);
        EXPECT_EQ(b.getWidth(), s.width) << s.number;
        EXPECT_EQ(b.getHeight(), s.height) << s.number;
    }
    for (const char* name : {"bmp00158.png", "bmp00159.png"}) {
        CBitmap b(name);
        EXPECT_EQ(b.getWidth(), 5) << name;
        EXPECT_EQ(b.getHeight(), 1536) << name;
    }
}

// With the real artwork, the frame's idle draws what the feeds say at the layout's pixels: strips at
// their rows, the grey and red read-out cells.
TEST(MeterArtwork, IdleRedrawShowsTheArtworkAtTheLayout) {
    MeterWindow w(true);
    CBitmap peakLit(130), peakUnlit(155), kLit(154), grBar(156), font137(137);
    w.lcdIn->setScaleMode(0);
    w.feed(kLoud);
    w.window.frame->idle();
    CFrame& f = *w.window.frame;

    // Input left: peak 0.9 (-0.92 dB) is 283 pixels: lit from y 119, unlit above.
    ASSERT_NE(peakLit.getPixel(5, 124), peakUnlit.getPixel(5, 124));
    ASSERT_NE(peakLit.getPixel(5, 125), peakUnlit.getPixel(5, 125));
    EXPECT_EQ(f.getSurfacePixel(155, 401), peakLit.getPixel(5, 407));
    EXPECT_EQ(f.getSurfacePixel(155, 119), peakLit.getPixel(5, 125));
    EXPECT_EQ(f.getSurfacePixel(155, 118), peakUnlit.getPixel(5, 124));
    // Gain reduction: 0.5 is 37 pixels from y 42 on the left bar.
    EXPECT_EQ(f.getSurfacePixel(240, 78), grBar.getPixel(6, 36));
    // Input read-out: -0.9 on a grey cell, the right value +1.6 on red.
    EXPECT_EQ(f.getSurfacePixel(132, 416), editor::kCellGrey.argb());
    EXPECT_EQ(f.getSurfacePixel(192, 416), editor::kCellOver.argb());
    EXPECT_EQ(f.getSurfacePixel(222, 416), editor::kCellOver.argb());
    EXPECT_EQ(f.getSurfacePixel(223, 416), CBitmap(128).getPixel(223, 416)) << "background beside the cell";
    // The unit's spacing column is the plain cell colour, and font 137's plain cells match it.
    EXPECT_EQ(f.getSurfacePixel(131 + 35 + 5, 420), editor::kCellPlain.argb());
    EXPECT_EQ(font137.getPixel(0, 0), editor::kCellPlain.argb());

    // K-20 from the next idle on: the RMS of 0.3 (-10.46 dB) fills 297 pixels from the K strip.
    w.in->setScaleMode(3);
    w.clock.time += 20;
    w.feed(kLoud);
    f.idle();
    EXPECT_EQ(f.getSurfacePixel(155, 402 - 297), kLit.getPixel(5, 384 - 297));
    EXPECT_FALSE(w.in->isDirty());
}

} // namespace
