// A plug-in parameter shown in dB ("Drive", "Output"), mapped between its normalized value and the
// dB it shows by reading the display across the range once: nothing of the plug-in's own law is
// assumed, only that the dB grow with the value.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "tools/orvel/master_search.h"
#include "tools/orvel/plugin_host.h"

namespace orvel {

class DecibelParameter {
public:
    // Throws Error when the plug-in has no parameter of that name or it does not show rising dB.
    // Sweeps the parameter: use a probe instance that will not process.
    DecibelParameter(const PluginInstance& probe, const std::string& name);

    int index() const { return paramIndex; }
    const std::string& name() const { return paramName; }
    DecibelRange range() const { return {table.front().second, table.back().second}; }
    float valueFor(double db) const;
    double decibelsAt(float value) const;

private:
    int paramIndex = -1;
    std::string paramName;
    std::vector<std::pair<float, double>> table; // (normalized value, dB), both rising
};

} // namespace orvel
