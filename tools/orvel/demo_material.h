// Deterministic programme-like material for `orvel demo`: two bars of pad, then bass and hi-hats,
// then a full groove of kick, snare, hats, bass and pad, a breakdown and a last chorus; stereo,
// peaking at -1 dBFS. The same samples on every run and machine that follows IEEE double arithmetic.
#pragma once

#include <vector>

namespace orvel {

inline constexpr int kDemoSampleRate = 44100;
inline constexpr double kDemoSeconds = 30.0;

// Interleaved stereo frames.
std::vector<double> makeDemoMaterial(int sampleRate = kDemoSampleRate, double seconds = kDemoSeconds);

} // namespace orvel
