#include "platform/engine_mutex.h"

#include <chrono>
#include <mutex>

namespace platform {

struct EngineMutex::Impl {
    std::recursive_timed_mutex mutex;
};

EngineMutex::EngineMutex() : impl(std::make_unique<Impl>()) {}
EngineMutex::~EngineMutex() = default;

bool EngineMutex::acquire(unsigned timeoutMs) {
    return impl->mutex.try_lock_for(std::chrono::milliseconds(timeoutMs));
}

void EngineMutex::release() { impl->mutex.unlock(); }

} // namespace platform
