// The control base (value bookkeeping, edits, default click) and the standard controls.
#include <gtest/gtest.h>

#include "support/gui_fixture.h"

using namespace guitest;
using Lines = std::vector<std::string>;

namespace {

constexpr std::uint32_t kOffColour = 0xFF101010, kOnColour = 0xFFF0F0F0, kMidColour = 0xFF808080;

// Lines between the first and the last of the journal that mention edits or changes.
Lines edits(const Journal& j) {
    Lines out;
    for (const std::string& l : j.lines)
        if (l.rfind("changed", 0) == 0 || l.rfind("begin", 0) == 0 || l.rfind("end", 0) == 0 ||
            l.rfind("host", 0) == 0 || l == "pump")
            out.push_back(l);
    return out;
}

struct KnobFixture : FrameFixture {
    KnobFixture() : FrameFixture(CRect(0, 0, 300, 300)) {
        knob = new CKnob(CRect(100, 100, 140, 140), &listener, 5, nullptr);
        frame->addView(knob);
    }
    RecordingListener listener{journal};
    CKnob* knob;
};

} // namespace

TEST(Controls, BounceValueClampsToTheRange) {
    struct Case {
        float min, max, value, expected;
    } cases[] = {{0, 1, 1.5f, 1}, {0, 1, -0.5f, 0}, {0, 1, 0.25f, 0.25f},
                 {-1, 1, -2, -1}, {-1, 1, 1, 1},    {2, 4, 3, 3}};
    for (const Case& c : cases) {
        CControl control(CRect(0, 0, 1, 1));
        control.setMin(c.min);
        control.setMax(c.max);
        control.setValue(c.value);
        control.bounceValue();
        EXPECT_EQ(control.getValue(), c.expected);
    }
}

TEST(Controls, AControlIsDirtyUntilDrawnWithItsValue) {
    CControl control(CRect(0, 0, 4, 4));
    COffscreenContext context(4, 4);
    EXPECT_TRUE(control.isDirty()); // never drawn
    control.draw(&context);
    EXPECT_FALSE(control.isDirty());
    control.setValue(0.5f);
    EXPECT_TRUE(control.isDirty());
    control.setValue(0.0f);
    EXPECT_FALSE(control.isDirty()); // back to the drawn value
    control.setDirty();
    EXPECT_TRUE(control.isDirty());
    control.setValue(-1.0f);
    control.setDirty(false);
    control.setDirty();
    EXPECT_TRUE(control.isDirty()); // also when the value is -1
    control.setDirty(false);
    EXPECT_FALSE(control.isDirty());
}

TEST(Controls, BeginAndEndEditReachTheListenerTheEditorAndTheFocus) {
    FrameFixture f;
    RecordingListener listener(f.journal);
    auto* control = new CControl(CRect(0, 0, 10, 10), &listener, 12);
    f->addView(control);
    control->beginEdit();
    EXPECT_EQ(f->getFocusView(), control);
    control->endEdit();
    EXPECT_EQ(edits(f.journal), (Lines{"begin 12", "host begin 12", "host end 12", "end 12"}));
}

TEST(Controls, AControlClickRestoresTheKnobsDefaultInsideOneGesture) {
    KnobFixture f;
    f.knob->setDefaultValue(0.25f);
    f.knob->setValue(0.9f);
    EXPECT_EQ(f.press(110, 110, kLButton | kControl), kMouseDownEventHandledButDontNeedMovedOrUpEvents);
    EXPECT_FLOAT_EQ(f.knob->getValue(), 0.25f);
    Lines e = edits(f.journal);
    EXPECT_EQ(std::count(e.begin(), e.end(), "changed 5 0.25"), 1);
    EXPECT_EQ(e.front(), "begin 5");
    EXPECT_EQ(e.back(), "end 5");
    EXPECT_EQ(std::count(e.begin(), e.end(), "host begin 5"), std::count(e.begin(), e.end(), "host end 5"));
    EXPECT_FALSE(f.window().hasCapture());

    // Already at its default and drawn so: the listener hears nothing.
    f.knob->setDirty(false);
    f.journal.clear();
    f.press(110, 110, kLButton | kControl);
    EXPECT_TRUE(f.journal.with("changed").empty());
}

TEST(Controls, OnlyExactlyControlAndTheLeftButtonRestoreTheDefault) {
    struct Case {
        CButtonState buttons;
        bool restores;
    } cases[] = {{kLButton | kControl, true},
                 {kRButton | kControl, false},
                 {kLButton | kControl | kShift, false},
                 {kLButton | kControl | kDoubleClick, false},
                 {kLButton, false},
                 {kControl, false}};
    for (const Case& c : cases) {
        CControl control(CRect(0, 0, 4, 4));
        control.setDefaultValue(0.75f);
        control.setValue(0.1f);
        EXPECT_EQ(control.checkDefaultValue(c.buttons), c.restores) << c.buttons;
        EXPECT_FLOAT_EQ(control.getValue(), c.restores ? 0.75f : 0.1f) << c.buttons;
    }
}

TEST(Controls, ArrowKeysStepAKnobByItsWheelIncrement) {
    struct Case {
        float start;
        gui::VirtualKey key;
        std::uint32_t modifier;
        std::int32_t handled;
        float expected;
    } cases[] = {
        {0.5f, gui::VirtualKey::Right, 0, 1, 0.7f},
        {0.5f, gui::VirtualKey::Up, 0, 1, 0.7f},
        {0.5f, gui::VirtualKey::Left, 0, 1, 0.3f},
        {0.5f, gui::VirtualKey::Down, 0, 1, 0.3f},
        {0.5f, gui::VirtualKey::Right, gui::kModifierShift, 1, 0.52f},
        {0.5f, gui::VirtualKey::Down, gui::kModifierShift | gui::kModifierControl, 1, 0.48f},
        {0.9f, gui::VirtualKey::Right, 0, 1, 1.0f},
        {1.0f, gui::VirtualKey::Right, 0, 1, 1.0f},
        {0.1f, gui::VirtualKey::Left, 0, 1, 0.0f},
        {0.5f, gui::VirtualKey::Space, 0, -1, 0.5f},
        {0.5f, gui::VirtualKey::PageUp, 0, -1, 0.5f},
    };
    for (const Case& c : cases) {
        KnobFixture f;
        f.knob->setWheelInc(0.2f);
        f.knob->setValue(c.start);
        f->setFocusView(f.knob);
        f.journal.clear();
        gui::KeyEvent key{0, c.key, c.modifier};
        EXPECT_EQ(f->onKeyDown(key), c.handled);
        EXPECT_NEAR(f.knob->getValue(), c.expected, 1e-6);
        bool moved = c.expected != c.start;
        EXPECT_EQ(edits(f.journal).size(), moved ? 5u : 0u) << int(c.key) << " from " << c.start;
        if (moved) {
            EXPECT_EQ(edits(f.journal)[2].rfind("changed 5", 0), 0u);
        }
    }
}

TEST(Controls, TheWheelStepsAKnobAndShiftMakesTheStepsFine) {
    struct Case {
        float distance;
        CButtonState buttons;
        float expected;
    } cases[] = {{1, 0, 0.55f}, {-2, 0, 0.4f},         {1, kShift, 0.505f},
                 {30, 0, 1.0f}, {-30, kControl, 0.0f}, {0, 0, 0.5f}};
    for (const Case& c : cases) {
        KnobFixture f;
        f.knob->setWheelInc(0.05f);
        f.knob->setValue(0.5f);
        EXPECT_TRUE(f.knob->onWheel(CPoint(110, 110), c.distance, c.buttons));
        EXPECT_NEAR(f.knob->getValue(), c.expected, 1e-6);
        EXPECT_EQ(f.journal.with("changed").size(), c.expected != 0.5f ? 1u : 0u);
    }
}

TEST(Controls, ALinearDragCoversTheRangeInTwoHundredPixelsAndShiftZooms) {
    KnobFixture f;
    f.editor.knobMode = kLinearMode;
    f.knob->setValue(0.2f);
    EXPECT_EQ(f.press(120, 120), kMouseEventHandled);
    f.move(120, 70, kLButton); // 50 up
    EXPECT_NEAR(f.knob->getValue(), 0.45f, 1e-6);
    f.move(170, 70, kLButton); // and 50 right
    EXPECT_NEAR(f.knob->getValue(), 0.7f, 1e-6);
    // Shift pressed in the middle: no jump, then ten times finer.
    f.move(170, 69, kLButton | kShift);
    EXPECT_NEAR(f.knob->getValue(), 0.705f, 1e-6);
    f.move(170, 29, kLButton | kShift);
    EXPECT_NEAR(f.knob->getValue(), 0.725f, 1e-5);
    f.move(170, -300, kLButton | kShift);
    EXPECT_LE(f.knob->getValue(), 1.0f);
    f.release(170, -300);
    EXPECT_EQ(edits(f.journal).back(), "end 5");
    EXPECT_EQ(f.journal.with("host begin").size(), 1u);
    EXPECT_EQ(f.journal.with("host end").size(), 1u);
}

TEST(Controls, TheKnobModeAndAltChooseBetweenLinearAndCircularDrags) {
    struct Case {
        std::int32_t mode;
        CButtonState buttons;
        CPoint press;
        float expected;
    } cases[] = {
        {kLinearMode, kLButton, {120, 100}, 0.3f},          // linear: pressing changes nothing
        {kCircularMode, kLButton | kAlt, {120, 100}, 0.3f}, // circular mode with alt: linear
        {kCircularMode, kLButton, {120, 100}, 0.5f},        // top: half way round
        {kCircularMode, kLButton, {100, 120}, 1.0f / 6.0f}, // left
        {kLinearMode, kLButton | kAlt, {139, 139}, 1.0f},   // linear mode with alt: circular
        {kRelativCircularMode, kLButton, {101, 139}, 0.0f},
    };
    for (const Case& c : cases) {
        KnobFixture f;
        f.editor.knobMode = c.mode;
        f.knob->setValue(0.3f);
        f.press(c.press.x, c.press.y, c.buttons);
        EXPECT_NEAR(f.knob->getValue(), c.expected, 0.02) << c.mode << " " << c.buttons;
    }
}

TEST(Controls, AKnobWithoutTheLeftButtonStartsNoGesture) {
    KnobFixture f;
    EXPECT_EQ(f.press(110, 110, kRButton), kMouseEventNotHandled);
    EXPECT_TRUE(edits(f.journal).empty());
}

TEST(Controls, AnOnOffButtonTogglesAndTellsTheListenerBeforeOrAfterThePump) {
    struct Case {
        std::int32_t style;
        float start, expected;
        Lines order;
    } cases[] = {
        {kPostListenerUpdate,
         0.0f,
         1.0f,
         {"pump", "begin 3", "host begin 3", "changed 3 1", "host end 3", "end 3"}},
        {kPreListenerUpdate,
         1.0f,
         0.0f,
         {"begin 3", "host begin 3", "changed 3 0", "host end 3", "end 3", "pump"}},
        {kPostListenerUpdate,
         0.75f,
         1.0f,
         {"pump", "begin 3", "host begin 3", "changed 3 1", "host end 3", "end 3"}},
    };
    for (const Case& c : cases) {
        FrameFixture f;
        RecordingListener listener(f.journal);
        CBitmap* strip = stripBitmap(10, 10, {kOffColour, kOnColour});
        auto* button = new COnOffButton(CRect(20, 20, 30, 30), &listener, 3, strip, c.style);
        strip->forget();
        button->setValue(c.start);
        f->addView(button);
        EXPECT_EQ(f.press(25, 25), kMouseDownEventHandledButDontNeedMovedOrUpEvents);
        EXPECT_EQ(button->getValue(), c.expected);
        EXPECT_EQ(edits(f.journal), c.order);
        EXPECT_FALSE(f.window().hasCapture());
        EXPECT_TRUE(f.window().hasPendingPaint()); // its rectangle was invalidated
        EXPECT_EQ(f.paintedPixel(25, 25), c.expected != 0 ? kOnColour : kOffColour);
    }
    FrameFixture f;
    auto* button = new COnOffButton(CRect(20, 20, 30, 30), nullptr, 3, nullptr);
    f->addView(button);
    EXPECT_EQ(f.press(25, 25, kRButton), kMouseEventNotHandled);
    EXPECT_EQ(button->getValue(), 0.0f);
}

TEST(Controls, AKickButtonKicksOnlyWhenReleasedOverIt) {
    struct Step {
        char what; // p press, m move, r release
        CPoint at;
    };
    struct Case {
        const char* name;
        std::vector<Step> steps;
        Lines told;
    } cases[] = {
        {"inside", {{'p', {25, 25}}, {'r', {25, 25}}}, {"changed 8 1", "changed 8 0"}},
        {"on the far edges",
         {{'p', {20, 20}}, {'m', {30, 30}}, {'r', {30, 30}}},
         {"changed 8 1", "changed 8 0"}},
        {"moved out", {{'p', {25, 25}}, {'m', {60, 25}}, {'r', {60, 25}}}, {"changed 8 0"}},
        {"released out", {{'p', {25, 25}}, {'r', {31, 25}}}, {"changed 8 0"}},
        {"out and back",
         {{'p', {25, 25}}, {'m', {60, 60}}, {'m', {22, 28}}, {'r', {22, 28}}},
         {"changed 8 1", "changed 8 0"}},
    };
    for (const Case& c : cases) {
        FrameFixture f;
        RecordingListener listener(f.journal);
        CBitmap* strip = stripBitmap(10, 10, {kOffColour, kOnColour});
        auto* kick = new CKickButton(CRect(20, 20, 30, 30), &listener, 8, strip);
        strip->forget();
        f->addView(kick);
        for (const Step& s : c.steps) {
            if (s.what == 'p') {
                EXPECT_EQ(f.press(s.at.x, s.at.y), kMouseEventHandled);
                EXPECT_EQ(f.paintedPixel(25, 25), kOnColour) << c.name; // held over it
            }
            if (s.what == 'm') f.move(s.at.x, s.at.y, kLButton);
            if (s.what == 'r') f.release(s.at.x, s.at.y);
        }
        EXPECT_EQ(f.journal.with("changed"), c.told) << c.name;
        EXPECT_EQ(kick->getValue(), 0.0f);
        EXPECT_EQ(f.journal.with("host begin").size(), 1u);
        EXPECT_EQ(f.journal.with("host end").size(), 1u);
        EXPECT_EQ(f.paintedPixel(25, 25), kOffColour) << c.name;
    }
}

TEST(Controls, ARockerSwitchFollowsTheHalfUnderThePointerUntilReleased) {
    struct Step {
        char what;
        CPoint at;
    };
    struct Case {
        const char* name;
        std::int32_t style;
        std::vector<Step> steps;
        Lines told;
        std::uint32_t colourWhileHeld;
    } cases[] = {
        {"left half", kHorizontal, {{'p', {12, 15}}, {'r', {12, 15}}}, {"changed 9 -1"}, kOffColour},
        {"middle counts as right",
         kHorizontal,
         {{'p', {25, 15}}, {'r', {25, 15}}},
         {"changed 9 1"},
         kOnColour},
        {"across and out",
         kHorizontal,
         {{'p', {12, 15}}, {'m', {35, 15}}, {'m', {80, 15}}, {'r', {80, 15}}},
         {"changed 9 -1", "changed 9 1", "changed 9 0"},
         kOffColour},
        {"vertical upper half", kVertical, {{'p', {30, 11}}, {'r', {30, 11}}}, {"changed 9 -1"}, kOffColour},
        {"vertical lower half", kVertical, {{'p', {30, 19}}, {'r', {30, 19}}}, {"changed 9 1"}, kOnColour},
    };
    for (const Case& c : cases) {
        FrameFixture f;
        RecordingListener listener(f.journal);
        CBitmap* strip = stripBitmap(30, 10, {kOffColour, kMidColour, kOnColour});
        auto* rocker = new CRockerSwitch(CRect(10, 10, 40, 20), &listener, 9, strip, CPoint(0, 0), c.style);
        strip->forget();
        f->addView(rocker);
        EXPECT_EQ(f.paintedPixel(15, 15), kMidColour);
        for (const Step& s : c.steps) {
            if (s.what == 'p') {
                f.press(s.at.x, s.at.y);
                EXPECT_EQ(f.paintedPixel(15, 15), c.colourWhileHeld) << c.name;
            }
            if (s.what == 'm') f.move(s.at.x, s.at.y, kLButton);
            if (s.what == 'r') f.release(s.at.x, s.at.y);
        }
        EXPECT_EQ(f.journal.with("changed"), c.told) << c.name; // the release tells nothing
        EXPECT_EQ(rocker->getValue(), 0.0f);
        EXPECT_EQ(f.paintedPixel(15, 15), kMidColour);
        EXPECT_EQ(edits(f.journal).back(), "end 9");
    }
}

TEST(Controls, AFilmStripKnobDrawsTheFrameOfItsValue) {
    std::vector<std::uint32_t> colours;
    for (std::uint32_t k = 0; k < 101; ++k)
        colours.push_back(0xFF000000u | k);
    struct Case {
        float value;
        std::uint32_t frame;
    } cases[] = {{0, 0}, {1, 100}, {0.5f, 50}, {0.004f, 0}, {0.006f, 1}, {-0.5f, 0}, {2, 100}};
    for (const Case& c : cases) {
        FrameFixture f;
        CBitmap* strip = stripBitmap(8, 6, colours);
        auto* knob = new CAnimKnob(CRect(10, 10, 18, 16), nullptr, 1, strip);
        strip->forget();
        EXPECT_EQ(knob->getNumSubPixmaps(), 101);
        knob->setValue(c.value);
        f->addView(knob);
        EXPECT_EQ(f.paintedPixel(12, 12), 0xFF000000u | c.frame) << c.value;
    }
}
