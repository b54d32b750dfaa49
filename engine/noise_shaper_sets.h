// The noise-shaping filters of the requantizer: 12 error-feedback taps per set, one set per shape
// ("type A", "type B", "type C") and standard sample rate, and set 0 with all taps zero (no shaping).
#pragma once

namespace noise_shaper {

constexpr int kTaps = 12;
constexpr int kRates = 6;
constexpr int kTypes = 3;
constexpr int kSets = 1 + kTypes * kRates;
constexpr int kNone = 0;

// Sample rates with tables, in row order.
extern const int kRatesHz[kRates];

// Taps w[0 .. 11] of set `index` (0 .. kSets − 1).
const double* taps(int index);

// The set for a "NoiseShape" choice (0 off, 1 .. 3 type A .. C) at an integer sample rate. "off"
// always selects set 0; a type at a rate without tables keeps `current`.
int select(int choice, int sampleRate, int current);

} // namespace noise_shaper
