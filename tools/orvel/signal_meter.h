// Measures one signal as the report shows it: per channel the sample peak, the true peak and the
// samples at or beyond full scale; for the whole programme the integrated loudness and the loudness
// range (ITU-R BS.1770 / EBU R 128 through libebur128).
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

namespace orvel {

struct ChannelFigures {
    double samplePeak = 0.0; // linear, 1.0 = full scale
    double truePeak = 0.0;   // linear
    std::int64_t fullScaleSamples = 0;
};

struct SignalFigures {
    std::vector<ChannelFigures> channels;
    double integratedLufs = 0.0; // -infinity for silence
    double loudnessRangeLu = 0.0;
};

class SignalMeter {
public:
    // Throws Error when libebur128 refuses the channel count or the rate.
    SignalMeter(int channels, int sampleRate);
    ~SignalMeter();
    SignalMeter(const SignalMeter&) = delete;
    SignalMeter& operator=(const SignalMeter&) = delete;

    void add(const double* interleaved, std::int64_t frames);
    SignalFigures figures() const;
    // The highest true peak of the frames given to the last add(), linear, over all channels.
    double lastTruePeak() const { return lastPeak; }
    // The loudness of the last 3 s (ITU-R BS.1771 short-term); -infinity in silence.
    double shortTermLufs() const;

    // The integrated loudness of several programmes measured as one, as an album is.
    static double combinedLoudness(const std::vector<const SignalMeter*>& meters);

private:
    struct Loudness; // libebur128's state
    std::unique_ptr<Loudness> loudness;
    std::vector<ChannelFigures> channels;
    double lastPeak = 0.0;
};

// 20 · log10 of an amplitude; -infinity for 0.
double toDecibels(double amplitude);

} // namespace orvel
