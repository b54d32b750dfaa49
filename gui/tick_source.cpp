#include "gui/tick_source.h"

#include <chrono>
#include <thread>

#include "platform/tick_count.h"

namespace gui {
namespace {

TickSource* installed = nullptr;

} // namespace

void setTickSource(TickSource* source) {
    installed = source;
}

std::uint32_t ticks() {
    return installed ? installed->now() : platform::tickCount();
}

void sleepTicks(std::uint32_t ms) {
    if (installed)
        installed->sleep(ms);
    else
        std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

} // namespace gui
