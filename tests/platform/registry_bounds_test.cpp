// Values of any type and size read into a small buffer, as the metering preferences read their
// 4-byte steps: the store never writes a byte beyond the buffer, and reports what the value was.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "platform/registry.h"
#include "platform/registry_sandbox.h"

using platform::RegistryKey;
using platform::RegistryRead;
using platform::RegistryValueInfo;

namespace {

constexpr const char* kKey = "SOFTWARE\\Orvel-soundworks\\Orvelzelmar\\PREFS";

TEST(RegistryBounds, NoValueIsReadPastTheBuffer) {
    platform::RegistrySandbox sandbox;
    ASSERT_TRUE(sandbox.active());
    const std::uint32_t types[] = {platform::kRegistryNone,   platform::kRegistryString,
                                   platform::kRegistryBinary, platform::kRegistryDword,
                                   11 /* REG_QWORD */,        0x7FFFFFFFu};
    const std::size_t sizes[] = {0, 1, 2, 3, 4, 5, 7, 8, 255, 4096, 1 << 20};
    constexpr std::size_t kCapacity = 4, kGuard = 64;

    RegistryKey writer;
    ASSERT_TRUE(writer.create(kKey));
    for (std::uint32_t type : types) {
        for (std::size_t size : sizes) {
            const std::string where = "type " + std::to_string(type) + ", " + std::to_string(size) + " bytes";
            std::vector<unsigned char> value(size);
            for (std::size_t i = 0; i < size; ++i)
                value[i] = static_cast<unsigned char>(0x30 + i % 40);
            if (type == platform::kRegistryString && size > 0) value.back() = 0;
            ASSERT_TRUE(writer.write("Metering_Scale", type, value.data(), size)) << where;

            RegistryKey reader;
            ASSERT_TRUE(reader.open(kKey, RegistryKey::Access::Read));
            std::vector<unsigned char> buffer(kGuard + kCapacity + kGuard, 0xA5);
            RegistryValueInfo info;
            const RegistryRead result =
                reader.read("Metering_Scale", buffer.data() + kGuard, kCapacity, &info);
            EXPECT_EQ(info.type, type) << where;
            EXPECT_EQ(info.size, size) << where;
            if (size <= kCapacity) {
                EXPECT_EQ(result, RegistryRead::Ok) << where;
                EXPECT_TRUE(std::equal(value.begin(), value.end(), buffer.begin() + kGuard)) << where;
            } else {
                EXPECT_EQ(result, RegistryRead::TooLarge) << where;
            }
            // Only the value's own bytes may change: nothing before the buffer, nothing after the value,
            // and nothing at all when it does not fit.
            const std::size_t written = size <= kCapacity ? size : 0;
            for (std::size_t i = 0; i < buffer.size(); ++i) {
                if (i >= kGuard && i < kGuard + written) continue;
                ASSERT_EQ(buffer[i], 0xA5) << "byte " << int(i) - int(kGuard) << " of the buffer, " << where;
            }
        }
    }
}

TEST(RegistryBounds, AMissingBufferOrCapacityIsNoValue) {
    platform::RegistrySandbox sandbox;
    ASSERT_TRUE(sandbox.active());
    RegistryKey key;
    ASSERT_TRUE(key.create(kKey));
    const std::int32_t four = 4;
    ASSERT_TRUE(key.write("Metering_Type", platform::kRegistryDword, &four, sizeof(four)));
    RegistryValueInfo info;
    EXPECT_EQ(key.read("Metering_Type", nullptr, 0, &info), RegistryRead::TooLarge);
    EXPECT_EQ(info.size, 4u);
    EXPECT_NE(key.read("Metering_Type", nullptr, 4, &info), RegistryRead::Ok);
    EXPECT_EQ(key.read("Metering_Missing", nullptr, 4, &info), RegistryRead::Missing);
}

} // namespace
