// Real-time discipline of the frame: no heap traffic while processing, and no data race between the
// audio thread, a parameter thread and a meter-polling thread (run under ThreadSanitizer in the
// sanitizer build; in the plain build the threads still exercise the hand-over).
#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <new>
#include <random>
#include <thread>
#include <vector>

#include "engine/limiter_core.h"
#include "engine/limiter_frame.h"
#include "engine/parameters.h"
#include "tests/engine/support/engine_fixtures.h"

namespace {

std::atomic<long> heapCalls{0};
thread_local bool counting = false;

void count() {
    if (counting) heapCalls.fetch_add(1, std::memory_order_relaxed);
}

void* allocate(std::size_t size) {
    count();
    void* p = std::malloc(size ? size : 1);
    if (!p) throw std::bad_alloc();
    return p;
}

void release(void* p) noexcept {
    if (!p) return;
    count();
    std::free(p);
}

// Over-aligned blocks keep the malloc pointer just below the aligned address.
void* allocateAligned(std::size_t size, std::align_val_t alignment) {
    const auto a = static_cast<std::uintptr_t>(alignment);
    void* raw = allocate(size + a + sizeof(void*));
    auto address = (reinterpret_cast<std::uintptr_t>(raw) + sizeof(void*) + a - 1) & ~(a - 1);
    reinterpret_cast<void**>(address)[-1] = raw;
    return reinterpret_cast<void*>(address);
}

void releaseAligned(void* p) noexcept {
    if (p) release(static_cast<void**>(p)[-1]);
}

template <class F> void* orNull(F f) noexcept {
    try {
        return f();
    } catch (...) {
        return nullptr;
    }
}

} // namespace

void* operator new(std::size_t size) {
    return allocate(size);
}
void* operator new[](std::size_t size) {
    return allocate(size);
}
void* operator new(std::size_t size, std::align_val_t a) {
    return allocateAligned(size, a);
}
void* operator new[](std::size_t size, std::align_val_t a) {
    return allocateAligned(size, a);
}
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    return orNull([&] { return allocate(size); });
}
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept {
    return orNull([&] { return allocate(size); });
}
void* operator new(std::size_t size, std::align_val_t a, const std::nothrow_t&) noexcept {
    return orNull([&] { return allocateAligned(size, a); });
}
void* operator new[](std::size_t size, std::align_val_t a, const std::nothrow_t&) noexcept {
    return orNull([&] { return allocateAligned(size, a); });
}
void operator delete(void* p) noexcept {
    release(p);
}
void operator delete[](void* p) noexcept {
    release(p);
}
void operator delete(void* p, std::size_t) noexcept {
    release(p);
}
void operator delete[](void* p, std::size_t) noexcept {
    release(p);
}
void operator delete(void* p, const std::nothrow_t&) noexcept {
    release(p);
}
void operator delete[](void* p, const std::nothrow_t&) noexcept {
    release(p);
}
void operator delete(void* p, std::align_val_t) noexcept {
    releaseAligned(p);
}
void operator delete[](void* p, std::align_val_t) noexcept {
    releaseAligned(p);
}
void operator delete(void* p, std::size_t, std::align_val_t) noexcept {
    releaseAligned(p);
}
void operator delete[](void* p, std::size_t, std::align_val_t) noexcept {
    releaseAligned(p);
}
void operator delete(void* p, std::align_val_t, const std::nothrow_t&) noexcept {
    releaseAligned(p);
}
void operator delete[](void* p, std::align_val_t, const std::nothrow_t&) noexcept {
    releaseAligned(p);
}

namespace {

struct CountHeapCalls {
    CountHeapCalls() {
        heapCalls = 0;
        counting = true;
    }
    ~CountHeapCalls() { counting = false; }
    long calls() const { return heapCalls.load(); }
};

TEST(Realtime, TheCounterSeesHeapTraffic) {
    CountHeapCalls count;
    delete new int(1);
    { AlignedBuffer<double> buffer(8); }
    EXPECT_EQ(count.calls(), 4);
}

TEST(Realtime, ProcessingNeverTouchesTheHeap) {
    std::mt19937 rng(21);
    LimiterFrame frame;
    for (int rate : {44100, 192000}) {
        reference::Settings s = fixtures::randomSettings(rng);
        s.oversample = s.meterOversample = s.quantize = s.autoblack = s.secondOrder = true;
        s.noiseShape = 2;
        fixtures::prepare(frame, rate, 2, s);
        const fixtures::Stereo input = fixtures::programme(8192, rate, rng);
        std::vector<float> inL(input.left.begin(), input.left.end()),
            inR(input.right.begin(), input.right.end());
        std::vector<float> outL(8192), outR(8192);
        std::vector<double> dOutL(8192), dOutR(8192);
        float meters[10];

        long calls = 0;
        {
            CountHeapCalls count;
            frame.limit(inL.data(), inR.data(), outL.data(), outR.data(), 4096);
            frame.limit(input.left.data(), input.right.data(), dOutL.data(), dOutR.data(), 4096);
            frame.meters.poll(meters);
            frame.settings.calibrate = 2;
            frame.calibrate(outL.data(), outR.data(), 2048);
            frame.calibrate(dOutL.data(), static_cast<double*>(nullptr), 2048);
            frame.settings.calibrate = 0;
            frame.reset();
            frame.selectNoiseShaper(3);
            frame.limit(inL.data(), inL.data(), outL.data(), outL.data(), 1000);
            calls = count.calls();
        }
        EXPECT_EQ(calls, 0) << rate;
    }
}

TEST(Realtime, TheCoresProcessingCallsNeverTouchTheHeap) {
    LimiterCore core;
    LimiterCore::StereoPins pins;
    core.setSampleRate(96000.0f);
    for (int index : {engine::kOversample, engine::kMeterOvs, engine::kQuantize, engine::kAutoblack})
        core.setParameter(index, 1.0f);
    core.setParameter(engine::kNoiseShape, 0.9f);
    std::vector<float> l(2048), r(2048);
    std::vector<double> dl(2048), dr(2048);
    for (int n = 0; n < 2048; ++n)
        l[n] = r[n] = static_cast<float>(dl[n] = dr[n] = std::sin(n * 0.03));
    float* ins[2] = {l.data(), r.data()};
    float* outs[2] = {l.data(), r.data()};
    double* dins[2] = {dl.data(), dr.data()};
    double* douts[2] = {dl.data(), dr.data()};
    float m[10];

    long calls = 0;
    {
        CountHeapCalls count;
        core.process(ins, outs, 2048, pins);
        core.process(dins, douts, 2048, pins);
        core.pollMeters(m);
        core.setParameter(engine::kCalibrate, 0.6f);
        core.process(ins, outs, 2048, pins);
        core.process(dins, douts, 2048, pins);
        calls = count.calls();
    }
    EXPECT_EQ(calls, 0);
}

// Three threads as a host runs them: audio blocks, automation of every published value, meter polls.
TEST(Realtime, AutomationAndMeterPollsRunBesideTheAudioThread) {
    LimiterFrame frame;
    std::mt19937 rng(22);
    fixtures::prepare(frame, 48000, 1, fixtures::randomSettings(rng));
    std::atomic<bool> done{false};

    std::thread automation([&] {
        std::mt19937 local(23);
        reference::Settings previous = fixtures::neutralSettings();
        while (!done.load()) {
            reference::Settings next = fixtures::randomSettings(local);
            next.power = true;
            fixtures::apply(frame, next, &previous);
            frame.meters.clearDisplayedGain();
            previous = next;
        }
    });
    std::thread meters([&] {
        float values[10];
        while (!done.load()) {
            frame.meters.poll(values);
            for (float v : values)
                ASSERT_TRUE(std::isfinite(v));
        }
    });

    const fixtures::Stereo input = fixtures::programme(4800, 48000, rng);
    std::vector<double> l(4800), r(4800);
    for (int block = 0; block < 100; ++block) {
        frame.limit(input.left.data(), input.right.data(), l.data(), r.data(), 4800);
        for (int n = 0; n < 4800; ++n)
            ASSERT_LE(std::fabs(l[n]), 1.0);
    }
    done = true;
    automation.join();
    meters.join();
}

// The same through the core: automation of every parameter ("TransShape" included, which takes
// the engine mutex and resets), meter polls, and both processing calls.
TEST(Realtime, TheCoresThreadsShareNothingButAtomicsAndTheMutex) {
    LimiterCore core;
    LimiterCore::StereoPins pins;
    std::atomic<bool> done{false};

    std::thread automation([&] {
        std::mt19937 local(31);
        std::uniform_real_distribution<float> value(0.0f, 1.0f);
        while (!done.load()) {
            const int index = static_cast<int>(local() % engine::kNumLiveParameters);
            if (index == engine::kCalibrate || index == engine::kPower) continue;
            core.setParameter(index, value(local));
        }
    });
    std::thread meters([&] {
        float m[10];
        while (!done.load()) {
            core.pollMeters(m);
            for (float v : m)
                ASSERT_TRUE(std::isfinite(v));
        }
    });

    std::mt19937 rng(32);
    const fixtures::Stereo input = fixtures::programme(4096, 48000, rng);
    std::vector<float> l(input.left.begin(), input.left.end()), r(input.right.begin(), input.right.end());
    std::vector<double> dl = input.left, dr = input.right;
    for (int block = 0; block < 60; ++block) {
        std::vector<float> inL = l, inR = r;
        float* ins[2] = {inL.data(), inR.data()};
        core.process(ins, ins, 4096, pins);
        std::vector<double> dinL = dl, dinR = dr;
        double* dins[2] = {dinL.data(), dinR.data()};
        core.process(dins, dins, 4096, pins);
        for (int n = 0; n < 4096; ++n)
            ASSERT_LE(std::fabs(inL[n]), 1.0f);
    }
    done = true;
    automation.join();
    meters.join();
}

} // namespace
