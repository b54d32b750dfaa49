// Gestures on the editor's window, clicked through the headless window as a user would, and what
// the host hears of them: automation of the parameter, each change inside a begin / end edit of
// that parameter. The editor's own tags (meters 27, "AttShow" bits 28 to 30) never reach the host.
#include <gtest/gtest.h>

#include <algorithm>
#include <initializer_list>

#include "editor/meter_lcd.h"
#include "editor/meter_level.h"
#include "editor/my_text_edit.h"
#include "support/editor_host.h"

using namespace editortest;
using engine::centre;

namespace {

constexpr std::uint32_t L = platform::kMouseLeft;
constexpr std::uint32_t R = platform::kMouseRight;
constexpr std::uint32_t Ctrl = platform::kKeyControl;

// A click's change of one parameter: an edit of its own, so that hosts in touch or latch mode
// record it.
std::vector<HostCall> edit(int index, float value) {
    return {beginEdit(index), automate(index, value), endEdit(index)};
}

std::vector<HostCall> join(std::initializer_list<std::vector<HostCall>> parts) {
    std::vector<HostCall> all;
    for (const std::vector<HostCall>& part : parts)
        all.insert(all.end(), part.begin(), part.end());
    return all;
}

struct Click {
    const char* what;
    std::vector<std::pair<int, float>> setup; // parameter values before the click
    int x, y;
    std::uint32_t buttons;
    std::vector<HostCall> expected;
};

const std::vector<Click>& clicks() {
    static const std::vector<Click> table = {
        {"DetectorOrder I -> II", {{7, 0.25f}}, 60, 50, L, edit(7, 0.75f)},
        {"Oversample on -> off", {{6, 0.75f}}, 97, 50, L, edit(6, 0.0f)},
        {"Oversample off -> on", {{6, 0.0f}}, 97, 50, L, edit(6, 1.0f)},
        {"Quantize off -> on", {{16, 0.25f}}, 428, 50, L, edit(16, 0.75f)},
        {"Autoblack on -> off", {{17, 0.75f}}, 465, 50, L, edit(17, 0.25f)},
        {"Bits 16 -> 24", {{10, centre(1, 3)}}, 428, 88, L, edit(10, centre(2, 3))},
        {"Bits 24 -> 8", {{10, 1.0f}}, 428, 88, L, edit(10, centre(0, 3))},
        {"NoiseShape C -> off", {{11, centre(3, 4)}}, 465, 88, L, edit(11, centre(0, 4))},
        {"Calibrate off -> left", {{12, 0.0f}}, 285, 350, L, edit(12, centre(1, 4))},
        {"Calibrate right -> off", {{12, centre(3, 4)}}, 285, 350, L, edit(12, centre(0, 4))},
        {"AttZoom 24 -> 12 dB", {{19, 0.25f}}, 285, 275, L, edit(19, 0.75f)},
        {"AttShow bit 1 on (mask 6)", {{20, centre(6, 8)}}, 240, 275, L, edit(20, 0.9375f)},
        {"AttShow bit 1 off (mask 7)", {{20, centre(7, 8)}}, 240, 275, L, edit(20, 0.8125f)},
        {"AttShow bit 2 off (mask 7)", {{20, centre(7, 8)}}, 240, 240, L, edit(20, centre(5, 8))},
        {"AttShow bit L on (mask 3)", {{20, centre(3, 8)}}, 285, 240, L, edit(20, centre(7, 8))},
        {"TransShape -> hard", {{4, centre(2, 3)}}, 47, 131, L, edit(4, centre(0, 3))},
        {"TransShape -> med", {{4, centre(0, 3)}}, 80, 123, L, edit(4, centre(1, 3))},
        {"TransShape -> soft", {{4, centre(0, 3)}}, 122, 140, L, edit(4, centre(2, 3))},
        {"TransShape between the caps", {{4, centre(0, 3)}}, 60, 131, L, {}},
        {"Power on -> off", {{8, 1.0f}}, 262, 417, L, edit(8, 0.25f)},
        {"AutoOut off -> on", {{15, 0.25f}}, 403, 380, L, edit(15, 0.75f)},
        {"PostMeter pre -> post", {{21, 0.25f}}, 125, 380, L, edit(21, 0.75f)},
        {"MeterOvs off -> on", {{14, 0.25f}}, 285, 316, L, edit(14, 0.75f)},
        {"mode: upper band -> peak", {{18, 0.75f}}, 240, 310, L, edit(18, 0.25f)},
        {"mode: lower band from peak -> k-system, scale kept",
         {{18, 0.25f}, {9, centre(0, 3)}},
         240,
         355,
         L,
         edit(18, 0.75f)},
        {"mode: lower band in k-system -> next scale",
         {{18, 0.75f}, {9, centre(0, 3)}},
         240,
         355,
         L,
         join({edit(9, centre(1, 3)), edit(18, 0.75f)})},
        {"mode: lower band on K-20 -> K-12",
         {{18, 0.75f}, {9, centre(2, 3)}},
         240,
         355,
         L,
         join({edit(9, centre(0, 3)), edit(18, 0.75f)})},
        {"mode: middle band", {{18, 0.75f}}, 240, 333, L, {}},
        {"knob: control-click to the default",
         {{3, 0.1f}},
         80,
         290,
         L | Ctrl,
         {beginEdit(3), automate(3, std::bit_cast<float>(0x3F394467u)), endEdit(3)}},
        {"knob: control-click on Drive",
         {{1, 0.9f}},
         80,
         376,
         L | Ctrl,
         {beginEdit(1), automate(1, 0.5f), endEdit(1)}},
        {"input meter", {}, 180, 200, L, {}},
        {"gain-reduction meter", {}, 260, 100, L, {}},
        {"output read-out", {}, 350, 420, L, {}},
        {"info panel hot spot", {}, 260, 385, L, {}},
        {"right click on a plain button", {{7, 0.25f}}, 60, 50, R, {}},
        {"right click on a preference button stores, no automation", {{19, 0.25f}}, 285, 275, R, {}},
    };
    return table;
}

} // namespace

TEST(EditorGestures, EachControlAutomatesItsParameter) {
    for (const Click& click : clicks()) {
        EditorBench bench;
        for (const auto& [index, value] : click.setup)
            bench.plugin().setParameter(index, value);
        bench.open();
        bench.click(click.x, click.y, click.buttons);
        EXPECT_EQ(describe(hostRecord().edits()), describe(click.expected)) << click.what;
        // The last automated value has reached the engine too.
        const auto last = std::find_if(click.expected.rbegin(), click.expected.rend(), [](const HostCall& c) {
            return c.opcode == vst::audioMasterAutomate;
        });
        if (last != click.expected.rend()) {
            EXPECT_EQ(bench.parameter(last->index), last->value) << click.what;
        }
    }
}

TEST(EditorGestures, AKnobDragIsOneEditOfItsParameter) {
    EditorBench bench;
    bench.plugin().setParameter(engine::kRelease, 0.25f);
    bench.open();
    bench.press(80, 290);
    bench.move(80, 190);
    bench.move(80, 90);
    bench.release(80, 90);
    const std::vector<HostCall> edits = hostRecord().edits();
    ASSERT_GE(edits.size(), 3u) << describe(edits);
    EXPECT_EQ(edits.front(), beginEdit(3));
    EXPECT_EQ(edits.back(), endEdit(3));
    EXPECT_EQ(edits[edits.size() - 2], automate(3, 0.75f));
    for (std::size_t i = 1; i + 1 < edits.size(); ++i)
        EXPECT_EQ(edits[i].opcode, vst::audioMasterAutomate);
    EXPECT_EQ(bench.parameter(engine::kRelease), 0.75f);
}

TEST(EditorGestures, TheWheelOverAKnobIsAnEditToo) {
    EditorBench bench;
    bench.plugin().setParameter(engine::kOutput, 0.5f);
    bench.open();
    ASSERT_TRUE(bench.wheel(446, 377, 1));
    EXPECT_EQ(describe(hostRecord().edits()), describe({beginEdit(0), automate(0, 0.51f), endEdit(0)}));
}

TEST(EditorGestures, ATypedNumberInAValueFieldIsOneEdit) {
    EditorBench bench;
    bench.open();
    bench.click(80, 418); // the Drive field
    platform::headless::HeadlessTextEntry* entry = platform::headless::activeTextEntry();
    ASSERT_NE(entry, nullptr);
    entry->clear();
    entry->type("-30");
    entry->pressEnter();
    EXPECT_EQ(describe(hostRecord().edits()), describe({beginEdit(1), automate(1, 0.0f), endEdit(1)}));
    EXPECT_EQ(bench.editor().getValueField(engine::kDrive)->displayText(), "-24.00dB");
}

TEST(EditorGestures, OversampleCalibrateAndMeterOvsResetTheMetersFromTheEditorOnly) {
    struct Case {
        int index, x, y;
    };
    for (const Case c : {Case{engine::kOversample, 97, 50}, Case{engine::kCalibrate, 285, 350},
                         Case{engine::kMeterOvs, 285, 316}}) {
        EditorBench bench;
        bench.open();
        bench.process(0.5f, 0.5f);
        bench.idle();
        Editor& e = bench.editor();
        // From the host: the meters keep their peaks.
        bench.plugin().setParameter(c.index, 0.75f);
        EXPECT_GT(e.getInputMeter()->getPeakDb(0), -7.0f) << c.index;
        EXPECT_GT(e.getOutputReadout()->getMaxDb(0), -7.0f) << c.index;
        // From the editor: all six start again.
        bench.click(c.x, c.y);
        EXPECT_EQ(e.getInputMeter()->getPeakDb(0), -122.0f) << c.index;
        EXPECT_EQ(e.getOutputMeter()->getHeldDb(0), -122.0f) << c.index;
        EXPECT_EQ(e.getInputReadout()->getMaxDb(0), -120.0f) << c.index;
        EXPECT_EQ(e.getOutputReadout()->getMaxDb(1), -120.0f) << c.index;
    }
}

TEST(EditorGestures, PostMeterResetsOnlyTheInputMeterAndItsReadout) {
    EditorBench bench;
    bench.open();
    bench.process(0.5f, 0.5f);
    bench.idle();
    Editor& e = bench.editor();
    bench.click(125, 380);
    EXPECT_EQ(e.getInputMeter()->getPeakDb(0), -122.0f);
    EXPECT_EQ(e.getInputReadout()->getMaxDb(0), -120.0f);
    EXPECT_GT(e.getOutputMeter()->getPeakDb(0), -7.0f);
    EXPECT_GT(e.getOutputReadout()->getMaxDb(0), -7.0f);
}

TEST(EditorGestures, AClickOnAnyMeterResetsThemAll) {
    for (const auto& [x, y] : {std::pair{180, 200}, std::pair{350, 200}, std::pair{260, 100},
                               std::pair{170, 420}, std::pair{260, 205}}) {
        EditorBench bench;
        bench.open();
        bench.process(0.5f, 0.5f);
        bench.idle();
        bench.click(x, y);
        Editor& e = bench.editor();
        EXPECT_EQ(e.getInputMeter()->getPeakDb(1), -122.0f) << x << "," << y;
        EXPECT_EQ(e.getOutputMeter()->getPeakDb(1), -122.0f) << x << "," << y;
        EXPECT_EQ(e.getOutputReadout()->getMaxDb(0), -120.0f) << x << "," << y;
    }
}
