// Event routing of the frame: presses, moves, hover, wheel, focus, modal views and keys.
#include <gtest/gtest.h>

#include "support/gui_fixture.h"

using namespace guitest;
using Lines = std::vector<std::string>;

namespace {

// A control that records its presses and answers "handled, no moves".
class PressProbe : public CControl {
public:
    PressProbe(const CRect& size, CControlListener* listener, std::int32_t tag, Journal& journal)
        : CControl(size, listener, tag), journal(journal) {}
    CMouseEventResult onMouseDown(CPoint& where, const CButtonState& buttons) override {
        journal.add("control down " + pointText(where) + " b=" + std::to_string(buttons));
        return kMouseDownEventHandledButDontNeedMovedOrUpEvents;
    }
    Journal& journal;
};

ProbeView* probe(FrameFixture& f, const std::string& name, CRect rect) {
    auto* v = new ProbeView(name, rect, f.journal);
    f->addView(v);
    return v;
}

} // namespace

TEST(Routing, TheViewAddedLaterTakesThePressWhereViewsOverlap) {
    struct Case {
        CPoint point;
        const char* receiver; // nullptr: nobody
    } cases[] = {{{20, 20}, "A"},     {{50, 50}, "B"}, {{59, 59}, "B"},    {{39, 39}, "A"},
                 {{60, 20}, nullptr}, {{89, 89}, "B"}, {{90, 90}, nullptr}};
    for (const Case& c : cases) {
        FrameFixture f;
        probe(f, "A", CRect(10, 10, 60, 60));
        probe(f, "B", CRect(40, 40, 90, 90));
        int result = f.press(c.point.x, c.point.y);
        Lines downs = f.journal.with("down");
        if (!c.receiver) {
            EXPECT_EQ(result, kMouseEventNotHandled) << pointText(c.point);
            EXPECT_TRUE(downs.empty()) << pointText(c.point);
        } else {
            ASSERT_EQ(downs.size(), 1u) << pointText(c.point);
            EXPECT_EQ(downs[0], std::string("down ") + c.receiver + " " + pointText(c.point) + " b=2");
        }
    }
}

TEST(Routing, OnlyAPressAnsweredOneCapturesMovesAndRelease) {
    for (CMouseEventResult answer : {kMouseEventNotImplemented, kMouseEventHandled, kMouseEventNotHandled,
                                     kMouseDownEventHandledButDontNeedMovedOrUpEvents}) {
        FrameFixture f;
        ProbeView* v = probe(f, "V", CRect(10, 10, 50, 50));
        v->downResult = answer;
        EXPECT_EQ(f.press(20, 20), answer);
        bool captured = answer == kMouseEventHandled;
        EXPECT_EQ(f.window().hasCapture(), captured) << answer;
        EXPECT_EQ(f->getPressView(), captured ? v : nullptr);
        // Far outside the view: only a captured view still hears the move and the release.
        f.move(190, 140, kLButton);
        EXPECT_EQ(f.release(190, 140), captured ? kMouseEventHandled : kMouseEventNotHandled);
        Lines expected = {"down V 20,20 b=2"};
        if (captured) expected.insert(expected.end(), {"move V 190,140 b=2", "up V 190,140 b=0"});
        EXPECT_EQ(f.journal.with("down").size() + f.journal.with("move").size() + f.journal.with("up").size(),
                  expected.size())
            << answer;
        for (const std::string& line : expected)
            EXPECT_NE(std::find(f.journal.lines.begin(), f.journal.lines.end(), line), f.journal.lines.end())
                << line;
        EXPECT_FALSE(f.window().hasCapture());
    }
}

TEST(Routing, APressViewThatStopsAnsweringOneLosesTheMoves) {
    FrameFixture f;
    ProbeView* v = probe(f, "V", CRect(10, 10, 50, 50));
    f.press(20, 20);
    v->moveResult = kMouseEventNotHandled;
    f.move(30, 30, kLButton); // told, answers 2: forgotten, and the move is then a hover move
    EXPECT_EQ(f->getPressView(), nullptr);
    EXPECT_EQ(f.journal.lines.back(), "enter V 30,30 b=2");
    EXPECT_EQ(f.release(30, 30), kMouseEventNotHandled);
}

TEST(Routing, ModifierClicksOnAControlGoToItsListenerFirst) {
    struct Case {
        CButtonState buttons;
        std::int32_t accept;
        bool hookAsked;
        bool controlSeesPress;
        int result;
    } cases[] = {
        {kRButton | kShift, 1, true, false, kMouseEventHandled},
        {kLButton | kControl, 1, true, false, kMouseEventHandled},
        {kLButton | kAlt, 1, true, false, kMouseEventHandled},
        {kRButton | kShift, 0, true, true, kMouseDownEventHandledButDontNeedMovedOrUpEvents},
        {kLButton, 1, false, true, kMouseDownEventHandledButDontNeedMovedOrUpEvents},
        {kRButton | kDoubleClick, 1, false, true, kMouseDownEventHandledButDontNeedMovedOrUpEvents},
    };
    for (const Case& c : cases) {
        FrameFixture f;
        RecordingListener listener(f.journal);
        listener.acceptModifierClick = c.accept;
        f->addView(new PressProbe(CRect(10, 10, 50, 50), &listener, 7, f.journal));
        EXPECT_EQ(f.press(20, 20, c.buttons), c.result) << c.buttons;
        EXPECT_EQ(f.journal.with("modifier").size(), c.hookAsked ? 1u : 0u) << c.buttons;
        EXPECT_EQ(f.journal.with("control down").size(), c.controlSeesPress ? 1u : 0u) << c.buttons;
        EXPECT_EQ(f->getPressView(), nullptr);
    }
}

TEST(Routing, AControlWithoutListenerGetsModifierClicksItself) {
    FrameFixture f;
    f->addView(new PressProbe(CRect(10, 10, 50, 50), nullptr, 7, f.journal));
    f.press(20, 20, kRButton | kShift);
    EXPECT_EQ(f.journal.lines, Lines{"control down 20,20 b=24"});
}

TEST(Routing, HoverCountsTheRightAndBottomEdgesAsInside) {
    struct Case {
        CPoint point;
        bool inside;
    } cases[] = {{{20, 20}, true},  {{40, 40}, true},  {{40, 20}, true},  {{20, 40}, true}, {{30, 30}, true},
                 {{41, 30}, false}, {{30, 41}, false}, {{19, 30}, false}, {{30, 19}, false}};
    for (const Case& c : cases) {
        FrameFixture f;
        ProbeView* v = probe(f, "V", CRect(20, 20, 40, 40));
        f.move(0, 0);
        f.move(c.point.x, c.point.y, kShift);
        EXPECT_EQ(f->getHoverView(), c.inside ? v : nullptr) << pointText(c.point);
        if (c.inside) {
            EXPECT_EQ(f.journal.lines.back(), "enter V " + pointText(c.point) + " b=16");
        }
    }
}

TEST(Routing, HoverMovesCarryAnEmptyButtonStateAndLeavingTellsTheView) {
    FrameFixture f;
    probe(f, "A", CRect(10, 10, 40, 40));
    probe(f, "B", CRect(60, 10, 90, 40));
    f.move(20, 20, kShift);
    f.move(25, 25, kShift | kMButton);
    f.move(70, 20, kControl);
    f.move(150, 100);
    EXPECT_EQ(f.journal.lines, (Lines{"enter A 20,20 b=16", "move A 25,25 b=0", "exit A 70,20 b=32",
                                      "enter B 70,20 b=32", "exit B 150,100 b=0"}));
}

TEST(Routing, APressEndsTheHoverFirst) {
    FrameFixture f;
    probe(f, "V", CRect(10, 10, 40, 40));
    f.move(20, 20);
    f.press(21, 21);
    EXPECT_EQ(f.journal.lines, (Lines{"enter V 20,20 b=0", "exit V 21,21 b=2", "down V 21,21 b=2"}));
    EXPECT_EQ(f->getHoverView(), nullptr);
}

TEST(Routing, LeavingTheWindowTellsTheHoverViewAndRearmsOnTheNextMove) {
    FrameFixture f;
    probe(f, "V", CRect(10, 10, 40, 40));
    EXPECT_FALSE(f.window().leaveTrackingArmed());
    f.move(20, 20);
    EXPECT_TRUE(f.window().leaveTrackingArmed());
    f.window().setPhysicalButtons(platform::kKeyAlt);
    EXPECT_EQ(f.window().leave(), kMouseEventHandled);
    EXPECT_EQ(f.journal.lines.back(), "exit V 20,20 b=64");
    EXPECT_EQ(f->getHoverView(), nullptr);
    EXPECT_EQ(f.window().leave(), 0); // not armed: the window reports no second leave
    f.move(25, 25);
    EXPECT_TRUE(f.window().leaveTrackingArmed());
    EXPECT_EQ(f.journal.lines.back(), "enter V 25,25 b=0");
}

TEST(Routing, WheelFindsViewsWithTheirEdgesAndCountsWholeNotches) {
    struct Case {
        CPoint point;
        int delta;
        std::uint32_t modifiers;
        const char* expected; // nullptr: no view gets it
    } cases[] = {
        {{30, 30}, 120, 0, "wheel V 30,30 d=1 b=0"},
        {{40, 40}, 120, 0, "wheel V 40,40 d=1 b=0"},
        {{20, 40}, -240, 0, "wheel V 20,40 d=-2 b=0"},
        {{30, 30}, 60, 0, "wheel V 30,30 d=0 b=0"},
        {{30, 30}, -119, 0, "wheel V 30,30 d=0 b=0"},
        {{30, 30},
         360,
         platform::kMouseLeft | platform::kKeyShift | platform::kKeyAlt,
         "wheel V 30,30 d=3 b=80"},
        {{41, 30}, 120, 0, nullptr},
        {{30, 19}, 120, 0, nullptr},
    };
    for (const Case& c : cases) {
        FrameFixture f;
        probe(f, "V", CRect(20, 20, 40, 40));
        f.window().setScreenOrigin(300, 200);
        bool used = f.window().wheelAtScreen(300 + c.point.x, 200 + c.point.y, c.delta, c.modifiers);
        Lines wheels = f.journal.with("wheel");
        if (!c.expected) {
            EXPECT_FALSE(used);
            EXPECT_TRUE(wheels.empty()) << pointText(c.point);
        } else {
            EXPECT_TRUE(used);
            EXPECT_EQ(wheels, Lines{c.expected});
        }
    }
}

TEST(Routing, NestedContainersHandPointsInTheirOwnCoordinates) {
    FrameFixture f;
    auto* container = new CViewContainer(CRect(50, 50, 150, 140));
    auto* inner = new ProbeView("D", CRect(10, 10, 30, 30), f.journal);
    container->addView(inner);
    f->addView(container);

    f.move(65, 65);
    EXPECT_EQ(f->getHoverView(), inner);
    f.move(120, 120); // inside the container, no child there: the container is under the mouse
    EXPECT_EQ(f->getHoverView(), container);
    f.press(65, 66);
    f.move(100, 100, kLButton);
    f.release(100, 100);
    f.window().wheel(80, 80, 120, 0);
    EXPECT_EQ(f.journal.lines, (Lines{"enter D 15,15 b=0", "exit D 70,70 b=0", "down D 15,16 b=2",
                                      "move D 50,50 b=2", "up D 50,50 b=0", "wheel D 30,30 d=1 b=0"}));
}

TEST(Routing, HiddenViewsAreSkippedAndMouseDisabledViewsTakeNoPress) {
    FrameFixture f;
    ProbeView* a = probe(f, "A", CRect(10, 10, 60, 60));
    ProbeView* b = probe(f, "B", CRect(10, 10, 60, 60));
    b->setVisible(false);
    f.click(20, 20);
    f.move(30, 30);
    EXPECT_EQ(f->getHoverView(), a);
    b->setVisible(true);
    b->setMouseEnabled(false);
    f.click(20, 20);
    f.move(31, 31);
    EXPECT_EQ(f.journal.with("down"), (Lines{"down A 20,20 b=2", "down A 20,20 b=2"}));
    // The mouse-disabled view on top is still the one under the mouse.
    EXPECT_EQ(f->getHoverView(), b);
}

TEST(Routing, AModalViewTakesEveryPressAndMove) {
    struct Case {
        CMouseEventResult modalAnswer;
        CPoint point;
        int result;
        bool modalPressed;
    } cases[] = {
        {kMouseEventHandled, {20, 20}, kMouseEventHandled, true},
        {kMouseDownEventHandledButDontNeedMovedOrUpEvents, {20, 20}, kMouseEventNotHandled, true},
        {kMouseEventNotHandled, {20, 20}, kMouseEventNotHandled, true},
        {kMouseEventHandled, {120, 120}, kMouseEventNotHandled, false}, // the modal view's hit test refuses
    };
    for (const Case& c : cases) {
        FrameFixture f;
        ProbeView* modal = probe(f, "M", CRect(10, 10, 50, 50));
        probe(f, "X", CRect(100, 100, 150, 140));
        ASSERT_TRUE(f->setModalView(modal));
        modal->downResult = c.modalAnswer;
        EXPECT_EQ(f.press(c.point.x, c.point.y), c.result);
        EXPECT_EQ(f.journal.with("down M").size(), c.modalPressed ? 1u : 0u);
        EXPECT_TRUE(f.journal.with("down X").empty());
        f.release(c.point.x, c.point.y);
        f.move(120, 120);
        EXPECT_EQ(f.journal.lines.back(), "move M 120,120 b=0");
        EXPECT_TRUE(f.journal.with("enter").empty());
    }
}

TEST(Routing, ASecondModalViewIsRefusedUntilTheFirstIsCleared) {
    FrameFixture f;
    ProbeView* a = probe(f, "A", CRect(10, 10, 50, 50));
    ProbeView* b = probe(f, "B", CRect(60, 10, 90, 50));
    EXPECT_TRUE(f->setModalView(a));
    EXPECT_FALSE(f->setModalView(b));
    EXPECT_EQ(f->getModalView(), a);
    EXPECT_TRUE(f->setModalView(nullptr));
    EXPECT_TRUE(f->setModalView(b));
}

TEST(Routing, FocusChangesTellTheViewsAndEveryContainerAbove) {
    FrameFixture f;
    auto* outer = new ProbeContainer("P", CRect(0, 0, 200, 150), f.journal);
    auto* inner = new ProbeContainer("Q", CRect(10, 10, 190, 140), f.journal);
    auto* a = new ProbeView("A", CRect(0, 0, 20, 20), f.journal);
    auto* b = new ProbeView("B", CRect(30, 0, 50, 20), f.journal);
    auto* c = new ProbeView("C", CRect(60, 0, 80, 20), f.journal); // does not want the focus
    a->setWantsFocus(true);
    b->setWantsFocus(true);
    inner->addView(a);
    inner->addView(b);
    inner->addView(c);
    outer->addView(inner);
    f->addView(outer);

    f->setFocusView(a);
    EXPECT_EQ(f.journal.lines,
              (Lines{"takeFocus A", "notify Q kMsgNewFocusView A", "notify P kMsgNewFocusView A"}));
    f.journal.clear();
    f->setFocusView(a); // already the focus view
    EXPECT_TRUE(f.journal.lines.empty());
    f->setFocusView(b);
    EXPECT_EQ(f.journal.lines,
              (Lines{"takeFocus B", "notify Q kMsgNewFocusView B", "notify P kMsgNewFocusView B",
                     "notify Q kMsgOldFocusView A", "notify P kMsgOldFocusView A", "looseFocus A"}));
    f.journal.clear();
    f->setFocusView(c); // becomes the focus view, but is told nothing
    EXPECT_EQ(f->getFocusView(), c);
    EXPECT_EQ(f.journal.lines,
              (Lines{"notify Q kMsgOldFocusView B", "notify P kMsgOldFocusView B", "looseFocus B"}));
    f.journal.clear();
    f->setFocusView(b);
    f.journal.clear();
    f.press(195, 145); // any press takes the focus away first
    EXPECT_EQ(f->getFocusView(), nullptr);
    EXPECT_EQ(f.journal.lines,
              (Lines{"notify Q kMsgOldFocusView B", "notify P kMsgOldFocusView B", "looseFocus B"}));
}

TEST(Routing, AFocusChangeDuringAFocusChangeIsIgnored) {
    struct Grabby : ProbeView {
        using ProbeView::ProbeView;
        CView* other = nullptr;
        void looseFocus() override {
            ProbeView::looseFocus();
            getFrame()->setFocusView(other); // ignored: a change is in progress
        }
    };
    FrameFixture f;
    auto* a = new Grabby("A", CRect(0, 0, 20, 20), f.journal);
    auto* b = new ProbeView("B", CRect(30, 0, 50, 20), f.journal);
    auto* c = new ProbeView("C", CRect(60, 0, 80, 20), f.journal);
    a->other = c;
    for (CView* v : {static_cast<CView*>(a), static_cast<CView*>(b), static_cast<CView*>(c)}) {
        v->setWantsFocus(true);
        f->addView(v);
    }
    f->setFocusView(a);
    f->setFocusView(b);
    EXPECT_EQ(f->getFocusView(), b);
    EXPECT_TRUE(f.journal.with("takeFocus C").empty());
}

TEST(Routing, KeysGoToTheFocusView) {
    FrameFixture f;
    ProbeView* v = probe(f, "V", CRect(10, 10, 50, 50));
    gui::KeyEvent key{0, gui::VirtualKey::Right, 0};
    EXPECT_EQ(f->onKeyDown(key), -1); // no focus view
    f->setFocusView(v);
    EXPECT_EQ(f->onKeyDown(key), 1);
    v->keyResult = -1;
    EXPECT_EQ(f->onKeyDown(key), -1);
    EXPECT_EQ(f.journal.with("key"), (Lines{"key V 13", "key V 13"}));
}

TEST(Routing, TheMouseObserverIsToldOfPressesMovesEntersAndExits) {
    struct Observer : IMouseObserver {
        Journal& j;
        explicit Observer(Journal& j) : j(j) {}
        void onMouseEntered(CView* v, CFrame*) override {
            j.add("observer enter " + static_cast<ProbeView*>(v)->name);
        }
        void onMouseExited(CView* v, CFrame*) override {
            j.add("observer exit " + static_cast<ProbeView*>(v)->name);
        }
        void onMouseDown(CFrame*, const CPoint& p) override { j.add("observer down " + pointText(p)); }
        void onMouseMoved(CFrame*, const CPoint& p) override { j.add("observer move " + pointText(p)); }
    };
    FrameFixture f;
    Observer observer(f.journal);
    f->setMouseObserver(&observer);
    probe(f, "V", CRect(10, 10, 50, 50));
    f.move(20, 20);
    f.press(20, 20);
    EXPECT_EQ(f.journal.lines,
              (Lines{"observer move 20,20", "enter V 20,20 b=0", "observer enter V", "exit V 20,20 b=2",
                     "observer exit V", "observer down 20,20", "down V 20,20 b=2"}));
    f->setMouseObserver(nullptr);
}

TEST(Routing, TheCurrentButtonStateFollowsSwappedButtons) {
    struct Case {
        std::uint32_t physical;
        bool swapped;
        CButtonState reported;
    } cases[] = {
        {platform::kMouseLeft, false, kLButton},
        {platform::kMouseLeft, true, kRButton},
        {platform::kMouseRight, true, kLButton},
        {platform::kMouseLeft | platform::kMouseRight | platform::kKeyShift, true,
         kLButton | kRButton | kShift},
        {platform::kMouseMiddle | platform::kKeyControl, true, kMButton | kControl},
        {0, true, 0},
    };
    for (const Case& c : cases) {
        FrameFixture f;
        f.window().setPhysicalButtons(c.physical);
        f.window().setButtonsSwapped(c.swapped);
        EXPECT_EQ(f->getCurrentMouseButtons(), c.reported) << c.physical << " " << c.swapped;
    }
}

TEST(Routing, RemovedViewsAreForgotten) {
    FrameFixture f;
    ProbeView* a = probe(f, "A", CRect(10, 10, 50, 50));
    ProbeView* b = probe(f, "B", CRect(60, 10, 90, 50));
    b->setWantsFocus(true);
    f.press(20, 20);
    f->setFocusView(b);
    ASSERT_EQ(f->getPressView(), a);
    f->removeView(a);
    f->removeView(b);
    EXPECT_EQ(f->getPressView(), nullptr);
    EXPECT_EQ(f->getFocusView(), nullptr);
    EXPECT_EQ(f.release(20, 20), kMouseEventNotHandled);
    EXPECT_EQ(f->getNbViews(), 0);
}

TEST(Routing, APressGivesTheKeyboardFocusToTheWindow) {
    FrameFixture f;
    EXPECT_TRUE(f.window().hasKeyboardFocus()); // a new frame window takes it
    platform::TextEntryStyle style;
    struct NoClient : platform::TextEntryClient {
        int lost = 0;
        void entryEnter() override {}
        void entryFocusLost() override { ++lost; }
    } client;
    auto entry = platform::TextEntry::create(f->getPlatformWindow(), style, client);
    EXPECT_FALSE(f.window().hasKeyboardFocus());
    f.press(5, 5);
    EXPECT_TRUE(f.window().hasKeyboardFocus());
    EXPECT_EQ(client.lost, 1);
}
