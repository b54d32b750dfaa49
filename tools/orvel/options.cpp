#include "tools/orvel/options.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <set>

#include "tools/orvel/errors.h"

namespace orvel {

const char* const kUsage =
    R"(orvel: masters audio files through a VST 2.4 plug-in (Orvel Zelmar by default)

usage:
  orvel info [--plugin P] [--json]
  orvel process IN OUT [options]
  orvel master IN OUT --target-lufs L [--ceiling-dbtp C] [--best-effort] [options]
  orvel master --album OUTDIR FILES... --target-lufs L [--ceiling-dbtp C] [--jobs N] [options]
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
  --jobs N               batch and album: files processed at once (default: one per core)
  --plot FILE.png        draw the input and output over time: envelopes, gain change, short-term
                         loudness, target and ceiling, where the true peak goes over the ceiling
  --ceiling-dbtp C       process: the ceiling the plot marks (default -1.0)

master: finds the "Drive" (and, for the ceiling, the "Output") that bring the written file to the
target loudness with its true peak, measured on the samples in the file, at or below the ceiling.
"Oversample" is on unless a --set says otherwise.
  --target-lufs L        integrated loudness of the master (or of the whole album), e.g. -14
  --ceiling-dbtp C       highest true peak allowed (default -1.0)
  --best-effort          when the target cannot be reached, write the loudest master the ceiling allows
  --album OUTDIR         one setting for all the files, so that the album as a whole is at the target
                         and the songs keep their relative levels

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

// Strictly a finite decimal number: "nan", "inf" and trailing text are refused.
double parseDecibels(const std::string& option, const std::string& text) {
    const char* begin = text.c_str();
    char* end = nullptr;
    const double value = std::strtod(begin, &end);
    const bool number = !text.empty() && end == begin + text.size() && !std::isspace((unsigned char)text[0]);
    if (!number || !std::isfinite(value)) throw UsageError(option + " takes a number, not \"" + text + "\"");
    return value;
}

std::set<std::string> with(std::set<std::string> base, std::initializer_list<const char*> extra) {
    for (const char* e : extra)
        base.insert(e);
    return base;
}

const Allowed* findCommand(const std::string& command) {
    static const Allowed table[] = {
        {"info", {"--plugin", "--json"}, 0, 0},
        {"process", with(kProcessOptions, {"--plot", "--ceiling-dbtp"}), 2, 2},
        {"master",
         with(kProcessOptions,
              {"--plot", "--target-lufs", "--ceiling-dbtp", "--best-effort", "--album", "--jobs"}),
         1, std::size_t(-1)},
        {"demo", with(kProcessOptions, {"--plot"}), 0, 1},
        {"batch", with(kProcessOptions, {"--jobs"}), 2, std::size_t(-1)},
    };
    for (const Allowed& a : table)
        if (command == a.command) return &a;
    return nullptr;
}

const std::set<std::string> kFlags = {"--double", "--no-compensate", "--json", "--quiet", "--best-effort"};

// What master needs beyond the option table: a target, sane levels, the right operands.
void checkMaster(const Options& o) {
    if (!o.targetGiven) throw UsageError("orvel master needs --target-lufs");
    if (o.targetLufs > 0.0)
        throw UsageError("--target-lufs must be at most 0 LUFS: louder is beyond digital full scale");
    if (o.targetLufs < -60.0) throw UsageError("--target-lufs must be -60 LUFS or louder");
    if (o.albumDir.empty()) {
        if (o.operands.size() != 2)
            throw UsageError("orvel master needs an input and an output file (or --album OUTDIR FILES...)");
        if (o.jobs > 0) throw UsageError("--jobs applies to orvel master --album only");
    } else if (o.operands.empty()) {
        throw UsageError("orvel master --album needs at least one file");
    }
    if (!o.albumDir.empty() && !o.plot.empty())
        throw UsageError("--plot draws one file; it does not apply to --album");
}

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
            if (findCommand("batch")->options.count(name) || findCommand("master")->options.count(name))
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
        } else if (name == "--plot") {
            o.plot = value;
        } else if (name == "--target-lufs") {
            o.targetLufs = parseDecibels(name, value);
            o.targetGiven = true;
        } else if (name == "--ceiling-dbtp") {
            o.ceilingDbtp = parseDecibels(name, value);
        } else if (name == "--best-effort") {
            o.bestEffort = true;
        } else if (name == "--album") {
            o.albumDir = value;
        }
    }
    if (o.ceilingDbtp > 0.0)
        throw UsageError("--ceiling-dbtp must be at most 0 dBTP: samples above full scale clip");
    if (o.ceilingDbtp < -20.0) throw UsageError("--ceiling-dbtp must be -20 dBTP or higher");
    if (o.command == "master") checkMaster(o);
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
