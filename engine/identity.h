#pragma once

#include "host/vst_abi.h"

namespace identity {
constexpr const char* kEffectName = "Orvel Zelmar";
constexpr const char* kVendor = "Orvel-soundworks";
constexpr const char* kProduct = "Full band precision limiter";
constexpr vst::VstInt32 kUniqueId = vst::fourCharCode('O', 'r', 'z', 'l');
} // namespace identity
