// The info panel and the frame's modal view: a click on the hot spot opens the panel over the lower
// part of the window, the next press anywhere closes it without reaching what lies beneath, and the
// panel shows the latency right-aligned at x = 470.
#include <gtest/gtest.h>

#include <thread>

#include "editor/info.h"
#include "editor/meter_level.h"
#include "editor/my_knob.h"
#include "gui/draw_context.h"
#include "support/editor_host.h"

using namespace editortest;

namespace {

constexpr int kHotX = 260, kHotY = 385;

// The window as shown after the editor's next refresh.
std::vector<std::uint32_t> shown(EditorBench& bench) {
    bench.idle();
    return bench.window().pixels();
}

// The smallest rectangle holding every pixel that differs between two pictures of the window.
CRect difference(const std::vector<std::uint32_t>& a, const std::vector<std::uint32_t>& b) {
    CRect box(524, 462, 0, 0);
    for (int y = 0; y < 462; ++y)
        for (int x = 0; x < 524; ++x)
            if (a[std::size_t(y) * 524 + std::size_t(x)] != b[std::size_t(y) * 524 + std::size_t(x)]) {
                box.left = std::min(box.left, x), box.top = std::min(box.top, y);
                box.right = std::max(box.right, x + 1), box.bottom = std::max(box.bottom, y + 1);
            }
    return box;
}

std::string text(const CRect& r) {
    return std::to_string(r.left) + "," + std::to_string(r.top) + "," + std::to_string(r.right) + "," +
           std::to_string(r.bottom);
}

} // namespace

TEST(InfoPanel, AClickOnTheHotSpotOpensItAsTheFramesModalView) {
    EditorBench bench;
    bench.open();
    CInfo* info = bench.editor().getInfo();
    EXPECT_FALSE(info->isPanelOpen());
    bench.click(kHotX, kHotY);
    EXPECT_TRUE(info->isPanelOpen());
    EXPECT_TRUE(bench.frame().hasModalView());
    EXPECT_EQ(bench.frame().getModalView(), info);
    bench.click(5, 5); // anywhere
    EXPECT_FALSE(info->isPanelOpen());
    EXPECT_FALSE(bench.frame().hasModalView());
    EXPECT_EQ(info->getViewSize(), CRect(224, 370, 301, 401));
    EXPECT_TRUE(hostRecord().edits().empty());
}

TEST(InfoPanel, OnlyTheLeftButtonOpensIt) {
    EditorBench bench;
    bench.open();
    bench.click(kHotX, kHotY, platform::kMouseRight);
    EXPECT_FALSE(bench.editor().getInfo()->isPanelOpen());
}

TEST(InfoPanel, TheClickThatClosesItNeverReachesTheControlBeneath) {
    EditorBench bench;
    bench.plugin().setParameter(engine::kOutput, 0.5f);
    bench.open();
    bench.click(kHotX, kHotY);
    // A drag on the Output knob: it closes the panel and nothing else.
    bench.press(446, 377);
    bench.move(446, 277);
    bench.release(446, 277);
    EXPECT_FALSE(bench.editor().getInfo()->isPanelOpen());
    EXPECT_EQ(bench.parameter(engine::kOutput), 0.5f);
    EXPECT_TRUE(hostRecord().edits().empty()) << describe(hostRecord().edits());
}

TEST(InfoPanel, WhileOpenTheWheelStillTurnsAKnob) {
    EditorBench bench;
    bench.plugin().setParameter(engine::kOutput, 0.5f);
    bench.open();
    bench.click(kHotX, kHotY);
    EXPECT_TRUE(bench.wheel(446, 377, 2));
    EXPECT_EQ(bench.parameter(engine::kOutput), 0.52f);
    EXPECT_TRUE(bench.editor().getInfo()->isPanelOpen());
}

TEST(InfoPanel, IsDrawnOverTheLowerPartOfTheWindowOnly) {
    EditorBench bench;
    bench.open();
    const std::vector<std::uint32_t> closed = shown(bench);
    bench.click(kHotX, kHotY);
    const std::vector<std::uint32_t> open = shown(bench);
    EXPECT_EQ(text(difference(closed, open)), text(CInfo::kPanelRect));
    bench.click(kHotX, kHotY);
    EXPECT_EQ(shown(bench), closed);
}

TEST(InfoPanel, StaysOverTheMetersWhileTheyRefresh) {
    EditorBench bench;
    bench.open();
    bench.click(kHotX, kHotY);
    const std::vector<std::uint32_t> quiet = shown(bench);
    // The input meter's bars run through the panel's area (x 150 ... 206, y down to 402).
    bench.process(1.0f, 1.0f);
    const std::vector<std::uint32_t> loud = shown(bench);
    ASSERT_NE(loud, quiet);
    // The product name is printed opaque: its cells are the same whatever lies beneath.
    for (int y = 302; y < 310; ++y)
        for (int x = 55; x < 55 + 6 * 12; ++x)
            EXPECT_EQ(loud[std::size_t(y) * 524 + std::size_t(x)],
                      quiet[std::size_t(y) * 524 + std::size_t(x)])
                << x << "," << y;
    // And the panel's glass is over the bars: what changed beneath is dimmed, not replaced.
    const CRect changed = difference(quiet, loud);
    EXPECT_FALSE(changed.isEmpty());
}

TEST(InfoPanel, PrintsTheLatencyRightAlignedAt470) {
    EditorBench bench;
    bench.open();
    bench.click(kHotX, kHotY);
    bench.dispatch(vst::effSetSampleRate, 0, 0, nullptr, 96000.0f);
    const std::vector<std::uint32_t> at287 = shown(bench);
    EXPECT_EQ(bench.editor().getInfo()->getLatency(), 287);
    bench.dispatch(vst::effSetSampleRate, 0, 0, nullptr, 192000.0f);
    const std::vector<std::uint32_t> at543 = shown(bench);
    bench.dispatch(vst::effSetSampleRate, 0, 0, nullptr, 44100.0f);
    const std::vector<std::uint32_t> at159 = shown(bench);
    // Three digits from x = 452 to 470 on the line of baseline 337: the glyph cells are
    // {x, 330, x + 5, 338}, so every difference lies in x 452 ... 469.
    const CRect a = difference(at287, at543), b = difference(at287, at159);
    EXPECT_GE(a.left, 452);
    EXPECT_LE(a.right, 469);
    EXPECT_GE(a.top, 330);
    EXPECT_LE(a.bottom, 338);
    // "287" and "159" differ in every digit: the first at x 452, the last ending at 469.
    EXPECT_LT(b.left, 458);
    EXPECT_GT(b.right, 464);
    EXPECT_GE(b.left, 452);
    EXPECT_LE(b.right, 469);
}

TEST(InfoPanel, ALatencyChangeFromAnotherThreadShowsAtTheNextRefresh) {
    EditorBench bench;
    bench.open();
    bench.click(kHotX, kHotY);
    const std::vector<std::uint32_t> before = shown(bench);
    std::thread host([&] { bench.dispatch(vst::effSetSampleRate, 0, 0, nullptr, 96000.0f); });
    host.join();
    EXPECT_EQ(bench.editor().getInfo()->getLatency(), 159);
    const std::vector<std::uint32_t> after = shown(bench);
    EXPECT_EQ(bench.editor().getInfo()->getLatency(), 287);
    const CRect changed = difference(before, after);
    EXPECT_GE(changed.left, 452);
    EXPECT_LE(changed.bottom, 338);
}

TEST(InfoPanel, ClosesWithTheWindowAndStartsClosedAtTheNextOpen) {
    EditorBench bench;
    bench.open();
    bench.click(kHotX, kHotY);
    bench.close();
    bench.open();
    EXPECT_FALSE(bench.editor().getInfo()->isPanelOpen());
    EXPECT_FALSE(bench.frame().hasModalView());
}
