// Speed of single stages of the signal path, each over pieces of FrameHistory::kMaxBlock frames as
// the frame runs them, on the instruction set this unit is compiled for (AVX2 where the build allows):
// where the time of a whole frame goes. "ns_per_frame" is CPU time per stereo frame.
#include <benchmark/benchmark.h>

#include <cmath>
#include <random>
#include <vector>

#include "engine/follower_bank.h"
#include "engine/frame_history.h"
#include "engine/gain_smoother.h"
#include "engine/half_sample_interpolator.h"
#include "engine/noise_source.h"
#include "engine/peak_detector.h"
#include "engine/requantizer.h"
#include "engine/simd.h"

namespace {

#if defined(__AVX2__)
using Isa = simd::Avx2;
#else
using Isa = simd::Sse2;
#endif

constexpr int kPiece = FrameHistory::kMaxBlock;

// Frame pairs of noise-like programme at about -6 dBFS, repeating.
std::vector<double> signal(int frames) {
    std::mt19937 rng(7);
    std::normal_distribution<double> gauss(0.0, 0.2);
    std::vector<double> v(2 * static_cast<std::size_t>(frames) + 4);
    for (double& x : v)
        x = gauss(rng);
    return v;
}

void perFrame(benchmark::State& state) {
    state.counters["ns_per_frame"] =
        benchmark::Counter(static_cast<double>(state.iterations()) * kPiece * 1e-9,
                           benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

void detector(benchmark::State& state) {
    const bool oversample = state.range(0) != 0;
    const int lookahead = static_cast<int>(state.range(1)), kernel = static_cast<int>(state.range(2));
    PeakDetector d;
    d.setLengths(lookahead, kernel);
    const std::vector<double> y = signal(kPiece);
    std::vector<double> linked(2 * (kPiece + 2)), shortMax(2 * (kPiece + 2));
    for (auto _ : state) {
        double* in = d.input(kPiece);
        std::copy(y.begin(), y.begin() + 2 * kPiece, in);
        d.run<Isa>(kPiece, oversample, 1.0, linked.data(), shortMax.data());
        d.commit(kPiece);
        benchmark::DoNotOptimize(linked.data());
    }
    perFrame(state);
}
BENCHMARK(detector)->ArgNames({"ovs", "W", "K"})->Args({0, 128, 8})->Args({1, 128, 8})->Args({0, 512, 32});

void smoother(benchmark::State& state) {
    const int kernel = static_cast<int>(state.range(0)), lookahead = static_cast<int>(state.range(1));
    GainSmoother s;
    s.setLengths(kernel, lookahead - 2 * kernel + 2);
    std::vector<double> u = signal(kPiece), p(2 * (kPiece + 2));
    for (double& x : u)
        x = std::fabs(x) + 0.00001;
    for (auto _ : state) {
        double* in = s.input(kPiece);
        std::copy(u.begin(), u.begin() + 2 * kPiece, in);
        s.run<Isa>(p.data(), kPiece);
        benchmark::DoNotOptimize(p.data());
    }
    perFrame(state);
}
BENCHMARK(smoother)
    ->ArgNames({"K", "W"})
    ->Args({8, 128})
    ->Args({16, 128})
    ->Args({32, 512})
    ->Args({64, 128})
    ->Args({256, 512});

void followers(benchmark::State& state) {
    FollowerBank bank;
    double attack[8], release[8];
    FollowerBank::attackCoefficients(44100.0, attack);
    FollowerBank::releaseCoefficients(44100.0, 100.0, release);
    bank.setCoefficients(attack, release);
    std::vector<double> d = signal(kPiece);
    for (double& x : d)
        x = std::fabs(x) * 4.0;
    std::vector<double> r(2 * kPiece);
    for (auto _ : state) {
        FollowerBank::Registers<Isa> lanes(bank);
        for (int i = 0; i < kPiece; ++i)
            simd::Pair::store(r.data() + 2 * i, lanes.step<false>(d.data() + 2 * i));
        lanes.storeTo(bank);
        benchmark::DoNotOptimize(r.data());
    }
    perFrame(state);
}
BENCHMARK(followers);

void interpolator(benchmark::State& state) {
    const std::vector<double> h = signal(kPiece + 64);
    std::vector<double> out(2 * (kPiece + 2));
    for (auto _ : state) {
        HalfSampleInterpolator::midpoints<Isa>(h.data() + 2 * 64, out.data(), kPiece);
        benchmark::DoNotOptimize(out.data());
    }
    perFrame(state);
}
BENCHMARK(interpolator);

void requantizer(benchmark::State& state) {
    NoiseSource noise;
    Requantizer q(noise);
    q.setFadeCoefficient(0.002);
    q.selectSet(static_cast<int>(state.range(0)));
    const std::vector<double> in = signal(kPiece);
    std::vector<double> out(2 * kPiece);
    for (auto _ : state) {
        q.beginBlock();
        q.run<Isa>(in.data(), out.data(), kPiece, 32768.0, false);
        benchmark::DoNotOptimize(out.data());
    }
    perFrame(state);
}
// Sets: 0 none, 1 type A at 44.1 kHz, 13 type C at 44.1 kHz.
BENCHMARK(requantizer)->ArgName("set")->Arg(0)->Arg(1)->Arg(13);

} // namespace

BENCHMARK_MAIN();
