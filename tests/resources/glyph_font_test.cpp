// The bitmap fonts: opaque glyphs sit on the cell colours the printers fill first, the PNG strips are
// the same glyph shapes with real transparency, and the PNG files carry no chunk that would let a
// decoder alter their colours.
#include <gtest/gtest.h>

#include <map>
#include <string>

#include "support/resource_list.h"

namespace {

using namespace testimg;

constexpr Pixel kPlainCell{223, 247, 255}, kGreyCell{79, 79, 79}, kOverCell{229, 53, 5};

// Every pixel of each glyph is either the cell colour or one ink colour clearly apart from it; the
// blank glyph is all cell.
void expectGlyphs(const Image& font, int firstGlyph, const Pixel& cell) {
    std::map<int, int> inkPixels;
    for (int g = firstGlyph; g < firstGlyph + 96; ++g) {
        std::optional<Pixel> ink;
        for (int y = 0; y < 8; ++y)
            for (int x = 0; x < 5; ++x) {
                const Pixel& p = font.at(x, g * 8 + y);
                if (p == cell) continue;
                if (!ink) ink = p;
                ASSERT_EQ(p, *ink) << "glyph " << g << " mixes colours";
                ++inkPixels[g];
            }
        if (ink) {
            int contrast = std::abs(ink->r - cell.r) + std::abs(ink->g - cell.g) + std::abs(ink->b - cell.b);
            EXPECT_GT(contrast, 250) << "glyph " << g;
        }
    }
    EXPECT_EQ(inkPixels.count(firstGlyph), 0u) << "the space must be blank";
    for (int ch = 33; ch < 127; ++ch)
        EXPECT_GT(inkPixels[firstGlyph + ch - 32], 0) << "character " << ch;
}

TEST(GlyphFonts, OpaqueGlyphsSitOnThePrintersCellColours) {
    auto f137 = bitmap(137), f138 = bitmap(138);
    ASSERT_TRUE(f137 && f138);
    {
        SCOPED_TRACE("137 plain");
        expectGlyphs(*f137, 0, kPlainCell);
    }
    {
        SCOPED_TRACE("137 highlighted");
        expectGlyphs(*f137, 96, kGreyCell);
    }
    {
        SCOPED_TRACE("138 plain");
        expectGlyphs(*f138, 0, kPlainCell);
    }
    {
        SCOPED_TRACE("138 highlighted (over)");
        expectGlyphs(*f138, 96, kOverCell);
    }
}

TEST(GlyphFonts, PngStripsAreTheSameGlyphsWithTransparency) {
    auto f137 = bitmap(137);
    ASSERT_TRUE(f137);
    for (const char* name : {"bmp00158.png", "bmp00159.png"}) {
        SCOPED_TRACE(name);
        auto png = pngResource(name);
        ASSERT_TRUE(png);
        ASSERT_EQ(png->width, 5);
        ASSERT_EQ(png->height, 1536);
        int clear = 0, opaque = 0;
        for (int y = 0; y < png->height; ++y)
            for (int x = 0; x < 5; ++x) {
                const Pixel& p = png->at(x, y);
                EXPECT_TRUE(p.a == 0 || p.a == 255) << "partial alpha at " << x << "," << y;
                (p.a == 0 ? clear : opaque)++;
                const Pixel& cell = y < 768 ? kPlainCell : kGreyCell;
                EXPECT_EQ(p.a != 0, !(f137->at(x, y) == cell)) << "shape differs at " << x << "," << y;
            }
        EXPECT_GT(clear, opaque);
        EXPECT_GT(opaque, 500);
    }
}

TEST(GlyphFonts, PngFilesHaveNoGammaOrColourProfileChunks) {
    for (const char* name : {"BMP00158.PNG", "BMP00159.PNG"}) {
        SCOPED_TRACE(name);
        platform::ResourceData d = platform::findDataResource(name);
        ASSERT_TRUE(d);
        std::vector<std::string> chunks = pngChunks(d.bytes, d.size);
        ASSERT_FALSE(chunks.empty()) << "not a valid PNG";
        EXPECT_EQ(chunks.front(), "IHDR");
        EXPECT_EQ(chunks.back(), "IEND");
        for (const std::string& c : chunks)
            EXPECT_TRUE(c == "IHDR" || c == "IDAT" || c == "IEND") << c;
    }
}

} // namespace
