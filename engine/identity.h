// What the product calls itself, in every plug-in format.
#pragma once

namespace identity {
constexpr const char* kEffectName = "Orvel Zelmar";
constexpr const char* kVendor = "Orvel-soundworks";
constexpr const char* kProduct = "Full band precision limiter";
} // namespace identity
