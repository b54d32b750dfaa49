#include "support/stored_prefs.h"

#include "engine/metering_preferences.h"
#include "platform/registry.h"
#include "presets/registry_keys.h"

namespace editortest {

std::int32_t storedPreference(const char* name) {
    platform::RegistryKey key;
    if (!key.open(presets::kPreferencesKey, platform::RegistryKey::Access::Read)) return -1;
    std::int32_t value = 0;
    platform::RegistryValueInfo info;
    if (key.read(name, &value, sizeof(value), &info) != platform::RegistryRead::Ok) return -1;
    if (info.type != platform::kRegistryDword || info.size != 4) return -1;
    return value;
}

std::vector<std::int32_t> storedPreferences() {
    std::vector<std::int32_t> values;
    for (const engine::MeteringPreference& preference : engine::kMeteringPreferences)
        values.push_back(storedPreference(preference.valueName));
    return values;
}

} // namespace editortest
