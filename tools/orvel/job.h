// One processing job: an input file through one plug-in instance into an output file.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "tools/orvel/options.h"
#include "tools/orvel/plugin_host.h"
#include "tools/orvel/settings.h"
#include "tools/orvel/signal_meter.h"

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
    SignalFigures input, output;
    double cpuSeconds = 0.0; // thread CPU time inside the processing calls
    double speed() const;    // audio seconds per CPU second; 0 when unmeasurable
};

// Called now and then with the frames written so far and the total.
using ProgressCallback = std::function<void(std::int64_t done, std::int64_t total)>;

// Runs the whole job; on any failure throws Error and leaves no output file.
Report runJob(const PluginLibrary& library, const Settings& settings, const Options& options,
              const std::string& inputPath, const std::string& outputPath,
              const ProgressCallback& progress = {});

// A progress bar on stderr, drawn only on a terminal and only once a job has run for half a second.
class ProgressBar {
public:
    explicit ProgressBar(bool enabled);
    ~ProgressBar();
    void update(std::int64_t done, std::int64_t total);
    void clear();

private:
    bool enabled;
    bool drawn = false;
    double started, lastDraw = 0.0;
};

} // namespace orvel
