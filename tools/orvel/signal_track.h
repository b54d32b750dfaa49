// A signal over time, fine enough for a picture and for the gain-change figures: per bin of 5 ms the
// lowest and the highest sample and the highest true peak; every 100 ms, when asked for, the
// short-term loudness. The figures of the whole signal come from the same meter.
#pragma once

#include <cstdint>
#include <vector>

#include "tools/orvel/signal_meter.h"

namespace orvel {

struct TrackBin {
    float low = 0.0f, high = 0.0f; // lowest and highest sample over all channels
    float truePeak = 0.0f;         // linear
    float peak() const { return high > -low ? high : -low; }
};

class SignalTrack {
public:
    SignalTrack(int channels, int sampleRate, bool withShortTerm);

    void add(const double* interleaved, std::int64_t frames);
    // Closes the bin the last frames fell into.
    void finish();

    SignalFigures figures() const { return level.figures(); }
    const SignalMeter& meter() const { return level; }
    const std::vector<TrackBin>& bins() const { return binList; }
    // Short-term loudness in LUFS, one value per kShortTermBins bins (-infinity in silence); empty
    // unless asked for.
    const std::vector<float>& shortTerm() const { return shortTermList; }
    int binFrames() const { return framesPerBin; }
    int sampleRate() const { return rate; }

    static constexpr int kShortTermBins = 20;

private:
    void addWithinBin(const double* interleaved, std::int64_t frames);
    void closeBin();

    SignalMeter level;
    int channelCount, rate, framesPerBin;
    bool withShortTerm;
    std::vector<TrackBin> binList;
    std::vector<float> shortTermList;
    TrackBin current;
    std::int64_t inCurrent = 0;
};

// The level of the output against the input, bin by bin, in dB: NaN where the input is below
// -60 dBFS, where the ratio says more about noise than about gain.
std::vector<float> gainChangeDb(const SignalTrack& input, const SignalTrack& output);

struct GainReduction {
    double maximumDb = 0.0;     // the deepest reduction
    double meanDb = 0.0;        // over the time the input has signal
    double shareAbove1Db = 0.0; // of the time with signal, 0..1
};

// Reduction below the static gain (the gain the plug-in applies where it does not limit).
GainReduction gainReduction(const std::vector<float>& gainChange, double staticGainDb);

} // namespace orvel
