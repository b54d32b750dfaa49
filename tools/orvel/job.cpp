#include "tools/orvel/job.h"

#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>

#include "tools/orvel/audio_file.h"
#include "tools/orvel/errors.h"

namespace orvel {

namespace {

double threadCpuSeconds() {
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return double(ts.tv_sec) + double(ts.tv_nsec) * 1e-9;
}

double wallSeconds() {
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return double(ts.tv_sec) + double(ts.tv_nsec) * 1e-9;
}

// Planar buffers for the plug-in's pins. A mono file feeds both of the first two inputs, as a mono
// source on a stereo bus; inputs beyond the file's channels otherwise get silence.
template <typename T> struct PinBuffers {
    std::vector<std::vector<T>> in, out;
    std::vector<T*> inPtr, outPtr;

    PinBuffers(int inputs, int outputs, int block)
        : in(std::size_t(inputs), std::vector<T>(std::size_t(block))),
          out(std::size_t(outputs), std::vector<T>(std::size_t(block))) {
        for (auto& b : in)
            inPtr.push_back(b.data());
        for (auto& b : out)
            outPtr.push_back(b.data());
    }

    void load(const double* interleaved, int channels, std::int64_t frames, int count) {
        for (std::size_t pin = 0; pin < in.size(); ++pin) {
            T* dst = in[pin].data();
            const int source = int(pin) < channels ? int(pin) : (channels == 1 && pin == 1 ? 0 : -1);
            for (int f = 0; f < count; ++f)
                dst[f] = (source >= 0 && f < frames)
                             ? T(interleaved[std::size_t(f) * std::size_t(channels) + std::size_t(source)])
                             : T(0);
        }
        // Plug-ins that leave a pin unwritten must not leak the previous block into this one.
        for (auto& b : out)
            std::fill(b.begin(), b.begin() + count, T(0));
    }
};

template <typename T>
void processFile(const PluginInstance& plugin, AudioReader& reader, AudioWriter& writer, int block,
                 bool compensate, bool withShortTerm, Report& report, const ProgressCallback& progress) {
    const int channels = reader.channels();
    const auto* record = plugin.record();
    PinBuffers<T> pins(std::max(record->numInputs, 0), record->numOutputs, block);
    std::vector<double> inFrames(std::size_t(block) * std::size_t(channels));
    std::vector<double> outFrames(std::size_t(block) * std::size_t(channels));
    auto inTrack = std::make_shared<SignalTrack>(channels, reader.sampleRate(), withShortTerm);
    auto outTrack = std::make_shared<SignalTrack>(channels, reader.sampleRate(), withShortTerm);

    std::int64_t latency = compensate ? report.latency : 0;
    std::int64_t readTotal = 0, fed = 0, written = 0;
    bool endOfInput = false;
    double cpu = 0.0;
    while (true) {
        std::int64_t got = 0;
        if (!endOfInput) {
            got = reader.read(inFrames.data(), block);
            if (got < block) endOfInput = true;
            readTotal += got;
            inTrack->add(inFrames.data(), got);
        }
        // After the input, silence flushes the latency out of the plug-in.
        const std::int64_t count =
            endOfInput ? std::min<std::int64_t>(block, readTotal + latency - fed) : got;
        if (count <= 0) break;

        pins.load(inFrames.data(), channels, got, int(count));
        const double before = threadCpuSeconds();
        plugin.process(pins.inPtr.data(), pins.outPtr.data(), int(count));
        cpu += threadCpuSeconds() - before;
        // Some plug-ins publish their latency only from inside the first processing call; follow
        // the record until the first output frame is written, then keep the alignment.
        if (written == 0) {
            report.latency = std::max(plugin.latency(), 0);
            if (compensate) latency = report.latency;
        } else if (compensate && plugin.latency() != report.latency) {
            report.latencyChanged = true;
        }

        // Stream position p of this block's output is output frame p - latency.
        const std::int64_t skip = std::clamp<std::int64_t>(latency - fed, 0, count);
        const std::int64_t keep = count - skip;
        for (std::int64_t f = 0; f < keep; ++f) {
            for (int c = 0; c < channels; ++c) {
                double v = double(pins.out[std::size_t(c)][std::size_t(skip + f)]);
                if (!std::isfinite(v)) {
                    ++report.nonFiniteSamples;
                    v = 0.0;
                }
                outFrames[std::size_t(f) * std::size_t(channels) + std::size_t(c)] = v;
            }
        }
        // Measured after the writer has rounded them: the figures are those of the file.
        writer.write(outFrames.data(), keep);
        outTrack->add(outFrames.data(), keep);
        written += keep;
        fed += count;
        if (progress) progress(written, std::max(reader.frames(), written));
    }
    report.frames = readTotal;
    report.cpuSeconds = cpu;
    inTrack->finish();
    outTrack->finish();
    report.input = inTrack->figures();
    report.output = outTrack->figures();
    report.gainReduction = gainReduction(gainChangeDb(*inTrack, *outTrack), report.staticGainDb);
    report.inputTrack = std::move(inTrack);
    report.outputTrack = std::move(outTrack);
}

// The displayed value of a parameter in dB, or 0 when the plug-in has no such parameter.
double displayedDecibels(const PluginInstance& plugin, const std::string& name) {
    for (int i = 0; i < plugin.numParams(); ++i)
        if (plugin.paramName(i) == name) {
            const std::string text = plugin.paramDisplay(i);
            char* end = nullptr;
            const double db = std::strtod(text.c_str(), &end);
            if (end != text.c_str() && std::isfinite(db)) return db;
            return text.find("oo") != std::string::npos ? -std::numeric_limits<double>::infinity() : 0.0;
        }
    return 0.0;
}

} // namespace

double Report::speed() const {
    if (!(cpuSeconds > 0.0) || sampleRate <= 0) return 0.0;
    return double(frames) / double(sampleRate) / cpuSeconds;
}

void RenderedJob::commit() {
    writer->commit();
    writer.reset();
}

Report runJob(const PluginLibrary& library, const Settings& settings, const Options& options,
              const std::string& inputPath, const std::string& outputPath, const ProgressCallback& progress) {
    RenderedJob job = renderJob(library, settings, options, inputPath, outputPath, progress);
    job.commit();
    return std::move(job.report);
}

RenderedJob renderJob(const PluginLibrary& library, const Settings& settings, const Options& options,
                      const std::string& inputPath, const std::string& outputPath,
                      const ProgressCallback& progress) {
    AudioReader reader(inputPath);
    const int channels = reader.channels();
    const int outputFormat =
        chooseOutputFormat(outputPath, reader.format(), options.format, channels, reader.sampleRate());

    PluginInstance plugin(library, channels);
    const auto* record = plugin.record();
    if (record->numOutputs < channels)
        throw Error("the plug-in has " + std::to_string(record->numOutputs) + " output(s); " + inputPath +
                    " has " + std::to_string(channels) + " channels");
    if (record->numInputs < 1) throw Error("the plug-in has no audio input");
    if (options.useDouble ? !plugin.canDoubleReplacing() : !plugin.canReplacing())
        throw Error(std::string("the plug-in does not offer ") + (options.useDouble ? "64-bit" : "32-bit") +
                    " replacing processing");

    Report report;
    report.inputPath = inputPath;
    report.outputPath = outputPath;
    report.inputFormat = describeFormat(reader.format());
    report.outputFormat = describeFormat(outputFormat);
    report.pluginPath = library.path();
    report.effectName = plugin.effectName();
    report.presetLabel = settings.presetLabel;
    for (const ParameterSetting& s : settings.sets)
        report.sets.push_back(s.name + "=" + s.text);
    report.sampleRate = reader.sampleRate();
    report.channels = channels;
    report.block = options.block;
    report.doublePrecision = options.useDouble;
    report.compensated = options.compensate;

    // The order is fixed so that nothing the plug-in keeps on this machine changes the result: rate,
    // block size, every parameter, then processing.
    plugin.setSampleRate(reader.sampleRate());
    report.latency = std::max(plugin.latency(), 0);
    plugin.setBlockSize(options.block);
    applySettings(plugin, settings);
    plugin.start();
    // Some plug-ins settle their latency only once processing is on.
    report.latency = std::max(plugin.latency(), 0);
    if (plugin.isOrvelZelmar())
        report.staticGainDb = displayedDecibels(plugin, "Drive") + displayedDecibels(plugin, "Output");

    auto writer = std::make_unique<AudioWriter>(outputPath, reader.sampleRate(), channels, outputFormat);
    const bool withShortTerm = !options.plot.empty();
    if (options.useDouble)
        processFile<double>(plugin, reader, *writer, options.block, options.compensate, withShortTerm, report,
                            progress);
    else
        processFile<float>(plugin, reader, *writer, options.block, options.compensate, withShortTerm, report,
                           progress);
    plugin.stop();
    writer->finish();
    return {std::move(report), std::move(writer)};
}

ProgressBar::ProgressBar(bool on, std::string text)
    : enabled(on && isatty(STDERR_FILENO)), label(std::move(text)), started(wallSeconds()) {}

void ProgressBar::restart(std::string text) {
    clear();
    label = std::move(text);
    started = wallSeconds();
    lastDraw = 0.0;
}

ProgressBar::~ProgressBar() {
    clear();
}

void ProgressBar::update(std::int64_t done, std::int64_t total) {
    if (!enabled || total <= 0) return;
    const double now = wallSeconds();
    if (now - started < 0.5 || now - lastDraw < 0.1) return;
    lastDraw = now;
    constexpr int kWidth = 40;
    const double fraction = std::clamp(double(done) / double(total), 0.0, 1.0);
    const int filled = int(fraction * kWidth);
    std::fprintf(stderr, "\r%s%s[%.*s%.*s] %3d%%", label.c_str(), label.empty() ? "" : " ", filled,
                 "########################################", kWidth - filled,
                 "........................................", int(fraction * 100.0));
    std::fflush(stderr);
    drawn = true;
}

void ProgressBar::clear() {
    if (!drawn) return;
    std::fprintf(stderr, "\r\033[K");
    std::fflush(stderr);
    drawn = false;
}

} // namespace orvel
