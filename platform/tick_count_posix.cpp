#include "platform/tick_count.h"

#include <time.h>

namespace platform {

std::uint32_t tickCount() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return std::uint32_t(std::uint64_t(now.tv_sec) * 1000u + std::uint64_t(now.tv_nsec) / 1000000u);
}

} // namespace platform
