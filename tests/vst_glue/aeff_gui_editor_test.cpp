// The toolkit's editor base behind the VST 2.4 editor: host requests (rectangle, knob mode, keys),
// edits relayed to the host, and the idle pump with its timing.
#include <gtest/gtest.h>

#include <functional>

#include "host/aeff_gui_editor.h"
#include "host/audio_effect.h"
#include "support/gui_fixture.h"

using namespace guitest;
using Lines = std::vector<std::string>;

namespace {

struct HostRecord {
    Journal* journal = nullptr;
    std::function<void()> onIdle;
};
HostRecord host;

vst::VstIntPtr hostCallback(vst::AEffect*, vst::VstInt32 opcode, vst::VstInt32 index, vst::VstIntPtr, void*,
                            float) {
    if (host.journal) host.journal->add("host " + std::to_string(opcode) + " " + std::to_string(index));
    if (opcode == vst::audioMasterIdle && host.onIdle) host.onIdle();
    return opcode == vst::audioMasterVersion ? 2400 : 0;
}

class Effect : public AudioEffectX {
public:
    Effect() : AudioEffectX(hostCallback, 1, 4) {}
};

// A format-free editor of 100 x 80 pixels that records its idle calls.
class View : public CFrameEditor {
public:
    View(gui::EditorHost* host, Journal& journal) : CFrameEditor(host), journal(journal) {
        rect = CRect(0, 0, 100, 80);
    }
    bool open(void* parent) override {
        CFrameEditor::open(parent);
        frame = new CFrame(CRect(0, 0, 100, 80), parent, this);
        return true;
    }
    void idle() override {
        journal.add("idle");
        CFrameEditor::idle();
    }
    Journal& journal;
};

// The VST 2.4 editor over it.
class Editor : public AEffGUIEditor {
public:
    Editor(AudioEffect* effect, Journal& journal) : AEffGUIEditor(effect), view(this, journal) {
        setView(&view);
    }
    ~Editor() override { setView(nullptr); }
    CFrame* getFrame() const { return view.getFrame(); }
    void doIdleStuff() { view.doIdleStuff(); }
    std::int32_t getKnobMode() const { return view.getKnobMode(); }
    View view;
};

// Records its drawing in the journal.
class PaintProbe : public CView {
public:
    PaintProbe(const CRect& r, Journal& j) : CView(r), journal(j) {}
    void draw(CDrawContext*) override {
        journal.add("paint");
        setDirty(false);
    }
    Journal& journal;
};

struct EditorFixture {
    EditorFixture() {
        host = {&journal, nullptr};
        effect = new Effect;
        editor = new Editor(effect, journal);
    }
    ~EditorFixture() {
        delete effect; // deletes the editor with it
        host = {};
        CFrameEditor::setKnobModeForProcess(kCircularMode);
    }
    vst::VstIntPtr dispatch(vst::VstInt32 opcode, vst::VstInt32 index = 0, vst::VstIntPtr value = 0,
                            void* ptr = nullptr, float opt = 0) {
        return effect->dispatcher(opcode, index, value, ptr, opt);
    }
    platform::HeadlessFrameWindow& window() {
        return *platform::asHeadless(editor->getFrame()->getPlatformWindow());
    }

    TestClock clock;
    Journal journal;
    Effect* effect;
    Editor* editor;
};

} // namespace

TEST(Editor, ConstructionRegistersTheEditorWithTheEffect) {
    EditorFixture f;
    EXPECT_EQ(f.effect->getEditor(), f.editor);
    EXPECT_TRUE(f.effect->getAeffect()->flags & vst::effFlagsHasEditor);
}

TEST(Editor, AnEditorDeletedBeforeItsEffectIsForgottenByIt) {
    EditorFixture f;
    delete f.editor;
    EXPECT_EQ(f.effect->getEditor(), nullptr);
    EXPECT_FALSE(f.effect->getAeffect()->flags & vst::effFlagsHasEditor);
}

TEST(Editor, TheHostGetsTheRectangleAndSetsTheKnobModeForEveryKnob) {
    EditorFixture f;
    vst::ERect* rect = nullptr;
    EXPECT_EQ(f.dispatch(vst::effEditGetRect, 0, 0, &rect), 1);
    ASSERT_NE(rect, nullptr);
    EXPECT_EQ(rect->right, 100);
    EXPECT_EQ(rect->bottom, 80);
    EXPECT_EQ(f.dispatch(vst::effSetEditKnobMode, 0, kLinearMode), 1);
    EXPECT_EQ(CFrameEditor::getProcessKnobMode(), kLinearMode);
    Journal other;
    Effect secondEffect;
    Editor second(&secondEffect, other);
    EXPECT_EQ(second.getKnobMode(), kLinearMode); // process-wide
    // A knob of the open editor drags linearly now.
    f.dispatch(vst::effEditOpen);
    auto* knob = new CKnob(CRect(10, 10, 50, 50), nullptr, 2, nullptr);
    knob->setValue(0.5f);
    f.editor->getFrame()->addView(knob);
    f.window().press(20, 30, platform::kMouseLeft);
    EXPECT_FLOAT_EQ(knob->getValue(), 0.5f);
    f.window().move(20, 10, platform::kMouseLeft);
    EXPECT_FLOAT_EQ(knob->getValue(), 0.6f);
    f.window().release(20, 10, 0);
    secondEffect.setEditor(nullptr);
}

TEST(Editor, KeysFromTheHostReachTheFocusViewOfTheOpenFrame) {
    EditorFixture f;
    EXPECT_EQ(f.dispatch(vst::effEditKeyDown, 0, vst::VKEY_RIGHT), 0); // closed
    f.dispatch(vst::effEditOpen);
    auto* knob = new CKnob(CRect(10, 10, 50, 50), nullptr, 2, nullptr);
    knob->setValue(0.5f);
    knob->setWheelInc(0.25f);
    f.editor->getFrame()->addView(knob);
    EXPECT_EQ(f.dispatch(vst::effEditKeyDown, 0, vst::VKEY_RIGHT), 0); // no focus view yet
    f.editor->getFrame()->setFocusView(knob);
    EXPECT_EQ(f.dispatch(vst::effEditKeyDown, 0, vst::VKEY_RIGHT), 1);
    EXPECT_FLOAT_EQ(knob->getValue(), 0.75f);
    EXPECT_EQ(f.dispatch(vst::effEditKeyDown, 0, vst::VKEY_LEFT, nullptr, float(vst::MODIFIER_SHIFT)), 1);
    EXPECT_FLOAT_EQ(knob->getValue(), 0.725f);
    EXPECT_EQ(f.dispatch(vst::effEditKeyDown, 'a', 0), 0);
    EXPECT_EQ(f.dispatch(vst::effEditKeyUp, 0, vst::VKEY_RIGHT), 0);
    f.dispatch(vst::effEditClose);
    EXPECT_EQ(f.editor->getFrame(), nullptr);
}

TEST(Editor, GesturesReachTheHostAsBeginAndEndOfAnEdit) {
    EditorFixture f;
    f.dispatch(vst::effEditOpen);
    auto* kick = new CKickButton(CRect(10, 10, 30, 30), nullptr, 17, nullptr);
    f.editor->getFrame()->addView(kick);
    f.journal.clear();
    f.window().press(20, 20, platform::kMouseLeft);
    f.window().release(20, 20, 0);
    EXPECT_EQ(f.journal.lines, (Lines{"host 43 17", "host 44 17"}));
}

TEST(Editor, TheIdlePumpRunsAtMostEvery100msWithA4msGraceSleep) {
    struct Step {
        std::uint32_t time;
        bool pumps;
        bool sleeps;
    };
    struct Case {
        const char* name;
        std::uint32_t start;
        std::vector<Step> steps;
    } cases[] = {
        {"schedule",
         1000,
         {{1000, true, false},
          {1040, false, true}, // 60 ms early: sleeps, still 56 ms away
          {1049, true, true},  // 51 ms early: after the sleep 47 ms away, close enough
          {1153, true, false}, // the pump above scheduled 1053 + 100
          {1190, false, true},
          {1199, true, true}, // after the sleep exactly 50 ms away: that is close enough
          {1302, true, true}, // 1 ms early: sleeps, then pumps
          {1500, true, false}}},
        {"across the wrap of the tick count",
         0xFFFFFFC0u,
         {{0xFFFFFFC0u, true, false},
          {0xFFFFFFE0u, false, true},
          {0xFFFFFFF0u, true, true},
          {0x60u, true, false}}},
    };
    for (const Case& c : cases) {
        TestClock clock;
        clock.time = c.start;
        Journal journal;
        host = {&journal, nullptr};
        {
            Effect effect;
            new Editor(&effect, journal);
            for (const Step& s : c.steps) {
                clock.time = s.time;
                clock.sleeps.clear();
                journal.clear();
                effect.getEditor();
                static_cast<Editor*>(effect.getEditor())->doIdleStuff();
                EXPECT_EQ(journal.lines, s.pumps ? (Lines{"idle", "host 3 0"}) : Lines{})
                    << c.name << " " << s.time;
                EXPECT_EQ(clock.sleeps,
                          s.sleeps ? std::vector<std::uint32_t>{4} : std::vector<std::uint32_t>{})
                    << c.name << " " << s.time;
            }
        }
        host = {};
    }
}

TEST(Editor, APumpRunsTheIdleThenPaintsThenCallsTheHost) {
    EditorFixture f;
    f.dispatch(vst::effEditOpen);
    auto* view = new PaintProbe(CRect(0, 0, 10, 10), f.journal);
    f.editor->getFrame()->addView(view);
    f.window().paint(); // the first paint
    view->invalid();
    f.journal.clear();
    f.editor->doIdleStuff();
    EXPECT_EQ(f.journal.lines, (Lines{"idle", "paint", "host 3 0"}));
}

TEST(Editor, AHostIdleDuringThePumpDoesNotRunTheFrameAgain) {
    EditorFixture f;
    f.dispatch(vst::effEditOpen);
    auto* view = new PaintProbe(CRect(0, 0, 10, 10), f.journal);
    f.editor->getFrame()->addView(view);
    host.onIdle = [&] {
        view->setDirty();
        f.dispatch(vst::effEditIdle); // the host answers the idle call with an editor idle
    };
    f.editor->doIdleStuff();
    EXPECT_TRUE(view->isDirty()); // the nested idle drew nothing
    host.onIdle = nullptr;
    f.dispatch(vst::effEditIdle);
    EXPECT_FALSE(view->isDirty());
}

TEST(Editor, AnOnOffButtonShowsItsNewLookBeforeTheListenerHears) {
    EditorFixture f;
    f.dispatch(vst::effEditOpen);
    struct Listener : CControlListener {
        platform::HeadlessFrameWindow* window = nullptr;
        std::uint32_t shown = 0;
        void controlChanged(CControl*) override { shown = window->pixel(15, 15); }
    } listener;
    listener.window = &f.window();
    CBitmap* strip = stripBitmap(10, 10, {0xFF000000, 0xFFFFFFFF});
    auto* button = new COnOffButton(CRect(10, 10, 20, 20), &listener, 6, strip);
    strip->forget();
    f.editor->getFrame()->addView(button);
    f.window().paint();
    f.journal.clear();
    f.window().press(15, 15, platform::kMouseLeft);
    EXPECT_EQ(listener.shown, 0xFFFFFFFFu);
    EXPECT_EQ(f.journal.with("host 3").size(), 1u);
    EXPECT_EQ(f.journal.with("host 43"), Lines{"host 43 6"});
    EXPECT_EQ(f.journal.with("host 44"), Lines{"host 44 6"});
}
