// Shared pieces of the preset tests: an effect that records what the preset system asks of it, a
// private settings store and a scratch folder per test, and record images written by hand.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "host/preset_system_effect.h"
#include "platform/registry_sandbox.h"
#include "presets/preset_records.h"

namespace presettest {

// What reached the effect, in order: "set 3 0.5", "select 4", "rename Foo", "host 42".
struct EffectLog {
    std::vector<std::string> lines;
    std::vector<std::string> with(const std::string& prefix) const;
    void clear() { lines.clear(); }
};

class RecordingEffect : public CPresetSystemEffect {
public:
    RecordingEffect();
    ~RecordingEffect() override;

    void setParameter(int index, float value) override;
    float getParameter(int index) override { return index >= 0 && index < 26 ? parameters[index] : 0.0f; }
    void selectPreset(int index) override;
    void renamePreset(const char* name) override;

    // The slot's name as a string (at most 24 characters).
    std::string slotName(int slot) const;
    std::vector<presets::PresetSlot> snapshot() const;

    float parameters[26] = {};
    EffectLog log;
};

// A slot with a recognizable name and values.
presets::PresetSlot makeSlot(const std::string& name, float base);

// Record images as a machine of either byte order writes them.
presets::PresetRecord presetImage(const presets::PresetSlot& slot, bool bigEndian);
presets::BankRecord bankImage(const std::vector<presets::PresetSlot>& slots, bool bigEndian);

// A folder of its own for one test, removed with everything in it at the end.
class ScratchFolder {
public:
    ScratchFolder();
    ~ScratchFolder();
    const std::filesystem::path& path() const { return folder; }
    std::string file(const std::string& name) const { return (folder / name).string(); }

private:
    std::filesystem::path folder;
};

std::vector<std::uint8_t> readAll(const std::string& path);
void writeAll(const std::string& path, const std::vector<std::uint8_t>& bytes);

bool sameSlot(const presets::PresetSlot& a, const presets::PresetSlot& b);

} // namespace presettest
