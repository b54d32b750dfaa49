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

JsonValue figuresJson(const SignalFigures& f, int channels) {
    JsonValue list = JsonValue::array();
    for (int c = 0; c < channels; ++c) {
        const ChannelFigures& ch = f.channels[std::size_t(c)];
        list.push(JsonValue::object()
                      .set("channel", channelName(c, channels))
                      .set("sample_peak_dbfs", JsonValue::number(toDecibels(ch.samplePeak), 3))
                      .set("true_peak_dbtp", JsonValue::number(toDecibels(ch.truePeak), 3))
                      .set("full_scale_samples", ch.fullScaleSamples));
    }
    return JsonValue::object()
        .set("integrated_lufs", JsonValue::number(f.integratedLufs, 2))
        .set("loudness_range_lu", JsonValue::number(f.loudnessRangeLu, 2))
        .set("channels", std::move(list));
}

} // namespace

std::string fixedText(double value, int decimals) {
    return fixed(value, decimals);
}

std::string signedText(double value, int decimals) {
    const std::string text = fixed(value, decimals);
    return (std::isfinite(value) && text[0] != '-' && text.find_first_not_of("0.") != std::string::npos
                ? "+"
                : "") +
           text;
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
    t += "  limiting   " + fixed(r.gainReduction.maximumDb, 2) + " dB gain reduction at most, " +
         fixed(r.gainReduction.meanDb, 2) + " dB on average, above 1 dB " +
         fixed(100.0 * r.gainReduction.shareAbove1Db, 0) + "% of the time (static gain " +
         signedText(r.staticGainDb, 2) + " dB)\n";
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

JsonValue reportJson(const Report& r) {
    JsonValue sets = JsonValue::array();
    for (const std::string& set : r.sets)
        sets.push(set);
    return JsonValue::object()
        .set("input", JsonValue::object()
                          .set("file", r.inputPath)
                          .set("format", r.inputFormat)
                          .set("sample_rate", r.sampleRate)
                          .set("channel_count", r.channels)
                          .set("frames", static_cast<long long>(r.frames))
                          .set("figures", figuresJson(r.input, r.channels)))
        .set("output", JsonValue::object()
                           .set("file", r.outputPath)
                           .set("format", r.outputFormat)
                           .set("non_finite_samples", static_cast<long long>(r.nonFiniteSamples))
                           .set("figures", figuresJson(r.output, r.channels)))
        .set("plugin", JsonValue::object()
                           .set("file", r.pluginPath)
                           .set("name", r.effectName)
                           .set("preset", JsonValue::stringOrNull(r.presetLabel))
                           .set("set", std::move(sets)))
        .set("latency", r.latency)
        .set("compensated", r.compensated)
        .set("latency_changed", r.latencyChanged)
        .set("block", r.block)
        .set("precision", r.doublePrecision ? 64 : 32)
        .set("gain_reduction",
             JsonValue::object()
                 .set("static_gain_db", JsonValue::number(r.staticGainDb, 2))
                 .set("maximum_db", JsonValue::number(r.gainReduction.maximumDb, 2))
                 .set("mean_db", JsonValue::number(r.gainReduction.meanDb, 2))
                 .set("share_above_1_db", JsonValue::number(r.gainReduction.shareAbove1Db, 3)))
        .set("cpu_seconds", JsonValue::number(r.cpuSeconds, 6))
        .set("speed", r.speed() > 0 ? JsonValue::number(r.speed(), 1) : JsonValue());
}

} // namespace orvel
