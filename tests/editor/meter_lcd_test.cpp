// Peak and gain-reduction read-outs: their texts on every scale, the locale-free number format, and
// the pictures they compose (background, unit, cells, glyphs) against a reference painter.
#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <cstdio>
#include <limits>
#include <random>
#include <string>

#include "editor/meter_lcd.h"
#include "editor/meter_level.h"
#include "tests/editor/support/meter_fixture.h"
#include "tests/support/comma_locale.h"

using namespace metertest;

namespace {

constexpr CRect kInputLcd(131, 415, 224, 426);
constexpr CRect kOutputLcd(303, 415, 396, 426);
constexpr CRect kGrLcd(217, 199, 310, 210);

std::string valueText(const CMeterLCD& lcd, int channel) {
    char text[32];
    lcd.valueText(channel, text, sizeof text);
    return text;
}

std::string valueText(const CMeterLCDGR& lcd, int channel) {
    char text[32];
    lcd.valueText(channel, text, sizeof text);
    return text;
}

std::string printed(float v, bool withSign) {
    char text[32];
    return editor::formatOneDecimal(v, withSign, text, sizeof text);
}

// The read-outs print one decimal as printf does in the C locale, whatever locale the host runs in.
TEST(ReadoutFormat, OneDecimalAsPrintfInTheCLocale) {
    struct {
        float v;
        const char* plain;
        const char* sign;
    } cases[] = {
        {0.0f, "0.0", "+0.0"},          {-6.0206f, "-6.0", "-6.0"},    {0.25f, "0.2", "+0.2"},
        {0.35f, "0.3", "+0.3"},         {-0.04f, "-0.0", "-0.0"},      {12.35f, "12.4", "+12.4"},
        {1000.0f, "1000.0", "+1000.0"}, {-99.96f, "-100.0", "-100.0"}, {-99.95f, "-99.9", "-99.9"},
        {5.98f, "6.0", "+6.0"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(printed(c.v, false), c.plain) << c.v;
        EXPECT_EQ(printed(c.v, true), c.sign) << c.v;
    }

    // A table of levels against the C library's own "%2.1f" and "%+2.1f" (this program never changes
    // its locale from "C" for this comparison).
    std::mt19937 random(20240611);
    std::uniform_real_distribution<float> level(-200.0f, 200.0f);
    for (int i = 0; i < 2000; ++i) {
        const float v = i < 400 ? float(i - 200) / 20.0f + 0.05f : level(random);
        char expected[64];
        std::snprintf(expected, sizeof expected, "%2.1f", double(v));
        EXPECT_EQ(printed(v, false), expected) << v;
        std::snprintf(expected, sizeof expected, "%+2.1f", double(v));
        EXPECT_EQ(printed(v, true), expected) << v;
    }

    // Too small a buffer gives an empty text, never a cut number.
    char small[4] = {'x', 'x', 'x', 'x'};
    EXPECT_STREQ(editor::formatOneDecimal(-12.5f, true, small, sizeof small), "");
}

TEST(ReadoutFormat, DecimalPointUnderACommaLocale) {
    testsupport::CommaLocale comma;
    ASSERT_TRUE(comma) << "no locale with a decimal comma could be had";
    EXPECT_EQ(printed(-6.0206f, true), "-6.0");
}

struct LcdTextCase {
    int mode;
    std::vector<float> feeds; // peaks fed to the left channel, in order
    const char* text;
};

TEST(PeakReadout, TextsOnEveryScale) {
    const LcdTextCase cases[] = {
        {0, {}, "-oo"},      // after reset, until a louder peak arrives
        {3, {}, "-oo"},      // -120 + 20 is still at the -100 limit
        {3, {0.1f}, "+0.0"}, // -20 dBFS on K-20
        {0, {0.1f}, "-20.0"},
        {1, {0.5f}, "+6.0"},
        {2, {1.0f}, "+14.0"},
        {0, {1.0f}, "+0.0"},
        {0, {amplitude(0.3)}, "+0.3"},
        {3, {amplitude(0.3)}, "+20.3"},
        {0, {amplitude(-99.9)}, "-99.9"},
        {0, {amplitude(-100.5)}, "-oo"},
        {1, {amplitude(-112.5)}, "-oo"},
        {1, {amplitude(-111.5)}, "-99.5"},
        {0, {0.0f}, "-oo"},               // a zero peak never beats the stored maximum
        {0, {0.5f, 0.25f, 0.0f}, "-6.0"}, // the highest peak since the reset stays
        {0, {0.25f, 0.5f}, "-6.0"},
        {0, {std::numeric_limits<float>::quiet_NaN(), 0.5f}, "-6.0"},
    };
    CodedBitmaps b;
    for (const LcdTextCase& c : cases) {
        CMeterLCD lcd(kInputLcd, nullptr, editor::kMeterTag, b.get(kIdBackground), b.get(kIdFont),
                      b.get(kIdOverFont));
        lcd.setScaleMode(c.mode);
        for (float peak : c.feeds)
            lcd.feed(peak, 1.0f);
        EXPECT_EQ(valueText(lcd, 0), c.text) << "mode " << c.mode << ", " << c.feeds.size() << " feeds";
        const char* right = c.feeds.empty() ? "-oo"
                            : c.mode == 0   ? "+0.0"
                            : c.mode == 1   ? "+12.0"
                            : c.mode == 2   ? "+14.0"
                                            : "+20.0";
        EXPECT_EQ(valueText(lcd, 1), right) << "mode " << c.mode;
    }
}

// The reference picture of a peak read-out: the window background behind it, the unit on plain cells,
// then each value on its grey (or, over full scale, red) cell.
Picture expectedPeakReadout(const CRect& r, int mode, const std::string texts[2], const bool over[2]) {
    Picture p;
    const CColor plain = editor::kCellPlain, grey = editor::kCellGrey, red = editor::kCellOver;
    p.blit(kIdBackground, r, CPoint(r.left, r.top));
    if (mode == 0) {
        p.text(kIdFont, r.left + 35, r.bottom - 2, "dBFS", false, &plain);
    } else {
        p.text(kIdFont, r.left + 35, r.bottom - 2, "    ", false, &plain);
        p.text(kIdFont, r.left + 38, r.bottom - 2, "dBr", false, &plain);
    }
    for (int c = 0; c < 2; ++c) {
        const CCoord left = r.left + (c ? 61 : 1);
        p.fill(CRect(left, r.bottom - 10, left + 31, r.bottom - 1), (over[c] ? red : grey).argb());
        const CCoord x = r.left + (c ? 77 : 17) - 3 * CCoord(texts[c].size());
        p.text(over[c] ? kIdOverFont : kIdFont, x, r.bottom - 2, texts[c], true, over[c] ? &red : &grey);
    }
    return p;
}

struct LcdPictureCase {
    CRect rect;
    int mode;
    float peak[2];
    std::string texts[2];
    bool over[2];
};

TEST(PeakReadout, PictureOfUnitCellsAndValues) {
    const LcdPictureCase cases[] = {
        {kInputLcd, 0, {0.5f, amplitude(0.3)}, {"-6.0", "+0.3"}, {false, true}},
        {kOutputLcd, 2, {1.0f, amplitude(0.3)}, {"+14.0", "+14.3"}, {false, true}},
        {kOutputLcd, 3, {0.1f, 0.0f}, {"+0.0", "-oo"}, {false, false}},
        {kInputLcd, 1, {amplitude(6.0), 1.0f}, {"+18.0", "+12.0"}, {true, false}},
    };
    CodedBitmaps b;
    for (const LcdPictureCase& c : cases) {
        CMeterLCD lcd(c.rect, nullptr, editor::kMeterTag, b.get(kIdBackground), b.get(kIdFont),
                      b.get(kIdOverFont));
        lcd.setScaleMode(c.mode);
        lcd.feed(c.peak[0], c.peak[1]);
        Canvas canvas;
        lcd.draw(&canvas.context);
        EXPECT_EQ(firstDifference(canvas, expectedPeakReadout(c.rect, c.mode, c.texts, c.over),
                                  CRect(0, 0, 524, 462)),
                  "")
            << "mode " << c.mode << " " << c.texts[0] << " " << c.texts[1];
        EXPECT_FALSE(lcd.isDirty());
        // The fill colour the read-out leaves behind on its surface does not leak into the window.
        EXPECT_EQ(canvas.context.getFillColor(), kWhiteCColor);
    }
}

// Switching the scale changes the unit and shifts the values; the maxima themselves stay in dBFS.
TEST(PeakReadout, ScaleModeSwitchesUnitAndShift) {
    CodedBitmaps b;
    CMeterLCD lcd(kInputLcd, nullptr, editor::kMeterTag, b.get(kIdBackground), b.get(kIdFont),
                  b.get(kIdOverFont));
    lcd.feed(0.1f, amplitude(0.3));
    const struct {
        int mode, stored;
        const char* left;
        const char* right;
    } steps[] = {{3, 3, "+0.0", "+20.3"},
                 {0, 0, "-20.0", "+0.3"},
                 {2, 2, "-6.0", "+14.3"},
                 {1, 1, "-8.0", "+12.3"},
                 {9, 0, "-20.0", "+0.3"}};
    Canvas canvas;
    for (const auto& s : steps) {
        lcd.draw(&canvas.context);
        lcd.setScaleMode(s.mode);
        EXPECT_TRUE(lcd.isDirty());
        EXPECT_EQ(lcd.getScaleMode(), s.stored);
        EXPECT_EQ(valueText(lcd, 0), s.left) << s.mode;
        EXPECT_EQ(valueText(lcd, 1), s.right) << s.mode;
        lcd.draw(&canvas.context);
        const std::string texts[2] = {s.left, s.right};
        const bool over[2] = {false, true};
        EXPECT_EQ(firstDifference(canvas, expectedPeakReadout(kInputLcd, s.stored, texts, over), kInputLcd),
                  "")
            << s.mode;
    }
}

TEST(PeakReadout, ResetShowsNoPeakUntilALouderOne) {
    CodedBitmaps b;
    CMeterLCD lcd(kOutputLcd, nullptr, editor::kMeterTag, b.get(kIdBackground), b.get(kIdFont),
                  b.get(kIdOverFont));
    lcd.feed(2.0f, 0.5f);
    Canvas canvas;
    lcd.draw(&canvas.context);
    lcd.reset();
    EXPECT_TRUE(lcd.isDirty());
    EXPECT_EQ(lcd.getMaxDb(0), -120.0f);
    EXPECT_EQ(valueText(lcd, 0), "-oo");
    EXPECT_EQ(valueText(lcd, 1), "-oo");
    lcd.feed(0.0f, 0.0f);
    EXPECT_EQ(valueText(lcd, 1), "-oo");
    lcd.feed(0.0f, 0.01f);
    EXPECT_EQ(valueText(lcd, 0), "-oo");
    EXPECT_EQ(valueText(lcd, 1), "-40.0");
}

Picture expectedReductionReadout(const CRect& r, const std::string texts[2]) {
    Picture p;
    const CColor plain = editor::kCellPlain, grey = editor::kCellGrey;
    p.blit(kIdBackground, r, CPoint(r.left, r.top));
    p.text(kIdFont, r.left + 41, r.bottom - 2, "dB", false, &plain);
    for (int c = 0; c < 2; ++c) {
        const CCoord left = r.left + (c ? 61 : 1);
        p.fill(CRect(left, r.bottom - 10, left + 31, r.bottom - 1), grey.argb());
        p.text(kIdFont, r.left + (c ? 77 : 17) - 3 * CCoord(texts[c].size()), r.bottom - 2, texts[c], true,
               &grey);
    }
    return p;
}

TEST(ReductionReadout, DeepestReductionSinceReset) {
    CodedBitmaps b;
    CMeterLCDGR lcd(kGrLcd, nullptr, editor::kMeterTag, b.get(kIdBackground), b.get(kIdFont));
    const struct {
        float gain[2];
        const char* texts[2];
    } steps[] = {
        {{1.0f, 1.0f}, {"0.0", "0.0"}},
        {{0.5f, 0.9f}, {"-6.0", "-0.9"}},
        {{0.25f, 1.0f}, {"-12.0", "-0.9"}},
        {{0.9f, std::numeric_limits<float>::quiet_NaN()}, {"-12.0", "-0.9"}},
        {{amplitude(-0.04), amplitude(-20.06)}, {"-12.0", "-20.1"}},
    };
    Canvas canvas;
    for (const auto& s : steps) {
        lcd.draw(&canvas.context);
        lcd.feed(s.gain[0], s.gain[1]);
        EXPECT_TRUE(lcd.isDirty());
        EXPECT_EQ(valueText(lcd, 0), s.texts[0]);
        EXPECT_EQ(valueText(lcd, 1), s.texts[1]);
        lcd.draw(&canvas.context);
        const std::string texts[2] = {s.texts[0], s.texts[1]};
        EXPECT_EQ(firstDifference(canvas, expectedReductionReadout(kGrLcd, texts), CRect(0, 0, 524, 462)), "")
            << s.texts[0];
    }
    lcd.reset();
    EXPECT_EQ(valueText(lcd, 0), "0.0");
    EXPECT_EQ(valueText(lcd, 1), "0.0");
}

} // namespace
