// Averaged power spectra of test signals (a plain radix-2 FFT with a Hann window), for the tests
// that look at noise shapes rather than sample values.
#pragma once

#include <vector>

namespace spectrum {

// Mean power per bin 0 .. size/2 of `signal`, over consecutive Hann-windowed frames of `size`
// samples (a power of two).
std::vector<double> averagePower(const std::vector<double>& signal, int size);

// Mean of the bins whose frequency (as a fraction of the sample rate) lies in [from, to).
double band(const std::vector<double>& power, double from, double to);

} // namespace spectrum
