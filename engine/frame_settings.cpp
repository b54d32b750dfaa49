#include "engine/frame_settings.h"

#include <cmath>

int FrameRates::kernelFor(int shapeChoice, int shift) {
    const int base = shapeChoice <= 0 ? 8 : (shapeChoice == 1 ? 16 : 64);
    return base << shift;
}

FrameRates FrameRates::make(int sampleRate, int shapeChoice) {
    FrameRates r;
    r.sampleRate = sampleRate;
    r.fs = static_cast<double>(sampleRate);
    r.shift = shiftFor(r.fs);
    r.lookahead = 128 << r.shift;
    r.kernel = kernelFor(shapeChoice, r.shift);
    r.gainDelay = r.lookahead - 2 * r.kernel + 2;
    r.ramp = 1.0 - std::exp(-188.49555921538757 / r.fs);
    r.level = 1.0 - std::exp(-1000.0 / (r.fs * 1000.0));
    r.rms = 1.0 - std::pow(0.01, 1000.0 / (r.fs * 600.0));
    r.fade = 1.0 - std::exp(-1000.0 / (r.fs * 10.0));
    return r;
}
