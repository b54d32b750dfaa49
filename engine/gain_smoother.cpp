#include "engine/gain_smoother.h"

#include <cmath>
#include <numbers>

GainSmoother::GainSmoother()
    : taps(kMaxKernel), spectrum(2 * kMaxKernel), blockL(2 * kMaxKernel), blockR(2 * kMaxKernel),
      tailL(kMaxKernel), tailR(kMaxKernel), inputs(kMaxDelay + 2 * kMaxDirect, 1024),
      pending(2 * (FrameHistory::kMaxBlock + FrameHistory::kScratch)), envelope(kMaxDelay, 1024) {
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
    clear();
}

void GainSmoother::clear() {
    blockL.clear();
    blockR.clear();
    tailL.clear();
    tailR.clear();
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

void GainSmoother::runTransformed(const double* u, double* p, int n) {
    double* left = blockL.data();
    double* right = blockR.data();
    double* e = envelope.reserve(n);
    for (int i = 0; i < n; ++i) {
        left[2 * slot] = u[2 * i];
        right[2 * slot] = u[2 * i + 1];
        if (++slot >= length) {
            convolve(left);
            convolve(right);
            slot = 0;
        }
        e[2 * i] = left[2 * slot] + tailL[slot];
        e[2 * i + 1] = right[2 * slot] + tailR[slot];
        tailL[slot] = left[2 * slot + 1];
        tailR[slot] = right[2 * slot + 1];
        left[2 * slot + 1] = 0.0;
        right[2 * slot + 1] = 0.0;
    }
    const double* delayed = e - 2 * delay;
    for (int i = 0; i < 2 * n; ++i)
        p[i] = delayed[i];
    envelope.commit(n);
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
