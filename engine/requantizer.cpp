#include "engine/requantizer.h"

double Requantizer::scaleFor(int bitsChoice) {
    switch (bitsChoice) {
    case 0:
        return 128.0;
    case 2:
        return 8388608.0;
    default:
        return 32768.0;
    }
}

void Requantizer::reset() {
    for (double& e : errors)
        e = 0.0;
    position = 0;
    fade = 1e-20;
}

void Requantizer::beginBlock() {
    if (restart) {
        restart = false;
        position = 0;
    }
    const double* w = noise_shaper::taps(selected);
    taps = 0;
    for (int n = 0; n < kHistory; ++n) {
        tapWeight[n] = w[n];
        if (w[n] != 0.0) taps = n + 1;
    }
}

void Requantizer::process(double& left, double& right, double scale, bool autoblack) {
    beginBlock();
    const double in[2] = {left, right};
    double out[2];
    run<simd::Sse2>(in, out, 1, scale, autoblack);
    left = out[0];
    right = out[1];
}
