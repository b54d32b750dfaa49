// What the processing frame makes of a host's input sample before any stage reads it. A single NaN or
// infinity would otherwise stay for good in the leveller's average, the follower banks and the meters'
// mean squares, and a finite sample whose square overflows would do the same to the meters; from
// then on every output would be wrong. Such a sample counts as silence, and finite samples are held
// to ±1e6 (120 dB over full scale, beyond any real signal), so that every square stays finite.
// Real input passes through bit for bit.
#pragma once

#include <cmath>

namespace engine {

// Largest input magnitude the frame accepts [linear amplitude].
inline constexpr double kInputLimit = 1e6;

inline double guardInput(double x) {
    if (std::fabs(x) <= kInputLimit) return x;
    // NaN and ±∞ are not signals; finite excess keeps its sign.
    return std::isfinite(x) ? std::copysign(kInputLimit, x) : 0.0;
}

} // namespace engine
