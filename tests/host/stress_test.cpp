// Several instances of the built plug-in at once, each with its own audio thread and automation thread
// and one shared user-interface thread, as a busy session drives them: blocks of 1 to 8192 samples in
// both precisions, with sample-rate changes, suspend and resume between blocks, automation with any
// value (also outside 0..1, NaN and infinities) while the audio runs, and input that now and then
// carries NaN, infinities and absurd levels. Every output sample must stay finite and within ±1, no
// write may leave the block, and afterwards each instance must process exactly as a fresh one with
// the same settings. Bounded: a short wall-clock budget, with a minimum of blocks per instance.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <bit>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <iomanip>
#include <limits>
#include <memory>
#include <random>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "tests/host/test_host.h"

using namespace vst;
using namespace testhost;

namespace {

// Thread-safe: records nothing, says every pin is connected.
VstIntPtr quietHost(AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void*, float) {
    return opcode == audioMasterVersion ? 2400 : 0;
}

constexpr int kNumParams = 26;
constexpr int kMaxBlock = 8192;
constexpr int kGuard = 16; // samples after each block that must stay untouched
constexpr auto kBudget = std::chrono::milliseconds(2500);
constexpr int kMinBlocks = 60;

// Any float a careless host might send, mostly sensible ones.
float anyValue(std::mt19937& rng) {
    static constexpr float kOdd[] = {std::numeric_limits<float>::quiet_NaN(),
                                     std::numeric_limits<float>::infinity(),
                                     -std::numeric_limits<float>::infinity(),
                                     -1.0f,
                                     2.0f,
                                     1e30f,
                                     -1e-30f,
                                     std::numeric_limits<float>::max()};
    if (rng() % 10 == 0) return kOdd[rng() % std::size(kOdd)];
    return std::uniform_real_distribution<float>(0.0f, 1.0f)(rng);
}

// Block lengths spread over every size class from 1 to 8192.
int blockLength(std::mt19937& rng) {
    const int bits = int(rng() % 14);
    return std::clamp(int(1u + (rng() & ((2u << bits) - 1))), 1, kMaxBlock);
}

float rateFor(std::mt19937& rng) {
    static constexpr float kRates[] = {44100.0f, 48000.0f, 88200.0f,  96000.0f, 176400.0f, 192000.0f,
                                       50000.0f, 4000.0f,  250000.0f, 44100.9f, 0.0f,      -1.0f};
    return kRates[rng() % std::size(kRates)];
}

struct Buffers {
    std::vector<double> inL, inR, outL, outR;
    std::vector<float> inLf, inRf, outLf, outRf;
    Buffers()
        : inL(kMaxBlock), inR(kMaxBlock), outL(kMaxBlock + kGuard), outR(kMaxBlock + kGuard), inLf(kMaxBlock),
          inRf(kMaxBlock), outLf(kMaxBlock + kGuard), outRf(kMaxBlock + kGuard) {}
};

// A guard value no output can take.
constexpr double kCanary = 12345.0;

struct Failure {
    std::atomic<bool> any{false};
    std::string what; // written once, by the first thread that fails
    std::atomic_flag claimed = ATOMIC_FLAG_INIT;
    void report(std::string message) {
        if (!claimed.test_and_set()) what = std::move(message);
        any = true;
    }
};

// One audio thread: blocks and, between them, the host's reconfigurations, until the deadline and
// at least kMinBlocks blocks, or until any thread fails.
void audioThread(AEffect* effect, unsigned seed, std::chrono::steady_clock::time_point deadline,
                 Failure& failure) {
    std::mt19937 rng(seed);
    std::normal_distribution<double> gauss(0.0, 0.5);
    Buffers b;
    int blocks = 0;
    double phase = 0.0;
    while (!failure.any && (blocks < kMinBlocks || std::chrono::steady_clock::now() < deadline)) {
        switch (rng() % 16) {
        case 0:
            effect->dispatcher(effect, effSetSampleRate, 0, 0, nullptr, rateFor(rng));
            break;
        case 1:
            effect->dispatcher(effect, effMainsChanged, 0, 0, nullptr, 0.0f);
            effect->dispatcher(effect, effMainsChanged, 0, 1, nullptr, 0.0f);
            break;
        case 2:
            effect->dispatcher(effect, effSetBlockSize, 0, VstIntPtr(blockLength(rng)), nullptr, 0.0f);
            break;
        default:
            break;
        }

        const int n = blockLength(rng);
        const bool single = rng() % 2 == 0;
        const double level = std::pow(10.0, std::uniform_real_distribution<double>(-3.0, 1.0)(rng));
        for (int i = 0; i < n; ++i) {
            phase += 0.01 + 0.002 * (blocks % 7);
            b.inL[i] = level * (std::sin(phase) + gauss(rng) * 0.2);
            b.inR[i] = level * (std::cos(phase * 1.3) + gauss(rng) * 0.2);
        }
        if (rng() % 8 == 0) {
            static constexpr double kBad[] = {std::numeric_limits<double>::quiet_NaN(),
                                              std::numeric_limits<double>::infinity(),
                                              -std::numeric_limits<double>::infinity(),
                                              1e300,
                                              -3e38,
                                              1e20};
            const int at = int(rng() % unsigned(n));
            const int length = std::min(n - at, 1 + int(rng() % 64));
            for (int i = at; i < at + length; ++i)
                (rng() % 2 ? b.inL : b.inR)[i] = kBad[rng() % std::size(kBad)];
        }

        if (single) {
            for (int i = 0; i < n; ++i) {
                b.inLf[i] = static_cast<float>(b.inL[i]);
                b.inRf[i] = static_cast<float>(b.inR[i]);
            }
            std::fill(b.outLf.begin(), b.outLf.begin() + n + kGuard, static_cast<float>(kCanary));
            std::fill(b.outRf.begin(), b.outRf.begin() + n + kGuard, static_cast<float>(kCanary));
            float* in[2] = {b.inLf.data(), b.inRf.data()};
            float* out[2] = {b.outLf.data(), b.outRf.data()};
            effect->processReplacing(effect, in, out, n);
        } else {
            std::fill(b.outL.begin(), b.outL.begin() + n + kGuard, kCanary);
            std::fill(b.outR.begin(), b.outR.begin() + n + kGuard, kCanary);
            double* in[2] = {b.inL.data(), b.inR.data()};
            double* out[2] = {b.outL.data(), b.outR.data()};
            effect->processDoubleReplacing(effect, in, out, n);
        }
        for (int c = 0; c < 2; ++c) {
            for (int i = 0; i < n + kGuard; ++i) {
                const double v = single ? (c ? b.outRf[i] : b.outLf[i]) : (c ? b.outR[i] : b.outL[i]);
                const bool inBlock = i < n;
                if (inBlock ? !(std::fabs(v) <= 1.0) : v != kCanary) {
                    std::ostringstream message;
                    message << std::setprecision(17) << "block " << blocks << " of " << n
                            << (single ? " floats" : " doubles") << ", channel " << c << ", sample " << i
                            << ": " << v;
                    failure.report(message.str());
                    return;
                }
            }
        }
        ++blocks;
    }
}

// One automation thread: parameter changes while the audio runs. The values it sets last are kept
// for the checks after the run.
void automationThread(AEffect* effect, unsigned seed, const std::atomic<bool>& stop,
                      std::array<float, kNumParams>& last) {
    std::mt19937 rng(seed);
    last.fill(0.0f);
    for (int i = 0; i < kNumParams; ++i)
        last[i] = effect->getParameter(effect, i);
    while (!stop) {
        const int index = rng() % 50 == 0 ? int(rng() % 40) - 5 : int(rng() % kNumParams);
        const float value = anyValue(rng);
        effect->setParameter(effect, index, value);
        if (index >= 0 && index < kNumParams) last[index] = value;
        // The older-layout marker converts "Bits", "Scale" and the metering settings.
        if (index == 25)
            for (int i = 0; i < 22; ++i)
                last[i] = effect->getParameter(effect, i);
        (void)effect->getParameter(effect, int(rng() % kNumParams));
        if (rng() % 64 == 0) std::this_thread::yield();
    }
}

// The user-interface thread: texts and program names of every instance while all of them run.
void interfaceThread(const std::vector<AEffect*>& effects, const std::atomic<bool>& stop, Failure& failure) {
    std::mt19937 rng(99);
    char text[300];
    while (!stop && !failure.any) {
        AEffect* effect = effects[rng() % effects.size()];
        static constexpr VstInt32 kTextOpcodes[] = {effGetParamDisplay, effGetParamName, effGetParamLabel,
                                                    effGetProgramNameIndexed, effGetProgramName};
        const VstInt32 opcode = kTextOpcodes[rng() % std::size(kTextOpcodes)];
        std::memset(text, 0x5A, sizeof(text));
        text[0] = 0; // what an opcode that writes nothing leaves
        effect->dispatcher(effect, opcode, int(rng() % 30) - 2, 0, text, 0.0f);
        if (text[256] != 0x5A || std::memchr(text, 0, 256) == nullptr) {
            failure.report("text opcode " + std::to_string(opcode) +
                           " wrote past 256 bytes or no terminator");
            return;
        }
        std::this_thread::sleep_for(std::chrono::microseconds(50));
    }
}

struct Instance {
    AEffect* effect = nullptr;
    std::array<float, kNumParams> last{};
};

// Sets an instance to a known setting through the same calls a host makes: the rate, then the 26
// values in index order, then a reset.
void settle(AEffect* effect, const std::array<float, kNumParams>& values) {
    effect->dispatcher(effect, effSetSampleRate, 0, 0, nullptr, 48000.0f);
    for (int i = 0; i < kNumParams; ++i)
        effect->setParameter(effect, i, values[i]);
    effect->dispatcher(effect, effMainsChanged, 0, 0, nullptr, 0.0f);
    effect->dispatcher(effect, effMainsChanged, 0, 1, nullptr, 0.0f);
}

std::vector<double> fixedBlock(AEffect* effect) {
    constexpr int n = 3000;
    std::vector<double> l(n), r(n), out(2 * n);
    for (int i = 0; i < n; ++i) {
        l[i] = 1.8 * std::sin(i * 0.013) * (i % 900 < 450 ? 1.0 : 0.05);
        r[i] = 0.9 * std::sin(i * 0.021 + 1.0);
    }
    double* in[2] = {l.data(), r.data()};
    double* o[2] = {out.data(), out.data() + n};
    effect->processDoubleReplacing(effect, in, o, n);
    return out;
}

TEST(Stress, ParallelInstancesUnderAutomationAndReconfiguration) {
    constexpr int kInstances = 3;
    std::vector<Instance> instances(kInstances);
    std::vector<AEffect*> effects;
    for (Instance& i : instances) {
        i.effect = library().instantiate(quietHost);
        ASSERT_NE(i.effect, nullptr);
        effects.push_back(i.effect);
    }

    Failure failure;
    std::atomic<bool> stop{false};
    const auto deadline = std::chrono::steady_clock::now() + kBudget;
    {
        std::vector<std::thread> audio, automation;
        for (int k = 0; k < kInstances; ++k) {
            Instance& inst = instances[k];
            automation.emplace_back(automationThread, inst.effect, 1000u + k, std::cref(stop),
                                    std::ref(inst.last));
            audio.emplace_back(audioThread, inst.effect, 2000u + k, deadline, std::ref(failure));
        }
        std::thread ui(interfaceThread, std::cref(effects), std::cref(stop), std::ref(failure));
        for (std::thread& t : audio)
            t.join();
        stop = true;
        for (std::thread& t : automation)
            t.join();
        ui.join();
    }
    ASSERT_FALSE(failure.any) << failure.what;

    for (Instance& inst : instances) {
        // getParameter answers the last value set, bit for bit (NaN included).
        for (int i = 0; i < 22; ++i)
            EXPECT_EQ(std::bit_cast<std::uint32_t>(inst.effect->getParameter(inst.effect, i)),
                      std::bit_cast<std::uint32_t>(inst.last[i]))
                << "parameter " << i;

        // Nothing the run left behind may change how the instance processes from a reset on.
        std::array<float, kNumParams> values = inst.last;
        values[12] = 0.0f; // "Calibrate" off, so that the comparison hears the limiter
        AEffect* fresh = library().instantiate(quietHost);
        ASSERT_NE(fresh, nullptr);
        settle(inst.effect, values);
        settle(fresh, values);
        EXPECT_EQ(fixedBlock(inst.effect), fixedBlock(fresh));
        fresh->dispatcher(fresh, effClose, 0, 0, nullptr, 0.0f);
    }
    for (Instance& inst : instances)
        inst.effect->dispatcher(inst.effect, effClose, 0, 0, nullptr, 0.0f);
}

} // namespace
