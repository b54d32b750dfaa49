#include "lv2/port_link.h"

#include <algorithm>

#include "editor/editor.h"
#include "lv2/ports.h"
#include "presets/factory_presets.h"

using namespace engine;

namespace lv2port {

namespace {

// The control port of a parameter, or null for the four that exist only in the VST 2.4 record.
const PortInfo* portOf(int index) {
    return index >= 0 && index < kNumLiveParameters ? &port(controlPortOf(index)) : nullptr;
}

} // namespace

PortLink::PortLink(Host& host) : host(host) {
    // What a new plug-in instance holds: its ports' defaults.
    for (int i = 0; i < kNumParameters; ++i) {
        const PortInfo* info = portOf(i);
        values[i] = info ? toNormalized(*info, defaultValue(*info)) : presets::kFactoryPresets[0].values[i];
    }
    values[kResvdVid] = kCurrentLayoutMarker;
    std::copy(std::begin(values), std::end(values), std::begin(given));
    meters.grL = meters.grR = 1.0f;
}

float PortLink::throughPort(int index, float normalized) {
    const PortInfo* info = portOf(index);
    return info ? toNormalized(*info, toPortValue(*info, normalized)) : normalized;
}

bool PortLink::atFactorySettings() const {
    for (int i = 0; i < kNumLiveParameters; ++i) {
        const PortInfo& info = *portOf(i);
        if (values[i] != toNormalized(info, defaultValue(info))) return false;
    }
    return true;
}

float PortLink::getParameter(int index) {
    if (index == kResvdVid) return kCurrentLayoutMarker;
    return index >= 0 && index < kNumParameters ? values[index] : 0.0f;
}

void PortLink::automate(int index, float value) {
    change(index, value);
}

void PortLink::change(int index, float value) {
    if (index < 0 || index >= kNumParameters) return;
    if (index == kResvdVid) {
        // Values of the older layout, applied in index order before this marker: convert them as
        // the plug-in would, each change a port write of its own.
        if (step(clampNormalized(value), 100) == 0) {
            ParameterChange changes[kLegacyLayoutChanges];
            legacyLayoutChanges(given[kBits], given[kScale], changes);
            for (const ParameterChange& c : changes)
                change(c.index, c.value);
        }
        slots.mirror(index, value);
        return;
    }
    given[index] = value;
    const float held = throughPort(index, value);
    // A port is written only when the plug-in's value changes: applying a slot that holds the
    // settings already (as every bank load does first) leaves the host's session untouched.
    const bool changed = held != values[index];
    values[index] = held;
    if (const PortInfo* info = portOf(index); info && changed)
        host.writePort(controlPortOf(index), toPortValue(*info, value));
    // The slots keep the value as given, as the VST 2.4 plug-in's do, so that a preset saved here
    // is the same file.
    slots.mirror(index, value);
    show(index);
}

void PortLink::show(int index) {
    if (editor) editor->setParameter(index, values[index]);
}

void PortLink::beginEdit(std::int32_t index) {
    if (index < 0 || index >= kNumParameters) return;
    ++gestures[index];
    touch(index, true);
}

void PortLink::endEdit(std::int32_t index) {
    if (index < 0 || index >= kNumParameters) return;
    if (gestures[index] > 0) --gestures[index];
    touch(index, false);
}

void PortLink::touch(int index, bool grabbed) {
    if (portOf(index)) host.touchPort(controlPortOf(index), grabbed);
}

void PortLink::portEvent(std::uint32_t index, float value) {
    if (index >= kNumPorts) return;
    const PortInfo& info = port(index);
    if (info.kind != Kind::Control) return;
    if (info.direction == Direction::Output) {
        meterEvent(index, value);
        return;
    }
    const float normalized = toNormalized(info, value);
    // The host's echo of our own write changes nothing.
    if (normalized == values[info.parameter] || gestures[info.parameter] > 0) return;
    values[info.parameter] = given[info.parameter] = normalized;
    slots.mirror(info.parameter, normalized);
    show(info.parameter);
}

namespace {

// How a meter output's notification enters the values the editor polls: peaks and reductions keep
// the most extreme since the last poll, RMS levels the latest.
enum class MeterKind { Peak, Reduction, Rms };
struct MeterPort {
    Port port;
    float editor::MeterValues::*value;
    MeterKind kind;
};
constexpr MeterPort kMeterPorts[] = {
    {kInPeakLeft, &editor::MeterValues::inPeakL, MeterKind::Peak},
    {kInPeakRight, &editor::MeterValues::inPeakR, MeterKind::Peak},
    {kOutPeakLeft, &editor::MeterValues::outPeakL, MeterKind::Peak},
    {kOutPeakRight, &editor::MeterValues::outPeakR, MeterKind::Peak},
    {kGainReductionLeft, &editor::MeterValues::grL, MeterKind::Reduction},
    {kGainReductionRight, &editor::MeterValues::grR, MeterKind::Reduction},
    {kInRmsLeft, &editor::MeterValues::inRmsL, MeterKind::Rms},
    {kInRmsRight, &editor::MeterValues::inRmsR, MeterKind::Rms},
    {kOutRmsLeft, &editor::MeterValues::outRmsL, MeterKind::Rms},
    {kOutRmsRight, &editor::MeterValues::outRmsR, MeterKind::Rms},
};

} // namespace

void PortLink::meterEvent(std::uint32_t index, float value) {
    if (index == kLatency) {
        if (editor && value >= 0.0f && value < 1e6f) editor->setLatency(int(value));
        return;
    }
    for (const MeterPort& m : kMeterPorts) {
        if (m.port != index) continue;
        float& into = meters.*m.value;
        switch (m.kind) {
        case MeterKind::Peak:
            into = std::max(into, linearOfDecibels(value));
            break;
        case MeterKind::Reduction:
            into = std::min(into, gainOfReduction(value));
            break;
        case MeterKind::Rms:
            into = linearOfDecibels(value);
            break;
        }
        metersHeard = true;
        return;
    }
}

bool PortLink::pollMeters(editor::MeterValues& v) {
    if (!metersHeard) return false;
    v = meters;
    // The next poll's peaks and reductions start afresh; the RMS levels stay until the next news.
    meters.inPeakL = meters.inPeakR = meters.outPeakL = meters.outPeakR = 0.0f;
    meters.grL = meters.grR = 1.0f;
    metersHeard = false;
    return true;
}

void PortLink::selectPreset(int index) {
    slots.select(index, [this](int i, float value) { change(i, value); });
}

void PortLink::renamePreset(const char* name) {
    slots.rename(name);
}

} // namespace lv2port
