// Three xor-shift registers whose combined word gives uniform values in [−1, 1). The requantizer's
// dither and the calibration generator share one source; they never run in the same block.
#pragma once

#include <cstdint>

class NoiseSource {
public:
    void reset() {
        g1 = 592;
        g2 = 153768;
        g3 = 1526;
    }

    // Always inlined: the processing paths compiled for different instruction sets each keep their own.
    __attribute__((always_inline)) double uniform() {
        // ((((g >> a) ^ g) >> b) & m) ^ (g << c), with the shifts distributed over the xor: the same
        // value, one dependent step shorter.
        g1 = (((g1 >> 15) ^ (g1 >> 6)) & 0x1FFFu) ^ (g1 << 13);
        g2 = (((g2 >> 9) ^ (g2 >> 7)) & 0xFFFFFu) ^ (g2 << 20);
        g3 = (((g3 >> 14) ^ (g3 >> 8)) & 0x1FFFFu) ^ (g3 << 17);
        return static_cast<double>(g1 ^ g2 ^ g3) * 2.3283064365e-10 * 2.0 - 1.0;
    }

private:
    std::uint32_t g1 = 592, g2 = 153768, g3 = 1526;
};
