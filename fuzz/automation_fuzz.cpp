// Parameter automation with any index and value (NaN, infinities, values far outside 0..1),
// sample-rate changes and resets, interleaved with blocks of either precision whose input may hold
// any bit pattern. After every step: getParameter answers the value as set, every derived value is
// finite and every choice inside its table, every output sample is finite and within ±1, and the
// editor's ten meter values are finite.
#include <fuzzer/FuzzedDataProvider.h>

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>

#include "fuzz/fuzz_support.h"
#include "host/plugin.h"

using fuzzing::check;

namespace {

constexpr int kMaxFrames = 1024;
constexpr int kMaxSamplesPerInput = 1 << 13;

void checkEngine(const LimiterCore& p) {
    const double values[] = {p.outputGain(),       p.driveGain(),       p.transientAmount(),
                             p.releaseTime(),      p.linkAmount(),      p.levellerLevel(),
                             p.powerGain(),        p.rampCoefficient(), p.fadeCoefficient(),
                             p.levelCoefficient(), p.rmsCoefficient(),  p.fs()};
    for (double v : values)
        check(std::isfinite(v));
    for (int k = 0; k < LimiterCore::kFollowerStages; ++k) {
        check(p.attackCoefficient(k) > 0.0 && p.attackCoefficient(k) <= 1.0);
        check(p.releaseCoefficient(k) > 0.0 && p.releaseCoefficient(k) <= 1.0);
    }
    for (int i = 0; i < engine::kNumParameters; ++i) {
        const int n = engine::kParameters[i].choices;
        if (n > 0) check(p.choice(i) >= 0 && p.choice(i) < n);
        char text[64];
        std::memset(text, 0x5A, sizeof(text));
        p.getParameterDisplay(i, text);
        check(std::memchr(text, 0, 14) != nullptr);
    }
    check(p.wordLength() == 8 || p.wordLength() == 16 || p.wordLength() == 24);
    check(p.latency() == 159 || p.latency() == 287 || p.latency() == 543);
}

void checkMeters(Plugin& p) {
    float v[10];
    p.getMeterValues(v[0], v[1], v[2], v[3], v[4], v[5], v[6], v[7], v[8], v[9]);
    for (float x : v)
        check(std::isfinite(x) && x >= 0.0f);
}

float anyValue(FuzzedDataProvider& in) {
    switch (in.ConsumeIntegralInRange<int>(0, 3)) {
    case 0:
        return fuzzing::floatFromBits(in.ConsumeIntegral<std::uint32_t>());
    case 1:
        return in.ConsumeFloatingPoint<float>();
    default:
        return in.ConsumeFloatingPointInRange<float>(0.0f, 1.0f);
    }
}

template <class T> void process(Plugin& p, FuzzedDataProvider& in, int& samples) {
    const int frames = in.ConsumeIntegralInRange<int>(1, kMaxFrames);
    samples += frames;
    static fuzzing::Block<T> block;
    block.prepare(frames);
    const int source = in.ConsumeIntegralInRange<int>(0, 3);
    const double level = in.ConsumeFloatingPointInRange<double>(0.0, 16.0);
    for (int c = 0; c < 2; ++c) {
        for (int i = 0; i < frames; ++i) {
            T x;
            if (source == 0 && in.remaining_bytes() >= sizeof(T)) {
                // Any bit pattern the host's buffer may hold.
                if constexpr (sizeof(T) == sizeof(float))
                    x = fuzzing::floatFromBits(in.ConsumeIntegral<std::uint32_t>());
                else
                    x = fuzzing::doubleFromBits(in.ConsumeIntegral<std::uint64_t>());
            } else {
                x = static_cast<T>(level * std::sin(0.031 * i * (c + 1)) * (i % 300 < 150 ? 1.0 : 0.01));
            }
            block.in[c][std::size_t(i)] = x;
        }
    }
    T* inputs[2] = {block.in[0].data(), block.in[1].data()};
    T* outputs[2] = {block.out[0].data(), block.out[1].data()};
    if constexpr (sizeof(T) == sizeof(float))
        p.processReplacing(inputs, outputs, frames);
    else
        p.processDoubleReplacing(inputs, outputs, frames);
    block.checkOutput(frames);
    for (int i = 0; i < frames; ++i)
        check(block.out[0][std::size_t(i)] != fuzzing::Block<T>::kCanary);
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzzing::useEmptySettingsStore();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider in(data, size);
    fuzzing::pinAnswer = 0;
    auto plugin = std::make_unique<Plugin>(fuzzing::host);
    Plugin& p = *plugin;
    int samples = 0;
    while (in.remaining_bytes() > 0 && samples < kMaxSamplesPerInput) {
        switch (in.ConsumeIntegralInRange<int>(0, 9)) {
        case 0:
        case 1:
        case 2:
        case 3: {
            const int index = in.ConsumeIntegralInRange<int>(-1, 26);
            const float value = anyValue(in);
            p.setParameter(index, value);
            if (index >= 0 && index < engine::kNumLiveParameters)
                check(fuzzing::sameBits(p.getParameter(index), value));
            checkEngine(p.core());
            break;
        }
        case 4:
            p.setSampleRate(in.ConsumeBool() ? anyValue(in)
                                             : float(in.PickValueInArray(
                                                   {44100, 48000, 88200, 96000, 176400, 192000, 50000})));
            checkEngine(p.core());
            break;
        case 5:
            p.suspend();
            break;
        case 6:
            checkMeters(p);
            break;
        case 7:
            process<float>(p, in, samples);
            break;
        default:
            process<double>(p, in, samples);
            break;
        }
    }
    checkMeters(p);
    return 0;
}
