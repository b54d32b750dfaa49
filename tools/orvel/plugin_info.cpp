#include "tools/orvel/plugin_info.h"

#include <algorithm>
#include <cstdio>

namespace orvel {

namespace {

std::string categoryName(vst::VstIntPtr category) {
    static const char* const names[] = {"unknown",     "effect",      "synth",   "analysis",
                                        "mastering",   "spatializer", "room fx", "surround fx",
                                        "restoration", "offline",     "shell",   "generator"};
    return category >= 0 && category < vst::VstIntPtr(std::size(names)) ? names[category]
                                                                        : std::to_string(category);
}

std::vector<std::string> programNames(const PluginInstance& plugin) {
    std::vector<std::string> programs;
    const int declared = plugin.record()->numPrograms;
    for (int i = 0; i < std::max(declared, 128); ++i) {
        char name[512] = {};
        const bool known = plugin.dispatch(vst::effGetProgramNameIndexed, i, -1, name) != 0;
        if (!known && i >= declared) break;
        name[sizeof(name) - 1] = 0;
        programs.push_back(name);
    }
    return programs;
}

std::string audioLine(const PluginDescription& p) {
    return std::to_string(p.inputs) + " in, " + std::to_string(p.outputs) + " out, " +
           ((p.flags & vst::effFlagsCanReplacing) ? "32-bit" : "no 32-bit") +
           ((p.flags & vst::effFlagsCanDoubleReplacing) ? " and 64-bit processing" : " processing") +
           ((p.flags & vst::effFlagsHasEditor) ? ", editor" : "");
}

std::string parameterTable(const std::vector<ParameterDescription>& params) {
    std::size_t nameWidth = 4, displayWidth = 7;
    for (const ParameterDescription& p : params) {
        nameWidth = std::max(nameWidth, p.name.size());
        displayWidth = std::max(displayWidth, p.display.size() + 1 + p.label.size());
    }
    std::string out;
    char line[1024];
    std::snprintf(line, sizeof(line), "  %5s  %-*s  %-*s  %-8s  %s\n", "index", int(nameWidth), "name",
                  int(displayWidth), "display", "value", "choices");
    out += line;
    for (std::size_t i = 0; i < params.size(); ++i) {
        const ParameterDescription& p = params[i];
        std::string choices;
        for (const Choice& c : p.choices)
            choices += (choices.empty() ? "" : " | ") + c.text;
        const std::string display = p.label.empty() ? p.display : p.display + " " + p.label;
        std::snprintf(line, sizeof(line), "  %5zu  %-*s  %-*s  %-8.6f  %s\n", i, int(nameWidth),
                      p.name.c_str(), int(displayWidth), display.c_str(), double(p.value), choices.c_str());
        out += line;
    }
    return out;
}

} // namespace

PluginDescription describePlugin(const PluginLibrary& library) {
    PluginInstance plugin(library, 2);
    const vst::AEffect* fx = plugin.record();
    PluginDescription d;
    d.file = library.path();
    for (int i = 0; i < plugin.numParams(); ++i)
        d.parameters.push_back(
            {plugin.paramName(i), plugin.paramDisplay(i), plugin.paramLabel(i), plugin.getParameter(i), {}});
    d.programs = programNames(plugin);
    for (int rate : {44100, 48000, 88200, 96000, 176400, 192000}) {
        plugin.setSampleRate(rate);
        d.latencies.push_back({rate, fx->initialDelay});
    }
    plugin.setSampleRate(44100);
    // Choices last: the sweep moves each parameter through its range.
    for (int i = 0; i < plugin.numParams(); ++i)
        d.parameters[std::size_t(i)].choices = sweepChoices(plugin, i);

    d.name = plugin.effectName();
    d.vendor = plugin.text(vst::effGetVendorString);
    d.product = plugin.text(vst::effGetProductString);
    d.uniqueId = plugin.uniqueIdText();
    d.version = fx->version;
    d.vendorVersion = plugin.dispatch(vst::effGetVendorVersion);
    d.vstVersion = plugin.dispatch(vst::effGetVstVersion);
    d.category = categoryName(plugin.dispatch(vst::effGetPlugCategory));
    d.inputs = fx->numInputs;
    d.outputs = fx->numOutputs;
    d.flags = fx->flags;
    return d;
}

std::string pluginInfoText(const PluginDescription& p) {
    std::string out;
    out += p.name + " (" + p.file + ")\n";
    out += "  vendor     " + p.vendor + "\n  product    " + p.product + "\n";
    out += "  unique ID  " + p.uniqueId + ", version " + std::to_string(p.version) + ", vendor version " +
           std::to_string(p.vendorVersion) + ", VST " + std::to_string(p.vstVersion) + "\n";
    out += "  category   " + p.category + "\n";
    out += "  audio      " + audioLine(p) + "\n";
    out += "  latency   ";
    for (std::size_t k = 0; k < p.latencies.size(); ++k)
        out += (k ? ", " : " ") + std::to_string(p.latencies[k].second) + " at " +
               std::to_string(p.latencies[k].first) + " Hz";
    out += " (samples)\n\n";
    out += "parameters (" + std::to_string(p.parameters.size()) + "):\n";
    out += parameterTable(p.parameters);
    out += "\nprograms (" + std::to_string(p.programs.size()) + "):\n";
    for (std::size_t i = 0; i < p.programs.size(); ++i)
        out += "  " + std::string(i < 10 ? " " : "") + std::to_string(i) + "  " + p.programs[i] + "\n";
    return out;
}

JsonValue pluginInfoJson(const PluginDescription& p) {
    JsonValue latency = JsonValue::object();
    for (const auto& [rate, samples] : p.latencies)
        latency.set(std::to_string(rate), samples);
    JsonValue parameters = JsonValue::array();
    for (std::size_t i = 0; i < p.parameters.size(); ++i) {
        const ParameterDescription& param = p.parameters[i];
        JsonValue choices = JsonValue::array();
        for (const Choice& c : param.choices)
            choices.push(c.text);
        parameters.push(JsonValue::object()
                            .set("index", i)
                            .set("name", param.name)
                            .set("display", param.display)
                            .set("label", param.label)
                            .set("value", JsonValue::number(param.value, 6))
                            .set("choices", std::move(choices)));
    }
    JsonValue programs = JsonValue::array();
    for (const std::string& name : p.programs)
        programs.push(name);
    return JsonValue::object()
        .set("file", p.file)
        .set("name", p.name)
        .set("vendor", p.vendor)
        .set("product", p.product)
        .set("unique_id", p.uniqueId)
        .set("version", p.version)
        .set("vendor_version", p.vendorVersion)
        .set("vst_version", p.vstVersion)
        .set("category", p.category)
        .set("inputs", p.inputs)
        .set("outputs", p.outputs)
        .set("flags", p.flags)
        .set("latency", std::move(latency))
        .set("parameters", std::move(parameters))
        .set("programs", std::move(programs));
}

} // namespace orvel
