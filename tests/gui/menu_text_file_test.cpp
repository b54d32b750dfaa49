// The hand-overs to native elements: option menu pop-ups, text entry fields and file dialogs.
#include <gtest/gtest.h>

#include <cstring>

#include "support/gui_fixture.h"

using namespace guitest;
using Lines = std::vector<std::string>;
using platform::headless::activeTextEntry;

namespace {

struct PopupCapture {
    std::vector<platform::PopupItem> items;
    int x = 0, y = 0;
    bool right = false;
    int calls = 0;
    int answer = -1;
    PopupCapture() {
        platform::headless::setPopupScript(
            [this](const std::vector<platform::PopupItem>& shown, int sx, int sy, bool r) {
                items = shown, x = sx, y = sy, right = r, ++calls;
                return answer;
            });
    }
};

// The preset list's shape: entry 0, a separator, 23 more; check and no-draw styles, ten per column.
COptionMenu* presetList(FrameFixture& f, CControlListener* listener,
                        std::int32_t style = kCheckStyle | kNoDrawStyle) {
    auto* menu = new COptionMenu(CRect(320, 448, 333, 460), listener, 1012, nullptr, nullptr, style);
    menu->addEntry("Slot 0");
    menu->addEntry("-");
    for (int k = 1; k <= 23; ++k)
        menu->addEntry(("Slot " + std::to_string(k)).c_str());
    menu->setNbItemsPerColumn(10);
    f->addView(menu);
    return menu;
}

} // namespace

TEST(OptionMenu, ThePresetListOpensInThreeColumnsWithOneCheckMark) {
    FrameFixture f(CRect(0, 0, 524, 462));
    PopupCapture popup;
    COptionMenu* menu = presetList(f, nullptr);
    ASSERT_EQ(menu->getNbEntries(), 25);
    EXPECT_TRUE(menu->getEntry(1)->isSeparator());
    menu->checkEntry(7, true); // flagged, but not the current entry
    menu->setValue(5);
    menu->checkEntry(5, true);
    menu->setCurrent(5);
    f.click(325, 450);
    ASSERT_EQ(popup.calls, 1);
    ASSERT_EQ(popup.items.size(), 25u);
    std::vector<int> breaks, checks;
    for (std::size_t i = 0; i < popup.items.size(); ++i) {
        EXPECT_EQ(popup.items[i].command, int(i));
        if (popup.items[i].columnBreak) breaks.push_back(int(i));
        if (popup.items[i].checked) checks.push_back(int(i));
    }
    EXPECT_EQ(breaks, (std::vector<int>{10, 20}));
    EXPECT_EQ(checks, (std::vector<int>{5}));
    EXPECT_TRUE(popup.items[1].separator);
    EXPECT_EQ(popup.items[2].title, "Slot 1");
}

TEST(OptionMenu, MultipleCheckStyleShowsEveryCheckedEntryAndLongListsHaveOneColumn) {
    for (int count : {159, 160}) {
        FrameFixture f;
        PopupCapture popup;
        auto* menu =
            new COptionMenu(CRect(10, 10, 60, 22), nullptr, 1, nullptr, nullptr, kMultipleCheckStyle);
        for (int i = 0; i < count; ++i)
            menu->addEntry("x");
        menu->setNbItemsPerColumn(40);
        menu->checkEntry(3, true);
        menu->checkEntry(90, true);
        f->addView(menu);
        f.click(20, 15);
        int breaks = 0;
        std::vector<int> checks;
        for (const auto& item : popup.items) {
            breaks += item.columnBreak;
            if (item.checked) checks.push_back(item.command);
        }
        EXPECT_EQ(breaks, count < 160 ? 3 : 0) << count;
        EXPECT_EQ(checks, (std::vector<int>{3, 90}));
    }
}

TEST(OptionMenu, ThePopupOpensBelowTheControlOrAtItsTop) {
    struct Case {
        std::int32_t style;
        CButtonState buttons;
        int x, y;
        bool right;
    } cases[] = {{0, kLButton, 320, 242, false},
                 {kPopupStyle, kLButton, 320, 230, false},
                 {0, kRButton, 320, 242, true}};
    for (const Case& c : cases) {
        FrameFixture f;
        f.window().setScreenOrigin(300, 200);
        PopupCapture popup;
        auto* menu = new COptionMenu(CRect(20, 30, 60, 42), nullptr, 1, nullptr, nullptr, c.style);
        menu->addEntry("a");
        f->addView(menu);
        EXPECT_EQ(f.press(25, 35, c.buttons), kMouseDownEventHandledButDontNeedMovedOrUpEvents);
        EXPECT_EQ(popup.x, c.x);
        EXPECT_EQ(popup.y, c.y);
        EXPECT_EQ(popup.right, c.right);
    }
    FrameFixture f;
    PopupCapture popup;
    auto* menu = new COptionMenu(CRect(20, 30, 60, 42), nullptr, 1);
    f->addView(menu);
    EXPECT_EQ(f.press(25, 35, kMButton), kMouseEventNotHandled);
    EXPECT_EQ(popup.calls, 0);
}

TEST(OptionMenu, AChoiceBecomesTheValueAndADismissalTellsNobody) {
    struct Case {
        int answer;
        int lastResult;
        Lines told;
    } cases[] = {{12, 12, {"changed 1012 12"}},
                 {-1, -1, {}},
                 {1, -1, {}} /* a separator */,
                 {0, 0, {"changed 1012 0"}}};
    for (const Case& c : cases) {
        FrameFixture f(CRect(0, 0, 524, 462));
        RecordingListener listener(f.journal);
        PopupCapture popup;
        popup.answer = c.answer;
        COptionMenu* menu = presetList(f, &listener);
        menu->setValue(3);
        f.click(325, 450);
        EXPECT_EQ(f.journal.with("changed"), c.told) << c.answer;
        EXPECT_EQ(menu->getLastResult(), c.lastResult);
        std::int32_t index = 0;
        EXPECT_EQ(menu->getLastItemMenu(index), c.lastResult >= 0 ? menu : nullptr);
        EXPECT_EQ(menu->getValue(), c.lastResult >= 0 ? float(c.lastResult) : 3.0f);
        EXPECT_EQ(f->getFocusView(), nullptr);
        EXPECT_TRUE(menu->isDirty());
    }
}

TEST(OptionMenu, EntriesCanBeRenamedCountedWithoutSeparatorsAndGrayed) {
    FrameFixture f;
    PopupCapture popup;
    auto* menu = new COptionMenu(CRect(0, 0, 40, 12), nullptr, 1, nullptr, nullptr, kCheckStyle);
    menu->addEntry("a");
    menu->addEntry("-");
    menu->addEntry("b");
    menu->addEntry("c", -1, CMenuItem::kDisabled);
    menu->addEntry("Title", -1, CMenuItem::kTitle);
    menu->addEntry("z", 0); // inserted first
    f->addView(menu);
    EXPECT_TRUE(menu->setCurrent(2, false)); // "b" among the entries that are not separators
    char title[256];
    EXPECT_EQ(menu->getCurrent(title), 3);
    EXPECT_STREQ(title, "b");
    EXPECT_EQ(menu->getCurrent(nullptr, false), 2);
    EXPECT_TRUE(menu->isCheckEntry(3));
    EXPECT_TRUE(menu->setEntry(3, "renamed"));
    EXPECT_FALSE(menu->setEntry(2, "not a separator"));
    EXPECT_FALSE(menu->setCurrent(40));
    f.click(5, 5);
    ASSERT_EQ(popup.items.size(), 6u);
    EXPECT_EQ(popup.items[3].title, "renamed");
    EXPECT_TRUE(popup.items[3].checked);
    EXPECT_TRUE(popup.items[4].grayed);
    EXPECT_TRUE(popup.items[5].grayed);
    EXPECT_FALSE(popup.items[0].grayed);
}

TEST(OptionMenu, TheNoDrawStyleLeavesTheBackgroundShowing) {
    FrameFixture f(CRect(0, 0, 40, 20));
    CBitmap* background = solidBitmap(40, 20, 0xFF336699);
    f->setBackground(background);
    background->forget();
    auto* plain = new COptionMenu(CRect(0, 0, 20, 20), nullptr, 1);
    auto* hidden = new COptionMenu(CRect(20, 0, 40, 20), nullptr, 2, nullptr, nullptr, kNoDrawStyle);
    plain->addEntry("a");
    plain->setCurrent(0);
    hidden->addEntry("a");
    hidden->setCurrent(0);
    f->addView(plain);
    f->addView(hidden);
    f.window().paint();
    EXPECT_EQ(f.window().pixel(2, 17), 0xFF000000u); // the plain menu's default back colour
    for (int x = 20; x < 40; ++x)
        for (int y = 0; y < 20; ++y)
            ASSERT_EQ(f.window().pixel(x, y), 0xFF336699u);
}

namespace {

struct NameField {
    explicit NameField(FrameFixture& f, CViewContainer* into = nullptr) : listener(f.journal) {
        edit = new CTextEdit(CRect(194, 447, 318, 461), &listener, 1000, "Init");
        edit->setFont(kNormalFontSmaller);
        edit->setFontColor(MakeCColor(36, 36, 32));
        edit->setBackColor(MakeCColor(189, 207, 218));
        edit->setHoriAlign(kCenterText);
        (into ? into : f.frame)->addView(edit);
    }
    RecordingListener listener;
    CTextEdit* edit;
};

} // namespace

TEST(TextEdit, AClickOpensAnEntryFieldOverTheControl) {
    FrameFixture f(CRect(0, 0, 524, 462));
    NameField field(f);
    EXPECT_EQ(f.press(200, 450), kMouseDownEventHandledButDontNeedMovedOrUpEvents);
    auto* entry = activeTextEntry();
    ASSERT_NE(entry, nullptr);
    EXPECT_EQ(f->getFocusView(), field.edit);
    EXPECT_TRUE(field.edit->isEditing());
    const platform::TextEntryStyle& s = entry->style();
    // left = 194, width 124 + 1, height 10 + 4, top = (447 + 461) / 2 + 10 / 2 - 10 - 1.
    EXPECT_EQ(s.rect.left, 194);
    EXPECT_EQ(s.rect.right, 319);
    EXPECT_EQ(s.rect.top, 448);
    EXPECT_EQ(s.rect.bottom, 462);
    EXPECT_EQ(s.text, "Init");
    EXPECT_TRUE(entry->allSelected());
    EXPECT_EQ(s.maxChars, 255);
    EXPECT_EQ(s.align, platform::TextAlign::centre);
    EXPECT_EQ(s.fontFamily, "Arial");
    EXPECT_EQ(s.fontHeight, 10);
    EXPECT_EQ(s.fontColour, 0xFF242420u);
    EXPECT_EQ(s.backColour, 0xFFBDCFDAu);
    EXPECT_TRUE(entry->hasKeyboardFocus());
    EXPECT_EQ(entry->owner(), f->getPlatformWindow());
    EXPECT_EQ(f.press(200, 450, kRButton), kMouseEventNotHandled); // only the left button edits
}

TEST(TextEdit, EnterAndAClickElsewhereBothCommitTheText) {
    struct Case {
        const char* name;
        bool byEnter;
        const char* typed; // nullptr: nothing typed
        Lines told;
    } cases[] = {
        {"enter", true, "Limiter Fast", {"changed 1000 0"}},
        {"click elsewhere", false, "Limiter Fast", {"changed 1000 0"}},
        {"unchanged by enter", true, nullptr, {}},
        {"retyped the same", false, "Init", {}},
    };
    for (const Case& c : cases) {
        FrameFixture f(CRect(0, 0, 524, 462));
        NameField field(f);
        f.click(200, 450);
        ASSERT_NE(activeTextEntry(), nullptr);
        if (c.typed) activeTextEntry()->type(c.typed);
        if (c.byEnter)
            activeTextEntry()->pressEnter();
        else
            f.click(10, 10);
        EXPECT_EQ(activeTextEntry(), nullptr) << c.name;
        EXPECT_FALSE(field.edit->isEditing());
        EXPECT_STREQ(field.edit->getText(), c.typed ? c.typed : "Init") << c.name;
        EXPECT_EQ(f.journal.with("changed"), c.told) << c.name;
        EXPECT_EQ(field.edit->wasEnterPressed(), c.byEnter) << c.name;
        EXPECT_EQ(f->getFocusView(), nullptr);
        EXPECT_TRUE(f.window().hasKeyboardFocus());
    }
}

TEST(TextEdit, NoMoreThan255CharactersAreAccepted) {
    FrameFixture f(CRect(0, 0, 524, 462));
    NameField field(f);
    field.edit->setText(std::string(300, 'a').c_str());
    EXPECT_EQ(std::strlen(field.edit->getText()), 255u);
    f.click(200, 450);
    activeTextEntry()->type(std::string(300, 'b'));
    EXPECT_EQ(activeTextEntry()->text().size(), 255u);
    activeTextEntry()->pressEnter();
    EXPECT_EQ(std::string(field.edit->getText()), std::string(255, 'b'));
    char copy[256];
    field.edit->getText(copy);
    EXPECT_EQ(std::strlen(copy), 255u);
}

TEST(TextEdit, TheContainersAboveHearLooseFocusUntilOneHandlesIt) {
    FrameFixture f(CRect(0, 0, 524, 462));
    auto* top = new ProbeContainer("R", CRect(0, 0, 524, 462), f.journal);
    auto* middle = new ProbeContainer("Q", CRect(0, 0, 524, 462), f.journal);
    auto* near = new ProbeContainer("P", CRect(0, 0, 524, 462), f.journal);
    middle->answer = kMessageNotified;
    f->addView(top);
    top->addView(middle);
    middle->addView(near);
    NameField field(f, near);
    f.click(200, 450);
    f.journal.clear();
    activeTextEntry()->type("x");
    activeTextEntry()->pressEnter();
    EXPECT_EQ(f.journal.with("notify"),
              (Lines{"notify P kMsgOldFocusView", "notify Q kMsgOldFocusView", "notify R kMsgOldFocusView",
                     "notify P LooseFocus", "notify Q LooseFocus"}));
}

TEST(TextEdit, ClickingAnotherFieldCommitsTheFirstAndOpensTheSecond) {
    FrameFixture f(CRect(0, 0, 524, 462));
    NameField first(f);
    RecordingListener listener(f.journal);
    auto* second = new CTextEdit(CRect(10, 10, 80, 24), &listener, 30, "0.00");
    f->addView(second);
    f.click(200, 450);
    activeTextEntry()->type("Soft");
    f.click(20, 15);
    EXPECT_STREQ(first.edit->getText(), "Soft");
    EXPECT_EQ(f.journal.with("changed"), Lines{"changed 1000 0"});
    ASSERT_NE(activeTextEntry(), nullptr);
    EXPECT_EQ(activeTextEntry()->text(), "0.00");
    EXPECT_EQ(f->getFocusView(), second);
    EXPECT_TRUE(second->isEditing());
    EXPECT_FALSE(first.edit->isEditing());
}

TEST(TextEdit, ClosingTheFrameWhileEditingCommitsNothing) {
    auto f = std::make_unique<FrameFixture>(CRect(0, 0, 524, 462));
    NameField field(*f);
    f->click(200, 450);
    activeTextEntry()->type("lost");
    Journal& journal = f->journal;
    std::size_t before = journal.lines.size();
    delete f->frame;
    f->frame = new CFrame(CRect(0, 0, 10, 10), nullptr, nullptr);
    EXPECT_EQ(activeTextEntry(), nullptr);
    EXPECT_EQ(journal.lines.size(), before);
}

namespace {

// A request as the preset strip makes it, with one or both of its kinds of file.
gui::FileRequest fileRequest(gui::FileRequest::Mode mode, int typeCount, const char* title) {
    gui::FileRequest request;
    request.mode = mode;
    request.types = {{"Orvel Preset", "ozp"}, {"Orvel Bank", "ozb"}};
    request.types.resize(std::size_t(typeCount));
    request.title = title;
    request.folder = "C:\\Presets";
    if (mode == gui::FileRequest::Mode::Save) request.defaultExtension = request.types[0].extension;
    request.resultPath = "keep";
    return request;
}

struct DialogCapture {
    std::vector<platform::FileDialogRequest> seen;
    std::optional<std::string> answer;
    DialogCapture() {
        platform::headless::setFileDialogScript([this](const platform::FileDialogRequest& r) {
            seen.push_back(r);
            return answer;
        });
    }
    ~DialogCapture() { platform::headless::reset(); }
};

} // namespace

TEST(FileSelector, ACancelAnswersFalseAndLeavesTheResultPath) {
    DialogCapture dialog;
    gui::FileRequest r = fileRequest(gui::FileRequest::Mode::Open, 1, "Load preset");
    CFileSelector selector;
    EXPECT_FALSE(selector.run(r));
    EXPECT_EQ(r.resultPath, "keep");
    ASSERT_EQ(dialog.seen.size(), 1u);
    EXPECT_FALSE(dialog.seen[0].save);
    EXPECT_EQ(dialog.seen[0].title, "Load preset");
    EXPECT_EQ(dialog.seen[0].initialDirectory, "C:\\Presets");
    EXPECT_EQ(dialog.seen[0].maxPathChars, 1023);
}

TEST(FileSelector, AChosenFileComesBackAsItsFullPath) {
    using Mode = gui::FileRequest::Mode;
    struct Case {
        Mode mode;
        int types;
        std::vector<std::pair<std::string, std::string>> filters;
        std::string defaultExtension;
    } cases[] = {
        {Mode::Open, 1, {{"Orvel Preset (*.ozp)", "*.ozp"}, {"Any Type (*.*)", "*.*"}}, ""},
        {Mode::Save, 1, {{"Orvel Preset (*.ozp)", "*.ozp"}, {"Any Type (*.*)", "*.*"}}, "ozp"},
        {Mode::Open,
         2,
         {{"All Types: (*.ozp;*.ozb)", "*.ozp;*.ozb"},
          {"Orvel Preset (*.ozp)", "*.ozp"},
          {"Orvel Bank (*.ozb)", "*.ozb"},
          {"Any Type (*.*)", "*.*"}},
         ""},
    };
    for (const Case& c : cases) {
        DialogCapture dialog;
        dialog.answer = "C:\\Presets\\Mastering.ozp";
        gui::FileRequest r = fileRequest(c.mode, c.types, "Save preset");
        FrameFixture f;
        CFileSelector selector(f.frame);
        EXPECT_TRUE(selector.run(r));
        EXPECT_EQ(r.resultPath, "C:\\Presets\\Mastering.ozp");
        ASSERT_EQ(dialog.seen.size(), 1u);
        EXPECT_EQ(dialog.seen[0].save, c.mode == Mode::Save);
        EXPECT_EQ(dialog.seen[0].defaultExtension, c.defaultExtension);
        std::vector<std::pair<std::string, std::string>> filters;
        for (const auto& filter : dialog.seen[0].filters)
            filters.push_back({filter.label, filter.pattern});
        EXPECT_EQ(filters, c.filters);
    }
}

TEST(FileSelector, AnOpenRequestOffersNoDefaultExtension) {
    DialogCapture dialog;
    gui::FileRequest r = fileRequest(gui::FileRequest::Mode::Open, 1, "Load bank");
    r.defaultExtension = "ozb";
    CFileSelector selector;
    EXPECT_FALSE(selector.run(r));
    ASSERT_EQ(dialog.seen.size(), 1u);
    EXPECT_EQ(dialog.seen[0].defaultExtension, "");
}

TEST(TextEdit, AFieldDrawsItsBackgroundBitmapFromItsOffsetThenItsFrameAndText) {
    FrameFixture f(CRect(0, 0, 120, 40));
    std::vector<std::uint32_t> pixels(120 * 40);
    for (std::size_t i = 0; i < pixels.size(); ++i)
        pixels[i] = 0xFF000000u | std::uint32_t(i % 120) << 8 | std::uint32_t(i / 120);
    CBitmap* background = new CBitmap(120, 40, pixels.data());
    auto* edit = new CTextEdit(CRect(20, 10, 100, 30), nullptr, 1000, "", background);
    background->forget();
    edit->setBackOffset(CPoint(20, 10)); // the window background behind the field
    edit->setFrameColor(MakeCColor(255, 0, 0));
    f->addView(edit);
    f.window().paint();
    EXPECT_EQ(f.window().pixel(30, 15), pixels[15 * 120 + 30]);
    EXPECT_EQ(f.window().pixel(20, 10), 0xFFFF0000u);
    EXPECT_EQ(f.window().pixel(99, 29), 0xFFFF0000u);
    edit->setText("Init");
    edit->setStyle(kNoFrame);
    f->idle();
    EXPECT_EQ(f.window().pixel(20, 10), pixels[10 * 120 + 20]);
    int ink = 0;
    for (int y = 10; y < 30; ++y)
        for (int x = 20; x < 100; ++x)
            ink += f.window().pixel(x, y) != pixels[std::size_t(y * 120 + x)];
    EXPECT_GT(ink, 20); // the text, in the default white
}
