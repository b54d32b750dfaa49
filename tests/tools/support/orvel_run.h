// Support for orvel's end-to-end tests: a scratch folder, running the built orvel, reading its JSON,
// and writing and reading audio files with libsndfile.
#pragma once

#include <sys/types.h>

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace orveltest {

std::string orvelPath();
std::string orvelZelmarPath();
std::string fixturePluginPath();

// A fresh folder, removed with everything in it when the object goes.
class ScratchDir {
public:
    ScratchDir();
    ~ScratchDir();
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;
    std::string path(const std::string& name = "") const;
    std::vector<std::string> entries() const; // file names, sorted

private:
    std::string root;
};

struct RunResult {
    int exitCode = -1; // -signal when a signal ended it
    std::string out, err;
    int errLines() const;
};

// Runs orvel with the arguments; the plug-ins' per-user settings go to a private folder, and `env`
// adds variables.
RunResult runOrvel(const std::vector<std::string>& args, const std::vector<std::string>& env = {});
// Starts orvel without waiting; returns its process id.
pid_t startOrvel(const std::vector<std::string>& args);
int waitOrvel(pid_t pid);

// A small JSON reader for the reports.
struct Json {
    enum Kind { Null, Bool, Number, String, Array, Object } kind = Null;
    bool boolean = false;
    double number = 0.0;
    std::string text;
    std::vector<Json> items;
    std::map<std::string, Json> members;

    const Json& operator[](const std::string& key) const;
    const Json& operator[](std::size_t index) const;
    double num() const;
    const std::string& str() const;
};
Json parseJson(const std::string& text); // throws std::runtime_error

struct Audio {
    int rate = 0, channels = 0, format = 0;
    std::vector<double> samples; // interleaved
    std::int64_t frames() const { return channels ? std::int64_t(samples.size()) / channels : 0; }
};
void writeAudio(const std::string& path, int sndfileFormat, int rate, int channels,
                const std::vector<double>& samples);
Audio readAudio(const std::string& path); // fails the test and returns empty audio when unreadable

// Test signals, interleaved; the same value on every channel unless noted.
std::vector<double> sine(double hz, double amplitude, int rate, double seconds, int channels,
                         double phase = 0.0);
// Independent deterministic noise on each channel, uniform in [-amplitude, amplitude].
std::vector<double> noise(double amplitude, int rate, double seconds, int channels, std::uint32_t seed = 1);
// Quantizes to what a PCM file of `bits` holds (rounding to the nearest step), or with bits 0 to a
// 32-bit float, so that a signal round-trips through the file exactly.
std::vector<double> quantized(std::vector<double> samples, int bits);

std::string readFile(const std::string& path);
void writeFile(const std::string& path, const std::string& bytes);

} // namespace orveltest
