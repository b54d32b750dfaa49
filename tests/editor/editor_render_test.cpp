// render-editor's pictures and command-line values: the picture is what the open editor shows, and
// its numbers read the same whatever the C locale.
#include <gtest/gtest.h>

#include "support/editor_host.h"
#include "tests/support/comma_locale.h"
#include "tools/render-editor/render.h"

using namespace editortest;
using render_editor::parseMeters;
using render_editor::parseSetting;

TEST(RenderEditor, DrawsWhatTheOpenEditorShows) {
    render_editor::Scene scene;
    scene.parameters = {{engine::kDrive, 0.625f}, {engine::kMeterType, 0.75f}, {engine::kQuantize, 0.75f}};
    const render_editor::Picture picture = render_editor::render(scene);
    ASSERT_EQ(picture.width, 524);
    ASSERT_EQ(picture.height, 462);

    EditorBench bench;
    for (const auto& [index, value] : scene.parameters)
        bench.plugin().setParameter(index, value);
    bench.open();
    bench.idle();
    EXPECT_EQ(picture.pixels, bench.window().pixels());
}

TEST(RenderEditor, FeedsTheMetersAndOpensTheInfoPanelOnRequest) {
    render_editor::Scene quiet;
    render_editor::Scene loud = quiet;
    const float meters[10] = {0.5f, 0.5f, 0.9f, 0.9f, 0.2f, 0.2f, 0.3f, 0.3f, 0.5f, 0.5f};
    std::copy(meters, meters + 10, loud.meters);
    loud.feedMeters = true;
    render_editor::Scene info = quiet;
    info.infoPanel = true;
    const auto a = render_editor::render(quiet).pixels, b = render_editor::render(loud).pixels,
               c = render_editor::render(info).pixels;
    const auto at = [](const std::vector<std::uint32_t>& p, int x, int y) {
        return p[std::size_t(y) * 524 + x];
    };
    // The input meter's left bar at -6 dBFS of the peak scale (bar row 402 - 252) is lit.
    EXPECT_NE(at(a, 157, 160), at(b, 157, 160));
    // The gain-reduction bar hangs from y 42.
    EXPECT_NE(at(a, 240, 50), at(b, 240, 50));
    // The info panel's glass covers x 43 ... 480, y 294 ... 429.
    EXPECT_NE(at(a, 300, 420), at(c, 300, 420));
    EXPECT_EQ(at(a, 300, 290), at(c, 300, 290));
}

TEST(RenderEditor, ParsesSettingsByNameIndexValueOrText) {
    struct Case {
        const char* text;
        bool ok;
        int index;
        float value;
    };
    const Case cases[] = {
        {"Drive=0.625", true, 1, 0.625f},
        {"meterType=K-SYSTEM", true, 18, 0.75f},
        {"Scale=K-20", true, 9, engine::centre(2, 3)},
        {"NoiseShape=type A", true, 11, engine::centre(1, 4)},
        {"9=0.5", true, 9, 0.5f},
        {"L/R Link=1", true, 5, 1.0f},
        {"Drive=1.5", false, 0, 0},
        {"Drive=-0.1", false, 0, 0},
        {"Drive=0.5x", false, 0, 0},
        {"Drive=", false, 0, 0},
        {"Power=maybe", false, 0, 0},
        {"Nothing=1", false, 0, 0},
        {"26=0.5", false, 0, 0},
        {"Drive", false, 0, 0},
        {"=0.5", false, 0, 0},
    };
    for (const Case& c : cases) {
        std::pair<int, float> setting{-1, -1.0f};
        std::string error;
        EXPECT_EQ(parseSetting(c.text, setting, error), c.ok) << c.text;
        if (c.ok) {
            EXPECT_EQ(setting.first, c.index) << c.text;
            EXPECT_EQ(setting.second, c.value) << c.text;
        } else {
            EXPECT_FALSE(error.empty()) << c.text;
        }
    }
}

TEST(RenderEditor, ParsesTenMeterValues) {
    float meters[10] = {};
    std::string error;
    EXPECT_TRUE(parseMeters("0.5,0.5,1,1,0.25,0.25,0.125,0.125,0.75,1", meters, error)) << error;
    EXPECT_EQ(meters[0], 0.5f);
    EXPECT_EQ(meters[6], 0.125f);
    EXPECT_EQ(meters[9], 1.0f);
    for (const char* bad :
         {"0.5,0.5,1,1,0.25,0.25,0.125,0.125,0.75", "0.5,0.5,1,1,0.25,0.25,0.125,0.125,0.75,1,1",
          "0.5,0.5,1,1,-0.25,0.25,0.125,0.125,0.75,1", "0.5,,1,1,0.25,0.25,0.125,0.125,0.75,1"}) {
        EXPECT_FALSE(parseMeters(bad, meters, error)) << bad;
    }
}

TEST(RenderEditor, NumbersReadTheDecimalPointWhateverTheLocale) {
    testsupport::CommaLocale comma;
    ASSERT_TRUE(comma) << "no locale with a decimal comma could be had";
    std::pair<int, float> setting;
    std::string error;
    ASSERT_TRUE(parseSetting("Output=0.75", setting, error)) << error;
    EXPECT_EQ(setting.second, 0.75f);
    EXPECT_FALSE(parseSetting("Output=0,75", setting, error));
}
