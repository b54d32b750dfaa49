#include "tools/orvel/report.h"

#include <cmath>
#include <cstdio>

namespace orvel {

namespace {

std::string fixed(double value, int decimals) {
    if (std::isnan(value)) return "n/a";
    if (std::isinf(value)) return value < 0 ? "-inf" : "inf";
    char buf[64];
    std::snprintf(buf, sizeof(buf), "%.*f", decimals, value);
    // "-0.00" reads as a sign error; a rounded zero has no sign.
    if (std::string(buf).find_first_not_of("-0.") == std::string::npos && buf[0] == '-') return buf + 1;
    return buf;
}

std::string pad(const std::string& s, std::size_t width) {
    return s.size() >= width ? s + " " : std::string(width - s.size(), ' ') + s;
}

const char* channelName(int channel, int channels) {
    if (channels == 1) return "mono";
    return channel == 0 ? "left" : "right";
}

std::string figuresJson(const SignalFigures& f, int channels, bool withFullScale) {
    std::string out = "{\"integrated_lufs\": " + jsonNumber(f.integratedLufs, 2) +
                      ", \"loudness_range_lu\": " + jsonNumber(f.loudnessRangeLu, 2) + ", \"channels\": [";
    for (int c = 0; c < channels; ++c) {
        const ChannelFigures& ch = f.channels[std::size_t(c)];
        out += std::string(c ? ", " : "") + "{\"channel\": \"" + channelName(c, channels) +
               "\", \"sample_peak_dbfs\": " + jsonNumber(toDecibels(ch.samplePeak), 3) +
               ", \"true_peak_dbtp\": " + jsonNumber(toDecibels(ch.truePeak), 3);
        if (withFullScale) out += ", \"full_scale_samples\": " + std::to_string(ch.fullScaleSamples);
        out += "}";
    }
    return out + "]}";
}

} // namespace

std::string jsonString(const std::string& text) {
    std::string out = "\"";
    for (unsigned char c : text) {
        switch (c) {
        case '"':
            out += "\\\"";
            break;
        case '\\':
            out += "\\\\";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\t':
            out += "\\t";
            break;
        case '\r':
            out += "\\r";
            break;
        default:
            if (c < 0x20) {
                char buf[8];
                std::snprintf(buf, sizeof(buf), "\\u%04x", c);
                out += buf;
            } else {
                out += char(c);
            }
        }
    }
    return out + "\"";
}

std::string jsonNumber(double value, int decimals) {
    if (!std::isfinite(value)) return "null";
    return fixed(value, decimals);
}

std::string reportText(const Report& r) {
    std::string t;
    t += r.inputPath + " -> " + r.outputPath + "\n";
    t += "  plug-in    " + r.effectName + " (" + r.pluginPath + ")\n";
    if (!r.presetLabel.empty()) t += "  preset     " + r.presetLabel + "\n";
    for (const std::string& s : r.sets)
        t += "  set        " + s + "\n";
    t += "  audio      " + std::to_string(r.sampleRate) + " Hz, " + (r.channels == 1 ? "mono" : "stereo") +
         ", " + fixed(double(r.frames) / double(r.sampleRate), 2) + " s, " + r.inputFormat + " -> " +
         r.outputFormat + "\n";
    t += "  latency    " + std::to_string(r.latency) + " samples, " +
         (r.compensated ? "compensated" : "left in the output") + "\n";
    t += "  processing " + std::string(r.doublePrecision ? "64-bit" : "32-bit") + " float, blocks of " +
         std::to_string(r.block) + " frames\n\n";

    const int n = r.channels;
    const std::size_t w = 11;
    std::string header = pad("", 16);
    for (int side = 0; side < 2; ++side)
        for (int c = 0; c < n; ++c)
            header += pad(std::string(side ? "out " : "in ") + channelName(c, n), w);
    t += header + "\n";
    auto row = [&](const char* name, auto inValue, auto outValue, const char* unit) {
        std::string line = std::string("  ") + name;
        line += std::string(16 > line.size() ? 16 - line.size() : 1, ' ');
        for (int c = 0; c < n; ++c)
            line += pad(inValue(c), w);
        for (int c = 0; c < n; ++c)
            line += pad(outValue(c), w);
        t += line + "  " + unit + "\n";
    };
    row(
        "sample peak",
        [&](int c) { return fixed(toDecibels(r.input.channels[std::size_t(c)].samplePeak), 2); },
        [&](int c) { return fixed(toDecibels(r.output.channels[std::size_t(c)].samplePeak), 2); }, "dBFS");
    row(
        "true peak", [&](int c) { return fixed(toDecibels(r.input.channels[std::size_t(c)].truePeak), 2); },
        [&](int c) { return fixed(toDecibels(r.output.channels[std::size_t(c)].truePeak), 2); }, "dBTP");
    row(
        "at full scale",
        [&](int c) { return std::to_string(r.input.channels[std::size_t(c)].fullScaleSamples); },
        [&](int c) { return std::to_string(r.output.channels[std::size_t(c)].fullScaleSamples); }, "samples");
    // Loudness is a measure of the programme, not of one channel: one figure per side.
    auto programme = [&](const char* name, double in, double out, const char* unit) {
        std::string line = std::string("  ") + name;
        line += std::string(16 - line.size(), ' ');
        line += pad(fixed(in, 1), w * std::size_t(n)) + pad(fixed(out, 1), w * std::size_t(n));
        t += line + "  " + unit + "\n";
    };
    programme("loudness", r.input.integratedLufs, r.output.integratedLufs, "LUFS");
    programme("loudness range", r.input.loudnessRangeLu, r.output.loudnessRangeLu, "LU");
    t += "\n";
    if (r.latencyChanged)
        t += "  warning    the plug-in changed its latency during processing; the output keeps the first\n"
             "             alignment\n";
    if (r.nonFiniteSamples > 0)
        t += "  warning    the plug-in produced " + std::to_string(r.nonFiniteSamples) +
             " samples that were not numbers; they were written as 0\n";
    const double speed = r.speed();
    t += "  speed      " +
         (speed > 0 ? fixed(speed, speed < 10 ? 1 : 0) + "x real time" : std::string("n/a")) + " (" +
         fixed(r.cpuSeconds, 3) + " s CPU in the plug-in)\n";
    return t;
}

std::string reportJson(const Report& r) {
    std::string sets = "[";
    for (std::size_t i = 0; i < r.sets.size(); ++i)
        sets += (i ? ", " : "") + jsonString(r.sets[i]);
    sets += "]";
    std::string j = "{\n";
    j += "  \"input\": {\"file\": " + jsonString(r.inputPath) + ", \"format\": " + jsonString(r.inputFormat) +
         ", \"sample_rate\": " + std::to_string(r.sampleRate) +
         ", \"channel_count\": " + std::to_string(r.channels) + ", \"frames\": " + std::to_string(r.frames) +
         ",\n    \"figures\": " + figuresJson(r.input, r.channels, true) + "},\n";
    j += "  \"output\": {\"file\": " + jsonString(r.outputPath) +
         ", \"format\": " + jsonString(r.outputFormat) +
         ", \"non_finite_samples\": " + std::to_string(r.nonFiniteSamples) +
         ",\n    \"figures\": " + figuresJson(r.output, r.channels, true) + "},\n";
    j += "  \"plugin\": {\"file\": " + jsonString(r.pluginPath) + ", \"name\": " + jsonString(r.effectName) +
         ", \"preset\": " + (r.presetLabel.empty() ? std::string("null") : jsonString(r.presetLabel)) +
         ", \"set\": " + sets + "},\n";
    j += "  \"latency\": " + std::to_string(r.latency) +
         ", \"compensated\": " + (r.compensated ? "true" : "false") +
         ", \"latency_changed\": " + (r.latencyChanged ? "true" : "false") +
         ", \"block\": " + std::to_string(r.block) + ", \"precision\": " + (r.doublePrecision ? "64" : "32") +
         ",\n";
    j += "  \"cpu_seconds\": " + jsonNumber(r.cpuSeconds, 6) +
         ", \"speed\": " + (r.speed() > 0 ? jsonNumber(r.speed(), 1) : std::string("null")) + "\n}";
    return j;
}

std::string reportsJson(const std::vector<Report>& reports) {
    std::string j = "[";
    for (std::size_t i = 0; i < reports.size(); ++i)
        j += (i ? ",\n" : "\n") + reportJson(reports[i]);
    return j + "\n]";
}

} // namespace orvel
