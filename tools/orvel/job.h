// One processing job: an input file through one plug-in instance into an output file.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "tools/orvel/audio_file.h"
#include "tools/orvel/options.h"
#include "tools/orvel/plugin_host.h"
#include "tools/orvel/settings.h"
#include "tools/orvel/signal_meter.h"
#include "tools/orvel/signal_track.h"

namespace orvel {

struct Report {
    std::string inputPath, outputPath;
    std::string inputFormat, outputFormat;
    std::string pluginPath, effectName, presetLabel;
    std::vector<std::string> sets; // "NAME=VALUE" as applied
    int sampleRate = 0;
    int channels = 0;
    std::int64_t frames = 0;
    int block = 0;
    bool doublePrecision = false;
    int latency = 0;
    bool compensated = true;
    bool latencyChanged = false;       // the plug-in changed its latency after output had begun
    std::int64_t nonFiniteSamples = 0; // output samples the plug-in left as NaN or infinity, written as 0
    SignalFigures input, output;       // the output as written: after the file's own rounding
    // The gain the plug-in applies where it does not limit: "Drive" plus "Output" for Orvel Zelmar,
    // 0 dB for any other plug-in.
    double staticGainDb = 0.0;
    GainReduction gainReduction;
    std::shared_ptr<const SignalTrack> inputTrack, outputTrack;
    double cpuSeconds = 0.0; // thread CPU time inside the processing calls
    double speed() const;    // audio seconds per CPU second; 0 when unmeasurable
};

// Called now and then with the frames written so far and the total.
using ProgressCallback = std::function<void(std::int64_t done, std::int64_t total)>;

// A processed job whose output is complete under its temporary name: committing renames it into
// place; dropping it removes it.
struct RenderedJob {
    Report report;
    std::unique_ptr<AudioWriter> writer;
    void commit();
};

// Processes the whole input; on any failure throws Error and leaves no file.
RenderedJob renderJob(const PluginLibrary& library, const Settings& settings, const Options& options,
                      const std::string& inputPath, const std::string& outputPath,
                      const ProgressCallback& progress = {});

// renderJob, then commit.
Report runJob(const PluginLibrary& library, const Settings& settings, const Options& options,
              const std::string& inputPath, const std::string& outputPath,
              const ProgressCallback& progress = {});

// A progress bar on stderr, drawn only on a terminal and only once a job has run for half a second.
// A label ("pass 3/12") goes before the bar; restart() begins a new bar under a new label.
class ProgressBar {
public:
    explicit ProgressBar(bool enabled, std::string label = "");
    ~ProgressBar();
    void update(std::int64_t done, std::int64_t total);
    void restart(std::string label);
    void clear();

private:
    bool enabled;
    bool drawn = false;
    std::string label;
    double started, lastDraw = 0.0;
};

} // namespace orvel
