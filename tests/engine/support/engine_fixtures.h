// Shared pieces of the engine tests: random parameter sets, test programmes, block splits, and the
// hand-over of reference settings to the engine's frame.
#pragma once

#include <random>
#include <vector>

#include "engine/limiter_frame.h"
#include "tests/engine/support/reference_limiter.h"

namespace fixtures {

constexpr int kStandardRates[] = {44100, 48000, 88200, 96000, 176400, 192000};

// 0 dB drive and output, limiter idle on quiet material, nothing switched on beyond "Power".
reference::Settings neutralSettings();

// A frame at `sampleRate` and "TransShape" choice `shape`, set to `s` and reset.
void prepare(LimiterFrame& frame, int sampleRate, int shape, const reference::Settings& s);

// Derived values of random normalized parameter values (the mappings of the parameter table).
reference::Settings randomSettings(std::mt19937& rng);
// The same with only the continuous controls and switches that may change while running.
reference::Settings perturb(const reference::Settings& s, std::mt19937& rng);

// Writes settings into a frame running at `sampleRate`; the noise shaper is selected only when the
// choice differs from `previous` (or always when previous is null), as a parameter change would.
void apply(LimiterFrame& frame, const reference::Settings& s, const reference::Settings* previous);

struct Stereo {
    std::vector<double> left, right;
    int size() const { return static_cast<int>(left.size()); }
};

// Music-like test material: noise and sine bursts of changing level up to and beyond full scale,
// single impulses and stretches of silence; the channels partly correlated.
Stereo programme(int frames, double sampleRate, std::mt19937& rng);

// Block lengths that add up to `total`, each 1 .. maxBlock.
std::vector<int> randomSplit(int total, int maxBlock, std::mt19937& rng);

// Distance between two floats in units of the larger one's step.
double floatSteps(float a, float b);

} // namespace fixtures
