#include "support/preset_fixture.h"

#include <algorithm>
#include <atomic>
#include <cstring>
#include <fstream>
#include <iterator>
#include <random>
#include <sstream>

namespace presettest {

namespace {

vst::VstIntPtr quietHost(vst::AEffect*, vst::VstInt32, vst::VstInt32, vst::VstIntPtr, void*, float) {
    return 0;
}

void putWord(std::uint8_t* out, std::uint32_t word, bool bigEndian) {
    for (int i = 0; i < 4; ++i)
        out[i] = std::uint8_t(word >> (bigEndian ? 24 - 8 * i : 8 * i));
}

void putSlot(std::uint8_t* out, const presets::PresetSlot& slot, bool bigEndian) {
    std::memcpy(out, slot.name, presets::kNameLength);
    for (int i = 0; i < 26; ++i) {
        std::uint32_t word;
        std::memcpy(&word, &slot.values[i], 4);
        putWord(out + presets::kNameLength + 4 * i, word, bigEndian);
    }
}

} // namespace

std::vector<std::string> EffectLog::with(const std::string& prefix) const {
    std::vector<std::string> out;
    for (const std::string& line : lines)
        if (line.compare(0, prefix.size(), prefix) == 0) out.push_back(line);
    return out;
}

RecordingEffect::RecordingEffect() : CPresetSystemEffect(quietHost, 1, 26) {}

RecordingEffect::~RecordingEffect() = default;

void RecordingEffect::setParameter(int index, float value) {
    std::ostringstream line;
    line << "set " << index << " " << value;
    log.lines.push_back(line.str());
    if (index >= 0 && index < 26) parameters[index] = value;
    CPresetSystemEffect::setParameter(index, value);
}

void RecordingEffect::selectPreset(int index) {
    log.lines.push_back("select " + std::to_string(index));
    CPresetSystemEffect::selectPreset(index);
}

void RecordingEffect::renamePreset(const char* name) {
    log.lines.push_back(std::string("rename ") + (name ? name : "(null)"));
    CPresetSystemEffect::renamePreset(name);
}

std::string RecordingEffect::slotName(int slot) const {
    const presets::PresetSlot* s = presetSlot(slot);
    return s ? std::string(s->name, strnlen(s->name, presets::kNameLength)) : std::string();
}

std::vector<presets::PresetSlot> RecordingEffect::snapshot() const {
    return std::vector<presets::PresetSlot>(presetSlot(0), presetSlot(0) + presets::kNumSlots);
}

presets::PresetSlot makeSlot(const std::string& name, float base) {
    presets::PresetSlot slot{};
    std::memcpy(slot.name, name.data(), std::min<std::size_t>(name.size(), presets::kNameLength));
    for (int i = 0; i < 26; ++i)
        slot.values[i] = base + 0.01f * float(i);
    return slot;
}

presets::PresetRecord presetImage(const presets::PresetSlot& slot, bool bigEndian) {
    presets::PresetRecord record{};
    putWord(record.data(), presets::kRecordMagic, bigEndian);
    record[4] = presets::kPresetRecordType;
    putSlot(record.data() + 5, slot, bigEndian);
    return record;
}

presets::BankRecord bankImage(const std::vector<presets::PresetSlot>& slots, bool bigEndian) {
    presets::BankRecord record{};
    putWord(record.data(), presets::kRecordMagic, bigEndian);
    record[4] = presets::kBankRecordType;
    for (std::size_t k = 0; k < slots.size() && k < std::size_t(presets::kNumSlots); ++k)
        putSlot(record.data() + 5 + 128 * k, slots[k], bigEndian);
    return record;
}

ScratchFolder::ScratchFolder() {
    static std::atomic<int> serial{0};
    folder = std::filesystem::temp_directory_path() /
             ("orvel-presets-" + std::to_string(std::random_device{}()) + "-" + std::to_string(serial++));
    std::filesystem::create_directories(folder);
}

ScratchFolder::~ScratchFolder() {
    std::error_code ignored;
    // Read-only files made by a test must not keep the folder alive.
    for (auto& entry : std::filesystem::recursive_directory_iterator(folder, ignored))
        std::filesystem::permissions(entry.path(), std::filesystem::perms::owner_write,
                                     std::filesystem::perm_options::add, ignored);
    std::filesystem::remove_all(folder, ignored);
}

std::vector<std::uint8_t> readAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void writeAll(const std::string& path, const std::vector<std::uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

bool sameSlot(const presets::PresetSlot& a, const presets::PresetSlot& b) {
    return std::memcmp(&a, &b, sizeof(presets::PresetSlot)) == 0;
}

} // namespace presettest
