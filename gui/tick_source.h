// The toolkit's clock: the millisecond tick count (32-bit, wrapping: take differences) and a short
// sleep. Tests replace it with a clock they drive.
#pragma once

#include <cstdint>

namespace gui {

class TickSource {
public:
    virtual ~TickSource() = default;
    virtual std::uint32_t now() = 0;
    virtual void sleep(std::uint32_t ms) = 0;
};

// nullptr restores the system clock. The source is not owned.
void setTickSource(TickSource* source);
std::uint32_t ticks();
void sleepTicks(std::uint32_t ms);

} // namespace gui
