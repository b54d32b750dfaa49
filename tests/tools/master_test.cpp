// orvel master end to end: generated programmes through Orvel Zelmar to a loudness target under a
// true-peak ceiling, checked on the written files by two meters that are not orvel's: libebur128
// called here and FFmpeg's ebur128 filter.
#include <cairo.h>
#include <gtest/gtest.h>
#include <sndfile.h>

#include <cmath>
#include <filesystem>

#include "tests/tools/support/loudness_meters.h"
#include "tests/tools/support/orvel_run.h"
#include "tools/orvel/plot.h"

using namespace orveltest;
namespace fs = std::filesystem;

namespace {

constexpr int kWav16 = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
constexpr int kWav24 = SF_FORMAT_WAV | SF_FORMAT_PCM_24;

// The accepted distance from the target, as deliveries are checked.
constexpr double kLoudnessTolerance = 0.1;

Json reportOf(const RunResult& r) {
    try {
        return parseJson(r.out);
    } catch (const std::exception& e) {
        ADD_FAILURE() << e.what() << "\n" << r.out << r.err;
        return {};
    }
}

void expectAtTargetUnderCeiling(const std::string& path, double target, double ceiling) {
    SCOPED_TRACE(path);
    const Loudness own = measureWithLibebur128(path);
    const Loudness ffmpeg = measureWithFfmpeg(path);
    EXPECT_NEAR(own.integratedLufs, target, kLoudnessTolerance) << "libebur128";
    EXPECT_NEAR(ffmpeg.integratedLufs, target, kLoudnessTolerance) << "ffmpeg";
    EXPECT_LE(own.truePeakDbtp, ceiling) << "libebur128";
    EXPECT_LE(ffmpeg.truePeakDbtp, ceiling) << "ffmpeg";
}

} // namespace

TEST(Master, ReachesTheTargetUnderTheCeilingAtEachRateAndPreset) {
    ScratchDir dir;
    struct Case {
        int rate;
        const char* preset;
        std::vector<std::string> sets; // make every case a 16-bit dithered master
        double level, target, ceiling;
    } cases[] = {
        {44100, "CD Master 1", {}, 0.5, -14.0, -1.0},
        {48000, "Limiter Smooth", {"Quantize=on", "Bits=16", "NoiseShape=type A"}, 0.3, -10.0, -1.0},
        {96000, "CD Master 2", {}, 0.7, -16.0, -2.0},
        {48000, "Loudness 2", {"Quantize=on", "Bits=16"}, 0.05, -23.0, -1.0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.rate << " Hz, " << c.preset << ", target " << c.target);
        const std::string in = dir.path("in.wav"), out = dir.path("out.wav");
        writeAudio(in, kWav24, c.rate, 2, quantized(music(c.rate, 6.0, c.level, 3), 24));
        std::vector<std::string> args = {"master",
                                         in,
                                         out,
                                         "--target-lufs",
                                         std::to_string(c.target),
                                         "--ceiling-dbtp",
                                         std::to_string(c.ceiling),
                                         "--preset",
                                         c.preset,
                                         "--format",
                                         "16",
                                         "--json"};
        for (const std::string& s : c.sets) {
            args.push_back("--set");
            args.push_back(s);
        }
        const RunResult r = runOrvel(args);
        ASSERT_EQ(r.exitCode, 0) << r.err;
        EXPECT_EQ(r.err, "") << "no progress bar where stderr is not a terminal";
        const Json report = reportOf(r);
        const Json& master = report["master"];
        EXPECT_EQ(master["outcome"].str(), "reached");
        EXPECT_LE(master["passes"].items.size(), 6u);
        EXPECT_EQ(readAudio(out).format, kWav16);
        expectAtTargetUnderCeiling(out, c.target, c.ceiling);
        // The report's figures are those of the file.
        EXPECT_NEAR(master["integrated_lufs"].num(), measureWithLibebur128(out).integratedLufs, 0.01);
        EXPECT_EQ(report["plugin"]["set"][0].str(), "Oversample=on");
    }
}

TEST(Master, AlbumKeepsTheSongsRelativeLevels) {
    ScratchDir dir;
    fs::create_directory(dir.path("src"));
    const std::string a = dir.path("src/a.wav"), b = dir.path("src/b.flac");
    writeAudio(a, kWav24, 44100, 2, quantized(music(44100, 6.0, 0.3, 5), 24));
    writeAudio(b, SF_FORMAT_FLAC | SF_FORMAT_PCM_24, 44100, 2, quantized(music(44100, 5.0, 0.15, 9), 24));
    const double inputDifference =
        measureWithLibebur128(a).integratedLufs - measureWithLibebur128(b).integratedLufs;

    const RunResult r = runOrvel({"master", "--album", dir.path("out"), a, b, "--target-lufs", "-18",
                                  "--preset", "CD Master 1", "--jobs", "2", "--json"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    const Json report = reportOf(r);
    EXPECT_EQ(report["files"].items.size(), 2u);
    const std::string outA = dir.path("out/a.wav"), outB = dir.path("out/b.flac");
    EXPECT_NEAR(albumLoudnessWithLibebur128({outA, outB}), -18.0, kLoudnessTolerance);
    const Loudness la = measureWithLibebur128(outA), lb = measureWithLibebur128(outB);
    EXPECT_NEAR(la.integratedLufs - lb.integratedLufs, inputDifference, 0.1);
    for (const std::string& out : {outA, outB}) {
        EXPECT_LE(measureWithLibebur128(out).truePeakDbtp, -1.0) << out;
        EXPECT_LE(measureWithFfmpeg(out).truePeakDbtp, -1.0) << out;
    }
}

TEST(Master, AnUnreachableTargetSaysWhichLimitStoppedItAndWritesNothingUnlessAsked) {
    ScratchDir dir;
    const std::string in = dir.path("in.wav"), out = dir.path("out.wav");
    writeAudio(in, kWav24, 44100, 2, quantized(music(44100, 5.0, 0.5, 4), 24));
    const RunResult r = runOrvel({"master", in, out, "--target-lufs", "-2", "--quiet"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.errLines(), 1) << r.err;
    EXPECT_NE(r.err.find("the ceiling holds the loudness down"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("the loudest master it allows is"), std::string::npos) << r.err;
    EXPECT_EQ(dir.entries(), std::vector<std::string>{"in.wav"});

    const RunResult best = runOrvel({"master", in, out, "--target-lufs", "-2", "--best-effort", "--json"});
    ASSERT_EQ(best.exitCode, 0) << best.err;
    const Json master = reportOf(best)["master"];
    EXPECT_EQ(master["outcome"].str(), "ceiling limit");
    const Loudness written = measureWithLibebur128(out);
    EXPECT_NEAR(written.integratedLufs, master["integrated_lufs"].num(), 0.01);
    EXPECT_LT(written.integratedLufs, -4.0);
    EXPECT_LE(written.truePeakDbtp, -1.0);
    EXPECT_LE(measureWithFfmpeg(out).truePeakDbtp, -1.0);
}

TEST(Master, AbsurdRequestsGiveOneClearLineAndNoFile) {
    ScratchDir dir;
    const std::string in = dir.path("in.wav"), out = dir.path("out.wav");
    writeAudio(in, kWav16, 44100, 2, quantized(music(44100, 2.0, 0.5, 1), 16));
    writeAudio(dir.path("silence.wav"), kWav16, 48000, 2, std::vector<double>(2 * 48000 * 2, 0.0));
    writeAudio(dir.path("short.wav"), kWav16, 44100, 2, quantized(music(44100, 0.1, 0.5, 1), 16));
    struct Case {
        std::vector<std::string> args;
        const char* message;
        int exitCode;
    } cases[] = {
        {{in, out, "--target-lufs", "-14", "--ceiling-dbtp", "0.5"},
         "--ceiling-dbtp must be at most 0 dBTP",
         2},
        {{in, out, "--target-lufs", "3"}, "--target-lufs must be at most 0 LUFS", 2},
        {{in, out, "--target-lufs", "nan"}, "--target-lufs takes a number, not \"nan\"", 2},
        {{in, out, "--target-lufs", "-14", "--ceiling-dbtp", "-inf"}, "--ceiling-dbtp takes a number", 2},
        {{in, out}, "needs --target-lufs", 2},
        {{in, "--target-lufs", "-14"}, "needs an input and an output", 2},
        {{dir.path("silence.wav"), out, "--target-lufs", "-14"}, "is digital silence", 1},
        {{dir.path("short.wav"), out, "--target-lufs", "-14"}, "lasts 0.10 s", 1},
        {{in, out, "--target-lufs", "-14", "--plugin", fixturePluginPath()}, "has no \"Drive\"", 1},
        {{in, out, "--target-lufs", "-14", "--set", "Power=off"}, "does not follow \"Drive\"", 1},
    };
    const std::vector<std::string> before = dir.entries();
    for (const Case& c : cases) {
        std::vector<std::string> args = {"master"};
        args.insert(args.end(), c.args.begin(), c.args.end());
        SCOPED_TRACE(c.message);
        const RunResult r = runOrvel(args);
        EXPECT_EQ(r.exitCode, c.exitCode);
        EXPECT_NE(r.err.find(c.message), std::string::npos) << r.err;
        EXPECT_EQ(r.errLines(), 1) << r.err;
        EXPECT_EQ(r.out, "");
        EXPECT_EQ(dir.entries(), before) << "no output and no temporary file";
    }
}

// ---- the picture -----------------------------------------------------------------------------------

namespace {

struct Png {
    int width = 0, height = 0, stride = 0;
    std::vector<std::uint32_t> pixels; // 0x00RRGGBB
    std::uint32_t at(int x, int y) const {
        return pixels[std::size_t(y) * std::size_t(stride / 4) + std::size_t(x)];
    }
};

Png readPng(const std::string& path) {
    Png png;
    cairo_surface_t* s = cairo_image_surface_create_from_png(path.c_str());
    if (cairo_surface_status(s) != CAIRO_STATUS_SUCCESS) {
        ADD_FAILURE() << "cannot read " << path << " as PNG";
        cairo_surface_destroy(s);
        return png;
    }
    png.width = cairo_image_surface_get_width(s);
    png.height = cairo_image_surface_get_height(s);
    png.stride = cairo_image_surface_get_stride(s);
    const auto* data = reinterpret_cast<const std::uint32_t*>(cairo_image_surface_get_data(s));
    png.pixels.assign(data, data + std::size_t(png.height) * std::size_t(png.stride / 4));
    for (auto& p : png.pixels)
        p &= 0xffffff;
    cairo_surface_destroy(s);
    return png;
}

bool near(std::uint32_t a, std::uint32_t b) {
    for (int shift : {0, 8, 16})
        if (std::abs(int((a >> shift) & 0xff) - int((b >> shift) & 0xff)) > 40) return false;
    return true;
}

// The lowest row of the gain-change curve in each column of its panel (the deepest reduction);
// -1 where the column has none of the curve's colour.
std::vector<int> gainCurveBottom(const Png& png) {
    const orvel::PlotRect r = orvel::plotLayout().gain;
    std::vector<int> bottom;
    for (int x = int(r.x); x < int(r.x + r.width); ++x) {
        int lowest = -1;
        for (int y = int(r.y); y < int(r.y + r.height); ++y)
            if (near(png.at(x, y), orvel::kGainCurveColour)) lowest = y;
        bottom.push_back(lowest);
    }
    return bottom;
}

double meanBetween(const std::vector<int>& bottom, double from, double to, double seconds) {
    const double width = orvel::plotLayout().gain.width;
    double sum = 0.0;
    int n = 0;
    for (int x = int(from / seconds * width); x < int(to / seconds * width); ++x)
        if (bottom[std::size_t(x)] >= 0) {
            sum += bottom[std::size_t(x)];
            ++n;
        }
    EXPECT_GT(n, 0) << "no gain curve between " << from << " s and " << to << " s";
    return n ? sum / n : 0.0;
}

} // namespace

TEST(Plot, IsAPictureOfTheStatedSizeWhoseGainCurveDipsAtTheBurst) {
    ScratchDir dir;
    const double seconds = 6.0;
    writeAudio(dir.path("in.wav"), kWav24, 48000, 2, quantized(music(48000, seconds, 0.3, 2, 3.0, 0.5), 24));
    const RunResult r = runOrvel({"process", dir.path("in.wav"), dir.path("out.wav"), "--preset",
                                  "CD Master 1", "--plot", dir.path("picture.png"), "--quiet"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    const Png png = readPng(dir.path("picture.png"));
    EXPECT_EQ(png.width, orvel::kPlotWidth);
    EXPECT_EQ(png.height, orvel::kPlotHeight);
    ASSERT_FALSE(png.pixels.empty());
    const std::vector<int> bottom = gainCurveBottom(png);
    // Rows grow downwards: a dip is a larger row.
    const double burst = meanBetween(bottom, 3.05, 3.45, seconds);
    const double before = meanBetween(bottom, 0.5, 2.5, seconds),
                 after = meanBetween(bottom, 4.5, 5.8, seconds);
    EXPECT_GT(burst, before + 25.0);
    EXPECT_GT(burst, after + 25.0);
}
