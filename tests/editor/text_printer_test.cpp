// Bitmap-font printers: glyph rows and positions, cell colours, transparency and the colours a print
// leaves behind.
#include <gtest/gtest.h>

#include "editor/text_printer.h"
#include "tests/editor/support/meter_fixture.h"

using namespace metertest;

namespace {

TEST(TextPrinter, GlyphIndexOfCharacters) {
    struct {
        char ch;
        bool highlighted;
        int glyph;
    } cases[] = {
        {' ', false, 0},     {' ', true, 96},  {'A', false, 33},   {'A', true, 129},    {'~', false, 94},
        {'\x7F', true, 191}, {'0', false, 16}, {'\x01', false, 0}, {'\xC1', false, 33}, // the high bit is
                                                                                        // dropped
    };
    for (const auto& c : cases)
        EXPECT_EQ(editor::glyphIndex(c.ch, c.highlighted), c.glyph) << int(c.ch) << " " << c.highlighted;
}

struct PrintCase {
    const char* text;
    bool vertical;
    bool highlighted;
};

TEST(TextPrinter, OpaquePrintFillsCellsAndDrawsGlyphs) {
    const PrintCase cases[] = {
        {"Az-9", false, false}, {"-6.0", false, true}, {"dB", true, false}, {"L", true, true}};
    CodedBitmaps b;
    CTextPrinter printer(b.get(kIdFont), b.get(kIdTransparentFont));
    for (const PrintCase& c : cases) {
        Canvas canvas;
        printer.print(&canvas.context, 20, 30, c.text, c.vertical, c.highlighted, false);
        Picture expected;
        const CColor cell = c.highlighted ? editor::kCellGrey : editor::kCellPlain;
        expected.text(kIdFont, 20, 30, c.text, c.highlighted, &cell, c.vertical);
        EXPECT_EQ(firstDifference(canvas, expected, CRect(0, 0, 524, 462)), "") << c.text;
    }
}

// Transparent printing draws the second font's glyphs only: its see-through pixels and the spacing
// column leave the background as it was.
TEST(TextPrinter, TransparentPrintLetsTheBackgroundThrough) {
    std::vector<std::uint32_t> pixels(5 * 1536);
    for (std::size_t i = 0; i < pixels.size(); ++i)
        pixels[i] = i % 2 ? 0x00FFFFFFu : 0xFF00FF00u; // every other pixel clear
    CBitmap* seeThrough = new CBitmap(5, 1536, pixels.data());
    CodedBitmaps b;
    CTextPrinter printer(b.get(kIdFont), seeThrough);
    seeThrough->forget();
    EXPECT_EQ(seeThrough->getNbReference(), 1) << "the printer keeps its own reference";

    Canvas canvas;
    printer.print(&canvas.context, 10, 20, "ab", false, true, true);
    for (CCoord y = 13; y <= 20; ++y)
        for (CCoord x = 10; x < 22; ++x) {
            const CCoord col = (x - 10) % 6;
            const int glyph = ((x - 10) / 6 ? 'b' : 'a') - 32 + 96;
            const std::uint32_t source = col < 5 ? pixels[std::size_t((8 * glyph + y - 13) * 5 + col)] : 0;
            const std::uint32_t expected = col < 5 && source >> 24 ? source : kSentinel;
            ASSERT_EQ(canvas.at(x, y), expected) << x << "," << y;
        }

    // Without a transparent font a transparent print draws nothing.
    CTextPrinter opaqueOnly(b.get(kIdFont));
    Canvas untouched;
    opaqueOnly.print(&untouched.context, 10, 20, "ab", false, false, true);
    EXPECT_EQ(firstDifference(untouched, Picture(), CRect(0, 0, 524, 462)), "");
}

TEST(TextPrinter, LeavesTheContextColoursAsTheyWere) {
    CodedBitmaps b;
    CTextPrinter printer(b.get(kIdFont));
    CTextPrinter2Color printer2(b.get(kIdFont), b.get(kIdOverFont));
    Canvas canvas;
    const CColor frame = MakeCColor(1, 2, 3), fill = MakeCColor(4, 5, 6, 7);
    canvas.context.setFrameColor(frame);
    canvas.context.setFillColor(fill);
    printer.print(&canvas.context, 0, 7, "x", false, true, false);
    printer2.print(&canvas.context, 0, 20, "x", false, true, true);
    EXPECT_EQ(canvas.context.getFrameColor(), frame);
    EXPECT_EQ(canvas.context.getFillColor(), fill);
}

TEST(TextPrinter2Color, FontAndCellColourByStyle) {
    const struct {
        bool highlighted, over;
        int font;
        CColor cell;
    } cases[] = {
        {false, false, kIdFont, editor::kCellPlain},
        {false, true, kIdOverFont, editor::kCellPlain},
        {true, false, kIdFont, editor::kCellGrey},
        {true, true, kIdOverFont, editor::kCellOver},
    };
    CodedBitmaps b;
    CTextPrinter2Color printer(b.get(kIdFont), b.get(kIdOverFont));
    for (const auto& c : cases) {
        for (bool vertical : {false, true}) {
            Canvas canvas;
            printer.print(&canvas.context, 100, 200, "+0.3", vertical, c.highlighted, c.over);
            Picture expected;
            expected.text(c.font, 100, 200, "+0.3", c.highlighted, &c.cell, vertical);
            EXPECT_EQ(firstDifference(canvas, expected, CRect(0, 0, 524, 462)), "")
                << c.highlighted << c.over << vertical;
        }
    }
}

TEST(TextPrinter, CopiesShareTheFonts) {
    CodedBitmaps b;
    CBitmap* font = b.get(kIdFont);
    const int before = font->getNbReference();
    {
        CTextPrinter a(font);
        CTextPrinter copy = a;
        CTextPrinter assigned;
        assigned = copy;
        assigned = assigned;
        EXPECT_EQ(font->getNbReference(), before + 3);
        Canvas canvas;
        assigned.print(&canvas.context, 0, 7, "Q");
        EXPECT_EQ(canvas.at(0, 0), code(kIdFont, 0, 8 * ('Q' - 32)));
    }
    EXPECT_EQ(font->getNbReference(), before);
}

} // namespace
