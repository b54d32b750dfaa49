#include "tests/tools/support/orvel_run.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sndfile.h>
#include <spawn.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

extern char** environ;

namespace orveltest {

namespace fs = std::filesystem;

std::string orvelPath() {
    return ORVEL_EXE;
}
std::string orvelZelmarPath() {
    return ORVEL_PLUGIN_FILE;
}
std::string fixturePluginPath() {
    return ORVEL_FIXTURE_FILE;
}

ScratchDir::ScratchDir() {
    std::string pattern = (fs::temp_directory_path() / "orvel-test-XXXXXX").string();
    if (!mkdtemp(pattern.data())) throw std::runtime_error("cannot create a scratch folder");
    root = pattern;
}

ScratchDir::~ScratchDir() {
    std::error_code ec;
    fs::remove_all(root, ec);
}

std::string ScratchDir::path(const std::string& name) const {
    return name.empty() ? root : root + "/" + name;
}

std::vector<std::string> ScratchDir::entries() const {
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(root))
        names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

int RunResult::errLines() const {
    return int(std::count(err.begin(), err.end(), '\n'));
}

namespace {

std::vector<std::string> childEnvironment(const std::string& configDir,
                                          const std::vector<std::string>& extra) {
    std::vector<std::string> env;
    for (char** e = environ; *e; ++e)
        if (std::string(*e).rfind("XDG_CONFIG_HOME=", 0) != 0) env.push_back(*e);
    env.push_back("XDG_CONFIG_HOME=" + configDir);
    env.insert(env.end(), extra.begin(), extra.end());
    return env;
}

pid_t spawn(const std::vector<std::string>& args, const std::vector<std::string>& env,
            const std::string& outFile, const std::string& errFile) {
    std::vector<std::string> argv{orvelPath()};
    argv.insert(argv.end(), args.begin(), args.end());
    std::vector<char*> cargv, cenv;
    for (auto& a : argv)
        cargv.push_back(a.data());
    cargv.push_back(nullptr);
    std::vector<std::string> envCopy = env;
    for (auto& e : envCopy)
        cenv.push_back(e.data());
    cenv.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, outFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_addopen(&actions, 2, errFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    pid_t pid = -1;
    const int rc = posix_spawn(&pid, argv[0].c_str(), &actions, nullptr, cargv.data(), cenv.data());
    posix_spawn_file_actions_destroy(&actions);
    if (rc != 0) throw std::runtime_error("cannot start " + argv[0]);
    return pid;
}

// Output and settings of the child live outside any folder a test inspects.
const ScratchDir& runDir() {
    static ScratchDir dir;
    return dir;
}

} // namespace

int waitOrvel(pid_t pid) {
    int status = 0;
    waitpid(pid, &status, 0);
    if (WIFEXITED(status)) return WEXITSTATUS(status);
    if (WIFSIGNALED(status)) return -WTERMSIG(status);
    return -1;
}

RunResult runOrvel(const std::vector<std::string>& args, const std::vector<std::string>& env) {
    const std::string out = runDir().path("stdout"), err = runDir().path("stderr");
    const pid_t pid = spawn(args, childEnvironment(runDir().path(), env), out, err);
    RunResult r;
    r.exitCode = waitOrvel(pid);
    r.out = readFile(out);
    r.err = readFile(err);
    return r;
}

pid_t startOrvel(const std::vector<std::string>& args) {
    return spawn(args, childEnvironment(runDir().path(), {}), runDir().path("stdout-async"),
                 runDir().path("stderr-async"));
}

// ---- JSON ----------------------------------------------------------------------------------------

namespace {

struct JsonParser {
    const std::string& s;
    std::size_t i = 0;

    [[noreturn]] void fail(const std::string& what) {
        throw std::runtime_error("JSON: " + what + " at offset " + std::to_string(i));
    }
    void space() {
        while (i < s.size() && std::isspace((unsigned char)s[i]))
            ++i;
    }
    bool take(char c) {
        space();
        if (i < s.size() && s[i] == c) {
            ++i;
            return true;
        }
        return false;
    }
    void expect(char c) {
        if (!take(c)) fail(std::string("expected '") + c + "'");
    }
    std::string string() {
        expect('"');
        std::string out;
        while (i < s.size() && s[i] != '"') {
            char c = s[i++];
            if (c == '\\') {
                if (i >= s.size()) fail("bad escape");
                const char e = s[i++];
                if (e == 'n')
                    c = '\n';
                else if (e == 't')
                    c = '\t';
                else if (e == 'r')
                    c = '\r';
                else if (e == 'u') {
                    c = char(std::stoi(s.substr(i, 4), nullptr, 16));
                    i += 4;
                } else
                    c = e;
            }
            out += c;
        }
        expect('"');
        return out;
    }
    Json value() {
        space();
        Json j;
        if (i >= s.size()) fail("unexpected end");
        const char c = s[i];
        if (c == '{') {
            ++i;
            j.kind = Json::Object;
            if (take('}')) return j;
            do {
                space();
                std::string key = string();
                expect(':');
                j.members[key] = value();
            } while (take(','));
            expect('}');
        } else if (c == '[') {
            ++i;
            j.kind = Json::Array;
            if (take(']')) return j;
            do
                j.items.push_back(value());
            while (take(','));
            expect(']');
        } else if (c == '"') {
            j.kind = Json::String;
            j.text = string();
        } else if (s.compare(i, 4, "null") == 0) {
            i += 4;
        } else if (s.compare(i, 4, "true") == 0) {
            i += 4;
            j.kind = Json::Bool;
            j.boolean = true;
        } else if (s.compare(i, 5, "false") == 0) {
            i += 5;
            j.kind = Json::Bool;
        } else {
            std::size_t used = 0;
            try {
                j.number = std::stod(s.substr(i), &used);
            } catch (...) {
                fail("bad value");
            }
            i += used;
            j.kind = Json::Number;
        }
        return j;
    }
};

const Json& nullJson() {
    static const Json n;
    return n;
}

} // namespace

const Json& Json::operator[](const std::string& key) const {
    const auto it = members.find(key);
    if (it == members.end()) {
        ADD_FAILURE() << "JSON has no member \"" << key << "\"";
        return nullJson();
    }
    return it->second;
}

const Json& Json::operator[](std::size_t index) const {
    if (index >= items.size()) {
        ADD_FAILURE() << "JSON array has no item " << index;
        return nullJson();
    }
    return items[index];
}

double Json::num() const {
    if (kind != Number) ADD_FAILURE() << "JSON value is not a number";
    return number;
}

const std::string& Json::str() const {
    if (kind != String) ADD_FAILURE() << "JSON value is not a string";
    return text;
}

Json parseJson(const std::string& text) {
    JsonParser p{text};
    Json j = p.value();
    p.space();
    if (p.i != text.size()) p.fail("trailing text");
    return j;
}

// ---- audio ---------------------------------------------------------------------------------------

void writeAudio(const std::string& path, int format, int rate, int channels,
                const std::vector<double>& samples) {
    SF_INFO info{};
    info.samplerate = rate;
    info.channels = channels;
    info.format = format;
    SNDFILE* f = sf_open(path.c_str(), SFM_WRITE, &info);
    ASSERT_NE(f, nullptr) << path << ": " << sf_strerror(nullptr);
    // Without clipping libsndfile scales doubles by 2^n - 1 on the way out and 2^n on the way in, so
    // a PCM file would not hold the quantized values exactly.
    sf_command(f, SFC_SET_CLIPPING, nullptr, SF_TRUE);
    sf_writef_double(f, samples.data(), sf_count_t(samples.size()) / channels);
    sf_close(f);
}

Audio readAudio(const std::string& path) {
    Audio a;
    SF_INFO info{};
    SNDFILE* f = sf_open(path.c_str(), SFM_READ, &info);
    if (!f) {
        ADD_FAILURE() << "cannot read " << path << ": " << sf_strerror(nullptr);
        return a;
    }
    a.rate = info.samplerate;
    a.channels = info.channels;
    a.format = info.format;
    a.samples.resize(std::size_t(info.frames * info.channels));
    sf_readf_double(f, a.samples.data(), info.frames);
    sf_close(f);
    return a;
}

std::vector<double> sine(double hz, double amplitude, int rate, double seconds, int channels, double phase) {
    const auto frames = std::size_t(std::llround(seconds * rate));
    std::vector<double> out(frames * std::size_t(channels));
    for (std::size_t n = 0; n < frames; ++n) {
        // Reduce the phase in whole cycles first, so that long signals stay exact at their peaks.
        const double cycles = std::fmod(double(n) * hz, double(rate)) / double(rate);
        const double v = amplitude * std::sin(2.0 * M_PI * cycles + phase);
        for (int c = 0; c < channels; ++c)
            out[n * std::size_t(channels) + std::size_t(c)] = v;
    }
    return out;
}

std::vector<double> noise(double amplitude, int rate, double seconds, int channels, std::uint32_t seed) {
    std::vector<double> out(std::size_t(std::llround(seconds * rate)) * std::size_t(channels));
    std::uint32_t s = seed * 2654435761u + 1u;
    for (double& v : out) {
        s = s * 1664525u + 1013904223u;
        v = amplitude * (double(s >> 8) / 8388608.0 - 1.0);
    }
    return out;
}

std::vector<double> quantized(std::vector<double> samples, int bits) {
    if (bits == 0) {
        for (double& v : samples)
            v = double(float(v));
        return samples;
    }
    const double scale = std::ldexp(1.0, bits - 1);
    for (double& v : samples)
        v = std::clamp(std::nearbyint(v * scale), -scale, scale - 1.0) / scale; // ties to even
    return samples;
}

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

void writeFile(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary);
    out << bytes;
}

} // namespace orveltest
