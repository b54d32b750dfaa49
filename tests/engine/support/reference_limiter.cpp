#include "tests/engine/support/reference_limiter.h"

#include <algorithm>
#include <cmath>

#include "engine/half_sample_interpolator.h"
#include "engine/noise_shaper_sets.h"

namespace reference {

namespace {

// A history value by absolute index; before the reset everything was 0.
double at(const std::vector<double>& history, long index) {
    return index < 0 ? 0.0 : history[index];
}

double clip(double v) {
    return (std::fabs(v + 1.0) - std::fabs(v - 1.0)) * 0.5;
}

double single(double v) {
    return static_cast<double>(static_cast<float>(v));
}

int shaperSetFor(int choice, int rate, int current) {
    if (choice == 0) return 0;
    for (int r = 0; r < noise_shaper::kRates; ++r)
        if (noise_shaper::kRatesHz[r] == rate) return 1 + (choice - 1) * noise_shaper::kRates + r;
    return current;
}

} // namespace

Limiter::Limiter(int sampleRate, int shape, const Settings& settings)
    : rate(sampleRate), fs(sampleRate), s(settings) {
    rampC = 1.0 - std::exp(-2.0 * 3.14159265358979323846 * 30.0 / fs);
    levelC = 1.0 - std::exp(-1000.0 / (fs * 1000.0));
    rmsC = 1.0 - std::pow(0.01, 1000.0 / (fs * 600.0));
    fadeC = 1.0 - std::exp(-1000.0 / (fs * 10.0));
    for (int k = 0; k < 8; ++k)
        attackC[k] = 1.0 - std::exp(-1000.0 / ((32.0 - k * 4.428571428571429) * fs));
    shaperSet = shaperSetFor(s.noiseShape, rate, 0);
    set(settings);
    changeShape(shape);
}

void Limiter::changeShape(int shape) {
    const int shift = fs < 80000 ? 0 : (fs < 170000 ? 1 : 2);
    W = 128 << shift;
    K = (shape == 0 ? 8 : shape == 1 ? 16 : 64) << shift;
    L = W - 2 * K + 2;
    // Main lobe of sin(x)/x from −π to π in K taps, normalized to sum 1.
    kernel.assign(K, 0.0);
    const double pi = 3.14159265358979323846;
    const double step = 2.0 * pi / (K - 1);
    double sum = 0, xk = -pi;
    for (int i = 0; i < K; ++i, xk += step) {
        kernel[i] = xk == 0.0 ? 1.0 : std::sin(xk) / xk;
        sum += kernel[i];
    }
    for (double& k : kernel)
        k /= sum;
    reset();
}

void Limiter::set(const Settings& settings) {
    if (settings.noiseShape != s.noiseShape) {
        shaperSet = shaperSetFor(settings.noiseShape, rate, shaperSet);
        j = 0;
    }
    s = settings;
    for (int k = 0; k < 8; ++k) {
        const double t = s.releaseMs - k * (s.releaseMs - 2.0) / 7.0;
        releaseC[k] = 1.0 - std::exp(-1000.0 / (t * fs));
    }
}

void Limiter::reset() {
    n = 0;
    drive = s.drive;
    output = s.output;
    average = 0.00001;
    for (int c = 0; c < 2; ++c) {
        x[c].clear(), y[c].clear(), m[c].clear(), u[c].clear(), e[c].clear(), o[c].clear();
        for (int k = 0; k < 8; ++k)
            f1[c][k] = f2[c][k] = 0.0;
        for (int k = 0; k < 12; ++k)
            errors[c][k] = 0.0;
        inPeak[c] = outPeak[c] = inMs[c] = outMs[c] = 0.0;
        gr[c] = 1.0;
    }
    g1 = 592, g2 = 153768, g3 = 1526;
    j = 0;
    fade = 1e-20;
    resetRequest = false;
}

double Limiter::uniform() {
    g1 = ((((g1 >> 9) ^ g1) >> 6) & 0x1FFF) ^ (g1 << 13);
    g2 = ((((g2 >> 2) ^ g2) >> 7) & 0xFFFFF) ^ (g2 << 20);
    g3 = ((((g3 >> 6) ^ g3) >> 8) & 0x1FFFF) ^ (g3 << 17);
    const std::uint32_t word = g1 ^ g2 ^ g3;
    return word * 2.3283064365e-10 * 2 - 1;
}

void Limiter::process(const double* inL, const double* inR, double* outL, double* outR, int frames) {
    blockMask = s.attShow;
    blockMeterGain = s.postMeter ? 1.0 : drive;
    blockScale = s.bits == 0 ? 128.0 : s.bits == 1 ? 32768.0 : 8388608.0;
    blockAutoOut = s.autoOut;
    for (int i = 0; i < frames; ++i)
        sample(inL[i], inR[i], outL[i], outR[i]);
}

void Limiter::sample(double xL, double xR, double& outL, double& outR) {
    const double* c = HalfSampleInterpolator::kCoefficients;
    const double in[2] = {xL, xR};

    drive = drive + (s.drive - drive) * rampC;
    drive = drive + 1e-30;
    drive = drive - 1e-30;
    const double outTarget = blockAutoOut ? 1.0 / s.drive : s.output;
    output = output + (outTarget - output) * rampC;
    output = output + 1e-30;
    output = output - 1e-30;

    // Leveller from the driven input.
    const double peak = std::max(std::fabs(xL * drive), std::fabs(xR * drive));
    const double level = std::max(peak - 0.00001, 0.0) + 0.00001;
    average = average + (level - average) * levelC;
    const double t = (s.leveller >= average || s.levellerBypassed) ? 1.0 : s.leveller / average;

    double dry[2], z[2], P[2], R[2];
    double D[2];
    for (int ch = 0; ch < 2; ++ch) {
        x[ch].push_back(in[ch]);
        y[ch].push_back(t * in[ch] * drive);
        dry[ch] = at(x[ch], n - W - 31);
        const double a = at(y[ch], n - 31);
        double d = a;
        if (s.oversample) {
            double between = 0;
            for (int k = 0; k < 32; ++k)
                between += c[k] * (at(y[ch], n - k) + at(y[ch], n - (63 - k)));
            d = (std::fabs(a) > std::fabs(between) ? a : between) * 1.001;
        }
        m[ch].push_back(std::max(std::fabs(d) - 0.00001, 0.0) + 0.00001);
        D[ch] = 0;
        for (long k = n - W + 1; k <= n; ++k)
            D[ch] = std::max(D[ch], at(m[ch], k));
        double shortMax = 0;
        for (long k = n - K + 1; k <= n; ++k)
            shortMax = std::max(shortMax, at(m[ch], k));
        u[ch].push_back(shortMax);
        double envelope = 0;
        for (int i = 0; i < K; ++i)
            envelope += kernel[i] * at(u[ch], n - K + 1 - i);
        e[ch].push_back(envelope);
        P[ch] = at(e[ch], n - L);
        z[ch] = at(y[ch], n - 31 - W);
    }

    const double M = std::max(D[0], D[1]);
    for (int ch = 0; ch < 2; ++ch) {
        const double linked = (1 - s.link) * D[ch] + s.link * M;
        R[ch] = 1;
        for (int k = 0; k < 8; ++k) {
            f1[ch][k] = f1[ch][k] + (linked - f1[ch][k]) * (linked >= f1[ch][k] ? attackC[k] : releaseC[k]);
            if (s.secondOrder)
                f2[ch][k] =
                    f2[ch][k] + (f1[ch][k] - f2[ch][k]) * (f1[ch][k] > f2[ch][k] ? attackC[k] : releaseC[k]);
            else
                f2[ch][k] = f1[ch][k];
            R[ch] = std::max(R[ch], f1[ch][k]);
        }
    }

    double out[2], g[2];
    const double S = s.transient;
    for (int ch = 0; ch < 2; ++ch) {
        if (s.power) {
            const double gain = S / std::max(P[ch], 1.0) + (1 - S) / std::max(P[ch], R[ch]);
            out[ch] = gain * z[ch] * output;
            const double Z = S + (1 - S) / R[ch];
            const double b1 = blockMask & 1 ? 1 : 0, b2 = blockMask & 2 ? 1 : 0, b4 = blockMask & 4 ? 1 : 0;
            g[ch] = (gain / Z * b2 + 1 - b2) * (Z * b1 + 1 - b1) * (t * b4 + 1 - b4);
        } else {
            out[ch] = dry[ch];
            g[ch] = 1;
        }
        o[ch].push_back(out[ch]);
    }

    if (resetRequest) {
        resetRequest = false;
        for (int ch = 0; ch < 2; ++ch)
            inPeak[ch] = outPeak[ch] = 0, gr[ch] = 1;
    }
    for (int ch = 0; ch < 2; ++ch) {
        const double v = dry[ch] * blockMeterGain;
        inPeak[ch] = std::max(inPeak[ch], single(std::fabs(v)));
        inMs[ch] = inMs[ch] + (v * v - inMs[ch]) * rmsC;
        gr[ch] = std::min(gr[ch], g[ch]);
        double metered = out[ch];
        if (s.meterOversample) {
            double between = 0;
            for (int k = 0; k < 32; ++k)
                between += c[k] * (at(o[ch], n - k) + at(o[ch], n - (63 - k)));
            metered = at(o[ch], n - 31);
            outPeak[ch] = std::max(outPeak[ch], std::fabs(between));
            outPeak[ch] = std::max(outPeak[ch], std::fabs(metered));
        } else {
            outPeak[ch] = std::max(outPeak[ch], single(std::fabs(out[ch])));
        }
        const float magnitude = static_cast<float>(std::fabs(metered));
        const float square = magnitude * magnitude;
        outMs[ch] = outMs[ch] + (square - outMs[ch]) * rmsC;
    }

    if (s.quantize) {
        if (std::max(std::fabs(out[0]), std::fabs(out[1])) > 1e-8 || !s.autoblack)
            fade = 1;
        else
            fade = fade - fade * fadeC;
        fade = fade + 1e-30 - 1e-30;
        const double* w = noise_shaper::taps(shaperSet);
        double shaped[2];
        for (int ch = 0; ch < 2; ++ch) {
            shaped[ch] = 0;
            for (int k = 0; k < 12; ++k)
                shaped[ch] += w[k] * errors[ch][(j - k + 12) % 12];
        }
        j = (j + 1) % 12;
        for (int ch = 0; ch < 2; ++ch)
            out[ch] = requantize(out[ch] + shaped[ch], errors[ch], ch);
    }

    outR = clip(out[1]);
    outL = clip(out[0]);
    ++n;
}

double Limiter::requantize(double v, double* err, int) {
    const double h = blockScale;
    const double u1 = uniform();
    const double u2 = uniform();
    const double d = (u1 + u2) * 0.5;
    const double q = (static_cast<std::int32_t>(d + v * h + h) - h) / h;
    err[j] = q - v;
    return q * fade;
}

std::array<float, 10> Limiter::poll() {
    std::array<float, 10> v;
    for (int ch = 0; ch < 2; ++ch) {
        v[0 + ch] = static_cast<float>(inPeak[ch]);
        v[2 + ch] = static_cast<float>(outPeak[ch]);
        v[4 + ch] = static_cast<float>(std::sqrt(2 * inMs[ch]));
        v[6 + ch] = static_cast<float>(std::sqrt(2 * outMs[ch]));
        v[8 + ch] = static_cast<float>(gr[ch]);
    }
    resetRequest = true;
    return v;
}

} // namespace reference
