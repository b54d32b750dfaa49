#include "platform/engine_mutex.h"

#include <windows.h>

namespace platform {

struct EngineMutex::Impl {
    HANDLE handle = nullptr;
};

EngineMutex::EngineMutex() : impl(std::make_unique<Impl>()) {
    impl->handle = CreateMutexA(nullptr, FALSE, nullptr);
}

EngineMutex::~EngineMutex() {
    if (impl->handle) CloseHandle(impl->handle);
}

bool EngineMutex::acquire(unsigned timeoutMs) {
    if (!impl->handle) return false;
    DWORD result = WaitForSingleObject(impl->handle, timeoutMs);
    // An abandoned mutex is owned by the caller all the same.
    return result == WAIT_OBJECT_0 || result == WAIT_ABANDONED;
}

void EngineMutex::release() {
    if (impl->handle) ReleaseMutex(impl->handle);
}

} // namespace platform
