#include "tests/tools/support/loudness_meters.h"

#include <ebur128.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <sstream>

#include "tests/tools/support/orvel_run.h"

extern char** environ;

namespace orveltest {

namespace {

struct StateDeleter {
    void operator()(ebur128_state* s) const { ebur128_destroy(&s); }
};
using State = std::unique_ptr<ebur128_state, StateDeleter>;

State measured(const Audio& a) {
    State s(ebur128_init(unsigned(a.channels), unsigned(a.rate), EBUR128_MODE_I | EBUR128_MODE_TRUE_PEAK));
    ebur128_add_frames_double(s.get(), a.samples.data(), std::size_t(a.frames()));
    return s;
}

// Runs a program with its output in a file; returns the exit status, or -1 when it cannot start.
int runProgram(const std::vector<std::string>& args, const std::string& outputFile) {
    std::vector<std::string> copy = args;
    std::vector<char*> argv;
    for (auto& a : copy)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, outputFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    pid_t pid = -1;
    const int rc = posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (rc != 0) return -1;
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

} // namespace

Loudness measureWithLibebur128(const std::string& path) {
    const Audio a = readAudio(path);
    Loudness l;
    if (a.samples.empty()) return l;
    const State s = measured(a);
    ebur128_loudness_global(s.get(), &l.integratedLufs);
    double peak = 0.0;
    for (int c = 0; c < a.channels; ++c) {
        double p = 0.0;
        ebur128_true_peak(s.get(), unsigned(c), &p);
        peak = std::max(peak, p);
    }
    for (double v : a.samples)
        peak = std::max(peak, std::fabs(v));
    l.truePeakDbtp = 20.0 * std::log10(peak);
    return l;
}

double albumLoudnessWithLibebur128(const std::vector<std::string>& paths) {
    std::vector<State> states;
    std::vector<ebur128_state*> raw;
    for (const std::string& p : paths) {
        states.push_back(measured(readAudio(p)));
        raw.push_back(states.back().get());
    }
    double lufs = 0.0;
    ebur128_loudness_global_multiple(raw.data(), raw.size(), &lufs);
    return lufs;
}

Loudness measureWithFfmpeg(const std::string& path) {
    // The filter's per-frame metadata carries three decimals, where its summary rounds to one.
    const ScratchDir dir;
    const std::string log = dir.path("r128.txt");
    const int status =
        runProgram({"ffmpeg", "-nostdin", "-hide_banner", "-i", path, "-af",
                    "ebur128=peak=true:metadata=1,ametadata=print:file=" + log, "-f", "null", "-"},
                   dir.path("stdout"));
    Loudness l{std::nan(""), std::nan("")};
    if (status != 0) {
        ADD_FAILURE() << "ffmpeg did not run (status " << status << "); scripts/install-deps installs it";
        return l;
    }
    std::istringstream lines(readFile(log));
    double peak = 0.0;
    bool sawPeak = false;
    for (std::string line; std::getline(lines, line);) {
        if (line.rfind("lavfi.r128.I=", 0) == 0) l.integratedLufs = std::stod(line.substr(13));
        if (line.rfind("lavfi.r128.true_peak=", 0) == 0) {
            peak = std::max(peak, std::stod(line.substr(21)));
            sawPeak = true;
        }
    }
    if (!sawPeak || std::isnan(l.integratedLufs)) ADD_FAILURE() << "ffmpeg gave no loudness for " << path;
    l.truePeakDbtp = 20.0 * std::log10(peak);
    return l;
}

std::vector<double> music(int rate, double seconds, double level, unsigned seed, double burstAt,
                          double burstSeconds) {
    const auto frames = std::size_t(std::llround(seconds * rate));
    std::vector<double> out(frames * 2);
    std::uint32_t s = seed * 2654435761u + 12345u;
    auto random = [&] {
        s = s * 1664525u + 1013904223u;
        return double(s >> 8) / 8388608.0 - 1.0;
    };
    const double beat = 0.5; // 120 bpm
    double lowpassL = 0.0, lowpassR = 0.0;
    for (std::size_t n = 0; n < frames; ++n) {
        const double t = double(n) / rate;
        const double inBeat = std::fmod(t, beat);
        const int beatIndex = int(t / beat);
        // Kick: a falling sine with a fast decay on every beat.
        const double kick =
            0.9 * std::exp(-inBeat * 18.0) *
            std::sin(2.0 * M_PI * (50.0 * inBeat + 90.0 * (1.0 - std::exp(-inBeat * 30.0)) / 30.0));
        // Snare: noise on the off-beats.
        const double offBeat = beatIndex % 2 == 1 ? std::exp(-inBeat * 25.0) : 0.0;
        const double noiseL = random(), noiseR = random();
        lowpassL += 0.35 * (noiseL - lowpassL);
        lowpassR += 0.35 * (noiseR - lowpassR);
        const double bass =
            0.3 * std::sin(2.0 * M_PI * 55.0 * t) * (0.6 + 0.4 * std::sin(2.0 * M_PI * 0.5 * t));
        double pad = 0.0;
        for (double f : {220.0, 277.18, 329.63, 440.0})
            pad += 0.04 * std::sin(2.0 * M_PI * f * t + f);
        double l = kick + 0.35 * offBeat * lowpassL + bass + pad;
        double r = kick + 0.35 * offBeat * lowpassR + bass + 0.9 * pad;
        out[2 * n] = level * 0.62 * l;
        out[2 * n + 1] = level * 0.62 * r;
        // The burst is loud whatever the level, so that the limiter has to work there.
        if (burstAt >= 0.0 && t >= burstAt && t < burstAt + burstSeconds) {
            out[2 * n] += 0.9 * noiseL;
            out[2 * n + 1] += 0.9 * noiseR;
        }
    }
    return out;
}

} // namespace orveltest
