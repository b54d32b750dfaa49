// The native elements the toolkit hands the user over to: the pop-up menu, the entry field, the
// file dialogs and the message box, each worked by the test as a user would.
#include <gtest/gtest.h>

#include <windows.h>

#include <commdlg.h>
#include <dlgs.h>

#include <cstring>
#include <fstream>

#include "support/host_window.h"

using namespace wintest;
using Lines = std::vector<std::string>;

namespace {

// --------------------------------------------------------------------------------- pop-up menus

// What the pop-up showed while it was open.
struct ShownMenu {
    bool seen = false;
    RECT window{};
    int count = 0;
    std::vector<UINT> states;
    std::vector<RECT> items;
};

// Reads the open pop-up, then works it with one action per timer tick while it stays open. The
// actions must not run the message loop: the menu's own loop has to see the input.
std::function<bool()> workMenu(ShownMenu& shown, std::vector<std::function<void(const ShownMenu&)>> actions) {
    std::size_t next = 0;
    return [&shown, actions, next]() mutable {
        HWND popup = threadWindow("#32768");
        if (!popup) return shown.seen;
        if (!shown.seen) {
            HMENU menu = reinterpret_cast<HMENU>(SendMessageA(popup, MN_GETHMENU, 0, 0));
            shown.seen = true;
            GetWindowRect(popup, &shown.window);
            shown.count = GetMenuItemCount(menu);
            for (int i = 0; i < shown.count; ++i) {
                shown.states.push_back(GetMenuState(menu, UINT(i), MF_BYPOSITION));
                RECT r{};
                GetMenuItemRect(nullptr, menu, UINT(i), &r);
                shown.items.push_back(r);
            }
        }
        if (next < actions.size()) actions[next++](shown);
        return false;
    };
}

POINT centre(const RECT& r) {
    return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

// A click of the real mouse at a screen point.
void clickAt(POINT p, DWORD down, DWORD up) {
    SetCursorPos(p.x, p.y);
    INPUT input[2]{};
    input[0].type = input[1].type = INPUT_MOUSE;
    input[0].mi.dwFlags = down;
    input[1].mi.dwFlags = up;
    SendInput(2, input, sizeof input[0]);
}

// The preset list: entry 0, a separator, 23 more; check style, ten per column.
struct MenuFrame : WindowFrame {
    MenuFrame() : WindowFrame(CRect(0, 0, 524, 462)), listener(journal) {
        menu = new COptionMenu(CRect(300, 40, 400, 56), &listener, 1012, nullptr, nullptr, kCheckStyle);
        menu->addEntry("Slot 0");
        menu->addEntry("-");
        for (int k = 1; k <= 23; ++k)
            menu->addEntry(("Slot " + std::to_string(k)).c_str());
        menu->addEntry("Locked", -1, CMenuItem::kDisabled);
        menu->setNbItemsPerColumn(10);
        menu->setCurrent(5);
        frame->addView(menu);
        pump(20);
    }
    Journal journal;
    RecordingListener listener;
    COptionMenu* menu;
};

} // namespace

TEST(Win32PopupMenu, ThePresetListOpensInColumnsBelowTheControlAndReportsTheChosenEntry) {
    MenuFrame w;
    ShownMenu shown;
    ModalDriver driver(workMenu(shown, {[](const ShownMenu& m) {
                                    clickAt(centre(m.items[12]), MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP);
                                }}));
    post(w.hwnd, WM_LBUTTONDOWN, MK_LBUTTON, point(350, 48));
    post(w.hwnd, WM_LBUTTONUP, 0, point(350, 48));
    ASSERT_TRUE(shown.seen);

    // At the control's left edge and bottom edge, on the screen.
    POINT corner{300, 56};
    ClientToScreen(w.hwnd, &corner);
    EXPECT_EQ(shown.window.left, corner.x);
    EXPECT_EQ(shown.window.top, corner.y);

    ASSERT_EQ(shown.count, 26);
    for (int i = 0; i < shown.count; ++i) {
        SCOPED_TRACE(i);
        UINT s = shown.states[std::size_t(i)];
        EXPECT_EQ((s & MF_SEPARATOR) != 0, i == 1);
        EXPECT_EQ((s & MF_CHECKED) != 0, i == 5);
        if (i != 1) {
            EXPECT_EQ((s & MF_GRAYED) != 0, i == 25);
        }
        EXPECT_EQ((s & (MF_MENUBREAK | MF_MENUBARBREAK)) != 0, i == 10 || i == 20);
    }
    // Three columns: positions 0 to 9, 10 to 19 and 20 to 25, side by side.
    auto item = [&](int i) { return shown.items[std::size_t(i)]; };
    EXPECT_EQ(item(10).top, item(0).top);
    EXPECT_EQ(item(20).top, item(0).top);
    EXPECT_GT(item(10).left, item(9).left);
    EXPECT_GT(item(20).left, item(19).left);
    EXPECT_EQ(item(19).left, item(10).left);
    EXPECT_GT(item(9).top, item(8).top);

    EXPECT_EQ(w.journal.with("changed"), Lines{"changed 1012 12"});
    EXPECT_EQ(w.menu->getLastResult(), 12);
    EXPECT_EQ(threadWindow("#32768"), nullptr);
}

TEST(Win32PopupMenu, AClickOutsideTheMenuOrOnAGrayedEntryChoosesNothing) {
    for (bool grayed : {false, true}) {
        SCOPED_TRACE(grayed);
        MenuFrame w;
        ShownMenu shown;
        POINT away{20, 400};
        ClientToScreen(w.hwnd, &away);
        std::vector<std::function<void(const ShownMenu&)>> actions;
        if (grayed)
            actions.push_back([](const ShownMenu& m) {
                clickAt(centre(m.items[25]), MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP);
            });
        actions.push_back([&](const ShownMenu&) { clickAt(away, MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP); });
        ModalDriver driver(workMenu(shown, actions));
        post(w.hwnd, WM_LBUTTONDOWN, MK_LBUTTON, point(350, 48));
        ASSERT_TRUE(shown.seen);
        pump(50);
        EXPECT_TRUE(w.journal.with("changed").empty());
        EXPECT_EQ(w.menu->getLastResult(), -1);
        EXPECT_EQ(w.menu->getCurrent(), 5);
    }
}

TEST(Win32PopupMenu, TheRightButtonChoosesOnlyInAMenuOpenedByARightClick) {
    for (bool rightClick : {true, false}) {
        SCOPED_TRACE(rightClick);
        MenuFrame w;
        ShownMenu shown;
        POINT away{20, 400};
        ClientToScreen(w.hwnd, &away);
        // A right click on an entry; if the menu is still open after it, a click away.
        ModalDriver driver(workMenu(
            shown, {[](const ShownMenu& m) {
                        clickAt(centre(m.items[7]), MOUSEEVENTF_RIGHTDOWN, MOUSEEVENTF_RIGHTUP);
                    },
                    [](const ShownMenu&) {}, [](const ShownMenu&) {},
                    [&](const ShownMenu&) { clickAt(away, MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP); }}));
        if (rightClick)
            post(w.hwnd, WM_RBUTTONDOWN, MK_RBUTTON, point(350, 48));
        else
            post(w.hwnd, WM_LBUTTONDOWN, MK_LBUTTON, point(350, 48));
        ASSERT_TRUE(shown.seen);
        pump(50);
        EXPECT_EQ(w.journal.with("changed"), rightClick ? Lines{"changed 1012 7"} : Lines{});
    }
}

// ---------------------------------------------------------------------------------- entry field

namespace {

struct EntryFrame : WindowFrame {
    EntryFrame() : listener(journal) {
        name = new CTextEdit(CRect(200, 70, 300, 86), &listener, 1000, "Limiter Fast");
        name->setFont(kNormalFontSmaller);
        name->setFontColor(MakeCColor(36, 36, 32));
        name->setBackColor(MakeCColor(189, 207, 218));
        frame->addView(name);
        pump(20);
    }
    // Clicks the field open and returns the entry control.
    HWND open() {
        post(hwnd, WM_LBUTTONDOWN, MK_LBUTTON, point(250, 78));
        post(hwnd, WM_LBUTTONUP, 0, point(250, 78));
        return FindWindowExA(hwnd, nullptr, "Edit", nullptr);
    }
    HWND entry() const { return FindWindowExA(hwnd, nullptr, "Edit", nullptr); }
    Journal journal;
    RecordingListener listener;
    CTextEdit* name;
};

void type(HWND edit, const std::string& text) {
    for (char c : text)
        PostMessageA(edit, WM_CHAR, WPARAM(static_cast<unsigned char>(c)), 1);
    pump(0);
}

} // namespace

TEST(Win32TextEntry, TheFieldOpensOverTheControlWithItsFontAndColoursAndTheWholeTextSelected) {
    EntryFrame w;
    HWND edit = w.open();
    ASSERT_NE(edit, nullptr);
    EXPECT_TRUE(w.name->isEditing());
    EXPECT_EQ(GetFocus(), edit);
    EXPECT_EQ(windowText(edit), "Limiter Fast");

    RECT r;
    GetWindowRect(edit, &r);
    MapWindowPoints(nullptr, w.hwnd, reinterpret_cast<POINT*>(&r), 2);
    platform::PixelRect expected = w.name->entryRect();
    EXPECT_EQ(r.left, expected.left);
    EXPECT_EQ(r.top, expected.top);
    EXPECT_EQ(r.right, expected.right);
    EXPECT_EQ(r.bottom, expected.bottom);
    EXPECT_EQ(expected.top, (70 + 86) / 2 + 10 / 2 - 10 - 1);
    EXPECT_EQ(expected.bottom - expected.top, 14);

    LONG_PTR style = GetWindowLongPtrA(edit, GWL_STYLE);
    EXPECT_TRUE(style & ES_AUTOHSCROLL);
    EXPECT_EQ(style & (ES_CENTER | ES_RIGHT), LONG_PTR(ES_CENTER));
    DWORD from = 1, to = 0;
    SendMessageA(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&from), reinterpret_cast<LPARAM>(&to));
    EXPECT_EQ(from, 0u);
    EXPECT_EQ(to, 12u);
    EXPECT_EQ(SendMessageA(edit, EM_GETMARGINS, 0, 0), 0);
    EXPECT_EQ(SendMessageA(edit, EM_GETLIMITTEXT, 0, 0), 255);

    LOGFONTA font{};
    ASSERT_NE(GetObjectA(reinterpret_cast<HFONT>(SendMessageA(edit, WM_GETFONT, 0, 0)), sizeof font, &font),
              0);
    EXPECT_STREQ(font.lfFaceName, "Arial");
    EXPECT_EQ(font.lfHeight, 10);
    EXPECT_EQ(font.lfWeight, FW_NORMAL);
    EXPECT_EQ(font.lfPitchAndFamily, VARIABLE_PITCH | FF_SWISS);

    // The frame window colours its field: font colour on back colour, and a brush of the back colour.
    HDC dc = GetDC(edit);
    auto brush = reinterpret_cast<HBRUSH>(
        SendMessageA(w.hwnd, WM_CTLCOLOREDIT, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(edit)));
    EXPECT_EQ(GetTextColor(dc), RGB(36, 36, 32));
    EXPECT_EQ(GetBkColor(dc), RGB(189, 207, 218));
    ReleaseDC(edit, dc);
    LOGBRUSH b{};
    ASSERT_NE(GetObjectA(brush, sizeof b, &b), 0);
    EXPECT_EQ(b.lbStyle, UINT(BS_SOLID));
    EXPECT_EQ(b.lbColor, RGB(189, 207, 218));
    // And so it is shown: the field's right end, past the text, is the back colour.
    pump(50);
    POINT end{r.right - 3, r.top + 2};
    ClientToScreen(w.hwnd, &end);
    EXPECT_EQ(readScreen(end.x, end.y, 1, 1)[0], 0xBDCFDAu);
}

TEST(Win32TextEntry, EnterAndAClickElsewhereBothCommitTheTypedText) {
    for (bool enter : {true, false}) {
        SCOPED_TRACE(enter);
        EntryFrame w;
        HWND edit = w.open();
        ASSERT_NE(edit, nullptr);
        type(edit, "Soft Glue");
        if (enter)
            post(edit, WM_KEYDOWN, VK_RETURN, 1);
        else
            post(w.hwnd, WM_LBUTTONDOWN, MK_LBUTTON, point(20, 150));
        EXPECT_EQ(w.entry(), nullptr);
        EXPECT_FALSE(w.name->isEditing());
        EXPECT_STREQ(w.name->getText(), "Soft Glue");
        EXPECT_EQ(w.journal.with("changed").size(), 1u);
        EXPECT_EQ(w.name->wasEnterPressed(), enter);
        EXPECT_EQ(GetFocus(), w.hwnd);
        post(w.hwnd, WM_LBUTTONUP, 0, point(20, 150));
    }
}

TEST(Win32TextEntry, AnUnchangedTextCommitsWithoutTellingTheListener) {
    EntryFrame w;
    HWND edit = w.open();
    ASSERT_NE(edit, nullptr);
    post(edit, WM_KEYDOWN, VK_RETURN, 1);
    EXPECT_EQ(w.entry(), nullptr);
    EXPECT_STREQ(w.name->getText(), "Limiter Fast");
    EXPECT_TRUE(w.journal.with("changed").empty());
}

TEST(Win32TextEntry, TheFieldTakesAtMost255Characters) {
    EntryFrame w;
    HWND edit = w.open();
    type(edit, std::string(300, 'x'));
    EXPECT_EQ(windowText(edit).size(), 255u);
    post(edit, WM_KEYDOWN, VK_RETURN, 1);
    EXPECT_EQ(std::strlen(w.name->getText()), 255u);
}

TEST(Win32TextEntry, TheFieldTakesEveryKeyFromADialogHost) {
    EntryFrame w;
    HWND edit = w.open();
    EXPECT_TRUE(SendMessageA(edit, WM_GETDLGCODE, 0, 0) & DLGC_WANTALLKEYS);
    // A host that runs its windows as a dialog offers each message to IsDialogMessage first; Tab and
    // Enter still reach the field, and Enter ends the edit.
    type(edit, "Wide");
    PostMessageA(edit, WM_KEYDOWN, VK_TAB, 1);
    PostMessageA(edit, WM_KEYDOWN, VK_RETURN, 1);
    pump(20, w.host.hwnd());
    EXPECT_EQ(w.entry(), nullptr);
    EXPECT_STREQ(w.name->getText(), "Wide");
    EXPECT_TRUE(w.name->wasEnterPressed());
}

TEST(Win32TextEntry, KeysTypedOnTheKeyboardReachTheField) {
    EntryFrame w;
    SetForegroundWindow(w.host.hwnd());
    HWND edit = w.open();
    ASSERT_EQ(GetFocus(), edit);
    for (WORD key : {WORD('O'), WORD('Z'), WORD('7'), WORD(VK_RETURN)}) {
        inputKey(key, true);
        inputKey(key, false);
    }
    EXPECT_EQ(w.entry(), nullptr);
    EXPECT_STREQ(w.name->getText(), "oz7");
    EXPECT_TRUE(w.name->wasEnterPressed());
}

TEST(Win32TextEntry, ClosingTheFrameWhileEditingClosesTheFieldQuietly) {
    Journal journal;
    RecordingListener listener(journal);
    HostWindow host;
    auto* frame = new CFrame(CRect(0, 0, 320, 200), host.hwnd(), nullptr);
    auto* name = new CTextEdit(CRect(200, 70, 300, 86), &listener, 1000, "Limiter Fast");
    frame->addView(name);
    HWND hwnd = static_cast<HWND>(frame->getPlatformWindow()->nativeHandle());
    post(hwnd, WM_LBUTTONDOWN, MK_LBUTTON, point(250, 78));
    HWND edit = FindWindowExA(hwnd, nullptr, "Edit", nullptr);
    ASSERT_NE(edit, nullptr);
    type(edit, "Gone");
    delete frame;
    pump(20);
    EXPECT_FALSE(IsWindow(edit));
    EXPECT_TRUE(journal.lines.empty());
}

// --------------------------------------------------------------------------------- file dialogs

namespace {

// A folder with a preset and a bank file in it, in the system's temporary folder.
struct PresetFolder {
    PresetFolder() {
        char temp[MAX_PATH];
        GetTempPathA(MAX_PATH, temp);
        path = std::string(temp) + "orvel-dialog-" + std::to_string(GetCurrentProcessId());
        CreateDirectoryA(path.c_str(), nullptr);
        for (const char* name : {"\\Warm.ozp", "\\Night.ozb"})
            std::ofstream(path + name) << "x";
    }
    ~PresetFolder() {
        for (const char* name : {"\\Warm.ozp", "\\Night.ozb"})
            DeleteFileA((path + name).c_str());
        RemoveDirectoryA(path.c_str());
    }
    std::string path;
};

gui::FileRequest request(gui::FileRequest::Mode mode, const std::string& folder) {
    gui::FileRequest r;
    r.mode = mode;
    r.title = mode == gui::FileRequest::Mode::Save ? "Save Preset" : "Load Preset";
    r.folder = folder;
    r.types = {{"Orvel Preset", "ozp"}, {"Orvel Bank", "ozb"}};
    if (mode == gui::FileRequest::Mode::Save) r.defaultExtension = "ozp";
    r.resultPath = "previous";
    return r;
}

// The open dialog as the user sees it.
struct ShownDialog {
    bool seen = false;
    HWND owner = nullptr;
    std::vector<std::string> filters;
    int selectedFilter = -1;
};

// Finds the dialog by its title, reads it, types a name (when given) and presses OK, or Cancel.
std::function<bool()> workDialog(const char* title, ShownDialog& shown, std::string name) {
    return [title, &shown, name] {
        HWND dialog = threadWindow("#32770", title);
        if (!dialog) return false;
        shown.seen = true;
        shown.owner = GetWindow(dialog, GW_OWNER);
        HWND types = GetDlgItem(dialog, cmb1);
        int n = int(SendMessageA(types, CB_GETCOUNT, 0, 0));
        for (int i = 0; i < n; ++i) {
            char text[256] = {};
            SendMessageA(types, CB_GETLBTEXT, WPARAM(i), reinterpret_cast<LPARAM>(text));
            shown.filters.push_back(text);
        }
        shown.selectedFilter = int(SendMessageA(types, CB_GETCURSEL, 0, 0));
        if (name.empty()) {
            PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
            return true;
        }
        HWND field = GetDlgItem(dialog, cmb13);
        if (!field) field = GetDlgItem(dialog, edt1);
        SetWindowTextA(field, name.c_str());
        PostMessageA(dialog, WM_COMMAND, IDOK, 0);
        return true;
    };
}

bool samePath(const std::string& a, const std::string& b) {
    return lstrcmpiA(a.c_str(), b.c_str()) == 0;
}

} // namespace

TEST(Win32FileDialog, LoadOffersEveryTypeAndReturnsTheChosenFileInTheInitialFolder) {
    PresetFolder folder;
    WindowFrame w;
    gui::FileRequest r = request(gui::FileRequest::Mode::Open, folder.path);
    ShownDialog shown;
    ModalDriver driver(workDialog("Load Preset", shown, "Warm.ozp"));
    CFileSelector selector(w.frame);
    EXPECT_TRUE(selector.run(r));
    ASSERT_TRUE(shown.seen);
    EXPECT_EQ(shown.filters, (Lines{"All Types: (*.ozp;*.ozb)", "Orvel Preset (*.ozp)", "Orvel Bank (*.ozb)",
                                    "Any Type (*.*)"}));
    EXPECT_EQ(shown.selectedFilter, 0);
    EXPECT_TRUE(samePath(r.resultPath, folder.path + "\\Warm.ozp")) << r.resultPath;
}

TEST(Win32FileDialog, CancellingReturnsNothingAndLeavesThePathAlone) {
    PresetFolder folder;
    WindowFrame w;
    for (gui::FileRequest::Mode mode : {gui::FileRequest::Mode::Open, gui::FileRequest::Mode::Save}) {
        SCOPED_TRACE(int(mode));
        gui::FileRequest r = request(mode, folder.path);
        ShownDialog shown;
        ModalDriver driver(workDialog(r.title.c_str(), shown, ""));
        CFileSelector selector(w.frame);
        EXPECT_FALSE(selector.run(r));
        EXPECT_TRUE(shown.seen);
        EXPECT_EQ(r.resultPath, "previous");
    }
}

TEST(Win32FileDialog, SaveGivesANewNameTheFirstTypesExtension) {
    PresetFolder folder;
    WindowFrame w;
    gui::FileRequest r = request(gui::FileRequest::Mode::Save, folder.path);
    ShownDialog shown;
    ModalDriver driver(workDialog("Save Preset", shown, "Bright"));
    CFileSelector selector(w.frame);
    EXPECT_TRUE(selector.run(r));
    EXPECT_EQ(shown.filters.size(), 4u);
    EXPECT_TRUE(samePath(r.resultPath, folder.path + "\\Bright.ozp")) << r.resultPath;
}

// ---------------------------------------------------------------------------------- message box

TEST(Win32MessageBox, ShowsItsTextAndTitleWithoutAnOwnerUntilOk) {
    WindowFrame w;
    bool seen = false;
    HWND owner = w.hwnd;
    std::string text;
    ModalDriver driver([&] {
        HWND box = threadWindow("#32770", "Error...");
        if (!box) return false;
        seen = true;
        owner = GetWindow(box, GW_OWNER);
        for (HWND c = GetWindow(box, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT))
            if (className(c) == "Static" && !windowText(c).empty()) text = windowText(c);
        PostMessageA(box, WM_COMMAND, IDOK, 0);
        return true;
    });
    platform::showMessageBox("Could not write the preferences", "Error...");
    EXPECT_TRUE(seen);
    EXPECT_EQ(owner, nullptr);
    EXPECT_EQ(text, "Could not write the preferences");
}
