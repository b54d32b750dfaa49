#include "engine/window_max.h"

namespace {
struct Baseline {};
} // namespace

WindowMax::WindowMax() : segment(2 * kMaxLength), suffix(2 * (kMaxLength + 1)) {
    clear();
}

void WindowMax::setLength(int length) {
    size = length < 1 ? 1 : (length > kMaxLength ? kMaxLength : length);
    clear();
}

void WindowMax::clear() {
    segment.clear();
    suffix.clear();
    prefix = simd::Pair::splat(0.0);
    position = 0;
}

void WindowMax::push(double left, double right, double& maxLeft, double& maxRight) {
    Cursor<Baseline> cursor(*this);
    const simd::F2 m = cursor.push(simd::Pair::make(left, right));
    cursor.save(*this);
    maxLeft = m[0];
    maxRight = m[1];
}
