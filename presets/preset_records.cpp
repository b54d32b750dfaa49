#include "presets/preset_records.h"

#include <algorithm>
#include <cstring>
#include <optional>

namespace presets {

namespace {

constexpr std::size_t kValuesOffset = kNameLength;
constexpr int kValueCount = int(sizeof(PresetSlot::values) / sizeof(float));

// Whether the values need their bytes reversed, or nothing when the magic is not ours in either order.
// Records are written in native order, so a native read of the magic tells which order the writer had.
std::optional<bool> detectSwap(const std::uint8_t* data) {
    std::uint32_t magic;
    std::memcpy(&magic, data, sizeof(magic));
    if (magic == kRecordMagic) return false;
    std::uint8_t reversedMagic[4];
    std::memcpy(reversedMagic, &magic, sizeof(magic));
    swapBytes32(reversedMagic);
    std::memcpy(&magic, reversedMagic, sizeof(magic));
    if (magic == kRecordMagic) return true;
    return std::nullopt;
}

void writeHeader(std::uint8_t* out, std::uint8_t type) {
    std::memcpy(out, &kRecordMagic, sizeof(kRecordMagic));
    out[4] = type;
}

void writeSlot(const PresetSlot& slot, std::uint8_t* out) {
    std::memcpy(out, slot.name, kNameLength);
    std::memcpy(out + kValuesOffset, slot.values, sizeof(slot.values));
}

PresetSlot readSlot(const std::uint8_t* in, bool swap) {
    PresetSlot slot;
    std::memcpy(slot.name, in, kNameLength);
    for (int i = 0; i < kValueCount; ++i) {
        std::uint8_t bytes[4];
        std::memcpy(bytes, in + kValuesOffset + 4 * i, 4);
        if (swap) swapBytes32(bytes);
        std::memcpy(&slot.values[i], bytes, 4);
    }
    return slot;
}

} // namespace

void swapBytes32(std::uint8_t* word) {
    std::swap(word[0], word[3]);
    std::swap(word[1], word[2]);
}

void buildPresetRecord(const PresetSlot& slot, std::span<std::uint8_t, kPresetRecordSize> out) {
    writeHeader(out.data(), kPresetRecordType);
    writeSlot(slot, out.data() + kRecordHeaderSize);
}

bool applyPresetRecord(std::span<const std::uint8_t, kPresetRecordSize> data, bool reversed,
                       PresetSlot& slot) {
    const std::optional<bool> swap = detectSwap(data.data());
    if (!swap || data[4] != kPresetRecordType) return false;
    slot = readSlot(data.data() + kRecordHeaderSize, *swap != reversed);
    return true;
}

void buildBankRecord(std::span<const PresetSlot, kBankSlotCount> slots,
                     std::span<std::uint8_t, kBankRecordSize> out) {
    writeHeader(out.data(), kBankRecordType);
    for (int k = 0; k < kBankSlotCount; ++k)
        writeSlot(slots[k], out.data() + kRecordHeaderSize + k * kSlotImageSize);
}

bool applyBankRecord(std::span<const std::uint8_t, kBankRecordSize> data, bool reversed,
                     std::span<PresetSlot, kBankSlotCount> slots) {
    const std::optional<bool> swap = detectSwap(data.data());
    if (!swap || data[4] != kBankRecordType) return false;
    for (int k = 0; k < kBankSlotCount; ++k)
        slots[k] = readSlot(data.data() + kRecordHeaderSize + k * kSlotImageSize, *swap != reversed);
    return true;
}

} // namespace presets
