// The meter refresh: at most one poll of the engine per 20 ms, however often idle is called, feeding
// the level meters, the gain-reduction meter and the three read-outs with the engine's values.
#include <gtest/gtest.h>

#include <cmath>

#include "editor/meter_gr.h"
#include "editor/meter_lcd.h"
#include "editor/meter_level.h"
#include "support/editor_host.h"

using namespace editortest;

namespace {

float db(float amplitude) {
    return 20.0f * std::log10(amplitude);
}

} // namespace

TEST(EditorIdle, FeedsEveryMeterFromTheEnginesValues) {
    EditorBench bench;
    bench.open();
    // Power off: the output is the delayed input, so the output meters see the same levels once the
    // look-ahead has passed.
    bench.plugin().setParameter(engine::kPower, 0.0f);
    bench.process(0.5f, 0.25f, 2048);
    bench.idle();
    Editor& e = bench.editor();
    EXPECT_NEAR(e.getInputMeter()->getPeakDb(0), db(0.5f), 1e-4);
    EXPECT_NEAR(e.getInputMeter()->getPeakDb(1), db(0.25f), 1e-4);
    EXPECT_NEAR(e.getOutputMeter()->getPeakDb(0), db(0.5f), 1e-4);
    EXPECT_NEAR(e.getInputReadout()->getMaxDb(0), db(0.5f), 1e-4);
    EXPECT_NEAR(e.getOutputReadout()->getMaxDb(1), db(0.25f), 1e-4);
    EXPECT_LT(e.getInputMeter()->getRmsDb(0), 0.0f);
    EXPECT_GT(e.getInputMeter()->getRmsDb(0), -120.0f);
    EXPECT_EQ(e.getGainReductionMeter()->getGainReductionDb(0), 0.0f);
    EXPECT_EQ(e.getGainReductionReadout()->getMinDb(0), 0.0f);
}

TEST(EditorIdle, ShowsGainReductionWhenTheLimiterWorks) {
    EditorBench bench;
    bench.open();
    bench.plugin().setParameter(engine::kDrive, 1.0f); // +24 dB into the limiter
    for (int i = 0; i < 8; ++i)
        bench.process(0.5f, 0.5f, 1024);
    bench.idle();
    EXPECT_LT(bench.editor().getGainReductionMeter()->getGainReductionDb(0), -6.0f);
    EXPECT_LT(bench.editor().getGainReductionReadout()->getMinDb(1), -6.0f);
}

TEST(EditorIdle, PollsTheEngineAtMostEvery20Milliseconds) {
    EditorBench bench;
    bench.open();
    bench.process(0.25f, 0.25f);
    bench.idle(20);
    ASSERT_NEAR(bench.editor().getInputMeter()->getPeakDb(0), db(0.25f), 1e-4);

    bench.process(0.5f, 0.5f);
    for (std::uint32_t ms : {1u, 4u, 14u}) { // 1, 5 and 19 ms after the poll
        bench.idle(ms);
        EXPECT_NEAR(bench.editor().getInputMeter()->getPeakDb(0), db(0.25f), 1e-4) << ms;
    }
    bench.idle(1); // 20 ms after the poll
    EXPECT_NEAR(bench.editor().getInputMeter()->getPeakDb(0), db(0.5f), 1e-4);
}

TEST(EditorIdle, AThrottledIdleDoesNotEvenRedraw) {
    EditorBench bench;
    bench.open();
    bench.idle();
    bench.editor().getInputMeter()->setDirty();
    const std::uint64_t painted = bench.window().presentedPixels();
    bench.idle(19);
    EXPECT_EQ(bench.window().presentedPixels(), painted);
    bench.idle(1);
    EXPECT_GT(bench.window().presentedPixels(), painted);
}

TEST(EditorIdle, TheWindowTimerDrivesTheRefreshToo) {
    EditorBench bench;
    bench.open();
    ASSERT_EQ(bench.window().runningTimers(), 1);
    bench.process(0.5f, 0.5f);
    bench.clock.time += 50;
    bench.window().fireTimers();
    EXPECT_NEAR(bench.editor().getInputMeter()->getPeakDb(0), db(0.5f), 1e-4);
}

TEST(EditorIdle, SurvivesTheWrapOfTheTickCounter) {
    EditorBench bench;
    bench.clock.time = 0xFFFFFFE0u;
    bench.open();
    bench.idle(20); // a poll at 0xFFFFFFF4
    bench.process(0.5f, 0.5f);
    bench.idle(5);
    EXPECT_LT(bench.editor().getInputMeter()->getPeakDb(0), -100.0f);
    bench.idle(15); // 0x00000008: 20 ms after the poll
    EXPECT_NEAR(bench.editor().getInputMeter()->getPeakDb(0), db(0.5f), 1e-4);
}

TEST(EditorIdle, IdleWithTheWindowClosedTouchesNothing) {
    EditorBench bench;
    bench.process(0.5f, 0.5f);
    bench.idle();
    bench.open();
    bench.idle();
    // The engine was not polled while closed: the peak is still there for the first open poll.
    EXPECT_NEAR(bench.editor().getInputMeter()->getPeakDb(0), db(0.5f), 1e-4);
}
