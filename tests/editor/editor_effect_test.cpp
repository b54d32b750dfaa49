// The editor as the effect holds it: created with the effect, opened and closed by the host any
// number of times, told of latency, program names and parameter changes from any thread.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "editor/info.h"
#include "editor/meter_gr.h"
#include "editor/meter_level.h"
#include "preset_strip/preset_strip_controls.h"
#include "support/editor_host.h"

using namespace editortest;

TEST(EditorOverTheEffect, TheEffectCreatesItsEditorWithTheLatencyAndAnnouncesIt) {
    EditorBench bench;
    EXPECT_TRUE(bench.plugin().getAeffect()->flags & vst::effFlagsHasEditor);
    EXPECT_EQ(bench.editor().getLatency(), 159);
    vst::ERect* rect = nullptr;
    ASSERT_EQ(bench.dispatch(vst::effEditGetRect, 0, 0, &rect), 1);
    ASSERT_NE(rect, nullptr);
    EXPECT_EQ(rect->top, 0);
    EXPECT_EQ(rect->left, 0);
    EXPECT_EQ(rect->bottom, 462);
    EXPECT_EQ(rect->right, 524);
}

TEST(EditorOverTheEffect, AnEngineAloneHasNoEditor) {
    platform::RegistrySandbox sandbox;
    Plugin plugin(recordingHost);
    EXPECT_EQ(plugin.getEditor(), nullptr);
    EXPECT_FALSE(plugin.getAeffect()->flags & vst::effFlagsHasEditor);
    EXPECT_EQ(plugin.dispatcher(vst::effEditOpen, 0, 0, nullptr, 0), 0);
}

TEST(EditorOverTheEffect, OpensAWindowOfTheBackgroundsSizeAsOftenAsTheHostAsks) {
    EditorBench bench;
    for (int round = 0; round < 3; ++round) {
        ASSERT_EQ(bench.dispatch(vst::effEditOpen, 0, 0, nullptr), 1);
        ASSERT_NE(bench.editor().getMyFrame(), nullptr);
        EXPECT_EQ(bench.window().width(), 524);
        EXPECT_EQ(bench.window().height(), 462);
        EXPECT_NE(bench.editor().getInputMeter(), nullptr);
        EXPECT_NE(bench.editor().getInfo(), nullptr);
        EXPECT_NE(bench.editor().getNameField(), nullptr);
        bench.close();
        EXPECT_EQ(bench.editor().getMyFrame(), nullptr);
        EXPECT_EQ(bench.editor().getInputMeter(), nullptr);
        EXPECT_EQ(bench.editor().getGainReductionReadout(), nullptr);
        EXPECT_EQ(bench.editor().getInfo(), nullptr);
        EXPECT_EQ(bench.editor().getNameField(), nullptr);
    }
}

TEST(EditorOverTheEffect, AnOpenWindowAskedToOpenAgainIsRebuiltOnce) {
    EditorBench bench;
    bench.open();
    bench.open();
    ASSERT_NE(bench.editor().getMyFrame(), nullptr);
    EXPECT_EQ(bench.window().runningTimers(), 1);
}

TEST(EditorOverTheEffect, ControlsStartFromTheValuesSetWhileTheWindowWasClosed) {
    EditorBench bench;
    bench.open();
    bench.close();
    bench.plugin().setParameter(engine::kMeterType, engine::centre(1, 2));
    bench.plugin().setParameter(engine::kScale, engine::centre(2, 3));
    bench.plugin().setParameter(engine::kAttZoom, engine::centre(1, 2));
    bench.open();
    EXPECT_EQ(bench.editor().getInputMeter()->getScaleMode(), 3);
    EXPECT_EQ(bench.editor().getOutputMeter()->getScaleMode(), 3);
    EXPECT_TRUE(bench.editor().getGainReductionMeter()->isZoomed());
}

TEST(EditorOverTheEffect, LatencyFollowsTheSampleRateIntoTheInfoPanel) {
    EditorBench bench;
    bench.dispatch(vst::effSetSampleRate, 0, 0, nullptr, 96000.0f);
    EXPECT_EQ(bench.editor().getLatency(), 287);
    bench.open();
    EXPECT_EQ(bench.editor().getInfo()->getLatency(), 287);
    bench.dispatch(vst::effSetSampleRate, 0, 0, nullptr, 192000.0f);
    EXPECT_EQ(bench.editor().getInfo()->getLatency(), 543);
    bench.close();
    bench.dispatch(vst::effSetSampleRate, 0, 0, nullptr, 44100.0f);
    bench.open();
    EXPECT_EQ(bench.editor().getInfo()->getLatency(), 159);
}

TEST(EditorOverTheEffect, AHostRenameReachesTheNameField) {
    EditorBench bench;
    bench.open();
    char name[] = "Night Session";
    bench.dispatch(vst::effSetProgramName, 0, 0, name);
    EXPECT_STREQ(bench.editor().getNameField()->getText(), "Night Session");
}

TEST(EditorOverTheEffect, EditsOfTheEditorsOwnTagsNeverReachTheHost) {
    EditorBench bench;
    bench.open();
    for (int tag : {-1, 26, 27, 28, 29, 30, 1000, 1013})
        bench.editor().beginEdit(tag), bench.editor().endEdit(tag);
    EXPECT_TRUE(hostRecord().edits().empty()) << describe(hostRecord().edits());
    bench.editor().beginEdit(0);
    bench.editor().endEdit(25);
    EXPECT_EQ(hostRecord().edits(), (std::vector<HostCall>{beginEdit(0), endEdit(25)}));
}

// A parameter changed on another thread only raises a flag; the user-interface thread's next idle
// moves the controls to the effect's value.
TEST(EditorOverTheEffect, ChangesFromAnotherThreadReachTheControlsAtTheNextIdle) {
    EditorBench bench;
    bench.open();
    std::thread automation([&] {
        bench.plugin().setParameter(engine::kAttZoom, 0.2f);
        bench.plugin().setParameter(engine::kAttZoom, 0.9f);
    });
    automation.join();
    EXPECT_FALSE(bench.editor().getGainReductionMeter()->isZoomed());
    bench.idle();
    EXPECT_TRUE(bench.editor().getGainReductionMeter()->isZoomed());
}

TEST(EditorOverTheEffect, ChangesFromAnotherThreadAreSafeWhileTheWindowOpensAndCloses) {
    EditorBench bench;
    std::atomic<bool> stop{false};
    std::thread automation([&] {
        for (int i = 0; !stop.load(); ++i)
            bench.plugin().setParameter(i % 22, float(i % 7) / 6.0f);
    });
    for (int round = 0; round < 15; ++round) {
        bench.open();
        bench.idle();
        bench.close();
        bench.idle();
    }
    stop = true;
    automation.join();
    bench.open();
    bench.idle();
    EXPECT_EQ(bench.editor().getGainReductionMeter()->isZoomed(),
              engine::step(bench.parameter(engine::kAttZoom), 2) == 1);
}
