#include "tools/orvel/decibel_parameter.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "tools/orvel/errors.h"

namespace orvel {

namespace {

constexpr int kSweepPoints = 257;

bool parseDecibels(const std::string& text, double& db) {
    const char* begin = text.c_str();
    char* end = nullptr;
    db = std::strtod(begin, &end);
    return end != begin && std::isfinite(db);
}

} // namespace

DecibelParameter::DecibelParameter(const PluginInstance& probe, const std::string& name) : paramName(name) {
    for (int i = 0; i < probe.numParams() && paramIndex < 0; ++i)
        if (probe.paramName(i) == name) paramIndex = i;
    if (paramIndex < 0)
        throw Error("orvel master sets the \"Drive\" and \"Output\" parameters; \"" + probe.effectName() +
                    "\" has no \"" + name + "\"");
    const float before = probe.getParameter(paramIndex);
    for (int k = 0; k < kSweepPoints; ++k) {
        const float value = float(k) / float(kSweepPoints - 1);
        probe.setParameter(paramIndex, value);
        double db = 0.0;
        // "-oo" and other texts at the bottom of a range are left out: the search never goes there.
        if (!parseDecibels(probe.paramDisplay(paramIndex), db)) continue;
        if (!table.empty() && db < table.back().second)
            throw Error("\"" + name + "\" does not show rising dB values; orvel master cannot search it");
        if (table.empty() || db > table.back().second) table.push_back({value, db});
    }
    probe.setParameter(paramIndex, before);
    if (table.size() < 2)
        throw Error("\"" + name + "\" does not show its value in dB; orvel master cannot search it");
}

float DecibelParameter::valueFor(double db) const {
    if (db <= table.front().second) return table.front().first;
    if (db >= table.back().second) return table.back().first;
    const auto hi =
        std::lower_bound(table.begin(), table.end(), db,
                         [](const std::pair<float, double>& p, double d) { return p.second < d; });
    const auto lo = hi - 1;
    const double t = (db - lo->second) / (hi->second - lo->second);
    return float(double(lo->first) + t * double(hi->first - lo->first));
}

double DecibelParameter::decibelsAt(float value) const {
    if (value <= table.front().first) return table.front().second;
    if (value >= table.back().first) return table.back().second;
    const auto hi = std::lower_bound(table.begin(), table.end(), value,
                                     [](const std::pair<float, double>& p, float v) { return p.first < v; });
    const auto lo = hi - 1;
    const double t = double(value - lo->first) / double(hi->first - lo->first);
    return lo->second + t * (hi->second - lo->second);
}

} // namespace orvel
