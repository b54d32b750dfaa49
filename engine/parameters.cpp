#include "engine/parameters.h"

#include <cmath>
#include <cstdint>
#include <cstring>

namespace engine {

const ParameterInfo* parameterInfo(int index) {
    if (index < 0 || index >= kNumParameters) return nullptr;
    return &kParameters[index];
}

double outputGainFor(double x) {
    return std::pow(2.0, 2.0 * (x - 1.0));
}

double driveGainFor(double x) {
    return std::pow(2.0, 8.0 * (x - 0.5));
}

double transientAmountFor(double x) {
    const double scaled = x * 1.4142136;
    return scaled * scaled * 0.25;
}

double releaseTimeFor(double x) {
    return std::pow(10.0, 3.0 * std::pow(x, 0.82030212));
}

void formatNumber(float value, char* text) {
    // Hosts call setlocale, so no printf family here: the digits are our own.
    const double v = value;
    char* out = text;
    if (std::isnan(v)) {
        std::strcpy(text, "nan");
        return;
    }
    const bool negative = v < 0.0;
    if (negative) *out++ = '-';
    double magnitude = std::fabs(v);
    if (std::isinf(magnitude)) {
        std::strcpy(out, "oo");
        return;
    }
    // Displayed values stay far below this; larger ones keep a bounded text.
    constexpr double kLargest = 99999999.0;
    if (magnitude > kLargest) magnitude = kLargest;

    const double whole = std::floor(magnitude);
    std::uint64_t integer = std::uint64_t(whole);
    char digits[20];
    int count = 0;
    do {
        digits[count++] = char('0' + integer % 10);
        integer /= 10;
    } while (integer != 0);
    while (count > 0)
        *out++ = digits[--count];
    *out++ = '.';

    const int used = int(out - text);
    const int fractionDigits = used < 8 ? 8 - used : 0;
    // The fraction is truncated, not rounded: its digits come from the right of
    // (magnitude mod 1) * 10^digits by repeated mod 10 and division by 10.
    double scale = 1.0;
    for (int i = 0; i < fractionDigits; ++i)
        scale *= 10.0;
    std::uint64_t fraction = std::uint64_t(std::fmod(magnitude, 1.0) * scale);
    for (int i = fractionDigits - 1; i >= 0; --i) {
        out[i] = char('0' + fraction % 10);
        fraction /= 10;
    }
    out[fractionDigits] = 0;
}

void formatDecibels(double gain, char* text) {
    const float g = float(gain);
    if (g <= 0.0f) {
        std::strcpy(text, "-oo");
        return;
    }
    const float logarithm = std::log10(g);
    formatNumber(float(20.0 * double(logarithm)), text);
}

void formatAttShow(int mask, char* text) {
    char* out = text;
    if (mask & kAttShowFollowers) *out++ = '1';
    if (mask & kAttShowEnvelope) *out++ = '2';
    if (mask & kAttShowLeveller) *out++ = 'L';
    *out = 0;
}

void legacyLayoutChanges(float storedBits, float storedScale,
                         ParameterChange (&changes)[kLegacyLayoutChanges]) {
    const int bits = step(clampNormalized(storedBits), 4);
    const int scale = step(clampNormalized(storedScale), 4);
    const ParameterChange list[kLegacyLayoutChanges] = {
        {kAutoblack, centre(0, 2)},
        {kQuantize, centre(bits > 0 ? 1 : 0, 2)},
        {kBits, centre(bits > 0 ? bits - 1 : 1, 3)},
        {kAttShow, centre(7, 8)},
        {kAttZoom, centre(0, 2)},
        {kPostMeter, centre(1, 2)},
        {kMeterType, centre(scale > 0 ? 1 : 0, 2)},
        {kScale, centre(scale > 0 ? scale - 1 : 1, 3)},
    };
    for (int i = 0; i < kLegacyLayoutChanges; ++i)
        changes[i] = list[i];
}

} // namespace engine
