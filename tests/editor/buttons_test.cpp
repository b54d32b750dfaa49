// The editor's stepping buttons and the speed switch, driven through a headless window as the user
// would: what each click sends, what each state draws, what reaches the host.
#include <gtest/gtest.h>

#include "editor/calib_button.h"
#include "editor/mode_button.h"
#include "editor/quantize_buttons.h"
#include "editor/speed_switch.h"
#include "editor/zelmar_buttons.h"
#include "engine/parameters.h"
#include "tests/editor/support/controls_fixture.h"

using namespace controlstest;
using engine::centre;

namespace {

using Lines = std::vector<std::string>;

constexpr int kHandledNoMoves = kMouseDownEventHandledButDontNeedMovedOrUpEvents;

// A button of the control table on a strip of frames of its own height.
template <class Button, class... Extra>
Button* makeButton(EditorWindow& w, CRect rect, std::int32_t tag, int frames, Extra... extra) {
    CBitmap* strip = stripBitmap(rect.getWidth(), rect.getHeight(), frames);
    auto* button = w.add(new Button(rect, &w.listener, tag, strip, extra...));
    strip->forget();
    return button;
}

} // namespace

TEST(ZelmarButton, LeftClicksAlternateBetweenTheCentresOfOffAndOn) {
    EditorWindow w;
    auto* power = makeButton<CZelmarButton>(w, CRect(245, 400, 280, 435), engine::kPower, 2);
    power->setValue(1.0f); // the parameter's default: on
    EXPECT_EQ(w.shownFrame(262, 417), 1);

    EXPECT_EQ(w.click(262, 417), kHandledNoMoves);
    EXPECT_EQ(power->getValue(), 0.25f);
    EXPECT_EQ(w.shownFrame(262, 417), 0);
    w.click(262, 417);
    EXPECT_EQ(power->getValue(), 0.75f);
    EXPECT_EQ(w.shownFrame(262, 417), 1);
    w.click(262, 417);
    EXPECT_EQ(w.journal.lines, (Lines{"changed 8 0.25", "changed 8 0.75", "changed 8 0.25"}));
}

TEST(ZelmarButton, RightClickOnAPreferenceButtonStoresInsteadOfToggling) {
    EditorWindow w;
    auto* zoom = makeButton<CZelmarButton>(w, CRect(269, 265, 302, 284), engine::kAttZoom, 3,
                                           static_cast<CMeteringPrefsHost*>(&w.prefs));
    zoom->setValue(0.75f);
    ASSERT_TRUE(zoom->isMeteringPreference());

    EXPECT_EQ(w.click(280, 270, kRButton), kHandledNoMoves);
    EXPECT_EQ(w.click(280, 270, kRButton | kLButton), kHandledNoMoves); // whatever else is held
    EXPECT_EQ(zoom->getValue(), 0.75f);
    EXPECT_EQ(w.journal.lines, (Lines{"store", "store"}));

    zoom->setHighlight(true); // the store's confirmation, set by the editor
    EXPECT_EQ(w.shownFrame(280, 270), 2);
    zoom->setHighlight(false);
    EXPECT_EQ(w.shownFrame(280, 270), 1);
}

TEST(ZelmarButton, RightClickOnAPlainButtonIsNotHandled) {
    EditorWindow w;
    auto* quantize = makeButton<CZelmarButton>(w, CRect(412, 40, 445, 59), engine::kQuantize, 2);
    quantize->setValue(0.25f);
    EXPECT_FALSE(quantize->isMeteringPreference());
    EXPECT_EQ(w.click(420, 50, kRButton), kMouseEventNotHandled);
    EXPECT_EQ(w.click(420, 50, kMButton), kMouseEventNotHandled);
    EXPECT_EQ(quantize->getValue(), 0.25f);
    EXPECT_TRUE(w.journal.lines.empty());
}

TEST(ZelmarButton, EditorTagsAndStepButtonsNeverReachTheHost) {
    // The "AttShow" bit buttons carry the editor's own tags 28..30: no parameter index of the host.
    EditorWindow w;
    makeButton<CZelmarButton>(w, CRect(224, 265, 257, 284), 28, 3,
                              static_cast<CMeteringPrefsHost*>(&w.prefs));
    makeButton<CZelmarButton>(w, CRect(224, 230, 257, 249), 29, 3,
                              static_cast<CMeteringPrefsHost*>(&w.prefs));
    makeButton<CBits>(w, CRect(412, 78, 445, 97), engine::kBits, 6);
    w.click(230, 270);
    w.click(230, 240);
    w.click(230, 270, kRButton);
    w.click(420, 85);
    EXPECT_TRUE(w.journal.with("host").empty());
    EXPECT_EQ(w.journal.lines, (Lines{"changed 28 0.75", "changed 29 0.75", "store", "changed 10 0.5"}));
}

TEST(OversamplingButton, StoredCentreShowsOnAndClicksSendZeroAndOne) {
    EditorWindow w;
    auto* ovs = makeButton<COversamplingButton>(w, CRect(81, 40, 114, 59), engine::kOversample, 2);
    ovs->setValue(0.75f);
    EXPECT_EQ(w.shownFrame(90, 50), 1);
    EXPECT_EQ(w.click(90, 50), kHandledNoMoves);
    EXPECT_EQ(ovs->getValue(), 0.0f);
    EXPECT_EQ(w.shownFrame(90, 50), 0);
    w.click(90, 50);
    EXPECT_EQ(ovs->getValue(), 1.0f);
    EXPECT_EQ(w.shownFrame(90, 50), 1);
    EXPECT_EQ(w.click(90, 50, kRButton), kMouseEventNotHandled);
    EXPECT_EQ(w.journal.lines, (Lines{"changed 6 0", "changed 6 1"}));
}

// ------------------------------------------------------------------------------------ CModeButton

class ModeButtonTest : public ::testing::Test {
protected:
    void SetUp() override {
        mode = makeButton<CModeButton>(w, CRect(223, 305, 258, 361), engine::kScale, 7,
                                       static_cast<CMeteringPrefsHost*>(&w.prefs));
        w.prefs.mirror = mode;
    }
    int upper() { return w.click(240, 305 + 18); }
    int middle() { return w.click(240, 333); }
    int lower() { return w.click(240, 361 - 18); }

    EditorWindow w;
    CModeButton* mode = nullptr;
};

TEST_F(ModeButtonTest, StartsInPeakModeWithK14Remembered) {
    EXPECT_EQ(mode->getMeterTypeStep(), 0);
    EXPECT_EQ(mode->getScaleStep(), 1);
    EXPECT_EQ(w.shownFrame(240, 330), 1);
}

TEST_F(ModeButtonTest, LowerBandSwitchesToKSystemThenStepsTheScale) {
    // From peak: K-system with the remembered scale, no scale sent.
    EXPECT_EQ(lower(), kHandledNoMoves);
    EXPECT_EQ(w.journal.lines, (Lines{"type 1"}));
    EXPECT_EQ(mode->getScaleStep(), 1);
    EXPECT_EQ(w.shownFrame(240, 330), 4); // K-14

    // Already K-system: K-14 -> K-20 -> K-12 -> K-14, each sent before the type.
    const int expected[] = {2, 0, 1};
    for (int scale : expected) {
        w.journal.clear();
        lower();
        EXPECT_EQ(w.journal.lines, (Lines{"scale " + std::to_string(scale), "type 1"}));
        EXPECT_EQ(w.shownFrame(240, 330), 3 + scale);
    }
}

TEST_F(ModeButtonTest, UpperBandSelectsPeakAndKeepsTheScale) {
    lower();
    lower(); // K-20
    w.journal.clear();
    EXPECT_EQ(upper(), kHandledNoMoves);
    EXPECT_EQ(w.journal.lines, (Lines{"type 0"}));
    EXPECT_EQ(w.shownFrame(240, 330), 2); // peak look, K-20 remembered
}

TEST_F(ModeButtonTest, BandEdgesAndTheMiddleBand) {
    // 19 rows from the top and from the bottom take clicks; the rows between do nothing.
    EXPECT_EQ(w.click(240, 305 + 19), kHandledNoMoves);
    EXPECT_EQ(middle(), kHandledNoMoves);
    EXPECT_EQ(w.click(240, 361 - 19), kHandledNoMoves);
    EXPECT_TRUE(w.journal.lines.empty());
    w.click(240, 305);
    w.click(240, 360);
    EXPECT_EQ(w.journal.lines, (Lines{"type 0", "type 1"}));
}

TEST_F(ModeButtonTest, BothButtonsStoreThePreferencesAndRightAloneIsNotHandled) {
    EXPECT_EQ(w.click(240, 350, kLButton | kRButton), kHandledNoMoves);
    EXPECT_EQ(w.click(240, 350, kRButton), kMouseEventNotHandled);
    EXPECT_EQ(w.journal.lines, (Lines{"store"}));
    mode->setHighlight(true);
    EXPECT_EQ(w.shownFrame(240, 330), 6);
}

TEST_F(ModeButtonTest, MirroredValuesPickTheLook) {
    mode->setMeterType(centre(1, 2));
    mode->setScale(centre(0, 3));
    EXPECT_EQ(w.shownFrame(240, 330), 3);
    mode->setScale(1.0f);
    EXPECT_EQ(w.shownFrame(240, 330), 5);
    // A host may send anything: the look stays inside the strip.
    mode->setScale(-0.5f);
    mode->setMeterType(7.0f);
    EXPECT_EQ(w.shownFrame(240, 330), 3);
}

// -------------------------------------------------------------------------- Quantize-dependent

TEST(BitsButton, CyclesWithQuantizeOffAndShowsTheInactiveLooks) {
    EditorWindow w;
    auto* bits = makeButton<CBits>(w, CRect(412, 78, 445, 97), engine::kBits, 6);
    bits->setQuantize(centre(0, 2));
    bits->setBits(centre(1, 3));
    EXPECT_EQ(w.shownFrame(420, 85), 1);

    const int steps[] = {2, 0, 1};
    for (int s : steps) {
        w.click(420, 85);
        EXPECT_EQ(bits->getBitsStep(), s);
        EXPECT_EQ(bits->getValue(), centre(s, 3));
        EXPECT_EQ(w.shownFrame(420, 85), s);
    }
    bits->setQuantize(centre(1, 2));
    EXPECT_EQ(w.shownFrame(420, 85), 4);
    EXPECT_EQ(w.journal.lines.size(), 3u);
}

TEST(NoiseShapeButton, LooksByStepAndQuantize) {
    EditorWindow w;
    auto* shape = makeButton<CNoiseShape>(w, CRect(449, 78, 482, 97), engine::kNoiseShape, 7);
    struct Case {
        int step, quantize, frame;
    };
    const Case cases[] = {{0, 0, 0}, {0, 1, 0}, {1, 0, 1}, {2, 0, 2},
                          {3, 0, 3}, {1, 1, 4}, {2, 1, 5}, {3, 1, 6}};
    for (const Case& c : cases) {
        shape->setNoiseShape(centre(c.step, 4));
        shape->setQuantize(centre(c.quantize, 2));
        EXPECT_EQ(w.shownFrame(460, 85), c.frame) << "step " << c.step << " quantize " << c.quantize;
    }
}

TEST(NoiseShapeButton, ClicksStepThroughTheFourTypes) {
    EditorWindow w;
    auto* shape = makeButton<CNoiseShape>(w, CRect(449, 78, 482, 97), engine::kNoiseShape, 7);
    shape->setQuantize(1.0f);
    for (int i = 0; i < 5; ++i)
        w.click(460, 85);
    EXPECT_EQ(w.journal.lines,
              (Lines{"changed 11 " + valueText(centre(1, 4)), "changed 11 " + valueText(centre(2, 4)),
                     "changed 11 " + valueText(centre(3, 4)), "changed 11 " + valueText(centre(0, 4)),
                     "changed 11 " + valueText(centre(1, 4))}));
    EXPECT_EQ(w.shownFrame(460, 85), 4);
}

TEST(AutoBlackButton, TogglesAndShowsTheInactiveOnLook) {
    EditorWindow w;
    auto* black = makeButton<CAutoBlack>(w, CRect(449, 40, 482, 59), engine::kAutoblack, 3);
    black->setQuantize(centre(1, 2));
    black->setAutoblack(centre(0, 2));
    EXPECT_EQ(w.shownFrame(460, 50), 0);
    w.click(460, 50);
    EXPECT_TRUE(black->isAutoblackOn());
    EXPECT_EQ(black->getValue(), 0.75f);
    EXPECT_EQ(w.shownFrame(460, 50), 1);
    black->setQuantize(centre(0, 2));
    EXPECT_EQ(w.shownFrame(460, 50), 2);
    w.click(460, 50);
    EXPECT_EQ(black->getValue(), 0.25f);
    EXPECT_EQ(w.shownFrame(460, 50), 0);
    EXPECT_EQ(w.click(460, 50, kRButton), kMouseEventNotHandled);
}

TEST(QuantizeButtons, OutOfRangeMirroredValuesStayInsideTheStrips) {
    EditorWindow w;
    auto* bits = makeButton<CBits>(w, CRect(412, 78, 445, 97), engine::kBits, 6);
    auto* shape = makeButton<CNoiseShape>(w, CRect(449, 78, 482, 97), engine::kNoiseShape, 7);
    bits->setBits(-3.0f);
    bits->setQuantize(2.0f);
    shape->setNoiseShape(1.5f);
    shape->setQuantize(-1.0f);
    EXPECT_EQ(w.shownFrame(420, 85), 3);
    EXPECT_EQ(w.shownFrame(460, 85), 3);
}

// ---------------------------------------------------------------------------------- CCalibButton

TEST(CalibButton, ClicksCycleOffLeftBothRight) {
    EditorWindow w;
    auto* calib = makeButton<CCalibButton>(w, CRect(269, 341, 302, 360), engine::kCalibrate, 7);
    calib->setValue(centre(0, 4));
    for (int i = 0; i < 4; ++i)
        w.click(280, 350);
    EXPECT_EQ(w.journal.lines,
              (Lines{"changed 12 " + valueText(centre(1, 4)), "changed 12 " + valueText(centre(2, 4)),
                     "changed 12 " + valueText(centre(3, 4)), "changed 12 " + valueText(centre(0, 4))}));
}

TEST(CalibButton, BlinksEvery256MsFromTheLastRefreshBeforeTheClick) {
    EditorWindow w;
    auto* calib = makeButton<CCalibButton>(w, CRect(269, 341, 302, 360), engine::kCalibrate, 7);
    calib->setValue(centre(0, 4));
    const std::uint32_t t0 = 0xFFFFFF80u; // the count wraps during the test
    calib->tick(t0);
    w.click(280, 350); // "left", lit from t0
    struct Case {
        std::uint32_t after;
        int frame;
    };
    const Case cases[] = {{10, 4}, {255, 4}, {256, 1}, {511, 1}, {512, 4}, {800, 1}};
    for (const Case& c : cases) {
        calib->tick(t0 + c.after);
        EXPECT_TRUE(calib->isDirty()) << c.after;
        EXPECT_EQ(w.shownFrame(280, 350), c.frame) << c.after;
    }
}

TEST(CalibButton, BitmapOrderAndDarkLooks) {
    EditorWindow w;
    auto* calib = makeButton<CCalibButton>(w, CRect(269, 341, 302, 360), engine::kCalibrate, 7);
    calib->tick(256);                  // clickTicks 0: dark phase
    const int frames[] = {0, 1, 3, 2}; // off, left, l+r uncor, right
    for (int s = 0; s < 4; ++s) {
        calib->setValue(centre(s, 4));
        EXPECT_EQ(w.shownFrame(280, 350), frames[s]) << s;
    }
    // Off does not ask for redraws at every refresh.
    calib->setValue(centre(0, 4));
    w.frame->idle();
    calib->tick(1000);
    EXPECT_FALSE(calib->isDirty());
}

// ---------------------------------------------------------------------------------- CSpeedSwitch

TEST(SpeedSwitch, OnlyTheThreeCapsSelectAPosition) {
    EditorWindow w;
    auto* speed = makeButton<CSpeedSwitch>(w, CRect(38, 121, 128, 146), engine::kTransShape, 3);
    speed->setValue(centre(2, 3));
    struct Case {
        CCoord x, y;
        int position; // -1: nothing changes
    };
    const Case cases[] = {{60, 130, -1},  {39, 123, 0},  {56, 140, 0},  {38, 130, -1}, {57, 130, -1},
                          {72, 123, 1},   {89, 140, 1},  {90, 130, -1}, {105, 130, 2}, {122, 140, 2},
                          {123, 130, -1}, {80, 122, -1}, {80, 141, -1}, {45, 145, -1}};
    int current = 2;
    for (const Case& c : cases) {
        w.journal.clear();
        EXPECT_EQ(w.click(c.x, c.y), kHandledNoMoves) << c.x << "," << c.y;
        if (c.position >= 0) {
            current = c.position;
            EXPECT_EQ(w.journal.lines, (Lines{"changed 4 " + valueText(centre(c.position, 3))}));
        } else {
            EXPECT_TRUE(w.journal.lines.empty()) << c.x << "," << c.y;
        }
        EXPECT_EQ(speed->getValue(), centre(current, 3));
        EXPECT_EQ(w.shownFrame(100, 144), current);
    }
    EXPECT_EQ(w.click(80, 130, kRButton), kMouseEventNotHandled);
}
