#include "tools/orvel/signal_meter.h"

#include <ebur128.h>

#include <algorithm>
#include <cmath>
#include <limits>

#include "tools/orvel/errors.h"

namespace orvel {

struct SignalMeter::Loudness {
    ebur128_state* state = nullptr;
    ~Loudness() {
        if (state) ebur128_destroy(&state);
    }
};

SignalMeter::SignalMeter(int channelCount, int sampleRate)
    : loudness(std::make_unique<Loudness>()), channels(std::size_t(channelCount)) {
    ebur128_state*& state = loudness->state;
    state = ebur128_init(unsigned(channelCount), unsigned(sampleRate),
                         EBUR128_MODE_I | EBUR128_MODE_LRA | EBUR128_MODE_TRUE_PEAK);
    if (!state) throw Error("cannot measure loudness at " + std::to_string(sampleRate) + " Hz");
}

SignalMeter::~SignalMeter() = default;

void SignalMeter::add(const double* interleaved, std::int64_t frames) {
    lastPeak = 0.0;
    if (frames <= 0) return;
    const std::size_t n = channels.size();
    for (std::int64_t f = 0; f < frames; ++f) {
        for (std::size_t c = 0; c < n; ++c) {
            const double v = std::fabs(interleaved[std::size_t(f) * n + c]);
            ChannelFigures& ch = channels[c];
            ch.samplePeak = std::max(ch.samplePeak, v);
            lastPeak = std::max(lastPeak, v);
            if (v >= 1.0) ++ch.fullScaleSamples;
        }
    }
    if (ebur128_add_frames_double(loudness->state, interleaved, std::size_t(frames)) != EBUR128_SUCCESS)
        throw Error("loudness measurement failed");
    for (std::size_t c = 0; c < n; ++c) {
        double peak = 0.0;
        if (ebur128_prev_true_peak(loudness->state, unsigned(c), &peak) == EBUR128_SUCCESS)
            lastPeak = std::max(lastPeak, peak);
    }
}

SignalFigures SignalMeter::figures() const {
    SignalFigures out;
    out.channels = channels;
    for (std::size_t c = 0; c < channels.size(); ++c) {
        double truePeak = 0.0;
        ebur128_true_peak(loudness->state, unsigned(c), &truePeak);
        // The oversampled signal passes through the samples themselves: a true peak is never lower
        // than the sample peak, whatever the interpolator's ripple says.
        out.channels[c].truePeak = std::max(truePeak, channels[c].samplePeak);
    }
    if (ebur128_loudness_global(loudness->state, &out.integratedLufs) != EBUR128_SUCCESS)
        out.integratedLufs = -std::numeric_limits<double>::infinity();
    if (ebur128_loudness_range(loudness->state, &out.loudnessRangeLu) != EBUR128_SUCCESS)
        out.loudnessRangeLu = 0.0;
    return out;
}

double SignalMeter::shortTermLufs() const {
    double lufs = 0.0;
    if (ebur128_loudness_shortterm(loudness->state, &lufs) != EBUR128_SUCCESS)
        return -std::numeric_limits<double>::infinity();
    return lufs;
}

double SignalMeter::combinedLoudness(const std::vector<const SignalMeter*>& meters) {
    std::vector<ebur128_state*> states;
    for (const SignalMeter* m : meters)
        states.push_back(m->loudness->state);
    double lufs = 0.0;
    if (states.empty() ||
        ebur128_loudness_global_multiple(states.data(), states.size(), &lufs) != EBUR128_SUCCESS)
        return -std::numeric_limits<double>::infinity();
    return lufs;
}

double toDecibels(double amplitude) {
    if (!(amplitude > 0.0)) return -std::numeric_limits<double>::infinity();
    return 20.0 * std::log10(amplitude);
}

} // namespace orvel
