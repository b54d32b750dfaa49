#include "tools/orvel/settings.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>

#include "presets/factory_presets.h"
#include "presets/preset_records.h"
#include "tools/orvel/errors.h"

namespace orvel {

namespace {

std::array<float, kPresetValues> factoryValues(int slot) {
    std::array<float, kPresetValues> values;
    std::copy(std::begin(presets::kFactoryPresets[slot].values),
              std::end(presets::kFactoryPresets[slot].values), values.begin());
    return values;
}

std::string lower(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return char(std::tolower(c)); });
    return s;
}

int findFactoryPreset(const std::string& wanted) {
    for (int k = 0; k < presets::kNumSlots; ++k)
        if (wanted == presets::kFactoryPresets[k].name) return k;
    if (!wanted.empty() &&
        std::all_of(wanted.begin(), wanted.end(), [](unsigned char c) { return std::isdigit(c); })) {
        const int k = wanted.size() <= 2 ? std::atoi(wanted.c_str()) : presets::kNumSlots;
        if (k < presets::kNumSlots) return k;
        throw UsageError("there is no factory preset " + wanted + "; the slots are 0 to 23");
    }
    for (int k = 0; k < presets::kNumSlots; ++k)
        if (lower(wanted) == lower(presets::kFactoryPresets[k].name)) return k;
    std::string names;
    for (int k = 0; k < presets::kNumSlots; ++k)
        names +=
            std::string(k ? ", " : "") + std::to_string(k) + " \"" + presets::kFactoryPresets[k].name + "\"";
    throw UsageError("unknown factory preset \"" + wanted + "\"; the factory presets are " + names);
}

std::vector<std::uint8_t> readRecordFile(const std::string& path, std::size_t size, const char* kind) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw Error("cannot read " + path + ": " + std::strerror(errno));
    std::vector<std::uint8_t> bytes(size, 0);
    in.read(reinterpret_cast<char*>(bytes.data()), std::streamsize(size));
    const auto got = std::size_t(in.gcount());
    // Bytes beyond the record are ignored, as the plug-in does; a shorter file is damaged.
    if (got < size)
        throw Error(path + " is not an Orvel Zelmar " + kind + " file: " + std::to_string(got) + " bytes, " +
                    std::to_string(size) + " expected");
    return bytes;
}

std::array<float, kPresetValues> checkedValues(const presets::PresetSlot& slot, const std::string& path) {
    std::array<float, kPresetValues> values;
    for (int i = 0; i < kPresetValues; ++i) {
        const float v = slot.values[i];
        if (!std::isfinite(v) || v < 0.0f || v > 1.0f)
            throw Error(path + " holds a value outside 0..1 for parameter " + std::to_string(i) +
                        "; the file is damaged or written with the other byte order");
        values[std::size_t(i)] = v;
    }
    return values;
}

std::string slotName(const presets::PresetSlot& slot) {
    return std::string(slot.name, strnlen(slot.name, presets::kNameLength));
}

void resolvePreset(const Options& options, int defaultSlot, Settings& settings) {
    switch (options.presetSource) {
    case PresetSource::None:
        settings.presetValues = factoryValues(defaultSlot);
        settings.presetLabel = "factory " + std::to_string(defaultSlot) + " \"" +
                               presets::kFactoryPresets[defaultSlot].name + "\"";
        break;
    case PresetSource::Factory: {
        const int k = findFactoryPreset(options.preset);
        settings.presetValues = factoryValues(k);
        settings.presetLabel =
            "factory " + std::to_string(k) + " \"" + presets::kFactoryPresets[k].name + "\"";
        break;
    }
    case PresetSource::File: {
        const auto bytes = readRecordFile(options.presetFile, presets::kPresetRecordSize, "preset");
        presets::PresetSlot slot{};
        if (!presets::applyPresetRecord(
                std::span<const std::uint8_t, presets::kPresetRecordSize>(bytes.data(), bytes.size()), false,
                slot))
            throw Error(options.presetFile + " is not an Orvel Zelmar preset file");
        settings.presetValues = checkedValues(slot, options.presetFile);
        settings.presetLabel = "\"" + slotName(slot) + "\" from " + options.presetFile;
        break;
    }
    case PresetSource::Bank: {
        const auto bytes = readRecordFile(options.bankFile, presets::kBankRecordSize, "bank");
        std::array<presets::PresetSlot, presets::kBankSlotCount> slots{};
        if (!presets::applyBankRecord(
                std::span<const std::uint8_t, presets::kBankRecordSize>(bytes.data(), bytes.size()), false,
                slots))
            throw Error(options.bankFile + " is not an Orvel Zelmar bank file");
        const presets::PresetSlot& slot = slots[std::size_t(options.slot)];
        settings.presetValues = checkedValues(slot, options.bankFile);
        settings.presetLabel = "\"" + slotName(slot) + "\" (slot " + std::to_string(options.slot) + " of " +
                               options.bankFile + ")";
        break;
    }
    }
}

std::string trim(const std::string& s) {
    const auto b = s.find_first_not_of(" \t");
    if (b == std::string::npos) return "";
    return s.substr(b, s.find_last_not_of(" \t") - b + 1);
}

ParameterSetting resolveSet(const PluginInstance& probe, const std::string& item) {
    const auto eq = item.find('=');
    if (eq == std::string::npos || eq == 0) throw UsageError("--set takes NAME=VALUE, not \"" + item + "\"");
    const std::string name = item.substr(0, eq), text = item.substr(eq + 1);

    std::vector<int> exact, loose;
    for (int i = 0; i < probe.numParams(); ++i) {
        const std::string listed = probe.paramName(i);
        if (listed == name) exact.push_back(i);
        if (trim(listed) == trim(name)) loose.push_back(i);
    }
    const std::vector<int>& found = exact.empty() ? loose : exact;
    if (found.empty())
        throw UsageError("unknown parameter \"" + name + "\" (orvel info lists the parameters)");
    if (found.size() > 1) {
        std::string indices;
        for (int i : found)
            indices += (indices.empty() ? "" : ", ") + std::to_string(i);
        throw UsageError("the parameter name \"" + name + "\" is ambiguous (indices " + indices + ")");
    }
    const int index = found.front();

    const std::vector<Choice> choices = sweepChoices(probe, index);
    for (const Choice& c : choices)
        if (c.text == text) return {index, c.value, name, text};

    const char* begin = text.c_str();
    char* end = nullptr;
    const double v = std::strtod(begin, &end);
    const bool isNumber =
        !text.empty() && end == begin + text.size() && !std::isspace((unsigned char)text[0]);
    if (isNumber && std::isfinite(v)) {
        if (v < 0.0 || v > 1.0)
            throw UsageError("the value " + text + " for \"" + name +
                             "\" is out of range: a normalized value "
                             "lies in 0..1");
        return {index, float(v), name, text};
    }
    if (!choices.empty()) {
        std::string list;
        for (const Choice& c : choices)
            list += (list.empty() ? "\"" : ", \"") + c.text + "\"";
        throw UsageError("unknown choice \"" + text + "\" for \"" + name + "\"; it takes " + list +
                         " or a normalized value 0..1");
    }
    throw UsageError("\"" + text + "\" for \"" + name + "\" is not a normalized value 0..1");
}

} // namespace

Settings resolveSettings(const PluginLibrary& library, const Options& options, int defaultSlot) {
    PluginInstance probe(library, 2);
    Settings settings;
    if (probe.isOrvelZelmar()) {
        resolvePreset(options, defaultSlot, settings);
    } else if (options.presetSource != PresetSource::None) {
        throw UsageError("presets apply only to Orvel Zelmar; " + library.path() + " is \"" +
                         probe.effectName() + "\"");
    }
    for (const std::string& item : options.sets)
        settings.sets.push_back(resolveSet(probe, item));
    return settings;
}

void applySettings(const PluginInstance& plugin, const Settings& settings) {
    if (settings.presetValues) {
        const int count = std::min(kPresetValues, plugin.numParams());
        for (int i = 0; i < count; ++i)
            plugin.setParameter(i, (*settings.presetValues)[std::size_t(i)]);
    }
    for (const ParameterSetting& s : settings.sets)
        plugin.setParameter(s.index, s.value);
}

} // namespace orvel
