// The registry refuses a lasting key under a volatile one: making the plug-in's key volatile (in the
// test's own sandbox) blocks the creation of "PREFS". A single value cannot be refused this way, so
// blockPreferenceValue exists on the other systems only.
#include "support/registry_faults.h"

#include <windows.h>

namespace editortest {

bool blockPreferencesKey() {
    HKEY key = nullptr;
    DWORD disposition = 0;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, "SOFTWARE\\Orvel-soundworks\\Orvelzelmar", 0, nullptr,
                        REG_OPTION_VOLATILE, KEY_ALL_ACCESS, nullptr, &key, &disposition) != ERROR_SUCCESS)
        return false;
    RegCloseKey(key);
    if (disposition != REG_CREATED_NEW_KEY) return false;
    // Only if this registry does refuse it.
    HKEY prefs = nullptr;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, "SOFTWARE\\Orvel-soundworks\\Orvelzelmar\\PREFS", 0, nullptr,
                        REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr, &prefs, nullptr) == ERROR_SUCCESS) {
        RegCloseKey(prefs);
        RegDeleteKeyA(HKEY_CURRENT_USER, "SOFTWARE\\Orvel-soundworks\\Orvelzelmar\\PREFS");
        return false;
    }
    return true;
}

} // namespace editortest
