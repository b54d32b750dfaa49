#include "tools/orvel/options.h"

#include <algorithm>
#include <charconv>
#include <set>

#include "tools/orvel/errors.h"

namespace orvel {

const char* const kUsage =
    R"(orvel: masters audio files through a VST 2.4 plug-in (Orvel Zelmar by default)

usage:
  orvel info [--plugin P] [--json]
  orvel process IN OUT [options]
  orvel demo [DIR] [options]
  orvel batch OUTDIR FILES... [--jobs N] [options]

options:
  --plugin P             the plug-in binary (default: OrvelZelmar.so beside orvel)
  --preset NAME|N        a factory preset, by name or slot number 0-23
  --preset-file F.ozp    a preset file saved by the plug-in
  --bank F.ozb --slot N  slot N (0-23) of a bank file saved by the plug-in
  --set NAME=VALUE       set a parameter after the preset: VALUE is one of the texts the parameter
                         shows (e.g. Power=off) or a normalized value 0..1; repeatable
  --block N              block size in frames (default 1024)
  --double               process in 64-bit floating point
  --format F             output samples: same (default), 16, 24 or float
  --no-compensate        keep the plug-in's latency in the output
  --json                 print the report as JSON
  --quiet                no progress bar and no text report
  --jobs N               batch: files processed at once (default: one per core)

Input: WAV, AIFF or FLAC, mono or stereo. The output's extension (.wav, .aiff, .flac) picks its format.
)";

namespace {

int parseCount(const std::string& option, const std::string& text, int low, int high) {
    int value = 0;
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value);
    if (ec != std::errc() || ptr != end || value < low || value > high)
        throw UsageError(option + " takes a whole number from " + std::to_string(low) + " to " +
                         std::to_string(high) + ", not \"" + text + "\"");
    return value;
}

struct Allowed {
    const char* command;
    std::set<std::string> options;
    std::size_t minOperands, maxOperands;
};

const std::set<std::string> kProcessOptions = {"--plugin", "--preset",        "--preset-file", "--bank",
                                               "--slot",   "--set",           "--block",       "--double",
                                               "--format", "--no-compensate", "--json",        "--quiet"};

std::set<std::string> with(std::set<std::string> base, std::initializer_list<const char*> extra) {
    for (const char* e : extra)
        base.insert(e);
    return base;
}

const Allowed* findCommand(const std::string& command) {
    static const Allowed table[] = {
        {"info", {"--plugin", "--json"}, 0, 0},
        {"process", kProcessOptions, 2, 2},
        {"demo", kProcessOptions, 0, 1},
        {"batch", with(kProcessOptions, {"--jobs"}), 2, std::size_t(-1)},
    };
    for (const Allowed& a : table)
        if (command == a.command) return &a;
    return nullptr;
}

const std::set<std::string> kFlags = {"--double", "--no-compensate", "--json", "--quiet"};

} // namespace

Options parseCommandLine(const std::vector<std::string>& args) {
    Options o;
    if (args.empty() || args[0] == "help" || args[0] == "--help" || args[0] == "-h") {
        o.command = "help";
        return o;
    }
    o.command = args[0];
    const Allowed* allowed = findCommand(o.command);
    if (!allowed) throw UsageError("unknown command \"" + o.command + "\"");

    bool optionsEnded = false;
    for (std::size_t i = 1; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (optionsEnded || arg.size() < 2 || arg.compare(0, 2, "--") != 0 || arg == "-") {
            o.operands.push_back(arg);
            continue;
        }
        if (arg == "--") {
            optionsEnded = true;
            continue;
        }
        if (arg == "--help") {
            o.command = "help";
            return o;
        }
        std::string name = arg, value;
        bool hasValue = false;
        if (const auto eq = arg.find('='); eq != std::string::npos) {
            name = arg.substr(0, eq);
            value = arg.substr(eq + 1);
            hasValue = true;
        }
        if (!allowed->options.count(name)) {
            if (findCommand("batch")->options.count(name))
                throw UsageError(name + " does not apply to orvel " + o.command);
            throw UsageError("unknown option " + name);
        }
        if (kFlags.count(name)) {
            if (hasValue) throw UsageError(name + " takes no value");
        } else if (!hasValue) {
            if (i + 1 >= args.size()) throw UsageError(name + " needs a value");
            value = args[++i];
        }

        auto choosePreset = [&](PresetSource source) {
            if (o.presetSource != PresetSource::None && o.presetSource != source)
                throw UsageError("choose one of --preset, --preset-file and --bank");
            o.presetSource = source;
        };
        if (name == "--plugin") {
            o.plugin = value;
        } else if (name == "--preset") {
            choosePreset(PresetSource::Factory);
            o.preset = value;
        } else if (name == "--preset-file") {
            choosePreset(PresetSource::File);
            o.presetFile = value;
        } else if (name == "--bank") {
            choosePreset(PresetSource::Bank);
            o.bankFile = value;
        } else if (name == "--slot") {
            o.slot = parseCount(name, value, 0, 23);
        } else if (name == "--set") {
            o.sets.push_back(value);
        } else if (name == "--block") {
            o.block = parseCount(name, value, 1, 65536);
        } else if (name == "--double") {
            o.useDouble = true;
        } else if (name == "--format") {
            o.formatGiven = true;
            if (value == "same")
                o.format = SampleFormat::Same;
            else if (value == "16")
                o.format = SampleFormat::Pcm16;
            else if (value == "24")
                o.format = SampleFormat::Pcm24;
            else if (value == "float")
                o.format = SampleFormat::Float;
            else
                throw UsageError("--format takes same, 16, 24 or float, not \"" + value + "\"");
        } else if (name == "--no-compensate") {
            o.compensate = false;
        } else if (name == "--json") {
            o.json = true;
        } else if (name == "--quiet") {
            o.quiet = true;
        } else if (name == "--jobs") {
            o.jobs = parseCount(name, value, 1, 64);
        }
    }
    if (o.slot >= 0 && o.presetSource != PresetSource::Bank) throw UsageError("--slot needs --bank");
    if (o.presetSource == PresetSource::Bank && o.slot < 0) o.slot = 0;
    if (o.operands.size() < allowed->minOperands || o.operands.size() > allowed->maxOperands) {
        if (o.command == "process") throw UsageError("orvel process needs an input and an output file");
        if (o.command == "batch")
            throw UsageError("orvel batch needs an output folder and at least one file");
        throw UsageError("too many operands for orvel " + o.command);
    }
    return o;
}

} // namespace orvel
