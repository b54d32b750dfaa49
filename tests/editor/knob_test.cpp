// The film-strip knob: drags with and without shift, the wheel, the arrow keys, the control-click
// to the default, and the frame it draws; what reaches the listener and the host.
#include <gtest/gtest.h>

#include "editor/my_knob.h"
#include "engine/parameters.h"
#include "tests/editor/support/controls_fixture.h"

using namespace controlstest;

namespace {

using Lines = std::vector<std::string>;

// The "Transient" knob of the editor: {55, 169, 105, 217}, 101 frames of 48 px.
class KnobTest : public ::testing::Test {
protected:
    void SetUp() override {
        CBitmap* strip = stripBitmap(50, 48, CMyKnob::kFrames);
        knob = w.add(new CMyKnob(CRect(55, 169, 105, 217), &w.listener, engine::kTransient, strip, 48));
        strip->forget();
        knob->setWheelInc(0.03125f);
        knob->setDefaultValue(0.2f);
        knob->setValue(0.25f);
    }
    // A drag from the knob's centre by (dx, dy), with the buttons held throughout.
    void drag(CCoord dx, CCoord dy, CButtonState buttons = kLButton) {
        w.press(cx, cy, buttons);
        w.move(cx + dx, cy + dy, buttons);
        w.release(cx + dx, cy + dy, 0);
    }

    EditorWindow w;
    CMyKnob* knob = nullptr;
    const CCoord cx = 80, cy = 193;
};

} // namespace

TEST_F(KnobTest, DragOf200PixelsMovesHalfTheRangeOrAFifthWithShift) {
    struct Case {
        CCoord dx, dy;
        CButtonState buttons;
        float change;
    };
    const Case cases[] = {
        {0, -200, kLButton, 0.5f},           {200, 0, kLButton, 0.5f},
        {0, 100, kLButton, -0.25f},          {0, -200, kLButton | kShift, 0.2f},
        {-50, 0, kLButton | kShift, -0.05f}, {150, -50, kLButton, 0.5f},
    };
    for (const Case& c : cases) {
        knob->setValue(0.25f);
        drag(c.dx, c.dy, c.buttons);
        EXPECT_NEAR(knob->getValue(), 0.25f + c.change, 1e-6f) << c.dx << "," << c.dy << " b=" << c.buttons;
    }
}

TEST_F(KnobTest, DragClampsToTheRange) {
    drag(0, -1000);
    EXPECT_EQ(knob->getValue(), 1.0f);
    drag(0, 2000);
    EXPECT_EQ(knob->getValue(), 0.0f);
}

TEST_F(KnobTest, ShiftPressedOrReleasedMidDragContinuesWithoutAJump) {
    w.press(cx, cy, kLButton);
    w.move(cx, cy - 100, kLButton); // +0.25 at 400 px
    EXPECT_NEAR(knob->getValue(), 0.5f, 1e-6f);
    w.move(cx, cy - 100, kLButton | kShift); // same point: nothing, not even the new state
    EXPECT_NEAR(knob->getValue(), 0.5f, 1e-6f);
    // A change of state is seen at the next new point: the way up to it keeps its old rate, the way
    // beyond it goes at the new one.
    w.move(cx, cy - 101, kLButton | kShift);
    EXPECT_NEAR(knob->getValue(), 0.5025f, 1e-6f);
    w.move(cx, cy - 201, kLButton | kShift);
    EXPECT_NEAR(knob->getValue(), 0.6025f, 1e-6f);
    w.move(cx, cy - 202, kLButton); // shift released
    EXPECT_NEAR(knob->getValue(), 0.6035f, 1e-6f);
    w.move(cx, cy - 212, kLButton); // 1/400 per pixel again
    EXPECT_NEAR(knob->getValue(), 0.6285f, 1e-6f);
    w.release(cx, cy - 202);
}

TEST_F(KnobTest, ADragIsOneEditOfTheParameter) {
    w.press(cx, cy, kLButton);
    w.move(cx, cy - 4, kLButton);
    w.move(cx, cy - 4, kLButton); // unchanged point: ignored
    w.move(cx, cy - 8, 0);        // button no longer held: ignored
    w.release(cx, cy - 8);
    const float moved = 0.25f + 4.0f * (1.0f / 400.0f);
    EXPECT_EQ(w.journal.lines, (Lines{"begin 2", "host begin 2", "changed 2 0.25",
                                      "changed 2 " + valueText(moved), "host end 2", "end 2"}));
    // The knob keeps the keyboard focus for the arrow keys.
    EXPECT_EQ(w.frame->getFocusView(), knob);
}

TEST_F(KnobTest, DragIsLinearWhateverTheHostsKnobMode) {
    for (std::int32_t mode : {kCircularMode, kRelativCircularMode, kLinearMode}) {
        w.editor.knobMode = mode;
        knob->setValue(0.25f);
        drag(40, 0, kLButton | kAlt);
        EXPECT_NEAR(knob->getValue(), 0.35f, 1e-6f) << mode;
    }
}

TEST_F(KnobTest, ControlClickRestoresTheDefaultInOneEdit) {
    w.click(cx, cy, kLButton | kControl);
    EXPECT_EQ(knob->getValue(), 0.2f);
    EXPECT_EQ(w.journal.lines,
              (Lines{"begin 2", "host begin 2", "changed 2 0.200000003", "host end 2", "end 2"}));

    // Right button, or shift added: no default.
    knob->setValue(0.6f);
    w.journal.clear();
    EXPECT_EQ(w.click(cx, cy, kRButton | kControl), kMouseEventNotHandled);
    w.click(cx, cy, kLButton | kControl | kShift);
    EXPECT_EQ(knob->getValue(), 0.6f);
}

TEST_F(KnobTest, WheelStepsAHundredthOrAThousandthWithShift) {
    EXPECT_TRUE(w.wheel(cx, cy, 1));
    EXPECT_NEAR(knob->getValue(), 0.26f, 1e-6f);
    w.wheel(cx, cy, -3);
    EXPECT_NEAR(knob->getValue(), 0.23f, 1e-6f);
    w.wheel(cx, cy, 2, kShift);
    EXPECT_NEAR(knob->getValue(), 0.232f, 1e-6f);
    EXPECT_EQ(w.journal.with("host").size(), 6u); // one edit per notch message
    EXPECT_EQ(w.journal.with("changed").size(), 3u);

    // At the end of the range nothing is told.
    knob->setValue(1.0f);
    w.journal.clear();
    w.wheel(cx, cy, 1);
    EXPECT_EQ(knob->getValue(), 1.0f);
    EXPECT_TRUE(w.journal.lines.empty());
}

TEST_F(KnobTest, ArrowKeysStepTheWheelIncrement) {
    w.click(cx, cy); // the knob takes the focus
    w.journal.clear();
    struct Case {
        unsigned char key, modifier;
        float change;
    };
    const Case cases[] = {{vst::VKEY_UP, 0, 0.03125f},
                          {vst::VKEY_RIGHT, 0, 0.03125f},
                          {vst::VKEY_DOWN, 0, -0.03125f},
                          {vst::VKEY_LEFT, vst::MODIFIER_SHIFT, -0.003125f}};
    for (const Case& c : cases) {
        knob->setValue(0.5f);
        EXPECT_EQ(w.key(c.key, c.modifier), 1);
        EXPECT_NEAR(knob->getValue(), 0.5f + c.change, 1e-6f) << int(c.key);
    }
    EXPECT_EQ(w.journal.with("host begin 2").size(), 4u);
    knob->setValue(1.0f);
    w.journal.clear();
    w.key(vst::VKEY_UP);
    EXPECT_EQ(knob->getValue(), 1.0f);
    EXPECT_TRUE(w.journal.lines.empty());
    EXPECT_EQ(w.key(vst::VKEY_SPACE), -1);
}

TEST_F(KnobTest, FrameIsTheIntegerPartOfAHundredTimesTheValue) {
    struct Case {
        float value;
        int frame;
    };
    const Case cases[] = {{0.0f, 0},   {0.0099f, 0}, {0.01f, 1},  {0.5f, 50}, {0.999f, 99},
                          {1.0f, 100}, {-0.2f, 0},   {1.7f, 100}, {0.2f, 20}, {0.7237f, 72}};
    for (const Case& c : cases) {
        knob->setValue(c.value);
        EXPECT_EQ(knob->frameIndex(), c.frame) << c.value;
        EXPECT_EQ(w.shownFrame(cx, cy), c.frame) << c.value;
    }
}

TEST(KnobEdits, OnlyParameterTagsReachTheHost) {
    // The same knob on one of the editor's own tags: the listener still hears the edit, the host not.
    EditorWindow w;
    CBitmap* strip = stripBitmap(50, 48, CMyKnob::kFrames);
    auto* knob = w.add(new CMyKnob(CRect(55, 169, 105, 217), &w.listener, 29, strip, 48));
    strip->forget();
    knob->setValue(0.5f);
    w.wheel(80, 193, 1);
    w.press(80, 193);
    w.move(80, 150);
    w.release(80, 150);
    EXPECT_TRUE(w.journal.with("host").empty());
    EXPECT_EQ(w.journal.with("begin 29").size(), 2u);
    EXPECT_EQ(w.journal.with("end 29").size(), 2u);
}
