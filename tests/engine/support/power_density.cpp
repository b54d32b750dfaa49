#include "tests/engine/support/power_density.h"

#include <cmath>
#include <complex>
#include <numbers>

namespace spectrum {

namespace {

void fft(std::vector<std::complex<double>>& a) {
    const std::size_t n = a.size();
    for (std::size_t i = 1, j = 0; i < n; ++i) {
        std::size_t bit = n >> 1;
        for (; j & bit; bit >>= 1)
            j ^= bit;
        j ^= bit;
        if (i < j) std::swap(a[i], a[j]);
    }
    for (std::size_t len = 2; len <= n; len <<= 1) {
        const double angle = -2.0 * std::numbers::pi / static_cast<double>(len);
        for (std::size_t i = 0; i < n; i += len)
            for (std::size_t k = 0; k < len / 2; ++k) {
                const std::complex<double> w = std::polar(1.0, angle * static_cast<double>(k));
                const std::complex<double> u = a[i + k], v = a[i + k + len / 2] * w;
                a[i + k] = u + v;
                a[i + k + len / 2] = u - v;
            }
    }
}

} // namespace

std::vector<double> averagePower(const std::vector<double>& signal, int size) {
    std::vector<double> power(size / 2 + 1, 0.0);
    int frames = 0;
    std::vector<std::complex<double>> buffer(size);
    for (std::size_t start = 0; start + size <= signal.size(); start += size, ++frames) {
        for (int i = 0; i < size; ++i) {
            const double window = 0.5 - 0.5 * std::cos(2.0 * std::numbers::pi * i / size);
            buffer[i] = signal[start + i] * window;
        }
        fft(buffer);
        for (int k = 0; k <= size / 2; ++k)
            power[k] += std::norm(buffer[k]);
    }
    if (frames > 0)
        for (double& p : power)
            p /= frames;
    return power;
}

double band(const std::vector<double>& power, double from, double to) {
    const int size = static_cast<int>(power.size() - 1) * 2;
    double sum = 0.0;
    int count = 0;
    for (std::size_t k = 0; k < power.size(); ++k) {
        const double f = static_cast<double>(k) / size;
        if (f >= from && f < to) {
            sum += power[k];
            ++count;
        }
    }
    return count ? sum / count : 0.0;
}

} // namespace spectrum
