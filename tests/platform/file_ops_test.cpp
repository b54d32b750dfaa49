// Whole-file reads and replacing writes: read-only files load, a save replaces the old file in one
// step and leaves nothing beside it, a save that cannot happen leaves the old file alone.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "platform/file_ops.h"

namespace fs = std::filesystem;

namespace {

class FileOps : public ::testing::Test {
protected:
    void SetUp() override {
        static std::atomic<int> serial{0};
        folder = fs::temp_directory_path() / ("orvel-file-ops-" + std::to_string(std::random_device{}()) +
                                              "-" + std::to_string(serial++));
        fs::create_directories(folder);
    }
    void TearDown() override {
        std::error_code ignored;
        for (auto& entry : fs::directory_iterator(folder, ignored))
            fs::permissions(entry.path(), fs::perms::owner_write, fs::perm_options::add, ignored);
        fs::remove_all(folder, ignored);
    }

    std::string file(const std::string& name) const { return (folder / name).string(); }
    static std::vector<std::uint8_t> contents(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in),
                                         std::istreambuf_iterator<char>());
    }
    static void put(const std::string& path, const std::vector<std::uint8_t>& bytes) {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    }
    std::vector<std::string> names() const {
        std::vector<std::string> out;
        for (auto& entry : fs::directory_iterator(folder))
            out.push_back(entry.path().filename().string());
        return out;
    }

    fs::path folder;
};

TEST_F(FileOps, ReadsAtMostTheCapacityAndStopsAtTheEnd) {
    std::vector<std::uint8_t> bytes(300);
    for (std::size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = std::uint8_t(i * 7);
    put(file("long.bin"), bytes);
    put(file("short.bin"), {1, 2, 3});

    std::vector<std::uint8_t> buffer(133, 0xEE);
    EXPECT_EQ(platform::readFileBytes(file("long.bin").c_str(), buffer.data(), buffer.size()), 133u);
    EXPECT_EQ(buffer, std::vector<std::uint8_t>(bytes.begin(), bytes.begin() + 133));

    std::fill(buffer.begin(), buffer.end(), 0);
    EXPECT_EQ(platform::readFileBytes(file("short.bin").c_str(), buffer.data(), buffer.size()), 3u);
    EXPECT_EQ(buffer[2], 3);
    EXPECT_EQ(buffer[3], 0);

    EXPECT_EQ(platform::readFileBytes(file("missing.bin").c_str(), buffer.data(), buffer.size()), 0u);
    EXPECT_EQ(platform::readFileBytes(folder.string().c_str(), buffer.data(), buffer.size()), 0u);
}

TEST_F(FileOps, ReadOnlyFilesLoad) {
    put(file("locked.ozp"), {9, 8, 7, 6});
    fs::permissions(file("locked.ozp"),
                    fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    std::uint8_t buffer[4] = {};
    EXPECT_EQ(platform::readFileBytes(file("locked.ozp").c_str(), buffer, sizeof(buffer)), 4u);
    EXPECT_EQ(buffer[3], 6);
}

TEST_F(FileOps, WritingReplacesTheFileAndLeavesNothingBesideIt) {
    const std::vector<std::uint8_t> first(3077, 0x11), second = {1, 2, 3, 4, 5};
    ASSERT_TRUE(platform::writeFileBytes(file("bank.ozb").c_str(), first.data(), first.size()));
    EXPECT_EQ(contents(file("bank.ozb")), first);
    // A shorter document replaces a longer one whole: nothing of the old tail remains.
    ASSERT_TRUE(platform::writeFileBytes(file("bank.ozb").c_str(), second.data(), second.size()));
    EXPECT_EQ(contents(file("bank.ozb")), second);
    EXPECT_EQ(names(), std::vector<std::string>{"bank.ozb"});
}

TEST_F(FileOps, AFailedWriteLeavesThePreviousFile) {
    const std::vector<std::uint8_t> old = {0xAA, 0xBB}, replacement(133, 0x42);
    put(file("keep.ozp"), old);
    fs::permissions(file("keep.ozp"), fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    // A user whom the system lets write read-only files (root on POSIX) may replace it too.
    const bool writable = std::ofstream(file("keep.ozp"), std::ios::binary | std::ios::app).is_open();
    if (!writable) {
        EXPECT_FALSE(
            platform::writeFileBytes(file("keep.ozp").c_str(), replacement.data(), replacement.size()));
        EXPECT_EQ(contents(file("keep.ozp")), old);
    }

    // Into a folder that does not exist, or over a folder: nothing is made.
    EXPECT_FALSE(
        platform::writeFileBytes(file("no/such/folder.ozp").c_str(), replacement.data(), replacement.size()));
    fs::create_directory(folder / "sub");
    EXPECT_FALSE(platform::writeFileBytes(file("sub").c_str(), replacement.data(), replacement.size()));
    EXPECT_TRUE(fs::is_directory(folder / "sub"));
    std::vector<std::string> left = names();
    std::sort(left.begin(), left.end());
    EXPECT_EQ(left, (std::vector<std::string>{"keep.ozp", "sub"}));
}

TEST_F(FileOps, TheWorkingDirectoryIsReportedAndNeverChanged) {
    const fs::path before = fs::current_path();
    EXPECT_EQ(fs::path(platform::currentDirectory()), before);
    const std::vector<std::uint8_t> bytes = {1};
    ASSERT_TRUE(platform::writeFileBytes(file("x.ozp").c_str(), bytes.data(), bytes.size()));
    std::uint8_t buffer[1];
    platform::readFileBytes(file("x.ozp").c_str(), buffer, 1);
    EXPECT_EQ(fs::current_path(), before);
}

} // namespace
