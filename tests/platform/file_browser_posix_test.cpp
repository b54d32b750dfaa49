// The built-in file dialog's model: what a folder lists (in a temporary folder with spaces, non-ASCII
// names, hidden entries and links), how filters match, and which path a typed name means.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <unistd.h>
#include <utility>
#include <vector>

#include "platform/file_browser.h"

namespace fs = std::filesystem;

namespace {

class FileBrowser : public ::testing::Test {
protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "orvel browser ä-XXXXXX").string();
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
        root = pattern;
        if (const char* home = std::getenv("HOME")) savedHome = home;
    }
    void TearDown() override {
        if (savedHome)
            ::setenv("HOME", savedHome->c_str(), 1);
        else
            ::unsetenv("HOME");
        std::error_code ignored;
        fs::remove_all(root, ignored);
    }
    void touch(const std::string& name) const { std::ofstream(fs::path(root) / name) << "x"; }

    std::string root;
    std::optional<std::string> savedHome;
};

TEST_F(FileBrowser, ListsSubfoldersAndTheFilesTheFilterShows) {
    for (const char* folder : {"Sub b", "ä-folder", ".hidden folder", "alpha"})
        fs::create_directory(fs::path(root) / folder);
    for (const char* file :
         {"Preset One.ozp", "BANK.OZB", "notes.txt", ".hidden.ozp", "日本.ozp", "x.ozpx", "b.ozp"})
        touch(file);
    fs::create_directory_symlink(fs::path(root) / "Sub b", fs::path(root) / "link to sub");
    fs::create_symlink(fs::path(root) / "missing.ozp", fs::path(root) / "dangling.ozp");
    fs::create_symlink(fs::path(root) / "b.ozp", fs::path(root) / "c link.ozp");

    const platform::FolderListing listing = platform::listFolder(root, "*.ozp;*.ozb");
    ASSERT_TRUE(listing.ok()) << listing.error;
    EXPECT_EQ(listing.folders, (std::vector<std::string>{"..", "alpha", "link to sub", "Sub b", "ä-folder"}));
    EXPECT_EQ(listing.files,
              (std::vector<std::string>{"b.ozp", "BANK.OZB", "c link.ozp", "Preset One.ozp", "日本.ozp"}));

    const platform::FolderListing all = platform::listFolder(root + "/", "");
    EXPECT_EQ(all.files, (std::vector<std::string>{"b.ozp", "BANK.OZB", "c link.ozp", "notes.txt",
                                                   "Preset One.ozp", "x.ozpx", "日本.ozp"}));
    EXPECT_EQ(all.folders, listing.folders);
}

TEST_F(FileBrowser, TheRootHasNoWayUp) {
    const platform::FolderListing listing = platform::listFolder("/", "*");
    ASSERT_TRUE(listing.ok()) << listing.error;
    EXPECT_FALSE(listing.folders.empty());
    EXPECT_EQ(std::count(listing.folders.begin(), listing.folders.end(), ".."), 0);
    EXPECT_EQ(std::count(listing.folders.begin(), listing.folders.end(), "."), 0);
}

TEST_F(FileBrowser, AFolderThatCannotBeReadIsAnErrorWithEmptyLists) {
    touch("plain file");
    for (const std::string& path : {root + "/no such folder", root + "/plain file"}) {
        const platform::FolderListing listing = platform::listFolder(path, "*.ozp");
        EXPECT_FALSE(listing.ok()) << path;
        EXPECT_FALSE(listing.error.empty()) << path;
        EXPECT_TRUE(listing.folders.empty()) << path;
        EXPECT_TRUE(listing.files.empty()) << path;
    }
}

TEST(FileBrowserFilter, MatchesAnyPatternIgnoringAsciiCase) {
    const struct {
        const char* name;
        const char* patterns;
        bool shown;
    } cases[] = {
        {"a.ozp", "*.ozp;*.ozb", true},
        {"A.OZB", "*.ozp;*.ozb", true},
        {"a.ozpx", "*.ozp;*.ozb", false},
        {"ozp", "*.ozp", false},
        {"my preset.ozp", " *.ozp ; *.ozb", true},
        {"notes.txt", "*.ozp", false},
        {"notes.txt", "", true},
        {"notes", "*.*", true},
        {"bank1.ozb", "bank?.ozb", true},
        {"bank12.ozb", "bank?.ozb", false},
        {"日本.OZP", "*.ozp", true},
        {"a.b.ozp", "*.ozp", true},
    };
    for (const auto& c : cases)
        EXPECT_EQ(platform::matchesFilter(c.name, c.patterns), c.shown) << c.name << " / " << c.patterns;
}

TEST(FileBrowserPaths, ParentJoinAndNormalize) {
    const std::pair<const char*, const char*> parents[] = {
        {"/a/b", "/a"}, {"/a/b/", "/a"}, {"/a", "/"}, {"/", "/"}, {"//a//b c//", "/a"}, {"/a/./b/../c", "/a"},
    };
    for (const auto& [path, parent] : parents)
        EXPECT_EQ(platform::parentOf(path), parent) << path;

    EXPECT_EQ(platform::joinPath("/a", "b c"), "/a/b c");
    EXPECT_EQ(platform::joinPath("/a/", "b"), "/a/b");
    EXPECT_EQ(platform::joinPath("/", "b"), "/b");
    EXPECT_EQ(platform::joinPath("/a/", "/b"), "/a/b");

    const std::pair<const char*, const char*> normal[] = {
        {"/a/../../b", "/b"}, {"/..", "/"}, {"a/../../b", "../b"}, {"/x/./y//", "/x/y"}, {"", "."},
    };
    for (const auto& [path, result] : normal)
        EXPECT_EQ(platform::normalizePath(path), result) << path;
}

TEST(FileBrowserPaths, DefaultExtensionOnlyWhereTheNameHasNone) {
    const struct {
        const char* name;
        const char* ext;
        const char* result;
    } cases[] = {
        {"preset", "ozp", "preset.ozp"},
        {"preset", ".ozp", "preset.ozp"},
        {"preset.ozb", "ozp", "preset.ozb"},
        {"preset.", "ozp", "preset.ozp"},
        {".profile", "ozp", ".profile.ozp"},
        {"/my dir.v2/preset", "ozp", "/my dir.v2/preset.ozp"},
        {"/a/日本", "ozp", "/a/日本.ozp"},
        {"my.preset.v2", "ozp", "my.preset.v2"},
        {"preset", "", "preset"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(platform::withDefaultExtension(c.name, c.ext), c.result) << c.name;
}

TEST_F(FileBrowser, TypedNamesResolveAgainstTheFolderOrHome) {
    ::setenv("HOME", "/home/zoë user", 1);
    const std::string here = "/data/my presets";
    const std::pair<const char*, const char*> cases[] = {
        {"bright.ozp", "/data/my presets/bright.ozp"},
        {"sub dir/日本.ozp", "/data/my presets/sub dir/日本.ozp"},
        {"../x.ozp", "/data/x.ozp"},
        {"/abs/olute.ozp", "/abs/olute.ozp"},
        {"~", "/home/zoë user"},
        {"~/p.ozp", "/home/zoë user/p.ozp"},
        {"~other/p.ozp", "/data/my presets/~other/p.ozp"},
        {" lead space.ozp", "/data/my presets/ lead space.ozp"},
        {"", "/data/my presets"},
    };
    for (const auto& [typed, path] : cases)
        EXPECT_EQ(platform::resolveTypedName(typed, here), path) << typed;

    ::unsetenv("HOME");
    EXPECT_EQ(platform::resolveTypedName("~/p.ozp", here), platform::homeFolder() + "/p.ozp");
    EXPECT_FALSE(platform::homeFolder().empty());
}

TEST_F(FileBrowser, IsFolderFollowsLinks) {
    fs::create_directory(fs::path(root) / "日本 dir");
    fs::create_directory_symlink(fs::path(root) / "日本 dir", fs::path(root) / "link");
    touch("file");
    EXPECT_TRUE(platform::isFolder(root + "/日本 dir"));
    EXPECT_TRUE(platform::isFolder(root + "/link"));
    EXPECT_FALSE(platform::isFolder(root + "/file"));
    EXPECT_FALSE(platform::isFolder(root + "/missing"));
}

} // namespace
