// Speed of the whole signal path, measured through the plug-in's processing calls (engine mutex, pin
// queries and all) on programme-like material, in blocks of 1024 frames. Every case reports
// "ns_per_frame": CPU time inside the processing calls per stereo frame.
//
// Cases: the state after construction (factory slot 0), the same driven 6 dB into the limiter, each
// heavy feature alone, each "TransShape", the combination "Oversample" + "MeterOvs" + "Quantize"
// with "type C" shaping, and a long silence after loud material; at 44.1 and 192 kHz, in single
// precision, and for the main cases in double precision too.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdint>
#include <ctime>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "engine/parameters.h"
#include "host/plugin.h"
#include "platform/registry_sandbox.h"
#include "tools/orvel/demo_material.h"

namespace {

using engine::centre;

vst::VstIntPtr host(vst::AEffect*, vst::VstInt32 opcode, vst::VstInt32, vst::VstIntPtr, void*, float) {
    if (opcode == vst::audioMasterVersion) return 2400;
    return 0; // audioMasterPinConnected: 0 means connected
}

constexpr int kBlock = 1024;
constexpr double kMaterialSeconds = 20.0;

// Planar programme material, one copy per rate and sample type.
template <class T> struct Material {
    std::vector<T> left, right;
    explicit Material(int rate) {
        const std::vector<double> frames = orvel::makeDemoMaterial(rate, kMaterialSeconds);
        const std::size_t n = frames.size() / 2;
        left.resize(n);
        right.resize(n);
        for (std::size_t i = 0; i < n; ++i) {
            left[i] = static_cast<T>(frames[2 * i]);
            right[i] = static_cast<T>(frames[2 * i + 1]);
        }
    }
    std::size_t frames() const { return left.size(); }
};

template <class T> const Material<T>& material(int rate) {
    static const Material<T> m44(44100), m192(192000);
    return rate == 44100 ? m44 : m192;
}

struct Setting {
    int index;
    float value;
};

struct Case {
    std::string name;
    std::vector<Setting> settings; // over factory slot 0
    bool silenceAfterLoud = false;
};

const float kDrive6dB = 0.5f + 6.0206f / 48.164799f; // 2^(8 (x - 0.5)) = 2

std::vector<Case> cases() {
    using namespace engine;
    return {
        {"default", {}},
        {"default_drive6dB", {{kDrive, kDrive6dB}}},
        {"oversample", {{kOversample, centre(1, 2)}}},
        {"meterovs", {{kMeterOvs, centre(1, 2)}}},
        {"quantize16_typeC", {{kQuantize, centre(1, 2)}, {kNoiseShape, centre(3, 4)}}},
        {"order2", {{kDetectorOrder, centre(1, 2)}}},
        {"leveller", {{kLeveller, 0.5f}}},
        {"hard", {{kTransShape, centre(0, 3)}}},
        {"med", {{kTransShape, centre(1, 3)}}},
        {"soft", {{kTransShape, centre(2, 3)}}},
        {"ovs_meterovs_quantizeC",
         {{kOversample, centre(1, 2)},
          {kMeterOvs, centre(1, 2)},
          {kQuantize, centre(1, 2)},
          {kNoiseShape, centre(3, 4)}}},
        {"silence_after_loud", {{kDrive, 1.0f}}, true},
    };
}

struct Instance {
    platform::RegistrySandbox sandbox;
    std::unique_ptr<Plugin> plugin;
    Instance(int rate, const Case& c) : plugin(new Plugin(host)) {
        plugin->setSampleRate(static_cast<float>(rate));
        for (const Setting& s : c.settings)
            plugin->setParameter(s.index, s.value);
        plugin->suspend();
    }
};

template <class T> void process(Plugin& p, T** in, T** out, int frames) {
    if constexpr (std::is_same_v<T, float>)
        p.processReplacing(in, out, frames);
    else
        p.processDoubleReplacing(in, out, frames);
}

double threadSeconds() {
    timespec ts;
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) * 1e-9;
}

// Each iteration first lays the next kBatch blocks of material into the host's buffers, as a host
// renders its input before calling the plug-in, then times only the processing calls (thread CPU
// time), so that neither the copy nor the clock calls count.
constexpr int kBatch = 8;

template <class T> void runCase(benchmark::State& state, int rate, const Case& c) {
    Instance instance(rate, c);
    Plugin& plugin = *instance.plugin;
    const Material<T>& m = material<T>(rate);
    std::vector<T> inL(kBatch * kBlock), inR(kBatch * kBlock), outL(kBlock), outR(kBlock);
    T* out[2] = {outL.data(), outR.data()};

    if (c.silenceAfterLoud) {
        // Two seconds of material driven far into the limiter, then long enough a silence for every
        // decaying state to have fallen as far as it will.
        for (std::size_t start = 0; start + kBlock <= static_cast<std::size_t>(2 * rate); start += kBlock) {
            T* in[2] = {const_cast<T*>(m.left.data() + start), const_cast<T*>(m.right.data() + start)};
            process(plugin, in, out, kBlock);
        }
        T* in[2] = {inL.data(), inR.data()};
        for (std::int64_t n = 0; n < std::int64_t(rate) * 150; n += kBlock)
            process(plugin, in, out, kBlock);
    }

    std::size_t start = 0;
    std::int64_t frames = 0;
    double seconds = 0.0;
    for (auto _ : state) {
        if (!c.silenceAfterLoud) {
            if (start + kBatch * kBlock > m.frames()) start = 0;
            std::copy_n(m.left.data() + start, kBatch * kBlock, inL.data());
            std::copy_n(m.right.data() + start, kBatch * kBlock, inR.data());
            start += kBatch * kBlock;
        }
        const double begin = threadSeconds();
        for (int b = 0; b < kBatch; ++b) {
            T* in[2] = {inL.data() + b * kBlock, inR.data() + b * kBlock};
            process(plugin, in, out, kBlock);
        }
        const double spent = threadSeconds() - begin;
        state.SetIterationTime(spent);
        seconds += spent;
        benchmark::DoNotOptimize(outL.data());
        benchmark::DoNotOptimize(outR.data());
        frames += kBatch * kBlock;
    }
    state.counters["ns_per_frame"] = frames > 0 ? seconds * 1e9 / static_cast<double>(frames) : 0.0;
}

void registerAll() {
    const std::vector<std::string> withDouble = {"default", "ovs_meterovs_quantizeC"};
    for (const Case& c : cases()) {
        for (int rate : {44100, 192000}) {
            const std::string suffix = "/" + std::to_string(rate);
            benchmark::RegisterBenchmark((c.name + suffix + "/float").c_str(), [rate,
                                                                                c](benchmark::State& s) {
                runCase<float>(s, rate, c);
            })->Unit(benchmark::kMillisecond);
            bool both = false;
            for (const std::string& d : withDouble)
                both = both || d == c.name;
            if (both)
                benchmark::RegisterBenchmark((c.name + suffix + "/double").c_str(), [rate,
                                                                                     c](benchmark::State& s) {
                    runCase<double>(s, rate, c);
                })->Unit(benchmark::kMillisecond);
        }
    }
}

} // namespace

int main(int argc, char** argv) {
    registerAll();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
