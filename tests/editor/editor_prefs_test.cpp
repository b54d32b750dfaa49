// The metering preferences writer: six step indices under "PREFS" that the next instance starts
// with, the highlight that confirms a store, and the two messages of a store that fails.
#include <gtest/gtest.h>

#include "editor/metering_prefs.h"
#include "engine/parameters.h"
#include "platform/registry.h"
#include "support/editor_host.h"
#include "support/registry_faults.h"
#include "support/stored_prefs.h"

using namespace editortest;
using engine::centre;

TEST(MeteringPrefs, StoresTheStepsOfTheCurrentValuesForTheNextInstance) {
    EditorBench bench;
    bench.open();
    Plugin& p = bench.plugin();
    p.setParameter(engine::kScale, centre(2, 3));
    p.setParameter(engine::kMeterType, centre(1, 2));
    p.setParameter(engine::kAttZoom, centre(1, 2));
    p.setParameter(engine::kAttShow, 0.9375f);
    p.setParameter(engine::kMeterOvs, 1.0f);
    p.setParameter(engine::kPostMeter, centre(1, 2));
    bench.editor().storeMeteringPrefs();
    EXPECT_EQ(storedPreferences(), (std::vector<std::int32_t>{2, 1, 1, 7, 1, 1}));
    EXPECT_TRUE(platform::headless::messageBoxes().empty());

    // Another instance in the same store starts with them (no stored default bank or preset).
    Plugin next(recordingHost, &createEditor);
    EXPECT_EQ(next.getParameter(engine::kScale), centre(2, 3));
    EXPECT_EQ(next.getParameter(engine::kMeterType), centre(1, 2));
    EXPECT_EQ(next.getParameter(engine::kAttZoom), centre(1, 2));
    EXPECT_EQ(next.getParameter(engine::kAttShow), centre(7, 8));
    EXPECT_EQ(next.getParameter(engine::kMeterOvs), centre(1, 2));
    EXPECT_EQ(next.getParameter(engine::kPostMeter), centre(1, 2));
}

TEST(MeteringPrefs, AStoreReplacesTheValuesOfTheLastOne) {
    EditorBench bench;
    bench.plugin().setParameter(engine::kScale, centre(1, 3));
    bench.plugin().setParameter(engine::kAttShow, centre(7, 8));
    bench.editor().storeMeteringPrefs();
    EXPECT_EQ(storedPreferences(), (std::vector<std::int32_t>{1, 0, 0, 7, 0, 0}));
    bench.plugin().setParameter(engine::kAttShow, centre(3, 8));
    bench.plugin().setParameter(engine::kScale, 0.0f);
    bench.editor().storeMeteringPrefs();
    EXPECT_EQ(storedPreferences(), (std::vector<std::int32_t>{0, 0, 0, 3, 0, 0}));
}

TEST(MeteringPrefs, AKeyThatCannotBeCreatedIsReportedAndNothingIsWritten) {
    EditorBench bench;
    ASSERT_TRUE(blockPreferencesKey()) << "the settings store could not be made to refuse the key";
    bench.editor().storeMeteringPrefs();
    const auto& boxes = platform::headless::messageBoxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, "Could not create registry key for storing metering preferences!");
    EXPECT_EQ(boxes[0].title, "Error...");
    EXPECT_EQ(storedPreferences(), std::vector<std::int32_t>(6, -1));
}

TEST(MeteringPrefs, ARightClickOnAnyPreferenceControlStoresAndHighlightsThemAll) {
    struct Click {
        const char* what;
        int x, y;
        std::uint32_t buttons;
    };
    constexpr std::uint32_t L = platform::kMouseLeft, R = platform::kMouseRight;
    for (const Click& click : {Click{"AttShow 1", 240, 275, R}, Click{"AttShow 2", 240, 240, R},
                               Click{"AttShow L", 285, 240, R | platform::kKeyShift},
                               Click{"AttZoom", 285, 275, R}, Click{"MeterOvs", 285, 316, R},
                               Click{"PostMeter", 125, 380, R}, Click{"mode button", 240, 333, L | R}}) {
        SCOPED_TRACE(click.what);
        EditorBench bench;
        bench.plugin().setParameter(engine::kAttShow, centre(5, 8));
        bench.plugin().setParameter(engine::kAttZoom, centre(1, 2));
        bench.open();
        ASSERT_FALSE(bench.editor().anyPreferenceHighlighted());
        bench.click(click.x, click.y, click.buttons);
        EXPECT_EQ(storedPreference("Metering_AttShow"), 5);
        EXPECT_EQ(storedPreference("Metering_Zoom"), 1);
        EXPECT_TRUE(bench.editor().allPreferencesHighlighted());
        // A store changes no parameter and tells the host nothing.
        EXPECT_EQ(bench.parameter(engine::kAttShow), centre(5, 8));
        EXPECT_TRUE(hostRecord().edits().empty()) << describe(hostRecord().edits());
    }
}

TEST(MeteringPrefs, PlainButtonsDoNotStoreOnARightClick) {
    EditorBench bench;
    bench.open();
    for (const auto& [x, y] :
         {std::pair{60, 50}, std::pair{428, 50}, std::pair{262, 417}, std::pair{403, 380}})
        bench.click(x, y, platform::kMouseRight);
    EXPECT_EQ(storedPreferences(), std::vector<std::int32_t>(6, -1));
    EXPECT_FALSE(bench.editor().anyPreferenceHighlighted());
}

TEST(MeteringPrefs, TheHighlightEndsAtTheFirstIdleMoreThan500MillisecondsAfterTheStore) {
    EditorBench bench;
    bench.open();
    bench.idle();
    bench.click(285, 275, platform::kMouseRight);
    ASSERT_TRUE(bench.editor().allPreferencesHighlighted());
    bench.idle(250);
    bench.idle(250); // 500 ms after the store: not more than 500
    EXPECT_TRUE(bench.editor().allPreferencesHighlighted());
    bench.idle(1);
    EXPECT_TRUE(bench.editor().allPreferencesHighlighted()); // throttled: within 20 ms of the last idle
    bench.idle(20);
    EXPECT_FALSE(bench.editor().anyPreferenceHighlighted());
}

TEST(MeteringPrefs, TheHighlightConfirmsEvenAStoreThatFails) {
    EditorBench bench;
    ASSERT_TRUE(blockPreferencesKey()) << "the settings store could not be made to refuse the key";
    bench.open();
    bench.click(285, 275, platform::kMouseRight);
    EXPECT_TRUE(bench.editor().allPreferencesHighlighted());
    EXPECT_EQ(platform::headless::messageBoxes().size(), 1u);
}
