// The desktop dialog tools as the X11 backend runs them, against stub zenity and kdialog scripts on a
// PATH of our own: the argument vectors, the chosen path, cancels, names with spaces and non-ASCII
// characters, the default extension of a save, the choice of tool, and the poll that never blocks.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <unistd.h>
#include <utility>
#include <vector>

#include "platform/external_dialogs_posix.h"

namespace fs = std::filesystem;
using platform::DialogOutcome;
using platform::DialogTool;
using platform::ExternalDialog;
using platform::FileDialogRequest;

namespace {

// Records its arguments NUL-separated (a kdialog filter holds line breaks) to $STUB_LOG.<its name>,
// lists its open descriptors to $STUB_FDS when that is named, waits for $STUB_GATE to exist when one
// is named, prints $STUB_OUTPUT and exits with $STUB_STATUS.
// The PATH of the tests holds only the stubs' folder, so the script names its own tools in full.
constexpr const char* kStub = R"(#!/bin/sh
log="$STUB_LOG.${0##*/}"
: > "$log"
for a in "$@"; do printf '%s\0' "$a" >> "$log"; done
[ -n "$STUB_FDS" ] && /bin/ls /proc/$$/fd > "$STUB_FDS"
while [ -n "$STUB_GATE" ] && [ ! -e "$STUB_GATE" ]; do /bin/sleep 0.02; done
printf '%s' "$STUB_OUTPUT"
exit "${STUB_STATUS:-0}"
)";

const char* const kVariables[] = {"PATH",      "ORVEL_DIALOG_TOOL", "STUB_LOG",
                                  "STUB_GATE", "STUB_OUTPUT",       "STUB_STATUS"};

class ExternalDialogs : public ::testing::Test {
protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "orvel dialogs ä-XXXXXX").string();
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
        root = pattern;
        bin = root / "bin dir";
        fs::create_directories(bin);
        for (const char* name : kVariables) {
            const char* value = std::getenv(name);
            saved.emplace_back(name, value ? std::optional<std::string>(value) : std::nullopt);
        }
        ::setenv("PATH", bin.c_str(), 1);
        ::unsetenv("ORVEL_DIALOG_TOOL");
        ::unsetenv("STUB_GATE");
        ::unsetenv("STUB_STATUS");
        ::unsetenv("STUB_FDS");
        ::setenv("STUB_LOG", (root / "argv").c_str(), 1);
        ::setenv("STUB_OUTPUT", "", 1);
    }
    void TearDown() override {
        for (const auto& [name, value] : saved)
            value ? ::setenv(name, value->c_str(), 1) : ::unsetenv(name);
        std::error_code ignored;
        fs::remove_all(root, ignored);
    }

    void installStub(const char* name) const {
        const fs::path file = bin / name;
        std::ofstream(file) << kStub;
        fs::permissions(file, fs::perms::owner_all);
    }
    // The arguments the stub of that name was given (without argv[0]); nullopt when it never ran.
    std::optional<std::vector<std::string>> argumentsOf(const char* tool) const {
        std::ifstream in(root / ("argv." + std::string(tool)), std::ios::binary);
        if (!in) return std::nullopt;
        const std::string bytes{std::istreambuf_iterator<char>(in), {}};
        std::vector<std::string> args;
        std::size_t start = 0;
        for (std::size_t end; (end = bytes.find('\0', start)) != std::string::npos; start = end + 1)
            args.push_back(bytes.substr(start, end - start));
        return args;
    }
    static void answer(const std::string& output, int status = 0) {
        ::setenv("STUB_OUTPUT", output.c_str(), 1);
        ::setenv("STUB_STATUS", std::to_string(status).c_str(), 1);
    }
    FileDialogRequest request(bool save) const {
        FileDialogRequest r;
        r.save = save;
        r.title = save ? "Save Preset" : "Load Preset";
        r.initialDirectory = (root / "my presets ä").string();
        r.filters = {{"Orvel Preset (*.ozp)", "*.ozp"}, {"Orvel Bank | all", "*.ozp;*.ozb"}};
        r.defaultExtension = "ozp";
        return r;
    }

    fs::path root, bin;
    std::vector<std::pair<const char*, std::optional<std::string>>> saved;
};

TEST_F(ExternalDialogs, ZenityOpensInTheFolderWithTheFiltersAndAnswersThePath) {
    installStub("zenity");
    installStub("kdialog");
    const std::string chosen = (root / "my presets ä" / "日本 bright.ozp").string();
    answer(chosen + "\n");
    std::string path;
    EXPECT_EQ(platform::runExternalFileDialog(request(false), path), DialogOutcome::accepted);
    EXPECT_EQ(path, chosen);
    EXPECT_EQ(argumentsOf("zenity"), (std::vector<std::string>{
                                         "--file-selection",
                                         "--title=Load Preset",
                                         "--filename=" + (root / "my presets ä").string() + "/",
                                         "--file-filter=Orvel Preset (*.ozp) | *.ozp",
                                         "--file-filter=Orvel Bank / all | *.ozp *.ozb",
                                     }));
    EXPECT_EQ(argumentsOf("kdialog"), std::nullopt);
}

TEST_F(ExternalDialogs, ZenitySavesWithOverwriteQuestionAndTheDefaultExtension) {
    installStub("zenity");
    const struct {
        std::string printed, path;
    } cases[] = {
        {"/p/new preset\n", "/p/new preset.ozp"},
        {"/p/kept.ozb\n", "/p/kept.ozb"},
        {"/p/ä dir.v2/名前\n", "/p/ä dir.v2/名前.ozp"},
        {"/p/no line end", "/p/no line end.ozp"},
    };
    for (const auto& c : cases) {
        answer(c.printed);
        std::string path;
        EXPECT_EQ(platform::runExternalFileDialog(request(true), path), DialogOutcome::accepted) << c.printed;
        EXPECT_EQ(path, c.path);
    }
    const auto args = argumentsOf("zenity");
    ASSERT_TRUE(args);
    EXPECT_EQ(std::vector<std::string>(args->begin(), args->begin() + 4),
              (std::vector<std::string>{"--file-selection", "--save", "--confirm-overwrite",
                                        "--title=Save Preset"}));
}

TEST_F(ExternalDialogs, KdialogTakesFolderAndKdeFilterWhenChosenOrAlone) {
    installStub("kdialog");
    const std::vector<std::string> expected = {
        "--getsavefilename",
        (root / "my presets ä").string(),
        "*.ozp|Orvel Preset (*.ozp)\n*.ozp *.ozb|Orvel Bank / all",
        "--title",
        "Save Preset",
    };
    // Alone on PATH, then named while zenity is there too.
    for (bool withZenity : {false, true}) {
        if (withZenity) {
            installStub("zenity");
            ::setenv("ORVEL_DIALOG_TOOL", "kdialog", 1);
        }
        answer("/home/u/a b.ozp\n");
        std::string path;
        EXPECT_EQ(platform::runExternalFileDialog(request(true), path), DialogOutcome::accepted);
        EXPECT_EQ(path, "/home/u/a b.ozp");
        EXPECT_EQ(argumentsOf("kdialog"), expected);
        EXPECT_EQ(argumentsOf("zenity"), std::nullopt);
    }
    FileDialogRequest open = request(false);
    open.filters.clear();
    open.title.clear();
    answer("/x.ozp\n");
    std::string path;
    EXPECT_EQ(platform::runExternalFileDialog(open, path), DialogOutcome::accepted);
    EXPECT_EQ(argumentsOf("kdialog"), (std::vector<std::string>{"--getopenfilename", open.initialDirectory}));
}

TEST_F(ExternalDialogs, AnEndWithoutAPathIsACancel) {
    installStub("zenity");
    const struct {
        std::string printed;
        int status;
    } cases[] = {{"", 1}, {"/p/x.ozp\n", 1}, {"", 0}, {"\n", 0}, {"/p/x.ozp\n", 5}, {"relative.ozp\n", 0}};
    for (const auto& c : cases) {
        answer(c.printed, c.status);
        std::string path = "untouched";
        EXPECT_EQ(platform::runExternalFileDialog(request(false), path), DialogOutcome::cancelled)
            << c.printed << " / " << c.status;
        EXPECT_EQ(path, "untouched");
    }
}

TEST_F(ExternalDialogs, APathLongerThanTheCallerTakesIsNotHandedOn) {
    installStub("zenity");
    FileDialogRequest r = request(false);
    r.maxPathChars = 10;
    answer("/p/12345.ozp\n"); // 12 bytes
    std::string path;
    EXPECT_EQ(platform::runExternalFileDialog(r, path), DialogOutcome::cancelled);
    answer("/p/1.ozp\n");
    EXPECT_EQ(platform::runExternalFileDialog(r, path), DialogOutcome::accepted);
    EXPECT_EQ(path, "/p/1.ozp");
}

TEST_F(ExternalDialogs, WithoutAToolTheAnswerIsUnavailable) {
    const struct {
        const char* installed; // nullptr: none
        const char* choice;    // ORVEL_DIALOG_TOOL, nullptr: unset
    } cases[] = {{nullptr, nullptr}, {"zenity", "none"}, {"zenity", "kdialog"}, {"kdialog", "zenity"}};
    for (const auto& c : cases) {
        fs::remove_all(bin);
        fs::create_directories(bin);
        if (c.installed) installStub(c.installed);
        c.choice ? ::setenv("ORVEL_DIALOG_TOOL", c.choice, 1) : ::unsetenv("ORVEL_DIALOG_TOOL");
        std::string path;
        EXPECT_EQ(platform::findDialogTool().tool, DialogTool::none);
        EXPECT_EQ(platform::runExternalFileDialog(request(false), path), DialogOutcome::unavailable);
        EXPECT_EQ(platform::showExternalMessageBox("text", "title"), DialogOutcome::unavailable);
        ExternalDialog dialog;
        EXPECT_FALSE(dialog.startFileDialog(request(true)));
        EXPECT_EQ(dialog.outcome(), DialogOutcome::unavailable);
        EXPECT_EQ(argumentsOf("zenity"), std::nullopt);
        EXPECT_EQ(argumentsOf("kdialog"), std::nullopt);
    }
}

TEST_F(ExternalDialogs, TheErrorBoxShowsPlainTextWithItsTitle) {
    const std::string text = "Could not load <a & b>.ozp: ä 日本";
    installStub("zenity");
    EXPECT_EQ(platform::showExternalMessageBox(text, "Orvel Zelmar"), DialogOutcome::accepted);
    EXPECT_EQ(argumentsOf("zenity"),
              (std::vector<std::string>{"--error", "--no-markup", "--text=" + text, "--title=Orvel Zelmar"}));
    installStub("kdialog");
    ::setenv("ORVEL_DIALOG_TOOL", "kdialog", 1);
    EXPECT_EQ(platform::showExternalMessageBox(text, "Orvel Zelmar"), DialogOutcome::accepted);
    EXPECT_EQ(argumentsOf("kdialog"), (std::vector<std::string>{"--error", text, "--title", "Orvel Zelmar"}));
}

// The stub cannot end before the gate file exists, so the first poll must come back at once with the
// dialog still open; the test creates the gate only afterwards.
TEST_F(ExternalDialogs, PollDoesNotWaitForTheDialog) {
    installStub("zenity");
    const fs::path gate = root / "gate";
    ::setenv("STUB_GATE", gate.c_str(), 1);
    answer("/p/日本 gated\n");
    ExternalDialog dialog;
    ASSERT_TRUE(dialog.startFileDialog(request(true)));
    EXPECT_FALSE(dialog.poll());
    EXPECT_EQ(dialog.outcome(), DialogOutcome::running);
    EXPECT_GE(dialog.descriptor(), 0);
    EXPECT_FALSE(dialog.startMessageBox("second", "refused while one runs"));
    std::ofstream(gate) << "open";
    EXPECT_EQ(dialog.wait(), DialogOutcome::accepted);
    EXPECT_TRUE(dialog.poll());
    EXPECT_EQ(dialog.path(), "/p/日本 gated.ozp");
    EXPECT_EQ(dialog.descriptor(), -1);
}

TEST_F(ExternalDialogs, CancelEndsARunningTool) {
    installStub("zenity");
    ::setenv("STUB_GATE", (root / "never").c_str(), 1);
    answer("/p/x.ozp\n");
    ExternalDialog dialog;
    ASSERT_TRUE(dialog.startFileDialog(request(false)));
    dialog.cancel(); // returns although the stub would wait for ever
    EXPECT_EQ(dialog.outcome(), DialogOutcome::cancelled);
    EXPECT_TRUE(dialog.poll());
    EXPECT_TRUE(dialog.path().empty());
    EXPECT_EQ(dialog.descriptor(), -1);
}

// A host's descriptor without close-on-exec must not stay open in the tool for as long as the dialog
// is open (a held audio device or socket would stay busy).
TEST_F(ExternalDialogs, TheToolGetsNoneOfTheHostsDescriptors) {
    installStub("zenity");
    const fs::path list = root / "descriptors";
    ::setenv("STUB_FDS", list.c_str(), 1);
    constexpr int kHostDescriptor = 77; // well apart from what the shell opens for itself
    const int fd = ::open("/dev/null", O_RDONLY);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::dup2(fd, kHostDescriptor), kHostDescriptor);
    ::close(fd);
    answer("/p/x.ozp\n");
    std::string path;
    const DialogOutcome outcome = platform::runExternalFileDialog(request(false), path);
    ::close(kHostDescriptor);
    EXPECT_EQ(outcome, DialogOutcome::accepted);
    std::ifstream in(list);
    std::vector<std::string> open{std::istream_iterator<std::string>(in), {}};
    EXPECT_NE(std::find(open.begin(), open.end(), "1"), open.end()); // the listing itself ran
    EXPECT_EQ(std::find(open.begin(), open.end(), std::to_string(kHostDescriptor)), open.end());
}

TEST_F(ExternalDialogs, PathSearchSkipsWhatCannotRun) {
    const fs::path first = root / "first", second = root / "second dir ä";
    fs::create_directories(first / "kdialog"); // a folder of that name
    fs::create_directories(second);
    std::ofstream(first / "zenity") << "not executable";
    fs::permissions(first / "zenity", fs::perms::owner_read | fs::perms::owner_write);
    for (const char* name : {"zenity", "kdialog"}) {
        std::ofstream(second / name) << kStub;
        fs::permissions(second / name, fs::perms::owner_all);
    }
    ::setenv("PATH", ("::" + first.string() + ":" + second.string()).c_str(), 1);
    EXPECT_EQ(platform::findOnPath("zenity"), (second / "zenity").string());
    EXPECT_EQ(platform::findOnPath("kdialog"), (second / "kdialog").string());
    EXPECT_EQ(platform::findOnPath("absent"), "");
    const platform::FoundDialogTool tool = platform::findDialogTool();
    EXPECT_EQ(tool.tool, DialogTool::zenity);
    EXPECT_EQ(tool.path, (second / "zenity").string());
}

} // namespace
