// Real-time discipline of the frame: no heap traffic while processing, and no data race between the
// audio thread, a parameter thread and a meter-polling thread (run under ThreadSanitizer in the
// sanitizer build; in the plain build the threads still exercise the hand-over).
#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <cstdlib>
#include <new>
#include <random>
#include <thread>
#include <vector>

#include "engine/limiter_frame.h"
#include "tests/engine/support/engine_fixtures.h"

namespace {

std::atomic<long> heapCalls{0};
thread_local bool counting = false;

void* allocate(std::size_t size, std::size_t alignment) {
    if (counting) heapCalls.fetch_add(1, std::memory_order_relaxed);
    // Room for the alignment and for the pointer that free needs.
    void* raw = std::malloc(size + alignment + sizeof(void*));
    if (!raw) throw std::bad_alloc();
    auto address = reinterpret_cast<std::uintptr_t>(raw) + sizeof(void*);
    address = (address + alignment - 1) & ~(static_cast<std::uintptr_t>(alignment) - 1);
    reinterpret_cast<void**>(address)[-1] = raw;
    return reinterpret_cast<void*>(address);
}

void release(void* p) noexcept {
    if (!p) return;
    if (counting) heapCalls.fetch_add(1, std::memory_order_relaxed);
    std::free(static_cast<void**>(p)[-1]);
}

} // namespace

void* operator new(std::size_t size) {
    return allocate(size, alignof(std::max_align_t));
}
void* operator new[](std::size_t size) {
    return allocate(size, alignof(std::max_align_t));
}
void* operator new(std::size_t size, std::align_val_t a) {
    return allocate(size, static_cast<std::size_t>(a));
}
void* operator new[](std::size_t size, std::align_val_t a) {
    return allocate(size, static_cast<std::size_t>(a));
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
void operator delete(void* p, std::align_val_t) noexcept {
    release(p);
}
void operator delete[](void* p, std::align_val_t) noexcept {
    release(p);
}
void operator delete(void* p, std::size_t, std::align_val_t) noexcept {
    release(p);
}
void operator delete[](void* p, std::size_t, std::align_val_t) noexcept {
    release(p);
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

} // namespace
