#include "engine/requantizer.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

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
    for (int n = 0; n < kHistory; ++n)
        errorsL[n] = errorsR[n] = 0.0;
    position = 0;
    fade = 1e-20;
}

namespace {

// Far beyond full scale (only reachable with "Power" off and a wild host signal) the value is held at
// half the 32-bit range: the conversion cannot overflow, and the error fed back stays a rounding error
// instead of growing without bound through the shaping filter. A NaN is held too.
double holdInRange(double v, double scale) {
    const double limit = 1073741824.0 / scale;
    if (!(v > -limit)) return -limit;
    return v > limit ? limit : v;
}

} // namespace

double Requantizer::quantize(double v, double scale) {
    const double u1 = noise.uniform();
    const double u2 = noise.uniform();
    const double dither = (u1 + u2) * 0.5;
    const auto steps = static_cast<std::int32_t>(dither + v * scale + scale);
    return (static_cast<double>(steps) - scale) / scale;
}

void Requantizer::process(double& left, double& right, double scale, bool autoblack) {
    if (restart) {
        restart = false;
        position = 0;
    }

    if (std::max(std::fabs(left), std::fabs(right)) > kSilence || !autoblack)
        fade = 1.0;
    else
        fade = fade - fade * fadeCoefficient;
    fade = fade + 1e-30;
    fade = fade - 1e-30;

    const double* w = noise_shaper::taps(selected);
    double shapeL = 0.0, shapeR = 0.0;
    for (int n = 0; n < kHistory; ++n) {
        int k = position - n;
        if (k < 0) k += kHistory;
        shapeL += w[n] * errorsL[k];
        shapeR += w[n] * errorsR[k];
    }
    if (++position >= kHistory) position = 0;

    const double vL = holdInRange(left + shapeL, scale);
    const double qL = quantize(vL, scale);
    errorsL[position] = qL - vL;
    left = qL * fade;

    const double vR = holdInRange(right + shapeR, scale);
    const double qR = quantize(vR, scale);
    errorsR[position] = qR - vR;
    right = qR * fade;
}
