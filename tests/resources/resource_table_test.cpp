// Every bitmap is present with its exact size and frame layout, found through the lookup the plug-in
// uses, and the built plug-in binary holds the same bytes.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <iterator>
#include <string>

#include "support/resource_list.h"

namespace {

using namespace testimg;

TEST(ResourceTable, EveryBitmapHasItsSizeAsAnUncompressedBottomUpDib) {
    for (const Expected& e : expectedBitmaps()) {
        SCOPED_TRACE("bitmap " + std::to_string(e.number));
        platform::ResourceData d = platform::findBitmapResource(e.number);
        ASSERT_TRUE(d);
        auto info = dibInfo(d.bytes, d.size);
        ASSERT_TRUE(info);
        EXPECT_EQ(info->headerSize, 40u);
        EXPECT_EQ(info->planes, 1);
        EXPECT_EQ(info->bitCount, 24);
        EXPECT_EQ(info->compression, 0u);
        EXPECT_EQ(info->width, e.width);
        EXPECT_EQ(info->height, e.frameHeight * e.frames); // positive: rows bottom-up
        const std::size_t stride = (static_cast<std::size_t>(e.width) * 3 + 3) & ~std::size_t(3);
        EXPECT_EQ(d.size, 40 + stride * e.frameHeight * e.frames);
    }
}

TEST(ResourceTable, NumbersOutsideTheSetAreAbsent) {
    for (int n : {127, 158, 159, 168, 989, 994, 996})
        EXPECT_FALSE(platform::findBitmapResource(n)) << n;
    EXPECT_FALSE(platform::findDataResource("BMP00157.PNG"));
    EXPECT_FALSE(platform::findDataResource(nullptr));
}

TEST(ResourceTable, PngStripsAreFoundByNameInAnyCase) {
    for (const char* name : {"BMP00158.PNG", "bmp00158.png", "BMP00159.PNG", "bmp00159.png"}) {
        SCOPED_TRACE(name);
        platform::ResourceData d = platform::findDataResource(name);
        ASSERT_TRUE(d);
        auto img = decodePng(d.bytes, d.size);
        ASSERT_TRUE(img);
        EXPECT_EQ(img->width, 5);
        EXPECT_EQ(img->height, 1536);
    }
}

// Mean absolute difference per component between two frames of a strip.
double frameDistance(const Image& img, int frameHeight, int a, int b) {
    double sum = 0;
    for (int y = 0; y < frameHeight; ++y)
        for (int x = 0; x < img.width; ++x) {
            const Pixel& p = img.at(x, a * frameHeight + y);
            const Pixel& q = img.at(x, b * frameHeight + y);
            sum += std::abs(p.r - q.r) + std::abs(p.g - q.g) + std::abs(p.b - q.b);
        }
    return sum / (3.0 * frameHeight * img.width);
}

// Pixels that differ visibly (more than 60 in the sum of the components) between two frames.
int visiblyDifferentPixels(const Image& img, int frameHeight, int a, int b) {
    int n = 0;
    for (int y = 0; y < frameHeight; ++y)
        for (int x = 0; x < img.width; ++x) {
            const Pixel& p = img.at(x, a * frameHeight + y);
            const Pixel& q = img.at(x, b * frameHeight + y);
            n += std::abs(p.r - q.r) + std::abs(p.g - q.g) + std::abs(p.b - q.b) > 60;
        }
    return n;
}

TEST(ResourceTable, FramesOfEveryButtonAndSwitchAreClearlyDifferent) {
    for (const Expected& e : expectedBitmaps()) {
        if (e.frames < 2 || e.frames > 7) continue;
        SCOPED_TRACE("bitmap " + std::to_string(e.number));
        auto img = bitmap(e.number);
        ASSERT_TRUE(img);
        for (int a = 0; a < e.frames; ++a)
            for (int b = a + 1; b < e.frames; ++b)
                EXPECT_GE(visiblyDifferentPixels(*img, e.frameHeight, a, b), 10)
                    << "frames " << a << " and " << b;
    }
}

TEST(ResourceTable, KnobFramesAllDifferAndTheBodyStaysStill) {
    for (const Expected& e : expectedBitmaps()) {
        if (e.frames != 101) continue;
        SCOPED_TRACE("knob " + std::to_string(e.number));
        auto img = bitmap(e.number);
        ASSERT_TRUE(img);
        for (int f = 0; f < 100; ++f)
            EXPECT_GT(frameDistance(*img, e.frameHeight, f, f + 1), 0.0) << f;
        // The corners lie outside the knob: the same background in every frame.
        for (int f = 1; f < 101; ++f)
            for (auto [x, y] : {std::pair{0, 0}, std::pair{e.width - 1, 0}})
                EXPECT_EQ(img->at(x, y), img->at(x, f * e.frameHeight + y)) << f;
    }
}

std::string readFile(const char* path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

TEST(ResourceTable, PluginBinaryHoldsEveryResourceVerbatim) {
    const std::string binary = readFile(ORVEL_PLUGIN_FILE);
    ASSERT_FALSE(binary.empty()) << ORVEL_PLUGIN_FILE;
    auto holds = [&](const platform::ResourceData& d) {
        std::string_view needle(reinterpret_cast<const char*>(d.bytes), d.size);
        return std::search(binary.begin(), binary.end(),
                           std::boyer_moore_horspool_searcher(needle.begin(), needle.end())) != binary.end();
    };
    for (const Expected& e : expectedBitmaps()) {
        platform::ResourceData d = platform::findBitmapResource(e.number);
        ASSERT_TRUE(d);
        EXPECT_TRUE(holds(d)) << "bitmap " << e.number;
    }
    for (const char* name : {"BMP00158.PNG", "BMP00159.PNG"}) {
        platform::ResourceData d = platform::findDataResource(name);
        ASSERT_TRUE(d);
        EXPECT_TRUE(holds(d)) << name;
    }
}

} // namespace
