// The metering preferences as the settings store holds them, read past the editor.
#pragma once

#include <cstdint>
#include <vector>

namespace editortest {

// The stored value of a preference: its 4 bytes as a signed number, or -1 when it is not there or
// is no 4-byte number of the DWORD type.
std::int32_t storedPreference(const char* name);

// The six, in the order the editor stores them.
std::vector<std::int32_t> storedPreferences();

} // namespace editortest
