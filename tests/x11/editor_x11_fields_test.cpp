// What the X11 backend draws for itself, in the built .so's editor with real input: the value field
// and the preset name typed with real keys, the preset menu chosen and dismissed with real clicks,
// preset files saved and loaded through the built-in dialog and through a dialog tool.
#include <X11/keysym.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <thread>

#include "engine/parameters.h"
#include "platform/popup_layout.h"
#include "platform/registry_sandbox.h"
#include "support/plugin_under_test.h"

using namespace x11test;

namespace {

// Window pixels of the controls used here.
constexpr int kOutputFieldX = 447, kFieldY = 418;
constexpr int kDriveFieldX = 80;
constexpr int kRow = 454;
constexpr int kNameX = 256, kMenuX = 326;
constexpr int kSavePresetX = 112, kLoadPresetX = 174, kDefaultPresetX = 144;
constexpr int kBackgroundX = 262, kBackgroundY = 120; // plain panel, no control
constexpr int kKnobX = 446, kKnobY = 377;             // Output

std::string programName(LoadedPlugin& plugin) {
    char name[64] = {};
    plugin.dispatch(vst::effGetProgramName, 0, 0, name);
    return name;
}

std::string slotName(LoadedPlugin& plugin, int slot) {
    char name[64] = {};
    plugin.dispatch(vst::effGetProgramNameIndexed, slot, -1, name);
    return name;
}

std::vector<char> bytesOf(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Waits (on the calling thread's own connection) until pred holds, at most two seconds.
bool waitFor(const std::function<bool()>& pred);

Window topLevelNamed(Host& host, const std::string& name);

// Waits until the named dialog shows and has the keyboard focus; its window, 0 when it does not.
Window focusedDialog(Host& user, const std::string& name) {
    Window dialog = 0;
    waitFor([&] {
        dialog = topLevelNamed(user, name);
        Window focus = 0;
        int revert = 0;
        XGetInputFocus(user.display(), &focus, &revert);
        return dialog != 0 && focus == dialog;
    });
    return dialog;
}

// What a user does last, whatever went before: closes every dialog and menu still open, so that a
// failed step cannot leave the host's idle call in a modal loop for ever.
void closeWhatIsOpen(Host& user) {
    Display* d = user.display();
    for (Window w : user.childrenOf(DefaultRootWindow(d))) {
        XWindowAttributes a{};
        if (!XGetWindowAttributes(d, w, &a) || a.map_state != IsViewable) continue;
        if (a.override_redirect) {
            user.click(1279, 1023); // outside every menu
            continue;
        }
        XEvent close{};
        close.xclient.type = ClientMessage;
        close.xclient.window = w;
        close.xclient.message_type = XInternAtom(d, "WM_PROTOCOLS", False);
        close.xclient.format = 32;
        close.xclient.data.l[0] = long(XInternAtom(d, "WM_DELETE_WINDOW", False));
        XSendEvent(d, w, False, NoEventMask, &close);
    }
    user.sync();
}

bool waitFor(const std::function<bool()>& pred) {
    for (int i = 0; i < 200; ++i) {
        if (pred()) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return pred();
}

// A top-level window of the given name on the screen, 0 when there is none.
Window topLevelNamed(Host& host, const std::string& name) {
    Display* d = host.display();
    Window root = DefaultRootWindow(d), up = 0, *children = nullptr;
    unsigned int count = 0;
    Window found = 0;
    if (XQueryTree(d, root, &root, &up, &children, &count))
        for (unsigned int i = 0; i < count && !found; ++i) {
            char* title = nullptr;
            XWindowAttributes a{};
            if (XGetWindowAttributes(d, children[i], &a) && a.map_state == IsViewable &&
                XFetchName(d, children[i], &title) && title) {
                if (name == title) found = children[i];
                XFree(title);
            }
        }
    if (children) XFree(children);
    return found;
}

class EditorFields : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(sandbox.active());
        ASSERT_NE(plugin.effect, nullptr) << plugin.library.error();
        parent = host.makeParent(kEditorWidth, kEditorHeight);
        ASSERT_EQ(plugin.open(parent), 1);
        editor = host.firstChild(parent);
        settle(plugin, host, editor);
    }
    void TearDown() override {
        if (plugin.effect) plugin.dispatch(vst::effEditClose);
    }

    void click(int x, int y, unsigned int button = 1) {
        ScreenPoint p = onScreen(host, editor, x, y);
        host.click(p.x, p.y, button);
        idleFor(plugin, host, 90);
    }
    void typed(const std::string& text) {
        host.type(text);
        idleFor(plugin, host, 60);
    }
    void tapped(unsigned long keysym) {
        host.tap(keysym);
        idleFor(plugin, host, 60);
    }
    // Clicks at window pixels, then lets `user` act while the host's idle call runs the modal loop
    // that the click opened (a menu, a dialog), as the user would.
    void whileModal(int x, int y, const std::function<void(Host&)>& user) {
        std::atomic<bool> finished{false};
        std::thread player([&] {
            Host own;
            user(own);
            closeWhatIsOpen(own);
            finished = true;
        });
        ScreenPoint p = onScreen(host, editor, x, y);
        host.click(p.x, p.y);
        while (!finished)
            idleFor(plugin, host, 30);
        player.join();
        idleFor(plugin, host, 60);
    }
    // Entry fields are child windows of the editor's window.
    int fieldsOpen() const { return host.childCount(editor); }

    platform::RegistrySandbox sandbox;
    Host host;
    LoadedPlugin plugin;
    Window parent = 0, editor = 0;
};

TEST_F(EditorFields, TheValueFieldTakesRealKeysAndCommitsByEnterAndByAClickElsewhere) {
    ASSERT_EQ(plugin.parameter(engine::kOutput), 1.0f);
    click(kOutputFieldX, kFieldY);
    ASSERT_EQ(fieldsOpen(), 1);
    host.takeParentKeys();
    // The whole text starts selected: Backspace clears it, and reaches neither the host's window
    // nor anything else of the host.
    tapped(XK_BackSpace);
    typed("-6");
    tapped(XK_Return);
    EXPECT_EQ(fieldsOpen(), 0);
    EXPECT_EQ(plugin.parameter(engine::kOutput), 0.5f);
    EXPECT_EQ(host.takeParentKeys(), std::vector<unsigned long>{});

    // Typed over the selection, committed by a click on the panel.
    click(kDriveFieldX, kFieldY);
    ASSERT_EQ(fieldsOpen(), 1);
    typed("6");
    tapped(XK_Left);
    typed("1"); // "16"
    tapped(XK_End);
    tapped(XK_BackSpace); // "1"
    click(kBackgroundX, kBackgroundY);
    EXPECT_EQ(fieldsOpen(), 0);
    EXPECT_FLOAT_EQ(plugin.parameter(engine::kDrive), float((1.0 / 48.0) + 0.5));
    EXPECT_EQ(host.errors(), 0);
}

TEST_F(EditorFields, AClickedKnobTakesTheArrowKeysOnceWhenTheHostPassesThemOnToo) {
    // The reference: the same click and one Down key on the headless window (Output starts at its
    // top).
    float expected = 0;
    {
        editortest::EditorBench bench;
        bench.open();
        bench.idle();
        bench.click(kKnobX, kKnobY);
        vst::VstKeyCode down{0, vst::VKEY_DOWN, 0};
        bench.dispatch(vst::effEditKeyDown, down.character, down.virt, nullptr, float(down.modifier));
        expected = bench.plugin().getParameter(engine::kOutput);
    }
    const float before = plugin.parameter(engine::kOutput);
    ASSERT_NE(expected, before);
    click(kKnobX, kKnobY);
    host.takeParentKeys();
    host.tap(XK_Down);
    // A host that watches the editor's window passes the same stroke on through the dispatcher.
    plugin.dispatch(vst::effEditKeyDown, 0, vst::VKEY_DOWN, nullptr, 0.0f);
    idleFor(plugin, host, 60);
    EXPECT_EQ(plugin.parameter(engine::kOutput), expected);
    EXPECT_EQ(host.takeParentKeys(), std::vector<unsigned long>{});
    // A key the editor has no use for goes on to the host's window.
    host.tap(XK_F5);
    idleFor(plugin, host, 60);
    EXPECT_EQ(host.takeParentKeys(), std::vector<unsigned long>{XK_F5});
}

// The default-preset button acts on a double click only: the second press of the left button within
// 500 ms and 2 pixels of the first, as Win32 counts them. What it stores is what a new instance loads.
TEST_F(EditorFields, ADoubleClickFollowsTheWin32Rule) {
    auto newInstanceOutput = [] {
        LoadedPlugin fresh;
        return fresh.parameter(engine::kOutput);
    };
    auto pause = [] { std::this_thread::sleep_for(std::chrono::milliseconds(600)); };
    plugin.effect->setParameter(plugin.effect, engine::kOutput, 0.5f);
    const ScreenPoint button = onScreen(host, editor, kDefaultPresetX, kRow);

    host.click(button.x, button.y); // one click
    idleFor(plugin, host, 60);
    pause();
    host.click(button.x, button.y); // two clicks too far apart in time
    idleFor(plugin, host, 60);
    pause();
    host.click(button.x, button.y);
    idleFor(plugin, host, 60);
    pause();
    host.click(button.x, button.y); // two clicks too far apart on the screen
    host.click(button.x + 3, button.y);
    idleFor(plugin, host, 60);
    EXPECT_EQ(newInstanceOutput(), 1.0f);

    pause();
    host.click(button.x, button.y);
    host.click(button.x + 2, button.y - 2);
    idleFor(plugin, host, 60);
    EXPECT_EQ(newInstanceOutput(), 0.5f);
}

TEST_F(EditorFields, ThePresetNameIsTypedWithRealKeys) {
    click(kNameX, kRow);
    ASSERT_EQ(fieldsOpen(), 1);
    typed("My Master 2");
    tapped(XK_Return);
    EXPECT_EQ(fieldsOpen(), 0);
    EXPECT_EQ(programName(plugin), "My Master 2");
    EXPECT_EQ(host.takeParentKeys(), std::vector<unsigned long>{});
}

// The open menu, 0 when none is mapped.
Window openMenu(Host& host) {
    for (Window w : host.childrenOf(DefaultRootWindow(host.display()))) {
        XWindowAttributes a{};
        if (XGetWindowAttributes(host.display(), w, &a) && a.override_redirect && a.map_state == IsViewable)
            return w;
    }
    return 0;
}

TEST_F(EditorFields, ThePresetMenuChoosesWithRealClicksAndLeavesNoGrabBehind) {
    // Choosing a slot brings its settings and name into "Current".
    const std::string chosenName = slotName(plugin, 3);
    ASSERT_NE(programName(plugin), chosenName);
    // The menu's first column: "Current", a separator, then the factory presets from slot 1.
    whileModal(kMenuX, kRow, [](Host& user) {
        Window menu = 0;
        ASSERT_TRUE(waitFor([&] { return (menu = openMenu(user)) != 0; }));
        // The menu holds the pointer while it is open (it takes it a moment after it shows).
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        EXPECT_FALSE(user.pointerGrabbable());
        int x = 0, y = 0, w = 0, h = 0;
        ASSERT_TRUE(user.geometry(menu, x, y, w, h));
        const platform::PopupMetrics m;
        // The third entry after the separator: slot 3.
        const int entryY = m.border + m.itemHeight + m.separatorHeight + 2 * m.itemHeight + m.itemHeight / 2;
        user.click(x + 20, y + entryY);
        EXPECT_TRUE(waitFor([&] { return openMenu(user) == 0; }));
    });
    EXPECT_EQ(programName(plugin), chosenName);
    EXPECT_TRUE(host.pointerGrabbable());

    // Dismissed by a click outside, and by Escape: nothing chosen, nothing held.
    for (bool escape : {false, true}) {
        whileModal(kMenuX, kRow, [escape](Host& user) {
            ASSERT_TRUE(waitFor([&] { return openMenu(user) != 0; }));
            std::this_thread::sleep_for(std::chrono::milliseconds(200));
            if (escape)
                user.tap(XK_Escape);
            else
                user.click(1200, 1000);
            EXPECT_TRUE(waitFor([&] { return openMenu(user) == 0; }));
        });
        EXPECT_EQ(programName(plugin), chosenName);
        EXPECT_TRUE(host.pointerGrabbable());
    }
    EXPECT_EQ(host.errors(), 0);
}

// The file dialogs run modally inside the host's idle call, as a user's dialog does: the user is
// played by a second thread with a connection of its own.
// A scratch folder made the current one before the plug-in is loaded: the dialogs open in the
// folder the plug-in remembers, at first the current one. Its name has a space and accents.
struct ScratchFolder {
    ScratchFolder()
        : folder(std::filesystem::temp_directory_path() /
                 ("orvel x11 d\xC3\xA9j\xC3\xA0 " + std::to_string(getpid()))),
          previous(std::filesystem::current_path()) {
        std::filesystem::create_directories(folder);
        std::filesystem::current_path(folder);
    }
    ~ScratchFolder() {
        std::filesystem::current_path(previous);
        std::filesystem::remove_all(folder);
        unsetenv("ORVEL_DIALOG_TOOL");
    }
    std::filesystem::path folder, previous;
};

class EditorFiles : private ScratchFolder, public EditorFields {
protected:
    using ScratchFolder::folder;
};

TEST_F(EditorFiles, TheBuiltInDialogSavesAndLoadsAndItsCancelTouchesNothing) {
    setenv("ORVEL_DIALOG_TOOL", "none", 1);
    // Cancelled: no file.
    whileModal(kSavePresetX, kRow, [](Host& user) {
        ASSERT_NE(focusedDialog(user, "Save preset"), 0u);
        user.tap(XK_Escape);
        waitFor([&] { return topLevelNamed(user, "Save preset") == 0; });
    });
    EXPECT_TRUE(std::filesystem::is_empty(folder));

    // A name typed without its extension: the default one is added.
    whileModal(kSavePresetX, kRow, [](Host& user) {
        ASSERT_NE(focusedDialog(user, "Save preset"), 0u);
        user.type("take one");
        user.tap(XK_Return);
        waitFor([&] { return topLevelNamed(user, "Save preset") == 0; });
    });
    const std::filesystem::path saved = folder / "take one.ozp";
    ASSERT_TRUE(std::filesystem::exists(saved));
    const std::vector<char> bytes = bytesOf(saved);
    ASSERT_EQ(bytes.size(), 133u);
    EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + 4), "lzrO");

    // Loaded back after a change, by a double click on the file in the dialog's list (row 0 is
    // "..", row 1 the file).
    const float output = plugin.parameter(engine::kOutput);
    plugin.effect->setParameter(plugin.effect, engine::kOutput, 0.125f);
    whileModal(kLoadPresetX, kRow, [](Host& user) {
        Window dialog = focusedDialog(user, "Load preset");
        ASSERT_NE(dialog, 0u);
        int x = 0, y = 0, w = 0, h = 0;
        user.geometry(dialog, x, y, w, h);
        const int rowY = y + 52 + 2 + 18 + 9;
        user.click(x + 60, rowY);
        user.click(x + 60, rowY);
        waitFor([&] { return topLevelNamed(user, "Load preset") == 0; });
    });
    EXPECT_EQ(plugin.parameter(engine::kOutput), output);
    // A cancelled load leaves the settings alone.
    plugin.effect->setParameter(plugin.effect, engine::kOutput, 0.25f);
    whileModal(kLoadPresetX, kRow, [](Host& user) {
        Window dialog = focusedDialog(user, "Load preset");
        ASSERT_NE(dialog, 0u);
        int x = 0, y = 0, w = 0, h = 0;
        user.geometry(dialog, x, y, w, h);
        user.click(x + 392, y + 356); // Cancel
        waitFor([&] { return topLevelNamed(user, "Load preset") == 0; });
    });
    EXPECT_EQ(plugin.parameter(engine::kOutput), 0.25f);
    EXPECT_EQ(std::vector<char>(bytesOf(saved)), bytes);
    EXPECT_EQ(host.errors(), 0);
}

TEST_F(EditorFiles, ADialogToolOnThePathIsUsedWithTheRequestAndItsAnswer) {
    // A stand-in for zenity that records its arguments and answers with a path in our folder.
    const std::filesystem::path tools = folder / "tools";
    std::filesystem::create_directories(tools);
    const std::filesystem::path arguments = folder / "arguments";
    {
        std::ofstream script(tools / "zenity");
        script << "#!/bin/sh\nprintf '%s\\n' \"$@\" > '" << arguments.string() << "'\necho '"
               << (folder / "from the tool").string() << "'\n";
    }
    std::filesystem::permissions(tools / "zenity", std::filesystem::perms::owner_all);
    const std::string path = std::getenv("PATH") ? std::getenv("PATH") : "";
    setenv("PATH", (tools.string() + ":" + path).c_str(), 1);
    setenv("ORVEL_DIALOG_TOOL", "zenity", 1);
    click(kSavePresetX, kRow);
    for (int i = 0; i < 20 && !std::filesystem::exists(folder / "from the tool.ozp"); ++i)
        idleFor(plugin, host, 30);
    setenv("PATH", path.c_str(), 1);
    EXPECT_EQ(bytesOf(folder / "from the tool.ozp").size(), 133u);
    std::ifstream recorded(arguments);
    std::string all((std::istreambuf_iterator<char>(recorded)), std::istreambuf_iterator<char>());
    EXPECT_NE(all.find("--save"), std::string::npos) << all;
    EXPECT_NE(all.find("Save preset"), std::string::npos) << all;
    EXPECT_NE(all.find(folder.string()), std::string::npos) << all;
}

TEST_F(EditorFields, AutomationFromAnotherThreadWhileTheEditorIsOpen) {
    std::atomic<bool> stop{false};
    std::thread automation([&] {
        for (int i = 0; !stop; ++i)
            plugin.effect->setParameter(plugin.effect, engine::kOutput, float(i % 100) / 100.0f);
    });
    idleFor(plugin, host, 600);
    stop = true;
    automation.join();
    plugin.effect->setParameter(plugin.effect, engine::kOutput, 0.5f);
    const std::vector<std::uint32_t> shown = settle(plugin, host, editor);
    editortest::EditorBench reference;
    reference.open();
    reference.plugin().setParameter(engine::kOutput, 0.5f);
    reference.idle();
    reference.idle();
    EXPECT_EQ(pictureDifference(shown, reference.window().pixels().data(), kEditorWidth, kEditorHeight), "");
}

} // namespace
