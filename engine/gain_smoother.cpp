#include "engine/gain_smoother.h"

#include <cmath>
#include <numbers>

GainSmoother::GainSmoother()
    : taps(kMaxKernel), spectrum(2 * kMaxKernel), blockL(2 * kMaxKernel), blockR(2 * kMaxKernel),
      tailL(kMaxKernel), tailR(kMaxKernel), gainDelay(kMaxDelay) {
    setLengths(64, 2);
}

void GainSmoother::buildKernel(int kernelLength, double* out) {
    const double pi = std::numbers::pi;
    const double step = 2.0 * pi / (kernelLength - 1);
    double x = -pi;
    double sum = 0.0;
    for (int i = 0; i < kernelLength; ++i) {
        out[i] = x == 0.0 ? 1.0 : std::sin(x) / x;
        sum += out[i];
        x += step;
    }
    for (int i = 0; i < kernelLength; ++i)
        out[i] /= sum;
}

void GainSmoother::setLengths(int kernelLength, int delayLength) {
    int k = BlockTransform::kMinSlots;
    while (k < kernelLength && k < kMaxKernel)
        k <<= 1;
    length = k;
    gainDelay.setLength(delayLength);

    taps.clear();
    buildKernel(length, taps.data());
    spectrum.clear();
    for (int i = 0; i < length; ++i)
        spectrum[2 * i] = taps[i];
    transform.forward(spectrum.data(), length);
    const double scale = 1.0 / length;
    for (int i = 0; i < 2 * length; ++i)
        spectrum[i] *= scale;
    clear();
}

void GainSmoother::clear() {
    blockL.clear();
    blockR.clear();
    tailL.clear();
    tailR.clear();
    gainDelay.clear();
    slot = 0;
}

void GainSmoother::convolve(double* block) const {
    transform.forward(block, length);
    const double* h = spectrum.data();
    for (int j = 0; j < length; ++j) {
        const double re = block[2 * j], im = block[2 * j + 1];
        block[2 * j] = re * h[2 * j] - im * h[2 * j + 1];
        block[2 * j + 1] = re * h[2 * j + 1] + im * h[2 * j];
    }
    transform.inverse(block, length);
}
