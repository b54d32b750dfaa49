// The whole signal path against the slow reference, and its independence of the host's block sizes.
#include <gtest/gtest.h>

#include <cmath>
#include <sstream>
#include <string>
#include <vector>

#include "engine/frame_path.h"
#include "engine/limiter_frame.h"
#include "tests/engine/support/engine_fixtures.h"
#include "tests/engine/support/reference_limiter.h"

namespace {

std::string describe(const reference::Settings& s, int shape) {
    std::ostringstream o;
    o << "shape " << shape << " drive " << s.drive << " output " << s.output << " transient " << s.transient
      << " release " << s.releaseMs << " link " << s.link << " leveller " << s.leveller
      << (s.levellerBypassed ? " (bypassed)" : "") << " ovs " << s.oversample << " order2 " << s.secondOrder
      << " power " << s.power << " meterOvs " << s.meterOversample << " autoOut " << s.autoOut << " quantize "
      << s.quantize << " autoblack " << s.autoblack << " post " << s.postMeter << " bits " << s.bits
      << " shaper " << s.noiseShape << " attShow " << s.attShow;
    return o.str();
}

void expectMetersAgree(const float* engine, const std::array<float, 10>& ref, const std::string& where) {
    for (int i = 0; i < 10; ++i) {
        const double tolerance = 1e-6 * std::max(std::fabs(engine[i]), std::fabs(ref[i])) + 1e-30;
        ASSERT_NEAR(engine[i], ref[i], tolerance) << "meter value " << i << " " << where;
    }
}

// Runs engine and reference side by side over random blocks with parameter changes between them
// (now and then a "TransShape" change, which resets both), comparing every output sample and the
// meters after every block.
template <class T> void compareWithReference(int rate, unsigned seed, int frames) {
    std::mt19937 rng(seed);
    reference::Settings settings = fixtures::randomSettings(rng);
    int shape = static_cast<int>(rng() % 3);

    LimiterFrame frame;
    frame.configure(FrameRates::make(rate, shape));
    fixtures::apply(frame, settings, nullptr);
    frame.reset();
    reference::Limiter ref(rate, shape, settings);

    fixtures::Stereo input = fixtures::programme(frames, rate, rng);
    std::vector<T> inL(frames), inR(frames), outL(frames), outR(frames);
    std::vector<double> refInL(frames), refInR(frames), refOutL(frames), refOutR(frames);
    for (int i = 0; i < frames; ++i) {
        inL[i] = static_cast<T>(input.left[i]);
        inR[i] = static_cast<T>(input.right[i]);
        refInL[i] = inL[i];
        refInR[i] = inR[i];
    }

    int start = 0;
    for (int block : fixtures::randomSplit(frames, 700, rng)) {
        const double change = std::uniform_real_distribution<double>(0, 1)(rng);
        if (change < 0.03) {
            shape = static_cast<int>(rng() % 3);
            frame.configure(FrameRates::make(rate, shape));
            ref.changeShape(shape);
        } else if (change < 0.25) {
            const reference::Settings next = fixtures::perturb(settings, rng);
            fixtures::apply(frame, next, &settings);
            ref.set(next);
            settings = next;
        }
        const std::string where = describe(settings, shape);

        frame.limit(inL.data() + start, inR.data() + start, outL.data() + start, outR.data() + start, block);
        ref.process(refInL.data() + start, refInR.data() + start, refOutL.data() + start,
                    refOutR.data() + start, block);
        // Where the engine sums the envelope term by term as the reference does, every operation is the
        // same and the output is the reference's bit for bit; the transformed convolution of longer
        // kernels rounds differently.
        const bool same = ref.kernelLength() <= GainSmoother::kMaxDirect;
        const double tolerance = same ? 0.0 : 1e-12, steps = same ? 0.0 : 1.0;
        for (int i = start; i < start + block; ++i) {
            if constexpr (std::is_same_v<T, double>) {
                ASSERT_NEAR(outL[i], refOutL[i], tolerance) << "left, sample " << i << ", " << where;
                ASSERT_NEAR(outR[i], refOutR[i], tolerance) << "right, sample " << i << ", " << where;
            } else {
                ASSERT_LE(fixtures::floatSteps(outL[i], static_cast<float>(refOutL[i])), steps)
                    << "left, sample " << i << ": " << outL[i] << " vs " << refOutL[i] << ", " << where;
                ASSERT_LE(fixtures::floatSteps(outR[i], static_cast<float>(refOutR[i])), steps)
                    << "right, sample " << i << ": " << outR[i] << " vs " << refOutR[i] << ", " << where;
            }
        }
        float meters[10];
        frame.meters.poll(meters);
        expectMetersAgree(meters, ref.poll(), "after sample " + std::to_string(start + block) + ", " + where);
        start += block;
    }
}

struct RateCase {
    int rate;
    bool single;
};

class AgainstReference : public testing::TestWithParam<RateCase> {};

TEST_P(AgainstReference, EverySampleAgreesOverRandomParameterSets) {
    const RateCase c = GetParam();
    for (unsigned seed = 1; seed <= 4; ++seed) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        const unsigned mixed = seed * 7919u + static_cast<unsigned>(c.rate) + (c.single ? 1u : 0u);
        if (c.single)
            compareWithReference<float>(c.rate, mixed, 12000);
        else
            compareWithReference<double>(c.rate, mixed, 12000);
        if (HasFatalFailure()) return;
    }
}

std::vector<RateCase> rateCases() {
    std::vector<RateCase> cases;
    for (int rate : {44100, 48000, 88200, 96000, 176400, 192000, 50000})
        for (bool single : {false, true})
            cases.push_back({rate, single});
    return cases;
}

INSTANTIATE_TEST_SUITE_P(Rates, AgainstReference, testing::ValuesIn(rateCases()),
                         [](const testing::TestParamInfo<RateCase>& info) {
                             return std::to_string(info.param.rate) +
                                    (info.param.single ? "_float" : "_double");
                         });

// The same input as one block, sample by sample and in random splits gives identical output.
template <class T> void checkBlockInvariance(unsigned seed) {
    std::mt19937 rng(seed);
    const int rate = fixtures::kStandardRates[rng() % 6];
    const int shape = static_cast<int>(rng() % 3);
    reference::Settings settings = fixtures::randomSettings(rng);
    settings.quantize = true; // the requantizer's feedback makes any difference visible
    const int frames = 6000;
    fixtures::Stereo input = fixtures::programme(frames, rate, rng);
    std::vector<T> inL(input.left.begin(), input.left.end()), inR(input.right.begin(), input.right.end());

    auto run = [&](const std::vector<int>& blocks) {
        LimiterFrame frame;
        frame.configure(FrameRates::make(rate, shape));
        fixtures::apply(frame, settings, nullptr);
        frame.reset();
        std::vector<T> outL(frames), outR(frames);
        int start = 0;
        for (int n : blocks) {
            frame.limit(inL.data() + start, inR.data() + start, outL.data() + start, outR.data() + start, n);
            start += n;
        }
        return std::make_pair(outL, outR);
    };

    const auto whole = run({frames});
    const auto single = run(std::vector<int>(frames, 1));
    const auto split = run(fixtures::randomSplit(frames, 300, rng));
    const auto zeroLengthBlocksToo = [&] {
        std::vector<int> blocks = fixtures::randomSplit(frames, 50, rng);
        blocks.insert(blocks.begin() + blocks.size() / 2, 0);
        return run(blocks);
    }();
    EXPECT_EQ(whole, single) << describe(settings, shape);
    EXPECT_EQ(whole, split) << describe(settings, shape);
    EXPECT_EQ(whole, zeroLengthBlocksToo) << describe(settings, shape);
}

TEST(BlockSize, OneBlockSingleSamplesAndRandomSplitsGiveIdenticalOutput) {
    for (unsigned seed = 100; seed < 104; ++seed) {
        checkBlockInvariance<double>(seed);
        checkBlockInvariance<float>(seed + 50);
    }
}

// Every processing path this processor can run gives the same output and meters, bit for bit, over
// random settings, parameter changes and block splits.
template <class T> void comparePaths(unsigned seed) {
    int count = 0;
    const FramePath* const* paths = frame_path::available(count);
    std::mt19937 rng(seed);
    const int rate = fixtures::kStandardRates[rng() % 6];
    const int shape = static_cast<int>(rng() % 3);
    const reference::Settings first = fixtures::randomSettings(rng);
    std::vector<reference::Settings> changes;
    for (int i = 0; i < 8; ++i)
        changes.push_back(fixtures::perturb(i ? changes.back() : first, rng));
    const int frames = 8000;
    const fixtures::Stereo input = fixtures::programme(frames, rate, rng);
    const std::vector<int> blocks = fixtures::randomSplit(frames, 1500, rng);
    const std::vector<T> inL(input.left.begin(), input.left.end()),
        inR(input.right.begin(), input.right.end());

    struct Run {
        std::vector<T> left, right;
        std::vector<float> meters;
    };
    auto run = [&](const FramePath& path) {
        LimiterFrame frame;
        frame.useProcessingPath(path);
        fixtures::prepare(frame, rate, shape, first);
        Run r{std::vector<T>(frames), std::vector<T>(frames), {}};
        int start = 0;
        for (std::size_t b = 0; b < blocks.size(); ++b) {
            const reference::Settings& now = b == 0 ? first : changes[b % changes.size()];
            if (b > 0) fixtures::apply(frame, now, b == 1 ? &first : &changes[(b - 1) % changes.size()]);
            frame.limit(inL.data() + start, inR.data() + start, r.left.data() + start, r.right.data() + start,
                        blocks[b]);
            float meters[MeterFeed::kValues];
            frame.meters.poll(meters);
            r.meters.insert(r.meters.end(), meters, meters + MeterFeed::kValues);
            start += blocks[b];
        }
        return r;
    };

    const Run base = run(*paths[0]);
    for (int p = 1; p < count; ++p) {
        const Run other = run(*paths[p]);
        EXPECT_EQ(other.left, base.left) << paths[p]->name << " against " << paths[0]->name;
        EXPECT_EQ(other.right, base.right) << paths[p]->name << " against " << paths[0]->name;
        EXPECT_EQ(other.meters, base.meters) << paths[p]->name << " against " << paths[0]->name;
    }
}

TEST(ProcessingPaths, EveryPathGivesIdenticalResults) {
    int count = 0;
    const FramePath* const* paths = frame_path::available(count);
    std::string names;
    for (int p = 0; p < count; ++p)
        names += std::string(p ? ", " : "") + paths[p]->name;
    RecordProperty("paths", names);
    // The baseline path is always there, and a processor with AVX2 or AVX-512 must be given the paths
    // for them: otherwise the comparison below would have nothing to compare.
    ASSERT_GE(count, 1);
    EXPECT_EQ(std::string(paths[0]->name), "sse2");
    __builtin_cpu_init();
    const bool hasAvx2 = __builtin_cpu_supports("avx2");
    const bool hasAvx512 = hasAvx2 && __builtin_cpu_supports("avx512f") &&
                           __builtin_cpu_supports("avx512dq") && __builtin_cpu_supports("avx512vl") &&
                           __builtin_cpu_supports("avx512bw") && __builtin_cpu_supports("fma");
#if defined(_WIN32)
    const bool buildsAvx512 = false; // left out of Windows builds (engine/CMakeLists.txt)
#else
    const bool buildsAvx512 = true;
#endif
    const int expected = 1 + (hasAvx2 ? 1 : 0) + (hasAvx512 && buildsAvx512 ? 1 : 0);
    ASSERT_EQ(count, expected) << names;
    if (hasAvx2) {
        EXPECT_EQ(std::string(paths[1]->name), "avx2");
    }
    if (expected == 3) {
        EXPECT_EQ(std::string(paths[2]->name), "avx512");
    }
    for (unsigned seed = 300; seed < 306; ++seed) {
        comparePaths<double>(seed);
        comparePaths<float>(seed + 20);
    }
}

} // namespace
