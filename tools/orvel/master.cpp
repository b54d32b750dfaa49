#include "tools/orvel/master.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <limits>
#include <mutex>
#include <set>

#include "tools/orvel/audio_file.h"
#include "tools/orvel/decibel_parameter.h"
#include "tools/orvel/errors.h"
#include "tools/orvel/job.h"
#include "tools/orvel/master_report.h"
#include "tools/orvel/master_search.h"
#include "tools/orvel/parallel.h"
#include "tools/orvel/plot.h"
#include "tools/orvel/report.h"
#include "tools/orvel/settings.h"

namespace orvel {

namespace fs = std::filesystem;

namespace {

// Integrated loudness is gated over blocks of 400 ms: a shorter programme has none.
constexpr double kShortestSeconds = 0.4;

struct Track {
    std::string input, output;
    std::int64_t frames = 0;
};

std::vector<Track> plannedTracks(const Options& o) {
    std::vector<Track> tracks;
    if (o.albumDir.empty()) {
        tracks.push_back({o.operands[0], o.operands[1]});
    } else {
        std::error_code ec;
        fs::create_directories(o.albumDir, ec);
        if (!fs::is_directory(o.albumDir))
            throw Error("cannot create the folder " + o.albumDir + ": " + ec.message());
        std::set<std::string> seen;
        for (const std::string& in : o.operands) {
            const std::string out = (fs::path(o.albumDir) / fs::path(in).filename()).string();
            if (!seen.insert(out).second) throw UsageError("two inputs would both be written to " + out);
            tracks.push_back({in, out});
        }
    }
    for (Track& t : tracks) {
        const AudioReader reader(t.input);
        t.frames = reader.frames();
        const double seconds = double(reader.frames()) / double(reader.sampleRate());
        if (seconds < kShortestSeconds)
            throw Error(t.input + " lasts " + fixedText(seconds, 2) +
                        " s: integrated loudness needs at least 0.4 s of audio");
    }
    return tracks;
}

bool hasParameter(const PluginInstance& plugin, const std::string& name) {
    for (int i = 0; i < plugin.numParams(); ++i)
        if (plugin.paramName(i) == name) return true;
    return false;
}

// Master mode turns oversampling on: the true peak is what it is judged by. A --set overrides it.
Options withMasterDefaults(Options o, const PluginInstance& probe) {
    if (probe.isOrvelZelmar() && hasParameter(probe, "Oversample"))
        o.sets.insert(o.sets.begin(), "Oversample=on");
    return o;
}

float startingValue(const Settings& settings, const PluginInstance& probe, int index) {
    float value = probe.getParameter(index);
    if (settings.presetValues && index < kPresetValues) value = (*settings.presetValues)[std::size_t(index)];
    for (const ParameterSetting& s : settings.sets)
        if (s.index == index) value = s.value;
    return value;
}

double highestTruePeakDb(const SignalFigures& f) {
    double peak = 0.0;
    for (const ChannelFigures& c : f.channels)
        peak = std::max(peak, c.truePeak);
    return toDecibels(peak);
}

// Every pass renders all tracks at one setting and measures them as one programme.
class MasterSession {
public:
    MasterSession(const PluginLibrary& library, const Options& options, const Settings& settings,
                  const DecibelParameter& drive, const DecibelParameter& output, std::vector<Track> tracks)
        : library(library), options(options), settings(settings), drive(drive), output(output),
          tracks(std::move(tracks)), bar(!options.quiet) {
        for (const Track& t : this->tracks)
            totalFrames += t.frames;
    }

    PassResult render(double driveDb, double outputDb, int pass) {
        const float driveValue = drive.valueFor(driveDb), outputValue = output.valueFor(outputDb);
        PassResult result;
        result.driveDb = drive.decibelsAt(driveValue);
        result.outputDb = output.decibelsAt(outputValue);
        Settings passSettings = settings;
        passSettings.sets.push_back(
            {drive.index(), driveValue, drive.name(), signedText(result.driveDb, 2) + " dB"});
        passSettings.sets.push_back(
            {output.index(), outputValue, output.name(), signedText(result.outputDb, 2) + " dB"});

        bar.restart("pass " + std::to_string(pass) + " (at most " + std::to_string(kMaxMasterPasses) + ")");
        std::vector<RenderedJob> jobs = renderAll(passSettings);
        bar.clear();
        if (pass == 1) checkInputLoudness(jobs);
        result.lufs = programmeLoudness(jobs);
        if (!std::isfinite(result.lufs))
            throw Error("the plug-in's output has no measurable loudness at Drive " +
                        signedText(result.driveDb, 2) + " dB and Output " + signedText(result.outputDb, 2) +
                        " dB; is it bypassed or muted by a setting?");
        result.truePeakDbtp = -std::numeric_limits<double>::infinity();
        for (const RenderedJob& j : jobs)
            result.truePeakDbtp = std::max(result.truePeakDbtp, highestTruePeakDb(j.report.output));
        latest = std::move(jobs); // the previous pass's files go with their writers
        return result;
    }

    std::vector<RenderedJob>& lastPass() { return latest; }

private:
    std::vector<RenderedJob> renderAll(const Settings& passSettings) {
        const std::size_t n = tracks.size();
        std::vector<RenderedJob> jobs(n);
        std::vector<std::string> errors(n);
        std::vector<std::atomic<std::int64_t>> done(n);
        std::mutex barMutex;
        forEachInParallel(n, options.jobs, [&](std::size_t i) {
            try {
                jobs[i] = renderJob(library, passSettings, options, tracks[i].input, tracks[i].output,
                                    [&](std::int64_t frames, std::int64_t) {
                                        done[i] = frames;
                                        std::int64_t sum = 0;
                                        for (const auto& d : done)
                                            sum += d;
                                        std::lock_guard lock(barMutex);
                                        bar.update(sum, totalFrames);
                                    });
            } catch (const std::exception& e) {
                errors[i] = e.what();
            }
        });
        for (const std::string& e : errors)
            if (!e.empty()) throw Error(e);
        return jobs;
    }

    void checkInputLoudness(const std::vector<RenderedJob>& jobs) const {
        std::vector<const SignalMeter*> meters;
        for (const RenderedJob& j : jobs)
            meters.push_back(&j.report.inputTrack->meter());
        if (std::isfinite(SignalMeter::combinedLoudness(meters))) return;
        const std::string subject = jobs.size() == 1 ? jobs[0].report.inputPath : "the album";
        bool silent = true;
        for (const RenderedJob& j : jobs)
            for (const ChannelFigures& c : j.report.input.channels)
                silent = silent && c.samplePeak == 0.0;
        throw Error(subject + (silent ? " is digital silence: there is no loudness to bring to a target"
                                      : " stays below -70 LUFS, where loudness is not measured"));
    }

    static double programmeLoudness(const std::vector<RenderedJob>& jobs) {
        if (jobs.size() == 1) return jobs[0].report.output.integratedLufs;
        std::vector<const SignalMeter*> meters;
        for (const RenderedJob& j : jobs)
            meters.push_back(&j.report.outputTrack->meter());
        return SignalMeter::combinedLoudness(meters);
    }

    const PluginLibrary& library;
    const Options& options;
    const Settings& settings;
    const DecibelParameter& drive;
    const DecibelParameter& output;
    std::vector<Track> tracks;
    std::int64_t totalFrames = 0;
    ProgressBar bar;
    std::vector<RenderedJob> latest;
};

void printOut(const std::string& text) {
    std::fwrite(text.data(), 1, text.size(), stdout);
    std::fflush(stdout);
}

void printMasterReport(const Options& o, const MasterGoal& goal, const MasterSearch& search,
                       const std::vector<RenderedJob>& jobs) {
    if (o.json) {
        if (o.albumDir.empty()) {
            printOut(reportJson(jobs[0].report).set("master", masterJson(goal, search)).dump() + "\n");
        } else {
            JsonValue files = JsonValue::array();
            for (const RenderedJob& j : jobs)
                files.push(reportJson(j.report));
            printOut(JsonValue::object()
                         .set("album", o.albumDir)
                         .set("master", masterJson(goal, search))
                         .set("files", std::move(files))
                         .dump() +
                     "\n");
        }
        return;
    }
    if (o.quiet) return;
    const std::string subject = o.albumDir.empty()
                                    ? jobs[0].report.outputPath
                                    : "album of " + std::to_string(jobs.size()) + " files in " + o.albumDir;
    std::string text = masterText(goal, search, subject) + "\n";
    for (std::size_t i = 0; i < jobs.size(); ++i)
        text += reportText(jobs[i].report) + (i + 1 < jobs.size() ? "\n" : "");
    printOut(text);
}

void plotMaster(const Options& o, const MasterGoal& goal, const MasterSearch& search, const Report& report) {
    PlotRequest request;
    request.path = o.plot;
    request.report = &report;
    request.targetLufs = goal.targetLufs;
    request.ceilingDbtp = goal.ceilingDbtp;
    const std::size_t n = search.passes.size();
    request.notes.push_back("master: target " + fixedText(goal.targetLufs, 1) + " LUFS, ceiling " +
                            fixedText(goal.ceilingDbtp, 1) + " dBTP, " + outcomeName(search.outcome) +
                            " in " + std::to_string(n) + (n == 1 ? " pass" : " passes"));
    writePlot(request);
}

} // namespace

int masterCommand(const Options& given, const std::string& pluginPath, int defaultPreset) {
    const PluginLibrary library(pluginPath);
    const PluginInstance probe(library, 2);
    const Options o = withMasterDefaults(given, probe);
    const DecibelParameter drive(probe, "Drive"), output(probe, "Output");
    const Settings settings = resolveSettings(library, o, defaultPreset);
    std::vector<Track> tracks = plannedTracks(o);

    MasterGoal goal{o.targetLufs,
                    o.ceilingDbtp,
                    drive.range(),
                    output.range(),
                    drive.decibelsAt(startingValue(settings, probe, drive.index())),
                    o.bestEffort};
    MasterSession session(library, o, settings, drive, output, std::move(tracks));
    const MasterSearch search = searchMaster(goal, [&](double driveDb, double outputDb, int pass) {
        return session.render(driveDb, outputDb, pass);
    });
    if (!search.lastPassIsMaster) throw Error(describeLimit(goal, search));
    if (search.outcome != MasterOutcome::Reached)
        std::fprintf(stderr, "orvel: %s; written as asked by --best-effort\n",
                     describeLimit(goal, search).c_str());

    // The picture first: when it cannot be written, no audio is left behind either.
    std::vector<RenderedJob>& jobs = session.lastPass();
    if (!o.plot.empty()) plotMaster(o, goal, search, jobs[0].report);
    for (RenderedJob& j : jobs)
        j.commit();
    printMasterReport(o, goal, search, jobs);
    return 0;
}

} // namespace orvel
