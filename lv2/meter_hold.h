// What the meter outputs show between the runs a host's display samples. A host reads output ports
// at its own pace (often 25 to 60 times a second), long after several runs wrote them, so a peak or
// a gain reduction that only one short run saw would mostly never reach the screen. Each is held for
// at least one window of 50 ms: a port shows the extreme of the last completed window and of the
// current one. The RMS values are smoothed levels already and show the latest. No allocation: this
// runs in the audio thread.
#pragma once

#include <cstdint>

#include "engine/meter_feed.h"

namespace lv2port {

class MeterHold {
public:
    // Peaks and RMS levels are linear, gains are the linear gains the reduction meters show.
    using Values = float[MeterFeed::kValues];

    void setRate(double rate);
    // No level, no reduction.
    void reset();
    // One run's meter poll, which covered frames frames.
    void add(const Values& polled, std::uint32_t frames);
    // What value v (MeterFeed's order) shows now.
    float shown(int v) const;

private:
    static bool isGain(int v) { return v == MeterFeed::kGainL || v == MeterFeed::kGainR; }
    static bool isRms(int v) { return v >= MeterFeed::kInRmsL && v <= MeterFeed::kOutRmsR; }
    static float quiet(int v) { return isGain(v) ? 1.0f : 0.0f; }
    // The more extreme of two values of v: the higher level, the lower gain.
    static float extreme(int v, float a, float b);

    Values current{};
    Values completed{};
    std::uint32_t windowFrames = 2205;
    std::uint32_t framesInWindow = 0;
};

} // namespace lv2port
