#include "engine/stereo_delay.h"

StereoDelay::StereoDelay(int capacity)
    : store(2 * static_cast<std::size_t>(capacity)), capacity(capacity), size(capacity) {}

void StereoDelay::setLength(int length) {
    size = length < 1 ? 1 : (length > capacity ? capacity : length);
}

void StereoDelay::clear() {
    store.clear();
    position = 0;
}
