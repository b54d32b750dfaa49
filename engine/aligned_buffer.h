// A fixed-size array on a cache-line (64-byte) boundary, allocated once by its owner's constructor and
// zeroed. Processing only reads and writes it; it never grows.
#pragma once

#include <cstddef>
#include <cstring>
#include <new>

template <class T> class AlignedBuffer {
public:
    static constexpr std::align_val_t kAlignment{64};

    explicit AlignedBuffer(std::size_t count)
        : items(static_cast<T*>(::operator new(count * sizeof(T), kAlignment))), count(count) {
        clear();
    }
    ~AlignedBuffer() { ::operator delete(items, kAlignment); }
    AlignedBuffer(const AlignedBuffer&) = delete;
    AlignedBuffer& operator=(const AlignedBuffer&) = delete;

    T* data() { return items; }
    const T* data() const { return items; }
    std::size_t size() const { return count; }
    T& operator[](std::size_t i) { return items[i]; }
    const T& operator[](std::size_t i) const { return items[i]; }
    void clear() { std::memset(static_cast<void*>(items), 0, count * sizeof(T)); }

private:
    T* items;
    std::size_t count;
};
