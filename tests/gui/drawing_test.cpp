// Drawing rules of the draw contexts, bitmap decoding and drawing, text, and the frame's painting.
#include <gtest/gtest.h>

#include <cmath>
#include <set>

#include "gui/image_codec.h"
#include "gui/pixel_ops.h"
#include "platform/resources.h"
#include "support/gui_fixture.h"

using namespace guitest;

namespace {

constexpr std::uint32_t kWhite = 0xFFFFFFFF, kBlack = 0xFF000000, kRed = 0xFFFF0000, kGreen = 0xFF00FF00,
                        kBlue = 0xFF0000FF;

std::set<std::pair<int, int>> pixelsOf(const CDrawContext& c, std::uint32_t colour) {
    std::set<std::pair<int, int>> out;
    for (int y = 0; y < c.getHeight(); ++y)
        for (int x = 0; x < c.getWidth(); ++x)
            if (c.getPixel(x, y) == colour) out.insert({x, y});
    return out;
}

// Straight-alpha "source over" in real numbers, rounded: the reference for the integer blend. The
// opacity scales the source's 8-bit alpha first, as drawing through an 8-bit temporary image does.
std::uint32_t referenceBlend(std::uint32_t dst, std::uint32_t src, double opacity) {
    double sa = std::round(double(src >> 24) * opacity / 255.0) / 255.0, da = double(dst >> 24) / 255.0;
    double oa = sa + da * (1 - sa);
    auto ch = [&](int shift) {
        double s = double((src >> shift) & 0xFF), d = double((dst >> shift) & 0xFF);
        return oa > 0 ? (s * sa + d * da * (1 - sa)) / oa : 0.0;
    };
    auto q = [](double v) { return std::uint32_t(std::lround(v)); };
    return q(oa * 255) << 24 | q(ch(16)) << 16 | q(ch(8)) << 8 | q(ch(0));
}

bool near(std::uint32_t a, std::uint32_t b, int tolerance) {
    if ((a >> 24) == 0 && (b >> 24) == 0) return true; // no colour where nothing shows
    for (int shift = 0; shift < 32; shift += 8)
        if (std::abs(int((a >> shift) & 0xFF) - int((b >> shift) & 0xFF)) > tolerance) return false;
    return true;
}

} // namespace

TEST(Drawing, AnOutlineIsTheOutermostRingOfTheRectanglesOwnPixels) {
    const CRect cases[] = {{10, 10, 20, 20}, {20, 20, 10, 10}, {5, 5, 6, 9}, {3, 3, 4, 4}, {0, 0, 32, 2}};
    for (const CRect& rect : cases) {
        COffscreenContext c(32, 32, kWhiteCColor);
        c.setFrameColor(kBlackCColor);
        c.drawRect(rect, kDrawStroked);
        CRect r = rect.normalized();
        std::set<std::pair<int, int>> expected;
        for (int y = r.top; y < r.bottom; ++y)
            for (int x = r.left; x < r.right; ++x)
                if (x == r.left || x == r.right - 1 || y == r.top || y == r.bottom - 1)
                    expected.insert({x, y});
        EXPECT_EQ(pixelsOf(c, kBlack), expected)
            << rect.left << "," << rect.top << "," << rect.right << "," << rect.bottom;
    }
    // The edge case as stated: {10, 10, 20, 20} touches 10 to 19 both ways.
    COffscreenContext c(32, 32, kWhiteCColor);
    c.drawRect(CRect(10, 10, 20, 20));
    EXPECT_EQ(c.getPixel(10, 10), kBlack);
    EXPECT_EQ(c.getPixel(19, 19), kBlack);
    EXPECT_EQ(c.getPixel(20, 15), kWhite);
    EXPECT_EQ(c.getPixel(15, 20), kWhite);
}

TEST(Drawing, AFillCoversTheRectangleAndTheOutlineGoesOverIt) {
    COffscreenContext c(16, 16, kWhiteCColor);
    c.setFillColor(MakeCColor(0, 0, 255));
    c.setFrameColor(MakeCColor(255, 0, 0));
    c.drawRect(CRect(2, 3, 10, 8), kDrawFilledAndStroked);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) {
            bool inside = x >= 2 && x < 10 && y >= 3 && y < 8;
            bool ring = inside && (x == 2 || x == 9 || y == 3 || y == 7);
            EXPECT_EQ(c.getPixel(x, y), ring ? kRed : inside ? kBlue : kWhite) << x << "," << y;
        }
}

TEST(Drawing, LinesAreDrawnOneRowAboveTheirEnds) {
    struct Case {
        CPoint from, to;
        std::set<std::pair<int, int>> pixels;
    } cases[] = {
        {{0, 5},
         {10, 5},
         {{0, 4}, {1, 4}, {2, 4}, {3, 4}, {4, 4}, {5, 4}, {6, 4}, {7, 4}, {8, 4}, {9, 4}, {10, 4}}},
        {{3, 2}, {3, 6}, {{3, 1}, {3, 2}, {3, 3}, {3, 4}, {3, 5}}},
        {{0, 1}, {4, 5}, {{0, 0}, {1, 1}, {2, 2}, {3, 3}, {4, 4}}},
        {{6, 1}, {6, 1}, {{6, 0}}},
    };
    for (const Case& k : cases) {
        COffscreenContext c(16, 16, kWhiteCColor);
        c.moveTo(k.from);
        c.lineTo(k.to);
        EXPECT_EQ(pixelsOf(c, kBlack), k.pixels) << pointText(k.from) << " " << pointText(k.to);
        EXPECT_EQ(c.getPenPosition(), k.to);
    }
}

TEST(Drawing, ClipRectanglesAndOffsetsApplyToEveryPrimitive) {
    COffscreenContext c(20, 20, kWhiteCColor);
    c.setOffset(CPoint(2, 3));
    c.setClipRect(CRect(0, 0, 5, 5)); // surface pixels 2..6 x 3..7
    c.setFillColor(kBlackCColor);
    c.fillRect(CRect(-10, -10, 30, 30));
    std::set<std::pair<int, int>> expected;
    for (int y = 3; y < 8; ++y)
        for (int x = 2; x < 7; ++x)
            expected.insert({x, y});
    EXPECT_EQ(pixelsOf(c, kBlack), expected);
    CRect clip;
    EXPECT_EQ(c.getClipRect(clip), CRect(0, 0, 5, 5));

    COffscreenContext d(20, 20, kWhiteCColor);
    d.setClipRect(CRect(0, 0, 20, 4));
    d.moveTo(CPoint(0, 10));
    d.lineTo(CPoint(19, 0)); // only the part above row 4 is drawn
    for (auto [x, y] : pixelsOf(d, kBlack))
        EXPECT_LT(y, 4);
    EXPECT_FALSE(pixelsOf(d, kBlack).empty());
    auto bitmap = solidBitmap(8, 8, kRed);
    d.resetClipRect();
    d.setClipRect(CRect(10, 10, 12, 20));
    bitmap->draw(&d, CRect(6, 6, 14, 14));
    EXPECT_EQ(pixelsOf(d, kRed).size(), 2u * 4u);
    bitmap->forget();
}

TEST(Drawing, BlendingMatchesStraightAlphaSourceOver) {
    const std::uint32_t colours[] = {0xFF000000, 0xFFFFFFFF, 0xFF123456, 0x80FF8000, 0x01FFFFFF,
                                     0x00ABCDEF, 0xC0204060, 0x40F0E0D0, 0xFF0000FF};
    const std::uint32_t opacities[] = {255, 200, 128, 1, 0};
    for (std::uint32_t dst : colours)
        for (std::uint32_t src : colours)
            for (std::uint32_t a : opacities) {
                std::uint32_t got = gui::blendOver(dst, src, a);
                // Alpha is exact for an opaque destination; colours of see-through mixes may round
                // once more than the reference.
                EXPECT_TRUE(near(got, referenceBlend(dst, src, a), (dst >> 24) == 255 ? 1 : 2))
                    << std::hex << dst << " " << src << " " << std::dec << a << " got " << std::hex << got;
            }
}

TEST(Drawing, AlphaBlendedDrawingAt200ShowsThePictureAt200Of255OfItsAlpha) {
    COffscreenContext c(8, 4, MakeCColor(0, 0, 255));
    std::vector<std::uint32_t> pixels = {kRed, 0x80FF0000, 0x00FF0000, kGreen};
    CBitmap bitmap(4, 1, pixels.data());
    bitmap.drawAlphaBlend(&c, CRect(2, 1, 6, 2), CPoint(0, 0), 200);
    EXPECT_EQ(c.getPixel(2, 1), 0xFFC80037u);                       // 200 red over 55 blue
    EXPECT_EQ(c.getPixel(3, 1), gui::blendOver(kBlue, 0x64FF0000)); // alpha 128 drawn as 100
    EXPECT_EQ(c.getPixel(4, 1), kBlue);
    EXPECT_EQ(c.getPixel(5, 1), 0xFF00C837u);
    EXPECT_EQ(c.getPixel(1, 1), kBlue);
    EXPECT_EQ(c.getPixel(2, 0), kBlue);
    // At 255 the same drawing is the plain one.
    COffscreenContext d(8, 4, MakeCColor(0, 0, 255));
    bitmap.drawAlphaBlend(&d, CRect(2, 1, 6, 2), CPoint(0, 0), 255);
    EXPECT_EQ(d.getPixel(2, 1), kRed);
}

TEST(Drawing, PngAlphaShowsTheBackgroundThroughWhileABitmapResourceCoversIt) {
    std::vector<std::uint32_t> pixels = {0x00000000, kRed, 0x80FF0000, kBlue};
    std::vector<unsigned char> png = gui::encodePng(pixels.data(), 2, 2, 2);
    std::vector<unsigned char> dib = makeDib(2, 2, 32, {0x00FF0000, 0x00FF0000, 0x00FF0000, 0x00FF0000});
    CBitmap* fromPng = CBitmap::fromImageFile(png.data(), png.size());
    CBitmap* fromDib = CBitmap::fromDib(dib.data(), dib.size());
    ASSERT_TRUE(fromPng->isLoaded());
    ASSERT_TRUE(fromDib->isLoaded());

    COffscreenContext c(4, 2, MakeCColor(0, 255, 0));
    fromPng->drawTransparent(&c, CRect(0, 0, 2, 2));
    fromDib->drawTransparent(&c, CRect(2, 0, 4, 2));
    EXPECT_EQ(c.getPixel(0, 0), kGreen);                             // transparent: background
    EXPECT_EQ(c.getPixel(1, 0), kRed);                               // opaque
    EXPECT_EQ(c.getPixel(0, 1), gui::blendOver(kGreen, 0x80FF0000)); // half
    for (int y = 0; y < 2; ++y)
        for (int x = 2; x < 4; ++x)
            EXPECT_EQ(c.getPixel(x, y), kRed); // a DIB's alpha byte is ignored
    fromPng->forget();
    fromDib->forget();
}

TEST(Drawing, DibsDecodeWithTheirRowOrderPaddingAndPalette) {
    std::vector<std::uint32_t> pixels = {0xFF112233, 0xFF445566, 0xFF778899,
                                         0xFFAABBCC, 0xFFDDEEFF, 0xFF010203};
    struct Case {
        const char* name;
        std::vector<unsigned char> bytes;
        std::vector<std::uint32_t> expected;
    } cases[] = {
        {"24 bits, 3 wide (padded rows)", makeDib(3, 2, 24, pixels), pixels},
        {"32 bits", makeDib(3, 2, 32, pixels), pixels},
        {"24 bits top-down", makeDib(3, 2, 24, pixels, {}, true), pixels},
        {"8 bits palette",
         makeDib(3, 2, 8, {2, 1, 0, 0, 1, 2}, {0x0000FF, 0x00FF00, 0xFF0000}),
         {kRed, kGreen, kBlue, kBlue, kGreen, kRed}},
    };
    for (const Case& c : cases) {
        gui::DecodedImage image;
        ASSERT_TRUE(gui::decodeDib(c.bytes.data(), c.bytes.size(), image)) << c.name;
        EXPECT_EQ(image.width, 3) << c.name;
        EXPECT_EQ(image.height, 2) << c.name;
        EXPECT_EQ(image.pixels, c.expected) << c.name;
    }
    // Damaged data is refused, never read past its end.
    std::vector<unsigned char> dib = makeDib(3, 2, 24, pixels);
    gui::DecodedImage image;
    EXPECT_FALSE(gui::decodeDib(dib.data(), dib.size() - 1, image));
    EXPECT_FALSE(gui::decodeDib(dib.data(), 20, image));
    std::vector<unsigned char> wide = dib;
    wide[4] = 0xFF, wide[5] = 0xFF, wide[6] = 0xFF, wide[7] = 0x7F; // absurd width
    EXPECT_FALSE(gui::decodeDib(wide.data(), wide.size(), image));
    std::vector<unsigned char> rle = dib;
    rle[16] = 1; // run-length compressed
    EXPECT_FALSE(gui::decodeDib(rle.data(), rle.size(), image));
    CBitmap* bitmap = CBitmap::fromDib(dib.data(), 10);
    EXPECT_FALSE(bitmap->isLoaded());
    bitmap->draw(nullptr, CRect(0, 0, 1, 1));
    bitmap->forget();
}

TEST(Drawing, PngFilesRoundTripAndCarryNoColourChunks) {
    std::vector<std::uint32_t> pixels;
    for (std::uint32_t i = 0; i < 35; ++i)
        pixels.push_back(i * 0x07050301u);
    std::vector<unsigned char> png = gui::encodePng(pixels.data(), 7, 5, 7);
    gui::DecodedImage image;
    ASSERT_TRUE(gui::decodePng(png.data(), png.size(), image));
    EXPECT_EQ(image.pixels, pixels);
    std::vector<std::string> chunks;
    for (std::size_t at = 8; at + 8 <= png.size();) {
        std::size_t length = std::size_t(png[at]) << 24 | std::size_t(png[at + 1]) << 16 |
                             std::size_t(png[at + 2]) << 8 | png[at + 3];
        chunks.emplace_back(reinterpret_cast<const char*>(&png[at + 4]), 4);
        at += 12 + length;
    }
    ASSERT_GE(chunks.size(), 3u);
    EXPECT_EQ(chunks.front(), "IHDR");
    EXPECT_EQ(chunks.back(), "IEND");
    for (std::size_t i = 1; i + 1 < chunks.size(); ++i)
        EXPECT_EQ(chunks[i], "IDAT");
    EXPECT_FALSE(gui::decodePng(png.data(), 20, image));
}

TEST(Drawing, BitmapsAreSharedByReference) {
    CBitmap* bitmap = solidBitmap(4, 4, kRed);
    {
        CControl control(CRect(0, 0, 4, 4), nullptr, 0, bitmap);
        EXPECT_EQ(bitmap->getNbReference(), 2);
    }
    EXPECT_EQ(bitmap->getNbReference(), 1);
    bitmap->forget();
}

TEST(Drawing, AnOffscreenContextCopiesARectangleFromAnOffset) {
    COffscreenContext source(10, 10, kWhiteCColor);
    source.setFillColor(MakeCColor(255, 0, 0));
    source.fillRect(CRect(4, 4, 6, 6));
    COffscreenContext target(10, 10, MakeCColor(0, 0, 255));
    source.copyFrom(&target, CRect(0, 0, 3, 3), CPoint(3, 3));
    EXPECT_EQ(target.getPixel(0, 0), kWhite);
    EXPECT_EQ(target.getPixel(1, 1), kRed);
    EXPECT_EQ(target.getPixel(2, 2), kRed);
    EXPECT_EQ(target.getPixel(3, 3), kBlue);
}

TEST(Drawing, TextSitsOnTheBaselineOfThePointItIsDrawnAt) {
    COffscreenContext c(120, 40, kWhiteCColor);
    c.setFont(kNormalFontSmaller);
    c.setFontColor(kBlackCColor);
    c.drawString("HxH", CPoint(10, 25));
    int top = 99, bottom = -1, left = 999, right = -1;
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 120; ++x)
            if (c.getPixel(x, y) != kWhite) {
                top = std::min(top, y), bottom = std::max(bottom, y);
                left = std::min(left, x), right = std::max(right, x);
            }
    // The height of a 10-pixel Arial-metric font is 11.5 pixels and its ascent 9.05: the text's
    // top goes to 25 + 1 - 11.5 and its baseline 9.05 lower (23.55: row 24), so capitals end on row 23.
    EXPECT_EQ(bottom, 23);
    EXPECT_GE(top, 15);
    EXPECT_LE(top, 17);
    EXPECT_GE(left, 10);
    EXPECT_NEAR(right - 10, c.getStringWidth("HxH"), 2);
    EXPECT_EQ(c.getStringWidth(""), 0);
    EXPECT_GT(c.getStringWidth("WWW"), c.getStringWidth("iii"));
}

TEST(Drawing, TextHasTheSamePixelsOnEverySystem) {
    COffscreenContext c(140, 30, MakeCColor(189, 207, 218));
    c.setFont(kNormalFontSmaller);
    c.setFontColor(MakeCColor(36, 36, 32));
    c.drawString("Limiter Fast 1.1.9", CRect(0, 0, 140, 30), kCenterText);
    c.setFont(kNormalFont);
    c.drawString("gAy", CPoint(3, 28));
    std::uint64_t print = fingerprint(c.getPixels(), std::size_t(140 * 30));
    EXPECT_EQ(print, 0x177b32e7d98fcc3dull) << std::hex << print;
}

TEST(Drawing, TheFrameDrawsItsBackgroundThenItsViewsInOrderEachClippedToItself) {
    struct Filler : CView {
        Filler(const CRect& r, CColor c) : CView(r), colour(c) {}
        void draw(CDrawContext* context) override {
            context->setFillColor(colour);
            context->fillRect(CRect(0, 0, 1000, 1000)); // far beyond itself: the clip holds it
            setDirty(false);
        }
        CColor colour;
    };
    FrameFixture f(CRect(0, 0, 40, 30));
    CBitmap* background = solidBitmap(40, 30, 0xFF808080);
    f->setBackground(background);
    background->forget();
    f->addView(new Filler(CRect(5, 5, 20, 20), MakeCColor(255, 0, 0)));
    f->addView(new Filler(CRect(15, 15, 30, 25), MakeCColor(0, 0, 255)));
    f.window().paint();
    EXPECT_EQ(f.window().pixel(0, 0), 0xFF808080u);
    EXPECT_EQ(f.window().pixel(6, 6), kRed);
    EXPECT_EQ(f.window().pixel(16, 16), kBlue); // added later, drawn over
    EXPECT_EQ(f.window().pixel(25, 10), 0xFF808080u);
    EXPECT_EQ(f.window().pixel(35, 28), 0xFF808080u);
}

TEST(Drawing, IdleRedrawsOnlyDirtyViewsAndAPartialPaintLeavesThemDirty) {
    struct Counter : CView {
        explicit Counter(const CRect& r) : CView(r) {}
        void draw(CDrawContext*) override {
            ++draws;
            setDirty(false);
        }
        int draws = 0;
    };
    FrameFixture f(CRect(0, 0, 60, 40));
    auto* a = new Counter(CRect(0, 0, 20, 20));
    auto* b = new Counter(CRect(30, 0, 50, 20));
    f->addView(a);
    f->addView(b);
    f->idle(); // new views are dirty; the window's first paint is pending too
    EXPECT_GE(a->draws, 1);
    a->draws = b->draws = 1;
    EXPECT_FALSE(f.window().hasPendingPaint());
    f->idle();
    EXPECT_EQ(b->draws, 1);
    EXPECT_EQ(a->draws, 1);
    b->setDirty();
    f->idle();
    EXPECT_EQ(a->draws, 1);
    EXPECT_EQ(b->draws, 2);
    // A paint that covers only part of a dirty view draws that part and keeps it dirty.
    b->setDirty();
    f.window().paint({40, 0, 60, 10});
    EXPECT_EQ(b->draws, 3);
    EXPECT_TRUE(b->isDirty());
    f->idle();
    EXPECT_EQ(b->draws, 4);
    EXPECT_FALSE(b->isDirty());
    // invalid() asks the window for a paint; the pump's paint dispatch or the next idle draws it.
    a->invalid();
    EXPECT_TRUE(f.window().hasPendingPaint());
    f->dispatchPendingPaints();
    EXPECT_EQ(a->draws, 2);
    EXPECT_FALSE(f.window().hasPendingPaint());
    a->invalid();
    f->idle();
    EXPECT_EQ(a->draws, 3);
    EXPECT_FALSE(f.window().hasPendingPaint());
}
