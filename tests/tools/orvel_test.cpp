// orvel end to end: generated files go through the built orvel and a plug-in binary, and come back
// as files and reports. Most cases drive a fixture plug-in whose output is known exactly (a delay
// that reports its latency); the rest drive Orvel Zelmar and, when installed, an LSP plug-in.
#include <gtest/gtest.h>
#include <signal.h>
#include <sndfile.h>

#include <chrono>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <thread>

#include "host/vst_abi.h"
#include "presets/factory_presets.h"
#include "presets/preset_records.h"
#include "tests/tools/support/loudness_meters.h"
#include "tests/tools/support/orvel_run.h"
#include "tools/orvel/plugin_host.h"

using namespace orveltest;
namespace fs = std::filesystem;

namespace {

constexpr int kWav16 = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
constexpr int kWav24 = SF_FORMAT_WAV | SF_FORMAT_PCM_24;
constexpr int kWavFloat = SF_FORMAT_WAV | SF_FORMAT_FLOAT;

std::vector<std::string> withFixture(std::vector<std::string> args) {
    args.push_back("--plugin");
    args.push_back(fixturePluginPath());
    return args;
}

Json reportOf(const RunResult& r) {
    try {
        return parseJson(r.out);
    } catch (const std::exception& e) {
        ADD_FAILURE() << e.what() << "\n" << r.out;
        return {};
    }
}

// Exact comparison of two signals, with the first mismatch in the message.
::testing::AssertionResult sameSamples(const Audio& got, const std::vector<double>& expected, int channels) {
    if (got.channels != channels)
        return ::testing::AssertionFailure() << got.channels << " channels, expected " << channels;
    if (got.samples.size() != expected.size())
        return ::testing::AssertionFailure()
               << got.samples.size() << " samples, expected " << expected.size();
    for (std::size_t i = 0; i < expected.size(); ++i)
        if (got.samples[i] != expected[i])
            return ::testing::AssertionFailure() << "sample " << i << " (frame " << i / std::size_t(channels)
                                                 << ") is " << got.samples[i] << ", expected " << expected[i];
    return ::testing::AssertionSuccess();
}

std::vector<double> delayed(const std::vector<double>& in, int channels, int frames) {
    std::vector<double> out(in.size(), 0.0);
    const std::size_t shift = std::size_t(frames) * std::size_t(channels);
    for (std::size_t i = shift; i < in.size(); ++i)
        out[i] = in[i - shift];
    return out;
}

} // namespace

// ---- latency and alignment -----------------------------------------------------------------------

TEST(Latency, CompensatedOutputLinesUpWithTheInputSampleForSample) {
    ScratchDir dir;
    const std::vector<double> in = quantized(noise(0.5, 44100, 0.4, 2), 24);
    writeAudio(dir.path("in.wav"), kWav24, 44100, 2, in);
    struct Case {
        bool lazy; // latency published only from inside the first processing call
        int block;
        bool dbl;
    } cases[] = {{false, 1024, false}, {false, 64, true}, {false, 1, false}, {true, 4096, false},
                 {true, 64, false},    {true, 100, true}, {true, 7, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message()
                     << "lazy " << c.lazy << " block " << c.block << " double " << c.dbl);
        // Lazy first: the fixture publishes a latency at once unless it is already lazy.
        std::vector<std::string> args = {"process",
                                         dir.path("in.wav"),
                                         dir.path("out.wav"),
                                         "--set",
                                         std::string("Lazy=") + (c.lazy ? "yes" : "no"),
                                         "--set",
                                         "Delay=0.1",
                                         "--block",
                                         std::to_string(c.block),
                                         "--json"};
        if (c.dbl) args.push_back("--double");
        const RunResult r = runOrvel(withFixture(args));
        ASSERT_EQ(r.exitCode, 0) << r.err;
        EXPECT_EQ(reportOf(r)["latency"].num(), 100);
        EXPECT_TRUE(sameSamples(readAudio(dir.path("out.wav")), in, 2));
    }
}

TEST(Latency, WithoutCompensationTheOutputKeepsTheDelayAndTheLength) {
    ScratchDir dir;
    const std::vector<double> in = quantized(noise(0.5, 48000, 0.2, 1), 16);
    writeAudio(dir.path("in.wav"), kWav16, 48000, 1, in);
    for (const char* lazy : {"no", "yes"}) {
        const RunResult r = runOrvel(
            withFixture({"process", dir.path("in.wav"), dir.path("out.wav"), "--set",
                         std::string("Lazy=") + lazy, "--set", "Delay=0.25", "--no-compensate", "--json"}));
        ASSERT_EQ(r.exitCode, 0) << r.err;
        const Json report = reportOf(r);
        EXPECT_EQ(report["latency"].num(), 250);
        EXPECT_FALSE(report["compensated"].boolean);
        EXPECT_TRUE(sameSamples(readAudio(dir.path("out.wav")), delayed(in, 1, 250), 1)) << "lazy " << lazy;
    }
}

// ---- formats -------------------------------------------------------------------------------------

TEST(Formats, RoundTripThroughAPassThroughPlugin) {
    ScratchDir dir;
    struct Case {
        const char* name;
        int format;
        int rate, channels, bits; // bits 0: float samples
    } cases[] = {
        {"a.wav", kWav16, 44100, 1, 16},
        {"b.wav", kWav24, 48000, 2, 24},
        {"c.wav", kWavFloat, 96000, 2, 0},
        {"d.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_U8, 22050, 1, 8},
        {"e.aiff", SF_FORMAT_AIFF | SF_FORMAT_PCM_16, 44100, 2, 16},
        {"f.aiff", SF_FORMAT_AIFF | SF_FORMAT_PCM_24, 88200, 1, 24},
        {"g.aiff", SF_FORMAT_AIFF | SF_FORMAT_FLOAT, 32000, 2, 0},
        {"h.flac", SF_FORMAT_FLAC | SF_FORMAT_PCM_16, 44100, 2, 16},
        {"i.flac", SF_FORMAT_FLAC | SF_FORMAT_PCM_24, 192000, 1, 24},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::vector<double> in = quantized(noise(0.9, c.rate, 0.15, c.channels, 7), c.bits);
        const std::string inPath = dir.path(std::string("in-") + c.name),
                          outPath = dir.path(std::string("out-") + c.name);
        writeAudio(inPath, c.format, c.rate, c.channels, in);
        for (const char* precision : {"--block=512", "--double"}) {
            const RunResult r =
                runOrvel(withFixture({"process", inPath, outPath, "--set", "Delay=0.03", precision}));
            ASSERT_EQ(r.exitCode, 0) << r.err;
            const Audio out = readAudio(outPath);
            EXPECT_EQ(out.format, c.format);
            EXPECT_EQ(out.rate, c.rate);
            EXPECT_TRUE(sameSamples(out, in, c.channels)) << precision;
        }
    }
}

TEST(Formats, OutputFormatFollowsTheExtensionAndTheFormatOption) {
    ScratchDir dir;
    const std::vector<double> in = quantized(noise(0.99, 48000, 0.1, 2, 3), 24);
    writeAudio(dir.path("in.wav"), kWav24, 48000, 2, in);
    struct Case {
        const char* out;
        const char* format;
        int expectedFormat;
        int bits; // the precision the output keeps
    } cases[] = {
        {"o1.wav", "same", kWav24, 24},
        {"o2.aiff", "same", SF_FORMAT_AIFF | SF_FORMAT_PCM_24, 24},
        {"o3.flac", "16", SF_FORMAT_FLAC | SF_FORMAT_PCM_16, 16},
        {"o4.wav", "float", kWavFloat, 0},
        {"o5.aif", "24", SF_FORMAT_AIFF | SF_FORMAT_PCM_24, 24},
        {"o6.wav", "16", kWav16, 16},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.out);
        const RunResult r =
            runOrvel(withFixture({"process", dir.path("in.wav"), dir.path(c.out), "--format", c.format}));
        ASSERT_EQ(r.exitCode, 0) << r.err;
        const Audio out = readAudio(dir.path(c.out));
        EXPECT_EQ(out.format, c.expectedFormat);
        EXPECT_TRUE(sameSamples(out, quantized(in, c.bits), 2));
    }
}

// ---- report figures ------------------------------------------------------------------------------

TEST(Report, LoudnessOfAStereoSineAtMinus23dBFSIsMinus23LUFS) {
    // EBU Tech 3341, case 1: 1 kHz, -23 dBFS on both channels reads -23.0 +/- 0.1 LUFS. The mono
    // case reads 3 dB less, as one channel carries half the power.
    ScratchDir dir;
    const double amplitude = std::pow(10.0, -23.0 / 20.0);
    for (int channels : {2, 1}) {
        SCOPED_TRACE(channels);
        writeAudio(dir.path("in.wav"), kWavFloat, 48000, channels,
                   sine(1000.0, amplitude, 48000, 20.0, channels));
        const RunResult r =
            runOrvel(withFixture({"process", dir.path("in.wav"), dir.path("out.wav"), "--json"}));
        ASSERT_EQ(r.exitCode, 0) << r.err;
        const Json report = reportOf(r);
        const double expected = channels == 2 ? -23.0 : -23.0 - 10.0 * std::log10(2.0);
        for (const char* side : {"input", "output"}) {
            const Json& figures = report[side]["figures"];
            EXPECT_NEAR(figures["integrated_lufs"].num(), expected, 0.1) << side;
            EXPECT_NEAR(figures["loudness_range_lu"].num(), 0.0, 0.1) << side;
            for (int c = 0; c < channels; ++c) {
                EXPECT_NEAR(figures["channels"][std::size_t(c)]["sample_peak_dbfs"].num(), -23.0, 0.001);
                EXPECT_NEAR(figures["channels"][std::size_t(c)]["true_peak_dbtp"].num(), -23.0, 0.05);
            }
        }
        EXPECT_EQ(report["input"]["frames"].num(), 20 * 48000);
    }
}

TEST(Report, PeaksOfFullScaleSines) {
    ScratchDir dir;
    struct Case {
        double hz, phase;
        double samplePeak, truePeak, truePeakTolerance;
        int fullScalePerCycle;
    } cases[] = {
        // 48 samples per cycle: the samples hit +1 and -1 exactly.
        {1000.0, 0.0, 0.0, 0.0, 0.1, 2},
        // Four samples per cycle, 45 degrees off the crests: every sample is at -3.01 dBFS while the
        // waveform between them reaches full scale.
        {12000.0, M_PI / 4.0, -3.0103, 0.0, 0.3, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.hz);
        writeAudio(dir.path("in.wav"), kWavFloat, 48000, 2, sine(c.hz, 1.0, 48000, 2.0, 2, c.phase));
        const RunResult r =
            runOrvel(withFixture({"process", dir.path("in.wav"), dir.path("out.wav"), "--json"}));
        ASSERT_EQ(r.exitCode, 0) << r.err;
        const Json report = reportOf(r);
        for (const char* side : {"input", "output"}) {
            for (std::size_t ch = 0; ch < 2; ++ch) {
                const Json& f = report[side]["figures"]["channels"][ch];
                EXPECT_NEAR(f["sample_peak_dbfs"].num(), c.samplePeak, 0.001) << side;
                EXPECT_NEAR(f["true_peak_dbtp"].num(), c.truePeak, c.truePeakTolerance) << side;
                EXPECT_GE(f["true_peak_dbtp"].num(), f["sample_peak_dbfs"].num()) << side;
                EXPECT_EQ(f["full_scale_samples"].num(), c.fullScalePerCycle * c.hz * 2.0) << side;
            }
        }
    }
}

TEST(Report, TextReportShowsTheFigures) {
    ScratchDir dir;
    writeAudio(dir.path("in.wav"), kWavFloat, 48000, 2,
               sine(1000.0, std::pow(10.0, -23.0 / 20.0), 48000, 5.0, 2));
    const RunResult r =
        runOrvel(withFixture({"process", dir.path("in.wav"), dir.path("out.wav"), "--set", "Delay=0.01"}));
    ASSERT_EQ(r.exitCode, 0) << r.err;
    for (const char* text : {"Orvel Fixture", "10 samples, compensated", "-23.00", "-23.0", "LUFS", "dBTP",
                             "dBFS", "x real time", "48000 Hz, stereo, 5.00 s"})
        EXPECT_NE(r.out.find(text), std::string::npos) << text << "\n" << r.out;
    EXPECT_EQ(r.err, "");

    const RunResult quiet =
        runOrvel(withFixture({"process", dir.path("in.wav"), dir.path("out.wav"), "--quiet"}));
    EXPECT_EQ(quiet.exitCode, 0);
    EXPECT_EQ(quiet.out, "");
}

// ---- the host callback and the plug-in's output --------------------------------------------------

TEST(Host, AnswersVersionAndPinsForTheChannelsTheFileHas) {
    ScratchDir dir;
    // The fixture packs its answers: version / 10000, then 1/2 for input pin 1, 1/4 for output pin 1,
    // 1/8 and 1/16 for pin 0, 1/32 for an unrelated request; each counts when the host answers non-zero.
    for (int channels : {2, 1}) {
        writeAudio(dir.path("in.wav"), kWavFloat, 44100, channels, noise(0.5, 44100, 0.05, channels));
        const RunResult r =
            runOrvel(withFixture({"process", dir.path("in.wav"), dir.path("out.wav"), "--set", "Mode=host"}));
        ASSERT_EQ(r.exitCode, 0) << r.err;
        const double expected = 0.24 + (channels == 1 ? 0.5 + 0.25 : 0.0);
        const Audio out = readAudio(dir.path("out.wav"));
        ASSERT_FALSE(out.samples.empty());
        for (double v : out.samples)
            ASSERT_FLOAT_EQ(float(v), float(expected)) << channels << " channels";
    }
}

TEST(Host, SetTakesChoiceTextsOrNormalizedValues) {
    ScratchDir dir;
    const std::vector<double> in = quantized(noise(0.5, 44100, 0.05, 2), 16);
    writeAudio(dir.path("in.wav"), kWav16, 44100, 2, in);
    std::vector<double> inverted = in;
    for (double& v : inverted)
        v = -v;
    for (const char* mode : {"Mode=invert", "Mode=0.3", "Mode=0.2"}) {
        const RunResult r =
            runOrvel(withFixture({"process", dir.path("in.wav"), dir.path("out.wav"), "--set", mode}));
        ASSERT_EQ(r.exitCode, 0) << r.err;
        EXPECT_TRUE(sameSamples(readAudio(dir.path("out.wav")), inverted, 2)) << mode;
    }
    // Each --set applies in order: the last one wins.
    const RunResult r = runOrvel(withFixture(
        {"process", dir.path("in.wav"), dir.path("out.wav"), "--set", "Mode=invert", "--set", "Mode=pass"}));
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_TRUE(sameSamples(readAudio(dir.path("out.wav")), in, 2));
}

TEST(Host, OutputThatIsNotANumberIsWrittenAsSilenceAndCounted) {
    ScratchDir dir;
    writeAudio(dir.path("in.wav"), kWavFloat, 44100, 2, noise(0.5, 44100, 0.1, 2));
    const RunResult r = runOrvel(
        withFixture({"process", dir.path("in.wav"), dir.path("out.wav"), "--set", "Mode=nan", "--json"}));
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(reportOf(r)["output"]["non_finite_samples"].num(), 2 * 4410);
    const Audio out = readAudio(dir.path("out.wav"));
    EXPECT_TRUE(sameSamples(out, std::vector<double>(2 * 4410, 0.0), 2));
}

TEST(Host, InfoListsIdentityParametersChoicesAndPrograms) {
    const RunResult r = runOrvel(withFixture({"info", "--json"}));
    ASSERT_EQ(r.exitCode, 0) << r.err;
    const Json info = reportOf(r);
    EXPECT_EQ(info["name"].str(), "Orvel Fixture");
    EXPECT_EQ(info["unique_id"].str(), "Ofix");
    ASSERT_EQ(info["parameters"].items.size(), 3u);
    const Json& mode = info["parameters"][1];
    EXPECT_EQ(mode["name"].str(), "Mode");
    EXPECT_EQ(mode["display"].str(), "pass");
    ASSERT_EQ(mode["choices"].items.size(), 5u);
    EXPECT_EQ(mode["choices"][4].str(), "slow");
    EXPECT_EQ(info["parameters"][0]["choices"].items.size(), 0u) << "Delay shows 1001 texts: not a choice";
    EXPECT_EQ(info["parameters"][0]["label"].str(), "smp");
    ASSERT_EQ(info["programs"].items.size(), 1u);
    EXPECT_EQ(info["programs"][0].str(), "Only");

    const RunResult text = runOrvel(withFixture({"info"}));
    ASSERT_EQ(text.exitCode, 0) << text.err;
    EXPECT_NE(text.out.find("pass | invert | host | nan | slow"), std::string::npos) << text.out;
}

TEST(Host, ChoicesLieInTheMiddleOfTheirIntervals) {
    const orvel::PluginLibrary library(fixturePluginPath());
    const orvel::PluginInstance plugin(library, 2);
    const std::vector<orvel::Choice> choices = orvel::sweepChoices(plugin, 1);
    ASSERT_EQ(choices.size(), 5u);
    for (int k = 0; k < 5; ++k)
        EXPECT_NEAR(choices[std::size_t(k)].value, (k + 0.5) / 5.0, 1e-6) << k;
    EXPECT_FLOAT_EQ(plugin.getParameter(1), 0.1f) << "the sweep restores the value";
    const std::vector<orvel::Choice> lazy = orvel::sweepChoices(plugin, 2);
    ASSERT_EQ(lazy.size(), 2u);
    EXPECT_FLOAT_EQ(lazy[0].value, 0.25f);
    EXPECT_FLOAT_EQ(lazy[1].value, 0.75f);
}

// ---- failures ------------------------------------------------------------------------------------

TEST(Errors, EachFailureGivesOneMessageANonZeroExitAndNoOutputFile) {
    ScratchDir dir;
    writeAudio(dir.path("in.wav"), kWav16, 44100, 2, quantized(noise(0.5, 44100, 0.05, 2), 16));
    writeAudio(dir.path("in.flt.wav"), kWavFloat, 44100, 2, noise(0.5, 44100, 0.05, 2));
    writeAudio(dir.path("three.wav"), kWav16, 44100, 3, quantized(noise(0.5, 44100, 0.05, 3), 16));
    writeAudio(dir.path("sun.au"), SF_FORMAT_AU | SF_FORMAT_PCM_16, 44100, 1,
               quantized(noise(0.5, 44100, 0.05, 1), 16));
    writeFile(dir.path("text.wav"), "not audio at all, just words\n");
    writeFile(dir.path("fake.so"), "not a shared object\n");
    fs::create_directory(dir.path("folder.wav"));
    const std::string in = dir.path("in.wav"), out = dir.path("out.wav");
    const std::string fixture = fixturePluginPath();

    struct Case {
        std::vector<std::string> args;
        const char* message;
        int exitCode;
        std::vector<std::string> env = {};
        std::string output = "";
    } cases[] = {
        {{"process", dir.path("missing.wav"), out, "--plugin", fixture}, "cannot read", 1},
        {{"process", dir.path("text.wav"), out, "--plugin", fixture}, "cannot read", 1},
        {{"process", dir.path("folder.wav"), out, "--plugin", fixture}, "folder", 1},
        {{"process", dir.path("three.wav"), out, "--plugin", fixture}, "3 channels", 1},
        {{"process", dir.path("sun.au"), out, "--plugin", fixture}, "not supported", 1},
        {{"process", in, out, "--plugin", dir.path("missing.so")}, "cannot load the plug-in", 1},
        {{"process", in, out, "--plugin", dir.path("fake.so")}, "cannot load the plug-in", 1},
        {{"process", in, out, "--plugin", fixture}, "gave no instance", 1, {"ORVEL_FIXTURE_REFUSE=1"}},
        {{"process", in, out, "--plugin", fixture, "--set", "Volume=0.5"}, "unknown parameter \"Volume\"", 2},
        {{"process", in, out, "--plugin", fixture, "--set", "Mode=loud"}, "unknown choice \"loud\"", 2},
        {{"process", in, out, "--plugin", fixture, "--set", "Delay=1.5"}, "out of range", 2},
        {{"process", in, out, "--plugin", fixture, "--set", "Mode=-0.1"}, "out of range", 2},
        {{"process", in, out, "--plugin", fixture, "--set", "Delay=abc"}, "not a normalized value", 2},
        {{"process", in, out, "--plugin", fixture, "--set", "Delay"}, "NAME=VALUE", 2},
        {{"process", in, out, "--plugin", fixture, "--preset", "1"}, "presets apply only to Orvel Zelmar", 2},
        {{"process", in, dir.path("nowhere/out.wav"), "--plugin", fixture},
         "cannot write",
         1,
         {},
         "nowhere/out.wav"},
        {{"process", in, dir.path("folder.wav"), "--plugin", fixture}, "cannot write", 1, {}, "folder.wav"},
        {{"process", in, out, "--plugin", fixture, "--plot", dir.path("nowhere/p.png")}, "cannot write", 1},
        {{"process", in, dir.path("out.mp3"), "--plugin", fixture}, "output format", 1, {}, "out.mp3"},
        {{"process", dir.path("in.flt.wav"), dir.path("out.flac"), "--plugin", fixture},
         "cannot hold",
         1,
         {},
         "out.flac"},
        {{"process", in, out, "--plugin", fixture, "--block", "0"}, "--block", 2},
        {{"process", in, out, "--plugin", fixture, "--format", "12"}, "--format", 2},
        {{"process", in, out, "--plugin", fixture, "--jobs", "2"}, "does not apply", 2},
        {{"process", in, out, "--plugin", fixture, "--slot", "2"}, "--slot needs --bank", 2},
        {{"process", in, "--plugin", fixture}, "input and an output", 2},
        {{"process", in, out, "--bogus"}, "unknown option --bogus", 2},
        {{"transmogrify"}, "unknown command", 2},
    };
    const std::vector<std::string> before = dir.entries();
    for (const Case& c : cases) {
        std::string line;
        for (const auto& a : c.args)
            line += a + " ";
        SCOPED_TRACE(line);
        const RunResult r = runOrvel(c.args, c.env);
        EXPECT_EQ(r.exitCode, c.exitCode);
        EXPECT_NE(r.err.find(c.message), std::string::npos) << r.err;
        EXPECT_EQ(r.err.rfind("orvel: ", 0), 0u) << r.err;
        EXPECT_EQ(r.errLines(), 1) << r.err;
        EXPECT_EQ(r.out, "");
        EXPECT_FALSE(fs::exists(out));
        EXPECT_EQ(dir.entries(), before) << "no output and no temporary file";
    }
}

TEST(Errors, AFailedRunLeavesAnExistingOutputUntouched) {
    ScratchDir dir;
    writeAudio(dir.path("in.wav"), kWav16, 44100, 2, quantized(noise(0.5, 44100, 0.05, 2), 16));
    writeFile(dir.path("out.wav"), "the previous master");
    const RunResult r =
        runOrvel(withFixture({"process", dir.path("in.wav"), dir.path("out.wav"), "--set", "Mode=x"}));
    EXPECT_NE(r.exitCode, 0);
    EXPECT_EQ(readFile(dir.path("out.wav")), "the previous master");
}

TEST(Errors, AnInterruptedRunLeavesNoFile) {
    ScratchDir dir;
    writeAudio(dir.path("in.wav"), kWav16, 44100, 2, quantized(noise(0.5, 44100, 20.0, 2), 16));
    // "slow" sleeps in every block: the run takes many seconds.
    const pid_t pid = startOrvel(withFixture(
        {"process", dir.path("in.wav"), dir.path("out.wav"), "--set", "Mode=slow", "--block", "64"}));
    // Wait until the temporary output exists, so that the signal arrives in the middle of the work.
    bool started = false;
    for (int i = 0; i < 200 && !started; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        started = dir.entries().size() > 1;
    }
    kill(pid, SIGTERM);
    EXPECT_EQ(waitOrvel(pid), -SIGTERM);
    EXPECT_TRUE(started);
    EXPECT_EQ(dir.entries(), std::vector<std::string>{"in.wav"});
}

// ---- batch ---------------------------------------------------------------------------------------

TEST(Batch, EachFileGetsItsOwnInstanceAndAFailureSparesTheOthers) {
    ScratchDir dir;
    fs::create_directory(dir.path("src"));
    struct File {
        const char* name;
        int format, rate, channels, bits;
    } files[] = {{"a.wav", kWav16, 44100, 2, 16},
                 {"b.flac", SF_FORMAT_FLAC | SF_FORMAT_PCM_24, 48000, 1, 24},
                 {"c.aiff", SF_FORMAT_AIFF | SF_FORMAT_PCM_16, 96000, 2, 16},
                 {"d.wav", kWavFloat, 22050, 1, 0}};
    std::vector<std::string> args = {"batch", dir.path("out"), "--jobs", "2", "--set", "Delay=0.2", "--json"};
    std::vector<std::vector<double>> inputs;
    std::uint32_t seed = 10;
    for (const File& f : files) {
        const std::vector<double> in = quantized(noise(0.7, f.rate, 0.3, f.channels, seed++), f.bits);
        writeAudio(dir.path("src/") + f.name, f.format, f.rate, f.channels, in);
        inputs.push_back(in);
        args.push_back(dir.path("src/") + f.name);
    }
    args.push_back(dir.path("src/missing.wav"));
    const RunResult r = runOrvel(withFixture(args));
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find("missing.wav"), std::string::npos) << r.err;
    const Json reports = reportOf(r);
    ASSERT_EQ(reports.items.size(), 5u);
    for (std::size_t i = 0; i < 4; ++i) {
        SCOPED_TRACE(files[i].name);
        EXPECT_EQ(reports[i]["latency"].num(), 200);
        const Audio out = readAudio(dir.path("out/") + files[i].name);
        EXPECT_EQ(out.format, files[i].format);
        EXPECT_TRUE(sameSamples(out, inputs[i], files[i].channels));
    }
    EXPECT_NE(reports[4]["error"].str().find("missing.wav"), std::string::npos);
    EXPECT_FALSE(fs::exists(dir.path("out/missing.wav")));

    const RunResult clash =
        runOrvel(withFixture({"batch", dir.path("out2"), dir.path("src/a.wav"), dir.path("src/a.wav")}));
    EXPECT_EQ(clash.exitCode, 2);
    EXPECT_NE(clash.err.find("both be written"), std::string::npos);
}

// ---- Orvel Zelmar --------------------------------------------------------------------------------

namespace {

std::string presetImage(int slot) {
    presets::PresetSlot s{};
    std::memcpy(s.name, presets::kFactoryPresets[slot].name,
                std::strlen(presets::kFactoryPresets[slot].name));
    std::memcpy(s.values, presets::kFactoryPresets[slot].values, sizeof(s.values));
    presets::PresetRecord record;
    presets::buildPresetRecord(s, record);
    return std::string(record.begin(), record.end());
}

std::string bankImage() {
    std::array<presets::PresetSlot, presets::kBankSlotCount> slots{};
    for (int k = 0; k < presets::kBankSlotCount; ++k) {
        std::memcpy(slots[std::size_t(k)].name, presets::kFactoryPresets[k].name,
                    std::strlen(presets::kFactoryPresets[k].name));
        std::memcpy(slots[std::size_t(k)].values, presets::kFactoryPresets[k].values, sizeof(float) * 26);
    }
    presets::BankRecord record;
    presets::buildBankRecord(slots, record);
    return std::string(record.begin(), record.end());
}

} // namespace

TEST(OrvelZelmar, InfoShowsTheIdentity) {
    const RunResult r = runOrvel({"info", "--json", "--plugin", orvelZelmarPath()});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    const Json info = reportOf(r);
    EXPECT_EQ(info["name"].str(), "Orvel Zelmar");
    EXPECT_EQ(info["product"].str(), "Full band precision limiter");
    EXPECT_EQ(info["unique_id"].str(), "Orzl");
    EXPECT_EQ(info["vst_version"].num(), 2400);
    EXPECT_EQ(info["category"].str(), "mastering");
    EXPECT_EQ(info["parameters"].items.size(), 26u);
    EXPECT_EQ(info["latency"]["44100"].num(), 159);

    // Without --plugin, orvel finds the plug-in beside itself.
    const RunResult beside = runOrvel({"info"});
    ASSERT_EQ(beside.exitCode, 0) << beside.err;
    EXPECT_EQ(beside.out.rfind("Orvel Zelmar (", 0), 0u) << beside.out;
}

TEST(OrvelZelmar, PowerOffGivesTheInputBackExactly) {
    ScratchDir dir;
    struct Case {
        const char* name;
        int format, rate, channels, bits;
        const char* precision;
    } cases[] = {
        {"a.wav", kWav16, 44100, 2, 16, "--block=1024"},
        {"b.flac", SF_FORMAT_FLAC | SF_FORMAT_PCM_24, 96000, 2, 24, "--double"},
        {"c.wav", kWavFloat, 48000, 1, 0, "--block=100"},
        {"d.aiff", SF_FORMAT_AIFF | SF_FORMAT_PCM_24, 192000, 1, 24, "--double"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::vector<double> in = quantized(noise(0.9, c.rate, 0.5, c.channels, 5), c.bits);
        writeAudio(dir.path(std::string("in-") + c.name), c.format, c.rate, c.channels, in);
        const RunResult r =
            runOrvel({"process", dir.path(std::string("in-") + c.name),
                      dir.path(std::string("out-") + c.name), "--set", "Power=off", c.precision, "--json"});
        ASSERT_EQ(r.exitCode, 0) << r.err;
        EXPECT_EQ(reportOf(r)["latency"].num(), c.rate < 80000 ? 159 : (c.rate < 170000 ? 287 : 543));
        EXPECT_TRUE(sameSamples(readAudio(dir.path(std::string("out-") + c.name)), in, c.channels));
    }
}

TEST(OrvelZelmar, PresetsComeFromTheFactoryTableOrFromFiles) {
    ScratchDir dir;
    writeAudio(dir.path("in.wav"), kWav16, 44100, 2, quantized(noise(0.5, 44100, 0.1, 2), 16));
    writeFile(dir.path("p.ozp"), presetImage(13));
    writeFile(dir.path("long.ozp"), presetImage(13) + "trailing bytes are ignored");
    writeFile(dir.path("b.ozb"), bankImage());
    struct Case {
        std::vector<std::string> args;
        const char* label;
    } cases[] = {
        {{}, "factory 0 \"Current\""},
        {{"--preset", "CD Master 1"}, "factory 8 \"CD Master 1\""},
        {{"--preset", "8"}, "factory 8 \"CD Master 1\""},
        {{"--preset", "cine 2 [recon]"}, "factory 19 \"Cine 2 [recon]\""},
        {{"--preset-file", dir.path("p.ozp")}, "\"TV Limiter\" from "},
        {{"--preset-file", dir.path("long.ozp")}, "\"TV Limiter\" from "},
        {{"--bank", dir.path("b.ozb"), "--slot", "21"}, "\"Loud Love\" (slot 21 of "},
        {{"--bank", dir.path("b.ozb")}, "\"Current\" (slot 0 of "},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        std::vector<std::string> args = {"process", dir.path("in.wav"), dir.path("out.wav"), "--json"};
        args.insert(args.end(), c.args.begin(), c.args.end());
        const RunResult r = runOrvel(args);
        ASSERT_EQ(r.exitCode, 0) << r.err;
        EXPECT_EQ(reportOf(r)["plugin"]["preset"].str().rfind(c.label, 0), 0u) << r.out;
    }
}

TEST(OrvelZelmar, DamagedOrWrongPresetFilesAreRefused) {
    ScratchDir dir;
    writeAudio(dir.path("in.wav"), kWav16, 44100, 2, quantized(noise(0.5, 44100, 0.1, 2), 16));
    std::string outOfRange = presetImage(3);
    const float two = 2.0f;
    std::memcpy(outOfRange.data() + 29 + 4 * 5, &two, 4);
    writeFile(dir.path("range.ozp"), outOfRange);
    writeFile(dir.path("short.ozp"), presetImage(3).substr(0, 100));
    writeFile(dir.path("bank.ozp"), bankImage());
    writeFile(dir.path("preset.ozb"), presetImage(3) + std::string(3077, '\0'));
    struct Case {
        std::vector<std::string> args;
        const char* message;
    } cases[] = {
        {{"--preset", "Nope"}, "unknown factory preset"},
        {{"--preset", "24"}, "slots are 0 to 23"},
        {{"--preset-file", dir.path("range.ozp")}, "outside 0..1 for parameter 5"},
        {{"--preset-file", dir.path("short.ozp")}, "100 bytes, 133 expected"},
        {{"--preset-file", dir.path("bank.ozp")}, "is not an Orvel Zelmar preset file"},
        {{"--preset-file", dir.path("missing.ozp")}, "cannot read"},
        {{"--bank", dir.path("preset.ozb")}, "is not an Orvel Zelmar bank file"},
        {{"--bank", dir.path("bank.ozp"), "--slot", "24"}, "--slot takes"},
        {{"--preset", "1", "--preset-file", dir.path("bank.ozp")}, "choose one of"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.message);
        std::vector<std::string> args = {"process", dir.path("in.wav"), dir.path("out.wav")};
        args.insert(args.end(), c.args.begin(), c.args.end());
        const RunResult r = runOrvel(args);
        EXPECT_NE(r.exitCode, 0);
        EXPECT_NE(r.err.find(c.message), std::string::npos) << r.err;
        EXPECT_EQ(r.errLines(), 1) << r.err;
        EXPECT_FALSE(fs::exists(dir.path("out.wav")));
    }
}

TEST(Demo, WritesTheMaterialTheMasterAndAReport) {
    ScratchDir dir;
    const RunResult r = runOrvel({"demo", dir.path("one")});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_NE(r.out.find("\"CD Master 1\""), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("LUFS"), std::string::npos) << r.out;
    for (const char* text : {"(target -14.0 LUFS, ceiling -1.0 dBTP), reached in", "true peak", "Drive=+",
                             "dB gain reduction at most"})
        EXPECT_NE(r.out.find(text), std::string::npos) << text << "\n" << r.out;
    const Audio in = readAudio(dir.path("one/demo-input.wav")),
                master = readAudio(dir.path("one/demo-master.wav"));
    EXPECT_EQ(in.rate, 44100);
    EXPECT_EQ(in.channels, 2);
    EXPECT_EQ(in.frames(), 30 * 44100);
    EXPECT_EQ(master.format, kWav16);
    EXPECT_EQ(master.frames(), in.frames());
    double peak = 0.0;
    for (double v : in.samples)
        peak = std::max(peak, std::fabs(v));
    EXPECT_NEAR(20.0 * std::log10(peak), -1.0, 0.01);
    // The master is delivered as streaming services ask, with its picture beside it.
    const Loudness delivered = measureWithLibebur128(dir.path("one/demo-master.wav"));
    EXPECT_NEAR(delivered.integratedLufs, -14.0, 0.1);
    EXPECT_LE(delivered.truePeakDbtp, -1.0);
    EXPECT_TRUE(fs::exists(dir.path("one/demo-master.png")));

    // The material is the same on every run.
    ASSERT_EQ(runOrvel({"demo", dir.path("two"), "--quiet"}).exitCode, 0);
    EXPECT_EQ(readFile(dir.path("one/demo-input.wav")), readFile(dir.path("two/demo-input.wav")));
}
