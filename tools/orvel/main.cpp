// orvel: a command-line VST 2.4 host that masters audio files through a plug-in binary.
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <filesystem>
#include <mutex>
#include <set>

#include "tools/orvel/audio_file.h"
#include "tools/orvel/demo_material.h"
#include "tools/orvel/errors.h"
#include "tools/orvel/job.h"
#include "tools/orvel/master.h"
#include "tools/orvel/options.h"
#include "tools/orvel/parallel.h"
#include "tools/orvel/plot.h"
#include "tools/orvel/plugin_host.h"
#include "tools/orvel/plugin_info.h"
#include "tools/orvel/report.h"
#include "tools/orvel/settings.h"

using namespace orvel;
namespace fs = std::filesystem;

namespace {

std::string defaultPluginPath() {
    std::error_code ec;
    const fs::path self = fs::read_symlink("/proc/self/exe", ec);
    return ((ec ? fs::path(".") : self.parent_path()) / "OrvelZelmar.so").string();
}

std::string pluginPath(const Options& o) {
    return o.plugin.empty() ? defaultPluginPath() : o.plugin;
}

void printOut(const std::string& text) {
    std::fwrite(text.data(), 1, text.size(), stdout);
    std::fflush(stdout);
}

// ---- info ----------------------------------------------------------------------------------------

int info(const Options& o) {
    const PluginDescription plugin = describePlugin(PluginLibrary(pluginPath(o)));
    printOut(o.json ? pluginInfoJson(plugin).dump() + "\n" : pluginInfoText(plugin));
    return 0;
}

// ---- process and demo ----------------------------------------------------------------------------

void printReport(const Options& o, const Report& report) {
    if (o.json)
        printOut(reportJson(report).dump() + "\n");
    else if (!o.quiet)
        printOut(reportText(report));
}

int process(const Options& o) {
    const PluginLibrary library(pluginPath(o));
    const Settings settings = resolveSettings(library, o);
    ProgressBar bar(!o.quiet);
    RenderedJob job = renderJob(library, settings, o, o.operands[0], o.operands[1],
                                [&](std::int64_t done, std::int64_t total) { bar.update(done, total); });
    bar.clear();
    // The picture first: when it cannot be written, no audio is left behind either.
    if (!o.plot.empty()) {
        PlotRequest request;
        request.path = o.plot;
        request.report = &job.report;
        request.ceilingDbtp = o.ceilingDbtp;
        writePlot(request);
    }
    job.commit();
    printReport(o, job.report);
    return 0;
}

constexpr int kDemoPreset = 8; // "CD Master 1": limiting, then 16 bits with noise shaping

// The demo masters as a streaming service asks: -14 LUFS integrated, at most -1 dBTP.
constexpr double kDemoTargetLufs = -14.0;
constexpr double kDemoCeilingDbtp = -1.0;

int demo(Options o) {
    const fs::path dir = o.operands.empty() ? fs::path("out/demo") : fs::path(o.operands[0]);
    std::error_code ec;
    fs::create_directories(dir, ec);
    if (ec || !fs::is_directory(dir))
        throw Error("cannot create the folder " + dir.string() + ": " + ec.message());
    if (!o.formatGiven) o.format = SampleFormat::Pcm16;

    const std::string input = (dir / "demo-input.wav").string(), output = (dir / "demo-master.wav").string();
    {
        std::vector<double> material = makeDemoMaterial();
        AudioWriter writer(input, kDemoSampleRate, 2,
                           chooseOutputFormat(input, 0, SampleFormat::Pcm24, 2, kDemoSampleRate));
        writer.write(material.data(), std::int64_t(material.size() / 2));
        writer.commit();
    }
    o.command = "master";
    o.operands = {input, output};
    o.targetLufs = kDemoTargetLufs;
    o.targetGiven = true;
    o.ceilingDbtp = kDemoCeilingDbtp;
    if (o.plot.empty()) o.plot = (dir / "demo-master.png").string();
    return masterCommand(o, pluginPath(o), kDemoPreset);
}

// ---- batch ---------------------------------------------------------------------------------------

int batch(const Options& o) {
    const fs::path outDir = o.operands[0];
    const std::vector<std::string> inputs(o.operands.begin() + 1, o.operands.end());
    std::error_code ec;
    fs::create_directories(outDir, ec);
    if (!fs::is_directory(outDir))
        throw Error("cannot create the folder " + outDir.string() + ": " + ec.message());

    std::vector<std::string> outputs;
    std::set<std::string> seen;
    for (const std::string& in : inputs) {
        const std::string out = (outDir / fs::path(in).filename()).string();
        if (!seen.insert(out).second) throw UsageError("two inputs would both be written to " + out);
        outputs.push_back(out);
    }

    const PluginLibrary library(pluginPath(o));
    const Settings settings = resolveSettings(library, o);

    const std::size_t count = inputs.size();
    std::vector<Report> reports(count);
    std::vector<std::string> errors(count);
    std::atomic<std::size_t> finished{0};
    std::mutex barMutex;
    ProgressBar bar(!o.quiet);
    forEachInParallel(count, o.jobs, [&](std::size_t i) {
        try {
            reports[i] = runJob(library, settings, o, inputs[i], outputs[i]);
        } catch (const std::exception& e) {
            errors[i] = e.what();
        }
        const std::size_t done = ++finished;
        std::lock_guard lock(barMutex);
        bar.update(std::int64_t(done), std::int64_t(count));
    });
    bar.clear();

    int failed = 0;
    JsonValue json = JsonValue::array();
    for (std::size_t i = 0; i < count; ++i) {
        if (!errors[i].empty()) {
            ++failed;
            std::fprintf(stderr, "orvel: %s\n", errors[i].c_str());
            json.push(JsonValue::object()
                          .set("input", JsonValue::object().set("file", inputs[i]))
                          .set("error", errors[i]));
            continue;
        }
        if (o.json)
            json.push(reportJson(reports[i]));
        else if (!o.quiet)
            printOut(reportText(reports[i]) + (i + 1 < count ? "\n" : ""));
    }
    if (o.json) printOut(json.dump() + "\n");
    if (failed) std::fprintf(stderr, "orvel: %d of %zu files failed\n", failed, count);
    return failed ? 1 : 0;
}

} // namespace

int main(int argc, char** argv) {
    rememberCreationMode();
    installInterruptCleanup();
    Options o;
    try {
        o = parseCommandLine(std::vector<std::string>(argv + 1, argv + argc));
    } catch (const UsageError& e) {
        std::fprintf(stderr, "orvel: %s (orvel --help shows the usage)\n", e.what());
        return 2;
    }
    try {
        if (o.command == "help") {
            printOut(kUsage);
            return 0;
        }
        if (o.command == "info") return info(o);
        if (o.command == "process") return process(o);
        if (o.command == "master") return masterCommand(o, pluginPath(o));
        if (o.command == "demo") return demo(o);
        if (o.command == "batch") return batch(o);
    } catch (const UsageError& e) {
        std::fprintf(stderr, "orvel: %s\n", e.what());
        return 2;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "orvel: %s\n", e.what());
        return 1;
    }
    return 2;
}
