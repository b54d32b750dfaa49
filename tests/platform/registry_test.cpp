// The settings store as its users see it, on whichever backend this build has; every test works in
// a sandbox of its own.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "platform/registry.h"
#include "platform/registry_sandbox.h"

using platform::RegistryKey;
using platform::RegistryRead;
using platform::RegistryValueInfo;
using Access = platform::RegistryKey::Access;

namespace {

constexpr const char* kKey = "SOFTWARE\\Orvel-soundworks\\Orvelzelmar";
constexpr const char* kSubKey = "SOFTWARE\\Orvel-soundworks\\Orvelzelmar\\PREFS";

class Registry : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(sandbox.active()); }

    static void put(const char* path, const char* name, std::uint32_t type, const void* data,
                    std::size_t size) {
        RegistryKey key;
        ASSERT_TRUE(key.create(path));
        ASSERT_TRUE(key.write(name, type, data, size));
    }
    static std::vector<unsigned char> get(const char* path, const char* name,
                                          RegistryValueInfo* info = nullptr) {
        RegistryKey key;
        if (!key.open(path, Access::Read)) return {};
        std::vector<unsigned char> bytes(4096);
        RegistryValueInfo found;
        if (key.read(name, bytes.data(), bytes.size(), &found) != RegistryRead::Ok) return {};
        bytes.resize(found.size);
        if (info) *info = found;
        return bytes;
    }

    platform::RegistrySandbox sandbox;
};

TEST_F(Registry, ValuesKeepTheirTypeAndBytes) {
    const std::int32_t dword = 7;
    const unsigned char binary[133] = {1, 2, 3, 0, 0, 250};
    const char text[] = "C:\\Presets\\mine.ozp";
    put(kSubKey, "Metering_AttShow", platform::kRegistryDword, &dword, sizeof(dword));
    put(kKey, "DefaultPreset", platform::kRegistryBinary, binary, sizeof(binary));
    put(kKey, "CurrDir", platform::kRegistryString, text, sizeof(text));
    put(kKey, "Empty", platform::kRegistryBinary, nullptr, 0);

    RegistryValueInfo info;
    std::vector<unsigned char> bytes = get(kSubKey, "Metering_AttShow", &info);
    EXPECT_EQ(info.type, platform::kRegistryDword);
    ASSERT_EQ(bytes.size(), 4u);
    std::int32_t read = 0;
    std::memcpy(&read, bytes.data(), 4);
    EXPECT_EQ(read, 7);

    bytes = get(kKey, "DefaultPreset", &info);
    EXPECT_EQ(info.type, platform::kRegistryBinary);
    EXPECT_EQ(bytes, std::vector<unsigned char>(binary, binary + sizeof(binary)));

    bytes = get(kKey, "CurrDir", &info);
    EXPECT_EQ(info.type, platform::kRegistryString);
    EXPECT_EQ(bytes, std::vector<unsigned char>(text, text + sizeof(text)));

    RegistryKey key;
    ASSERT_TRUE(key.open(kKey, Access::Read));
    EXPECT_EQ(key.read("Empty", nullptr, 0, &info), RegistryRead::Ok);
    EXPECT_EQ(info.size, 0u);
}

TEST_F(Registry, MissingKeysDoNotOpenAndCreateMakesTheirParents) {
    RegistryKey key;
    EXPECT_FALSE(key.open(kSubKey, Access::Read));
    EXPECT_FALSE(key.open(kSubKey, Access::Write));
    EXPECT_FALSE(key.isOpen());
    ASSERT_TRUE(key.create(kSubKey));
    EXPECT_TRUE(key.isOpen());
    key.close();
    EXPECT_FALSE(key.isOpen());
    EXPECT_TRUE(key.open(kKey, Access::Read));
    EXPECT_TRUE(key.open(kSubKey, Access::Write));
    EXPECT_FALSE(key.open("", Access::Read));
    EXPECT_FALSE(key.open(nullptr, Access::Read));
}

TEST_F(Registry, AValueTooLargeForTheBufferLeavesItUntouched) {
    const unsigned char bytes[8] = {1, 2, 3, 4, 5, 6, 7, 8};
    put(kKey, "Eight", platform::kRegistryBinary, bytes, sizeof(bytes));
    RegistryKey key;
    ASSERT_TRUE(key.open(kKey, Access::Read));
    unsigned char buffer[12];
    std::memset(buffer, 0xEE, sizeof(buffer));
    RegistryValueInfo info;
    EXPECT_EQ(key.read("Eight", buffer, 4, &info), RegistryRead::TooLarge);
    EXPECT_EQ(info.size, 8u);
    for (unsigned char b : buffer)
        EXPECT_EQ(b, 0xEE);
    EXPECT_EQ(key.read("Eight", buffer, 7), RegistryRead::TooLarge);
    for (unsigned char b : buffer)
        EXPECT_EQ(b, 0xEE);
    // Exactly the value's size fits, and nothing beyond it is written.
    EXPECT_EQ(key.read("Eight", buffer, 8, &info), RegistryRead::Ok);
    EXPECT_EQ(std::memcmp(buffer, bytes, 8), 0);
    EXPECT_EQ(buffer[8], 0xEE);
    // A shorter value in a larger buffer fills only its own bytes.
    const std::int32_t two = 2;
    put(kKey, "Short", platform::kRegistryDword, &two, 2);
    std::memset(buffer, 0xEE, sizeof(buffer));
    ASSERT_TRUE(key.open(kKey, Access::Read));
    EXPECT_EQ(key.read("Short", buffer, sizeof(buffer), &info), RegistryRead::Ok);
    EXPECT_EQ(info.size, 2u);
    EXPECT_EQ(buffer[2], 0xEE);
}

TEST_F(Registry, AccessIsWhatTheKeyWasOpenedFor) {
    const std::int32_t one = 1;
    put(kKey, "Value", platform::kRegistryDword, &one, 4);
    RegistryKey reader, writer;
    ASSERT_TRUE(reader.open(kKey, Access::Read));
    ASSERT_TRUE(writer.open(kKey, Access::Write));
    std::int32_t read = 0;
    EXPECT_FALSE(reader.write("Value", platform::kRegistryDword, &one, 4));
    EXPECT_FALSE(reader.remove("Value"));
    EXPECT_EQ(writer.read("Value", &read, 4), RegistryRead::Missing);
    EXPECT_EQ(reader.read("Value", &read, 4), RegistryRead::Ok);
    EXPECT_EQ(read, 1);
    RegistryKey closed;
    EXPECT_EQ(closed.read("Value", &read, 4), RegistryRead::Missing);
    EXPECT_FALSE(closed.write("Value", platform::kRegistryDword, &one, 4));
}

TEST_F(Registry, WritesReplaceAndRemovesDelete) {
    const unsigned char longer[100] = {9};
    const unsigned char shorter[3] = {1, 2, 3};
    put(kKey, "MemoA", platform::kRegistryBinary, longer, sizeof(longer));
    put(kKey, "MemoA", platform::kRegistryNone, shorter, sizeof(shorter));
    RegistryValueInfo info;
    EXPECT_EQ(get(kKey, "MemoA", &info), std::vector<unsigned char>(shorter, shorter + 3));
    EXPECT_EQ(info.type, platform::kRegistryNone);

    RegistryKey key;
    ASSERT_TRUE(key.open(kKey, Access::Write));
    EXPECT_TRUE(key.remove("MemoA"));
    EXPECT_FALSE(key.remove("MemoA"));
    ASSERT_TRUE(key.open(kKey, Access::Read));
    unsigned char buffer[4];
    EXPECT_EQ(key.read("MemoA", buffer, sizeof(buffer)), RegistryRead::Missing);
}

TEST_F(Registry, NamesAreKeptApart) {
    // Keys and values of the same name, names that are awkward as file names, and the default value.
    const char* names[] = {"PREFS", "a/b", "..", ".", "", "with space", "%41", "A", "semi;colon", "ümlaut"};
    std::int32_t value = 100;
    for (const char* name : names) {
        put(kKey, name, platform::kRegistryDword, &value, 4);
        ++value;
    }
    const std::int32_t other = -5;
    put(kSubKey, "Metering_Scale", platform::kRegistryDword, &other, 4);
    value = 100;
    for (const char* name : names) {
        std::vector<unsigned char> bytes = get(kKey, name);
        ASSERT_EQ(bytes.size(), 4u) << name;
        std::int32_t read;
        std::memcpy(&read, bytes.data(), 4);
        EXPECT_EQ(read, value++) << name;
    }
    EXPECT_TRUE(get(kKey, "Metering_Scale").empty());
    EXPECT_EQ(get(kSubKey, "Metering_Scale").size(), 4u);
}

TEST_F(Registry, SandboxesHideEachOthersValues) {
    const std::int32_t outer = 1, inner = 2;
    put(kSubKey, "Metering_Type", platform::kRegistryDword, &outer, 4);
    {
        platform::RegistrySandbox nested;
        ASSERT_TRUE(nested.active());
        RegistryKey key;
        EXPECT_FALSE(key.open(kSubKey, Access::Read));
        put(kSubKey, "Metering_Type", platform::kRegistryDword, &inner, 4);
        EXPECT_EQ(get(kSubKey, "Metering_Type")[0], 2);
    }
    EXPECT_EQ(get(kSubKey, "Metering_Type")[0], 1);
}

} // namespace
