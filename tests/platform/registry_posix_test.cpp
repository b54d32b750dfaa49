// The folder backend of the settings store: where it keeps its files, what they hold, and how it
// treats files that are not whole values.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "platform/registry.h"

namespace fs = std::filesystem;
using platform::RegistryKey;
using platform::RegistryRead;
using platform::RegistryValueInfo;
using Access = platform::RegistryKey::Access;

namespace {

constexpr const char* kSubKey = "SOFTWARE\\Orvel-soundworks\\Orvelzelmar\\PREFS";

// A temporary folder, and the environment as it was.
class FolderBackend : public ::testing::Test {
protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "orvel-registry-test-XXXXXX").string();
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
        root = pattern;
        for (const char* name : {"XDG_CONFIG_HOME", "HOME"})
            if (const char* value = std::getenv(name)) saved.emplace_back(name, value);
    }
    void TearDown() override {
        platform::setRegistryRootOverride(nullptr);
        ::unsetenv("XDG_CONFIG_HOME");
        for (auto& [name, value] : saved)
            ::setenv(name.c_str(), value.c_str(), 1);
        fs::remove_all(root);
    }
    static std::string bytesOf(const fs::path& file) {
        std::ifstream in(file, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
    static void writeFile(const fs::path& file, const std::string& bytes) {
        fs::create_directories(file.parent_path());
        std::ofstream(file, std::ios::binary) << bytes;
    }
    static bool store(const char* name, std::int32_t value) {
        RegistryKey key;
        return key.create(kSubKey) && key.write(name, platform::kRegistryDword, &value, 4);
    }
    static RegistryRead load(const char* name, std::int32_t& value, RegistryValueInfo* info = nullptr) {
        RegistryKey key;
        if (!key.open(kSubKey, Access::Read)) return RegistryRead::Missing;
        return key.read(name, &value, 4, info);
    }
    fs::path prefs() const { return root / "SOFTWARE" / "Orvel-soundworks" / "Orvelzelmar" / "PREFS"; }

    fs::path root;
    std::vector<std::pair<std::string, std::string>> saved;
};

TEST_F(FolderBackend, KeepsAFolderPerKeyAndAFilePerValueUnderXdgConfigHome) {
    ::setenv("XDG_CONFIG_HOME", root.c_str(), 1);
    ASSERT_TRUE(store("Metering_Scale", 0x01020304));
    EXPECT_EQ(bytesOf(prefs() / "Metering_Scale.value"), std::string("\x04\0\0\0\x04\x03\x02\x01", 8));
    // Nothing else is left behind.
    int files = 0;
    for (const auto& entry : fs::recursive_directory_iterator(root))
        files += entry.is_regular_file();
    EXPECT_EQ(files, 1);
}

TEST_F(FolderBackend, FallsBackToDotConfigUnderHome) {
    ::setenv("HOME", root.c_str(), 1);
    ::unsetenv("XDG_CONFIG_HOME");
    ASSERT_TRUE(store("Metering_Type", 1));
    EXPECT_TRUE(fs::exists(root / ".config" / "SOFTWARE" / "Orvel-soundworks" / "Orvelzelmar" / "PREFS" /
                           "Metering_Type.value"));
    // A relative XDG_CONFIG_HOME is not a base directory.
    ::setenv("XDG_CONFIG_HOME", "relative/config", 1);
    std::int32_t value = 0;
    EXPECT_EQ(load("Metering_Type", value), RegistryRead::Ok);
    EXPECT_EQ(value, 1);
}

TEST_F(FolderBackend, TheOverrideWinsOverTheEnvironment) {
    ::setenv("XDG_CONFIG_HOME", (root / "environment").c_str(), 1);
    platform::setRegistryRootOverride((root / "override").c_str());
    ASSERT_TRUE(store("Metering_Zoom", 1));
    EXPECT_TRUE(fs::exists(root / "override" / "SOFTWARE"));
    EXPECT_FALSE(fs::exists(root / "environment"));
    platform::setRegistryRootOverride("");
    std::int32_t value = 0;
    EXPECT_EQ(load("Metering_Zoom", value), RegistryRead::Missing);
}

TEST_F(FolderBackend, ShortOrStrangeFilesReadAsMissingValues) {
    ::setenv("XDG_CONFIG_HOME", root.c_str(), 1);
    writeFile(prefs() / "Empty.value", "");
    writeFile(prefs() / "Three.value", std::string("\x04\0\0", 3));
    writeFile(prefs() / "HeaderOnly.value", std::string("\x03\0\0\0", 4));
    writeFile(prefs() / "Long.value", std::string("\x04\0\0\0\x01\x02\x03\x04\x05", 9));
    fs::create_directories(prefs() / "Folder.value");
    std::int32_t value = 42;
    RegistryValueInfo info;
    EXPECT_EQ(load("Empty", value), RegistryRead::Missing);
    EXPECT_EQ(load("Three", value), RegistryRead::Missing);
    EXPECT_EQ(load("Folder", value), RegistryRead::Missing);
    EXPECT_EQ(load("HeaderOnly", value, &info), RegistryRead::Ok);
    EXPECT_EQ(info.type, platform::kRegistryBinary);
    EXPECT_EQ(info.size, 0u);
    EXPECT_EQ(load("Long", value, &info), RegistryRead::TooLarge);
    EXPECT_EQ(info.size, 5u);
    EXPECT_EQ(value, 42);
}

TEST_F(FolderBackend, APendingTemporaryFileIsNoValue) {
    ::setenv("XDG_CONFIG_HOME", root.c_str(), 1);
    writeFile(prefs() / ".pending-abcdef", std::string("\x04\0\0\0\x01\0\0\0", 8));
    std::int32_t value = 0;
    EXPECT_EQ(load(".pending-abcdef", value), RegistryRead::Missing);
    EXPECT_EQ(load("pending-abcdef", value), RegistryRead::Missing);
}

TEST_F(FolderBackend, ReadersSeeWholeValuesWhileAWriterReplacesThem) {
    ::setenv("XDG_CONFIG_HOME", root.c_str(), 1);
    RegistryKey writer;
    ASSERT_TRUE(writer.create(kSubKey));
    const std::vector<unsigned char> a(100, 'a'), b(3077, 'b');
    ASSERT_TRUE(writer.write("DefaultBank", platform::kRegistryBinary, a.data(), a.size()));
    std::atomic<bool> stop{false};
    std::thread writing([&] {
        for (int i = 0; i < 300; ++i) {
            const auto& value = i % 2 ? a : b;
            EXPECT_TRUE(writer.write("DefaultBank", platform::kRegistryBinary, value.data(), value.size()));
        }
        stop = true;
    });
    RegistryKey reader;
    ASSERT_TRUE(reader.open(kSubKey, Access::Read));
    std::vector<unsigned char> buffer(4096);
    int reads = 0;
    while (!stop) {
        RegistryValueInfo info;
        ASSERT_EQ(reader.read("DefaultBank", buffer.data(), buffer.size(), &info), RegistryRead::Ok);
        ASSERT_TRUE(info.size == a.size() || info.size == b.size()) << info.size;
        const unsigned char expected = info.size == a.size() ? 'a' : 'b';
        for (std::size_t i = 0; i < info.size; ++i)
            ASSERT_EQ(buffer[i], expected) << i;
        ++reads;
    }
    writing.join();
    EXPECT_GT(reads, 0);
    int files = 0;
    for (const auto& entry : fs::directory_iterator(prefs()))
        files += entry.is_regular_file();
    EXPECT_EQ(files, 1);
}

TEST_F(FolderBackend, AnUnwritableRootFailsQuietly) {
    const fs::path blocked = root / "blocked";
    writeFile(blocked, "a file where a folder should be");
    platform::setRegistryRootOverride(blocked.c_str());
    RegistryKey key;
    EXPECT_FALSE(key.create(kSubKey));
    EXPECT_FALSE(key.open(kSubKey, Access::Read));
    ::unsetenv("XDG_CONFIG_HOME");
    ::unsetenv("HOME");
    platform::setRegistryRootOverride(nullptr);
    EXPECT_FALSE(key.create(kSubKey));
}

} // namespace
