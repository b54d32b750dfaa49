// The engine mutex: recursive for its owner, and every wait is bounded to 1000 ms. Callers proceed
// after a timed-out wait as if they held the lock; the guard remembers whether it really got the
// lock so that it never releases one it does not own.
#pragma once

#include <memory>

namespace platform {

class EngineMutex {
public:
    EngineMutex();
    ~EngineMutex();
    EngineMutex(const EngineMutex&) = delete;
    EngineMutex& operator=(const EngineMutex&) = delete;

    // Waits at most timeoutMs; true when the lock was obtained.
    bool acquire(unsigned timeoutMs = 1000);
    void release();

private:
    struct Impl;
    std::unique_ptr<Impl> impl;
};

class EngineLock {
public:
    explicit EngineLock(EngineMutex& mutex, unsigned timeoutMs = 1000)
        : mutex(mutex), held(mutex.acquire(timeoutMs)) {}
    ~EngineLock() {
        if (held) mutex.release();
    }
    EngineLock(const EngineLock&) = delete;
    EngineLock& operator=(const EngineLock&) = delete;
    bool acquired() const { return held; }

private:
    EngineMutex& mutex;
    bool held;
};

} // namespace platform
