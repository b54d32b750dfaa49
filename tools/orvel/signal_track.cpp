#include "tools/orvel/signal_track.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace orvel {

namespace {

constexpr double kBinSeconds = 0.005;
constexpr double kSignalFloorDb = -60.0;

} // namespace

SignalTrack::SignalTrack(int channels, int sampleRate, bool shortTerm)
    : level(channels, sampleRate), channelCount(channels), rate(sampleRate),
      framesPerBin(std::max(1, int(std::lround(sampleRate * kBinSeconds)))), withShortTerm(shortTerm) {}

void SignalTrack::add(const double* interleaved, std::int64_t frames) {
    while (frames > 0) {
        const std::int64_t room = framesPerBin - inCurrent;
        const std::int64_t take = std::min(room, frames);
        addWithinBin(interleaved, take);
        interleaved += take * channelCount;
        frames -= take;
        if (inCurrent == framesPerBin) closeBin();
    }
}

void SignalTrack::addWithinBin(const double* interleaved, std::int64_t frames) {
    level.add(interleaved, frames);
    const std::size_t n = std::size_t(frames) * std::size_t(channelCount);
    if (inCurrent == 0) current = TrackBin{};
    for (std::size_t i = 0; i < n; ++i) {
        const float v = float(interleaved[i]);
        current.low = std::min(current.low, v);
        current.high = std::max(current.high, v);
    }
    current.truePeak = std::max(current.truePeak, float(level.lastTruePeak()));
    inCurrent += frames;
}

void SignalTrack::closeBin() {
    binList.push_back(current);
    inCurrent = 0;
    if (withShortTerm && binList.size() % kShortTermBins == 0)
        shortTermList.push_back(float(level.shortTermLufs()));
}

void SignalTrack::finish() {
    if (inCurrent > 0) closeBin();
}

std::vector<float> gainChangeDb(const SignalTrack& input, const SignalTrack& output) {
    const auto& in = input.bins();
    const auto& out = output.bins();
    const double floor = std::pow(10.0, kSignalFloorDb / 20.0);
    std::vector<float> change(std::min(in.size(), out.size()), std::numeric_limits<float>::quiet_NaN());
    for (std::size_t i = 0; i < change.size(); ++i) {
        const double a = in[i].peak(), b = out[i].peak();
        if (a >= floor && b > 0.0) change[i] = float(20.0 * std::log10(b / a));
    }
    return change;
}

GainReduction gainReduction(const std::vector<float>& gainChange, double staticGainDb) {
    GainReduction r;
    std::size_t counted = 0, above = 0;
    double sum = 0.0;
    for (float g : gainChange) {
        if (std::isnan(g)) continue;
        const double reduction = std::max(0.0, staticGainDb - double(g));
        r.maximumDb = std::max(r.maximumDb, reduction);
        sum += reduction;
        ++counted;
        if (reduction > 1.0) ++above;
    }
    if (counted) {
        r.meanDb = sum / double(counted);
        r.shareAbove1Db = double(above) / double(counted);
    }
    return r;
}

} // namespace orvel
