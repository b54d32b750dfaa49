// The metering preferences: the six metering settings that a new instance starts with, kept under
// the current user's key "PREFS" as 32-bit step indices. The engine reads them at construction; the
// editor writes them when the user asks (a right click on a metering preference button).
#pragma once

#include <cstdint>

namespace editor {

class EffectLink;

// The messages of the two failures, both titled kMeteringPrefsErrorTitle.
inline constexpr const char* kMeteringPrefsErrorTitle = "Error...";
inline constexpr const char* kMeteringPrefsKeyError =
    "Could not create registry key for storing metering preferences!";
inline constexpr const char* kMeteringPrefsValueError =
    "Could not create registry value for storing metering preferences!";

enum class MeteringPrefsResult {
    Stored,
    KeyFailed,   // the key could neither be opened nor created: nothing was written
    ValueFailed, // a value could not be written: the ones before it were
};

// The step indices of the effect's current values, in engine::kMeteringPreferences order.
void meteringSteps(EffectLink& effect, std::int32_t steps[6]);

// Writes the six step indices as 32-bit values; a failure shows its modal message box (no owner
// window) and stops. User-interface thread.
MeteringPrefsResult writeMeteringPrefs(const std::int32_t steps[6]);

} // namespace editor
