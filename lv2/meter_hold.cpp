#include "lv2/meter_hold.h"

namespace lv2port {

namespace {
constexpr double kHoldSeconds = 0.05;
}

void MeterHold::setRate(double rate) {
    const double frames = rate * kHoldSeconds;
    windowFrames = frames >= 1.0 && frames < 1e7 ? std::uint32_t(frames) : 2205u;
    reset();
}

void MeterHold::reset() {
    for (int v = 0; v < MeterFeed::kValues; ++v)
        current[v] = completed[v] = quiet(v);
    framesInWindow = 0;
}

float MeterHold::extreme(int v, float a, float b) {
    // NaN never wins: a level that cannot be read shows as the other one.
    if (isGain(v)) return b < a ? b : a;
    return b > a ? b : a;
}

void MeterHold::add(const Values& polled, std::uint32_t frames) {
    for (int v = 0; v < MeterFeed::kValues; ++v)
        current[v] = isRms(v) ? polled[v] : extreme(v, current[v], polled[v]);
    framesInWindow += frames;
    if (framesInWindow < windowFrames) return;
    for (int v = 0; v < MeterFeed::kValues; ++v) {
        completed[v] = current[v];
        if (!isRms(v)) current[v] = quiet(v);
    }
    framesInWindow = 0;
}

float MeterHold::shown(int v) const {
    if (v < 0 || v >= MeterFeed::kValues) return 0.0f;
    return isRms(v) ? current[v] : extreme(v, completed[v], current[v]);
}

} // namespace lv2port
