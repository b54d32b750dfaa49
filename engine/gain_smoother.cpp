#include "engine/gain_smoother.h"

#include <cmath>
#include <numbers>

GainSmoother::GainSmoother()
    : taps(kMaxKernel), spectrum(2 * kMaxKernel), blockRe(2 * kMaxKernel), blockIm(2 * kMaxKernel),
      tail(2 * kMaxKernel), spectrumRe(2 * kMaxKernel), spectrumIm(2 * kMaxKernel),
      inputs(kMaxDelay + 2 * kMaxDirect, 4096),
      pending(2 * (FrameHistory::kMaxBlock + FrameHistory::kScratch)), envelope(kMaxDelay, 4096) {
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
    delay = delayLength < 1 ? 1 : (delayLength > kMaxDelay ? kMaxDelay : delayLength);

    taps.clear();
    buildKernel(length, taps.data());
    spectrum.clear();
    for (int i = 0; i < length; ++i)
        spectrum[2 * i] = taps[i];
    transform.forward(spectrum.data(), length);
    const double scale = 1.0 / length;
    for (int i = 0; i < 2 * length; ++i)
        spectrum[i] *= scale;
    for (int j = 0; j < length; ++j) {
        spectrumRe[2 * j] = spectrumRe[2 * j + 1] = spectrum[2 * j];
        spectrumIm[2 * j] = spectrumIm[2 * j + 1] = spectrum[2 * j + 1];
    }
    clear();
}

void GainSmoother::clear() {
    blockRe.clear();
    blockIm.clear();
    tail.clear();
    inputs.clear();
    envelope.clear();
    slot = 0;
}

void GainSmoother::push(double uL, double uR, double& pL, double& pR) {
    double* u = input(1);
    u[0] = uL;
    u[1] = uR;
    double p[4];
    run<simd::Sse2>(p, 1);
    pL = p[0];
    pR = p[1];
}
