#include "engine/window_max.h"

#include <cstring>

namespace {
struct Baseline : simd::Sse2 {};
} // namespace

WindowMax::WindowMax() : store(2 * static_cast<std::size_t>(kLevels) * kStride) {
    clear();
}

void WindowMax::setLength(int length) {
    size = length < 1 ? 1 : (length > kMaxLength ? kMaxLength : length);
    levels = 32 - __builtin_clz(static_cast<unsigned>(size));
    clear();
}

void WindowMax::clear() {
    store.clear();
    position = 0;
}

void WindowMax::moveBack() {
    // Each level keeps the 2^j frames before the write position, and at least a vector's worth.
    for (int j = 0; j < levels; ++j) {
        const int keep = (1 << j) > 8 ? (1 << j) : 8;
        double* to = store.data() + 2 * (j * kStride + kMaxLength - keep);
        std::memmove(to, to + 2 * position, 2 * static_cast<std::size_t>(keep) * sizeof(double));
    }
    position = 0;
}

void WindowMax::push(double left, double right, double& maxLeft, double& maxRight) {
    double* in = input(1);
    in[0] = left;
    in[1] = right;
    run<Baseline>(1);
    const simd::F2 m = maxima(size).at<Baseline>(0);
    commit(1);
    maxLeft = m[0];
    maxRight = m[1];
}
