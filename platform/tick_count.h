#pragma once

#include <cstdint>

namespace platform {

// Milliseconds since an arbitrary start, wrapping at 32 bits: take differences in uint32_t.
std::uint32_t tickCount();

} // namespace platform
