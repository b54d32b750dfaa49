// What a processing run sets on each instance after the rate and the block size: the 26 values of a
// preset (Orvel Zelmar only; factory slot 0 unless another preset is chosen), then each --set.
// Resolved once per run, on a probe instance that never processes, because finding a parameter's
// choices means sweeping it.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "tools/orvel/options.h"
#include "tools/orvel/plugin_host.h"

namespace orvel {

inline constexpr int kPresetValues = 26;

struct ParameterSetting {
    int index;
    float value;
    std::string name;
    std::string text; // what the user asked for
};

struct Settings {
    std::optional<std::array<float, kPresetValues>> presetValues;
    std::string presetLabel; // empty when no preset applies
    std::vector<ParameterSetting> sets;
};

// Throws Error (or UsageError) for a preset that does not exist or cannot be read, a preset option
// given for another plug-in, an unknown or ambiguous parameter, an unknown choice or a value outside 0..1.
// `defaultSlot` is the factory preset used for Orvel Zelmar when no preset is chosen.
Settings resolveSettings(const PluginLibrary& library, const Options& options, int defaultSlot = 0);

// Applies the settings in order: the preset's values by index, then each --set.
void applySettings(const PluginInstance& plugin, const Settings& settings);

} // namespace orvel
