// orvel: a command-line VST 2.4 host that masters audio files through a plug-in binary.
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <filesystem>
#include <mutex>
#include <set>
#include <thread>

#include "tools/orvel/audio_file.h"
#include "tools/orvel/demo_material.h"
#include "tools/orvel/errors.h"
#include "tools/orvel/job.h"
#include "tools/orvel/options.h"
#include "tools/orvel/plugin_host.h"
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

std::string categoryName(vst::VstIntPtr category) {
    static const char* const names[] = {"unknown",     "effect",      "synth",   "analysis",
                                        "mastering",   "spatializer", "room fx", "surround fx",
                                        "restoration", "offline",     "shell",   "generator"};
    return category >= 0 && category < vst::VstIntPtr(std::size(names)) ? names[category]
                                                                        : std::to_string(category);
}

int info(const Options& o) {
    const PluginLibrary library(pluginPath(o));
    PluginInstance plugin(library, 2);
    const vst::AEffect* fx = plugin.record();

    struct Param {
        std::string name, display, label;
        float value;
        std::vector<Choice> choices;
    };
    std::vector<Param> params;
    for (int i = 0; i < plugin.numParams(); ++i)
        params.push_back(
            {plugin.paramName(i), plugin.paramDisplay(i), plugin.paramLabel(i), plugin.getParameter(i), {}});
    std::vector<std::string> programs;
    for (int i = 0; i < std::max(fx->numPrograms, 128); ++i) {
        char name[512] = {};
        const bool known = plugin.dispatch(vst::effGetProgramNameIndexed, i, -1, name) != 0;
        if (!known && i >= fx->numPrograms) break;
        name[sizeof(name) - 1] = 0;
        programs.push_back(name);
    }
    std::vector<std::pair<int, int>> latencies;
    for (int rate : {44100, 48000, 88200, 96000, 176400, 192000}) {
        plugin.setSampleRate(rate);
        latencies.push_back({rate, fx->initialDelay});
    }
    plugin.setSampleRate(44100);
    // Choices last: the sweep moves each parameter through its range.
    for (int i = 0; i < plugin.numParams(); ++i)
        params[std::size_t(i)].choices = sweepChoices(plugin, i);

    const std::string name = plugin.effectName(), vendor = plugin.text(vst::effGetVendorString),
                      product = plugin.text(vst::effGetProductString);
    const auto vendorVersion = plugin.dispatch(vst::effGetVendorVersion);
    const auto vstVersion = plugin.dispatch(vst::effGetVstVersion);
    const auto category = plugin.dispatch(vst::effGetPlugCategory);

    std::string out;
    if (o.json) {
        out = "{\n  \"file\": " + jsonString(library.path()) + ", \"name\": " + jsonString(name) +
              ", \"vendor\": " + jsonString(vendor) + ", \"product\": " + jsonString(product) +
              ",\n  \"unique_id\": " + jsonString(plugin.uniqueIdText()) +
              ", \"version\": " + std::to_string(fx->version) +
              ", \"vendor_version\": " + std::to_string(vendorVersion) +
              ", \"vst_version\": " + std::to_string(vstVersion) +
              ", \"category\": " + jsonString(categoryName(category)) +
              ",\n  \"inputs\": " + std::to_string(fx->numInputs) +
              ", \"outputs\": " + std::to_string(fx->numOutputs) +
              ", \"flags\": " + std::to_string(fx->flags) + ",\n  \"latency\": {";
        for (std::size_t k = 0; k < latencies.size(); ++k)
            out += (k ? ", " : "") + jsonString(std::to_string(latencies[k].first)) + ": " +
                   std::to_string(latencies[k].second);
        out += "},\n  \"parameters\": [";
        for (std::size_t i = 0; i < params.size(); ++i) {
            const Param& p = params[i];
            out += std::string(i ? ",\n" : "\n") + "    {\"index\": " + std::to_string(i) +
                   ", \"name\": " + jsonString(p.name) + ", \"display\": " + jsonString(p.display) +
                   ", \"label\": " + jsonString(p.label) + ", \"value\": " + jsonNumber(p.value, 6) +
                   ", \"choices\": [";
            for (std::size_t c = 0; c < p.choices.size(); ++c)
                out += (c ? ", " : "") + jsonString(p.choices[c].text);
            out += "]}";
        }
        out += "\n  ],\n  \"programs\": [";
        for (std::size_t i = 0; i < programs.size(); ++i)
            out += (i ? ", " : "") + jsonString(programs[i]);
        out += "]\n}\n";
    } else {
        out += name + " (" + library.path() + ")\n";
        out += "  vendor     " + vendor + "\n  product    " + product + "\n";
        out += "  unique ID  " + plugin.uniqueIdText() + ", version " + std::to_string(fx->version) +
               ", vendor version " + std::to_string(vendorVersion) + ", VST " + std::to_string(vstVersion) +
               "\n";
        out += "  category   " + categoryName(category) + "\n";
        out += "  audio      " + std::to_string(fx->numInputs) + " in, " + std::to_string(fx->numOutputs) +
               " out, " + ((fx->flags & vst::effFlagsCanReplacing) ? "32-bit" : "no 32-bit") +
               ((fx->flags & vst::effFlagsCanDoubleReplacing) ? " and 64-bit processing" : " processing") +
               ((fx->flags & vst::effFlagsHasEditor) ? ", editor" : "") + "\n";
        out += "  latency   ";
        for (std::size_t k = 0; k < latencies.size(); ++k)
            out += (k ? ", " : " ") + std::to_string(latencies[k].second) + " at " +
                   std::to_string(latencies[k].first) + " Hz";
        out += " (samples)\n\n";
        out += "parameters (" + std::to_string(params.size()) + "):\n";
        std::size_t nameWidth = 4, displayWidth = 7;
        for (const Param& p : params) {
            nameWidth = std::max(nameWidth, p.name.size());
            displayWidth = std::max(displayWidth, p.display.size() + 1 + p.label.size());
        }
        char line[1024];
        std::snprintf(line, sizeof(line), "  %5s  %-*s  %-*s  %-8s  %s\n", "index", int(nameWidth), "name",
                      int(displayWidth), "display", "value", "choices");
        out += line;
        for (std::size_t i = 0; i < params.size(); ++i) {
            const Param& p = params[i];
            std::string choices;
            for (const Choice& c : p.choices)
                choices += (choices.empty() ? "" : " | ") + c.text;
            const std::string display = p.label.empty() ? p.display : p.display + " " + p.label;
            std::snprintf(line, sizeof(line), "  %5zu  %-*s  %-*s  %-8.6f  %s\n", i, int(nameWidth),
                          p.name.c_str(), int(displayWidth), display.c_str(), double(p.value),
                          choices.c_str());
            out += line;
        }
        out += "\nprograms (" + std::to_string(programs.size()) + "):\n";
        for (std::size_t i = 0; i < programs.size(); ++i)
            out += "  " + std::string(i < 10 ? " " : "") + std::to_string(i) + "  " + programs[i] + "\n";
    }
    printOut(out);
    return 0;
}

// ---- process and demo ----------------------------------------------------------------------------

void printReport(const Options& o, const Report& report) {
    if (o.json)
        printOut(reportJson(report) + "\n");
    else if (!o.quiet)
        printOut(reportText(report));
}

int process(const Options& o) {
    const PluginLibrary library(pluginPath(o));
    const Settings settings = resolveSettings(library, o);
    ProgressBar bar(!o.quiet);
    const Report report = runJob(library, settings, o, o.operands[0], o.operands[1],
                                 [&](std::int64_t done, std::int64_t total) { bar.update(done, total); });
    bar.clear();
    printReport(o, report);
    return 0;
}

constexpr int kDemoPreset = 8; // "CD Master 1": limiting, then 16 bits with noise shaping

int demo(Options o) {
    const fs::path dir = o.operands.empty() ? fs::path("out/demo") : fs::path(o.operands[0]);
    std::error_code ec;
    fs::create_directories(dir, ec);
    if (ec || !fs::is_directory(dir))
        throw Error("cannot create the folder " + dir.string() + ": " + ec.message());
    if (!o.formatGiven) o.format = SampleFormat::Pcm16;

    const PluginLibrary library(pluginPath(o));
    const Settings settings = resolveSettings(library, o, kDemoPreset);

    const std::string input = (dir / "demo-input.wav").string(), output = (dir / "demo-master.wav").string();
    {
        const std::vector<double> material = makeDemoMaterial();
        AudioWriter writer(input, kDemoSampleRate, 2,
                           chooseOutputFormat(input, 0, SampleFormat::Pcm24, 2, kDemoSampleRate));
        writer.write(material.data(), std::int64_t(material.size() / 2));
        writer.commit();
    }
    ProgressBar bar(!o.quiet);
    const Report report = runJob(library, settings, o, input, output,
                                 [&](std::int64_t done, std::int64_t total) { bar.update(done, total); });
    bar.clear();
    printReport(o, report);
    return 0;
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
    std::atomic<std::size_t> next{0}, finished{0};
    std::mutex barMutex;
    ProgressBar bar(!o.quiet);
    auto worker = [&] {
        for (std::size_t i; (i = next++) < count;) {
            try {
                reports[i] = runJob(library, settings, o, inputs[i], outputs[i]);
            } catch (const std::exception& e) {
                errors[i] = e.what();
            }
            const std::size_t done = ++finished;
            std::lock_guard lock(barMutex);
            bar.update(std::int64_t(done), std::int64_t(count));
        }
    };
    const unsigned cores = std::max(1u, std::thread::hardware_concurrency());
    const std::size_t jobs = std::min<std::size_t>(o.jobs > 0 ? std::size_t(o.jobs) : cores, count);
    std::vector<std::thread> threads;
    for (std::size_t j = 0; j < jobs; ++j)
        threads.emplace_back(worker);
    for (std::thread& t : threads)
        t.join();
    bar.clear();

    int failed = 0;
    std::string json = "[";
    for (std::size_t i = 0; i < count; ++i) {
        if (!errors[i].empty()) {
            ++failed;
            std::fprintf(stderr, "orvel: %s\n", errors[i].c_str());
            if (o.json)
                json += std::string(i ? ",\n" : "\n") + "{\"input\": {\"file\": " + jsonString(inputs[i]) +
                        "}, \"error\": " + jsonString(errors[i]) + "}";
            continue;
        }
        if (o.json)
            json += std::string(i ? ",\n" : "\n") + reportJson(reports[i]);
        else if (!o.quiet)
            printOut(reportText(reports[i]) + (i + 1 < count ? "\n" : ""));
    }
    if (o.json) printOut(json + "\n]\n");
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
