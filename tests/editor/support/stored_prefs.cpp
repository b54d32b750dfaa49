#include "support/stored_prefs.h"

#include "platform/registry.h"
#include "presets/preset_system_effect.h"

namespace editortest {

namespace {
constexpr const char* kNames[6] = {"Metering_Scale",   "Metering_Type",  "Metering_Zoom",
                                   "Metering_AttShow", "Metering_Recon", "Metering_Post"};
} // namespace

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
    for (const char* name : kNames)
        values.push_back(storedPreference(name));
    return values;
}

} // namespace editortest
