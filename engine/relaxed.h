// A scalar shared between the audio thread and the parameter or editor threads. Each access is a
// relaxed atomic load or store: a plain move on x86-64, but a defined one, so that a reader sees either
// the old or the new value and race checkers agree. Writers are single per value; nothing here is a
// read-modify-write.
#pragma once

#include <atomic>

template <class T> class Relaxed {
public:
    constexpr Relaxed(T initial = T{}) noexcept : value(initial) {}
    Relaxed(const Relaxed&) = delete;
    Relaxed& operator=(const Relaxed&) = delete;

    operator T() const noexcept { return value.load(std::memory_order_relaxed); }
    Relaxed& operator=(T v) noexcept {
        value.store(v, std::memory_order_relaxed);
        return *this;
    }
    T load() const noexcept { return value.load(std::memory_order_relaxed); }
    void store(T v) noexcept { value.store(v, std::memory_order_relaxed); }

private:
    static_assert(std::atomic<T>::is_always_lock_free);
    std::atomic<T> value;
};
