// The LV2 descriptor: one instance of the limiter core per plug-in instance. Control inputs are read
// at the start of every run and handed to the core only when they changed; the latency and the
// meters (held for the host's display, lv2/meter_hold.h) are written at its end. The reset that activation
// asks for comes after the first run's controls, so that the programme starts at its settings (the gains at
// their targets) rather than ramping from the defaults, as after a VST 2.4 host's resume.
#include <lv2/core/lv2.h>

#include <cstdint>
#include <cstring>
#include <new>

#include "engine/limiter_core.h"
#include "lv2/identity.h"
#include "lv2/meter_hold.h"
#include "lv2/ports.h"
#include "platform/export.h"

namespace {

using namespace lv2port;

// Control ports of either direction.
constexpr std::uint32_t kNumControls = kNumPorts - kFirstControl;

class Instance {
public:
    explicit Instance(double rate) {
        core.setSampleRate(float(rate));
        meters.setRate(rate);
        // A control input the host leaves unconnected holds its default.
        for (std::uint32_t i = 0; i < kNumControls; ++i) {
            const PortInfo& info = port(kFirstControl + i);
            if (info.direction == Direction::Input) apply(i, defaultValue(info));
        }
    }

    void connect(std::uint32_t index, void* data) {
        if (index < kFirstControl)
            audio[index] = static_cast<float*>(data);
        else if (index < kNumPorts)
            controls[index - kFirstControl] = static_cast<float*>(data);
    }

    void activate() { resetPending = true; }

    void run(std::uint32_t frames) {
        applyControls();
        if (resetPending) {
            core.reset();
            meters.reset();
            resetPending = false;
        }
        Pins pins(*this);
        float* inputs[2] = {audio[kInLeft], audio[kInRight]};
        float* outputs[2] = {audio[kOutLeft], audio[kOutRight]};
        core.process(inputs, outputs, int(frames), pins);
        writeOutputs(frames);
    }

private:
    // The right pins are connected when the host has given them a buffer.
    class Pins final : public LimiterCore::Pins {
    public:
        explicit Pins(const Instance& instance) : instance(instance) {}
        bool rightOutputConnected() override { return instance.audio[kOutRight] != nullptr; }
        bool rightInputConnected() override { return instance.audio[kInRight] != nullptr; }

    private:
        const Instance& instance;
    };

    float* output(Port index) const { return controls[index - kFirstControl]; }

    void applyControls() {
        for (std::uint32_t i = 0; i < kNumControls; ++i) {
            const PortInfo& info = port(kFirstControl + i);
            if (info.direction != Direction::Input || !controls[i]) continue;
            const float value = *controls[i];
            // Bit for bit, so that a NaN the host keeps sending is applied once.
            if (std::memcmp(&value, &last[i], sizeof(value)) != 0) apply(i, value);
        }
    }

    void apply(std::uint32_t control, float value) {
        last[control] = value;
        core.setParameter(port(kFirstControl + control).parameter,
                          toNormalized(port(kFirstControl + control), value));
    }

    void writeOutputs(std::uint32_t frames) {
        if (float* latency = output(kLatency)) *latency = float(core.latency());
        MeterHold::Values polled;
        core.pollMeters(polled);
        meters.add(polled, frames);
        const struct {
            Port port;
            float value;
        } values[] = {
            {kInPeakLeft, peakDecibels(meters.shown(MeterFeed::kInPeakL))},
            {kInPeakRight, peakDecibels(meters.shown(MeterFeed::kInPeakR))},
            {kOutPeakLeft, peakDecibels(meters.shown(MeterFeed::kOutPeakL))},
            {kOutPeakRight, peakDecibels(meters.shown(MeterFeed::kOutPeakR))},
            {kGainReductionLeft, reductionDecibels(meters.shown(MeterFeed::kGainL))},
            {kGainReductionRight, reductionDecibels(meters.shown(MeterFeed::kGainR))},
            {kInRmsLeft, peakDecibels(meters.shown(MeterFeed::kInRmsL))},
            {kInRmsRight, peakDecibels(meters.shown(MeterFeed::kInRmsR))},
            {kOutRmsLeft, peakDecibels(meters.shown(MeterFeed::kOutRmsL))},
            {kOutRmsRight, peakDecibels(meters.shown(MeterFeed::kOutRmsR))},
        };
        for (const auto& v : values)
            if (float* out = output(v.port)) *out = v.value;
    }

    LimiterCore core;
    MeterHold meters;
    float* audio[kFirstControl] = {};
    float* controls[kNumControls] = {};
    float last[kNumControls] = {};
    bool resetPending = true;
};

LV2_Handle instantiate(const LV2_Descriptor*, double rate, const char*, const LV2_Feature* const*) {
    return new (std::nothrow) Instance(rate);
}

void connectPort(LV2_Handle instance, std::uint32_t port, void* data) {
    static_cast<Instance*>(instance)->connect(port, data);
}

void activate(LV2_Handle instance) {
    static_cast<Instance*>(instance)->activate();
}

void run(LV2_Handle instance, std::uint32_t frames) {
    static_cast<Instance*>(instance)->run(frames);
}

void deactivate(LV2_Handle) {}

void cleanup(LV2_Handle instance) {
    delete static_cast<Instance*>(instance);
}

const void* extensionData(const char*) {
    return nullptr;
}

const LV2_Descriptor kDescriptor = {
    lv2identity::kPluginUri, instantiate, connectPort, activate, run, deactivate, cleanup, extensionData,
};

} // namespace

extern "C" ORVEL_EXPORT const LV2_Descriptor* lv2_descriptor(std::uint32_t index) {
    return index == 0 ? &kDescriptor : nullptr;
}
