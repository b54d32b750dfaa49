// One preset slot: a name and the 26 normalized parameter values. The same 128 bytes appear inside
// bank records, so the layout is fixed.
#pragma once

#include <cstdint>

namespace presets {

constexpr int kNameLength = 24;

struct PresetSlot {
    // At most 24 characters; a name of exactly 24 has no terminator, shorter ones are NUL-padded.
    char name[kNameLength];
    float values[26];
};
static_assert(sizeof(PresetSlot) == 128, "a preset slot is 128 bytes");

} // namespace presets
