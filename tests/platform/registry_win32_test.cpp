// The registry backend writes what any other program reading HKEY_CURRENT_USER sees, and a sandbox
// keeps the user's own key out of reach.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <windows.h>

#include "platform/registry.h"
#include "platform/registry_sandbox.h"

namespace {

constexpr const char* kSubKey = "SOFTWARE\\Orvel-soundworks\\Orvelzelmar\\PREFS";

TEST(RegistryBackend, WritesRealRegistryValues) {
    platform::RegistrySandbox sandbox;
    ASSERT_TRUE(sandbox.active());
    platform::RegistryKey key;
    ASSERT_TRUE(key.create(kSubKey));
    const std::int32_t seven = 7;
    ASSERT_TRUE(key.write("Metering_AttShow", platform::kRegistryDword, &seven, 4));

    HKEY raw = nullptr;
    ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, kSubKey, 0, KEY_QUERY_VALUE, &raw), ERROR_SUCCESS);
    DWORD type = 0, value = 0, size = sizeof(value);
    EXPECT_EQ(
        RegQueryValueExA(raw, "Metering_AttShow", nullptr, &type, reinterpret_cast<BYTE*>(&value), &size),
        ERROR_SUCCESS);
    RegCloseKey(raw);
    EXPECT_EQ(type, DWORD(REG_DWORD));
    EXPECT_EQ(value, 7u);
    EXPECT_EQ(size, 4u);
}

TEST(RegistryBackend, TheSandboxIsGoneAfterwards) {
    {
        platform::RegistrySandbox sandbox;
        platform::RegistryKey key;
        ASSERT_TRUE(key.create("SOFTWARE\\OrvelSandboxProbe"));
    }
    HKEY raw = nullptr;
    EXPECT_NE(RegOpenKeyExA(HKEY_CURRENT_USER, "SOFTWARE\\OrvelSandboxProbe", 0, KEY_QUERY_VALUE, &raw),
              ERROR_SUCCESS);
    // Other test programs may hold sandboxes of their own at the same time: none of this process's
    // may be left.
    const std::string mine = std::to_string(GetCurrentProcessId()) + "-";
    HKEY parent = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\OrvelTestSandbox", 0, KEY_READ, &parent) != ERROR_SUCCESS)
        return;
    char name[256];
    for (DWORD i = 0;; ++i) {
        DWORD length = sizeof name;
        if (RegEnumKeyExA(parent, i, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            break;
        EXPECT_NE(std::string(name).rfind(mine, 0), 0u) << name;
    }
    RegCloseKey(parent);
}

} // namespace
