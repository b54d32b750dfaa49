// Where the plug-in keeps its settings: the current user's registry key and the names of its values.
#pragma once

namespace presets {

// The current user's registry key of the plug-in; the metering preferences are its sub-key "PREFS".
constexpr const char* kRegistryKey = "SOFTWARE\\Orvel-soundworks\\Orvelzelmar";
constexpr const char* kPreferencesKey = "SOFTWARE\\Orvel-soundworks\\Orvelzelmar\\PREFS";

// Names of the preset store's values under kRegistryKey.
inline constexpr const char* kDefaultPresetValue = "DefaultPreset";
inline constexpr const char* kDefaultBankValue = "DefaultBank";
inline constexpr const char* kMemoAValue = "MemoA";
inline constexpr const char* kMemoBValue = "MemoB";
inline constexpr const char* kCurrDirValue = "CurrDir";
inline constexpr const char* kCurrBankValue = "CurrBank";
inline constexpr const char* kCurrPresetValue = "CurrPreset";

} // namespace presets
