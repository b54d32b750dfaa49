#include "editor/metering_prefs.h"

#include "editor/effect_link.h"
#include "engine/metering_preferences.h"
#include "engine/parameters.h"
#include "platform/native_dialogs.h"
#include "platform/registry.h"
#include "presets/registry_keys.h"

namespace editor {

void meteringSteps(EffectLink& effect, std::int32_t steps[6]) {
    for (int i = 0; i < 6; ++i) {
        const engine::MeteringPreference& p = engine::kMeteringPreferences[i];
        steps[i] = engine::step(effect.getParameter(p.parameter), p.steps);
    }
}

MeteringPrefsResult writeMeteringPrefs(const std::int32_t steps[6]) {
    platform::RegistryKey key;
    if (!key.open(presets::kPreferencesKey, platform::RegistryKey::Access::Write) &&
        !key.create(presets::kPreferencesKey)) {
        platform::showMessageBox(kMeteringPrefsKeyError, kMeteringPrefsErrorTitle);
        return MeteringPrefsResult::KeyFailed;
    }
    for (int i = 0; i < 6; ++i) {
        // REG_DWORD: four bytes, little-endian, whatever the machine.
        const auto v = std::uint32_t(steps[i]);
        const unsigned char bytes[4] = {static_cast<unsigned char>(v), static_cast<unsigned char>(v >> 8),
                                        static_cast<unsigned char>(v >> 16),
                                        static_cast<unsigned char>(v >> 24)};
        if (!key.write(engine::kMeteringPreferences[i].valueName, platform::kRegistryDword, bytes,
                       sizeof(bytes))) {
            platform::showMessageBox(kMeteringPrefsValueError, kMeteringPrefsErrorTitle);
            return MeteringPrefsResult::ValueFailed;
        }
    }
    return MeteringPrefsResult::Stored;
}

} // namespace editor
