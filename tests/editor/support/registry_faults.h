// Ways to make the settings store refuse the metering preferences, for the writer's failure paths.
// Each returns false where the store cannot be made to fail that way (the test then fails).
#pragma once

namespace editortest {

// The key "PREFS" can neither be opened nor created.
bool blockPreferencesKey();
// The key exists, but the value of this name cannot be written (not on Windows: its registry cannot
// refuse a single value).
bool blockPreferenceValue(const char* valueName);

} // namespace editortest
