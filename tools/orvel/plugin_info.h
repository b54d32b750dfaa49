// `orvel info`: what a plug-in says about itself, probed once and then printed as text or JSON.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "tools/orvel/json.h"
#include "tools/orvel/plugin_host.h"

namespace orvel {

struct ParameterDescription {
    std::string name, display, label;
    float value = 0.0f;
    std::vector<Choice> choices;
};

struct PluginDescription {
    std::string file, name, vendor, product, uniqueId, category;
    long long version = 0, vendorVersion = 0, vstVersion = 0;
    int inputs = 0, outputs = 0, flags = 0;
    std::vector<std::pair<int, int>> latencies; // (sample rate, samples)
    std::vector<ParameterDescription> parameters;
    std::vector<std::string> programs;
};

// Opens one instance that never processes and asks it everything `info` shows.
PluginDescription describePlugin(const PluginLibrary& library);

std::string pluginInfoText(const PluginDescription& plugin);
JsonValue pluginInfoJson(const PluginDescription& plugin);

} // namespace orvel
