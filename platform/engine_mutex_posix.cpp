#include "platform/engine_mutex.h"

#include <pthread.h>

#include <cerrno>
#include <ctime>

namespace platform {

// A recursive POSIX mutex waited for with pthread_mutex_timedlock. (std::recursive_timed_mutex waits
// through pthread_mutex_clocklock, which ThreadSanitizer does not see, so that every later unlock
// looked like the release of a lock never taken.)
struct EngineMutex::Impl {
    pthread_mutex_t mutex;
};

EngineMutex::EngineMutex() : impl(std::make_unique<Impl>()) {
    pthread_mutexattr_t attributes;
    pthread_mutexattr_init(&attributes);
    pthread_mutexattr_settype(&attributes, PTHREAD_MUTEX_RECURSIVE);
    pthread_mutex_init(&impl->mutex, &attributes);
    pthread_mutexattr_destroy(&attributes);
}

EngineMutex::~EngineMutex() {
    pthread_mutex_destroy(&impl->mutex);
}

bool EngineMutex::acquire(unsigned timeoutMs) {
    timespec deadline;
    clock_gettime(CLOCK_REALTIME, &deadline);
    deadline.tv_sec += static_cast<time_t>(timeoutMs / 1000);
    deadline.tv_nsec += static_cast<long>(timeoutMs % 1000) * 1000000L;
    if (deadline.tv_nsec >= 1000000000L) {
        deadline.tv_sec += 1;
        deadline.tv_nsec -= 1000000000L;
    }
    int result;
    do {
        result = pthread_mutex_timedlock(&impl->mutex, &deadline);
    } while (result == EINTR);
    return result == 0;
}

void EngineMutex::release() {
    pthread_mutex_unlock(&impl->mutex);
}

} // namespace platform
