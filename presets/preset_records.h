// The byte images that carry preset slots in preset files (".ozp"), bank files (".ozb") and registry
// values. Pure: no engine, no host, no I/O, so hosts such as orvel decode records the same way the
// plug-in does.
//
// Preset record, 133 bytes: magic (4), type '!' (1), name (24, raw), 26 floats (104).
// Bank record, 3077 bytes: magic (4), type '7' (1), then 24 slot images of 128 bytes (name + floats).
// The magic and the floats are in the writer's native byte order; names are never byte-swapped.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

#include "presets/preset_slot.h"

namespace presets {

// "Orzl" with 'O' in the most significant byte; also the plug-in's unique ID.
inline constexpr std::uint32_t kRecordMagic = 0x4F727A6Cu;
inline constexpr std::uint8_t kPresetRecordType = '!';
inline constexpr std::uint8_t kBankRecordType = '7';
inline constexpr int kBankSlotCount = 24;
inline constexpr std::size_t kRecordHeaderSize = 5;
inline constexpr std::size_t kSlotImageSize = sizeof(PresetSlot);
inline constexpr std::size_t kPresetRecordSize = kRecordHeaderSize + kSlotImageSize;                // 133
inline constexpr std::size_t kBankRecordSize = kRecordHeaderSize + kBankSlotCount * kSlotImageSize; // 3077

using PresetRecord = std::array<std::uint8_t, kPresetRecordSize>;
using BankRecord = std::array<std::uint8_t, kBankRecordSize>;

// Reverses the four bytes of a 32-bit word in place.
void swapBytes32(std::uint8_t* word);

// Writes the image of one slot.
void buildPresetRecord(const PresetSlot& slot, std::span<std::uint8_t, kPresetRecordSize> out);

// Decodes a preset image into slot. The magic tells whether the writer had the other byte order;
// `reversed` reverses every value once more, so it forces the opposite of what the magic says.
// Returns false, leaving slot untouched, when the magic or the record type is wrong.
bool applyPresetRecord(std::span<const std::uint8_t, kPresetRecordSize> data, bool reversed,
                       PresetSlot& slot);

// Writes the image of all 24 slots, slot 0 first.
void buildBankRecord(std::span<const PresetSlot, kBankSlotCount> slots,
                     std::span<std::uint8_t, kBankRecordSize> out);

// Decodes a bank image into all 24 slots, with the byte-order rules of applyPresetRecord. Returns
// false, leaving every slot untouched, when the magic or the record type is wrong.
bool applyBankRecord(std::span<const std::uint8_t, kBankRecordSize> data, bool reversed,
                     std::span<PresetSlot, kBankSlotCount> slots);

} // namespace presets
