#include "presets/preset_store.h"

#include <cstring>
#include <span>

#include "platform/file_ops.h"
#include "platform/registry.h"
#include "presets/factory_presets.h"
#include "presets/preset_records.h"
#include "presets/registry_keys.h"

namespace presets {

namespace {

// A slot's name as a C string: its 24-byte field and a terminator.
struct SlotName {
    char text[kNameLength + 1] = {};
    explicit SlotName(const PresetSlot& slot) { std::memcpy(text, slot.name, kNameLength); }
};

std::size_t recordSize(bool bank) {
    return bank ? kBankRecordSize : kPresetRecordSize;
}

} // namespace

// --------------------------------------------------------------------------------------- records

void PresetStore::buildPresetRecord(std::uint8_t* out) {
    const PresetSlot* slot = presetSlot(getCurrentPresetIndex());
    if (!slot) return;
    presets::buildPresetRecord(*slot, std::span<std::uint8_t, kPresetRecordSize>(out, kPresetRecordSize));
}

bool PresetStore::applyPresetRecord(const std::uint8_t* data, bool reversed) {
    const int k = getCurrentPresetIndex();
    PresetSlot* slot = presetSlot(k);
    if (!slot) return false;
    if (!presets::applyPresetRecord(std::span<const std::uint8_t, kPresetRecordSize>(data, kPresetRecordSize),
                                    reversed, *slot))
        return false;
    renamePreset(SlotName(*slot).text);
    selectPreset(k);
    return true;
}

void PresetStore::buildBankRecord(std::uint8_t* out) {
    const PresetSlot* slots = presetSlot(0);
    if (!slots) return;
    presets::buildBankRecord(std::span<const PresetSlot, kBankSlotCount>(slots, kNumSlots),
                             std::span<std::uint8_t, kBankRecordSize>(out, kBankRecordSize));
}

bool PresetStore::applyBankRecord(const std::uint8_t* data, bool reversed) {
    PresetSlot* slots = presetSlot(0);
    if (!slots) return false;
    // Slot 0 becomes current before the record is examined, so even a rejected bank leaves it so.
    selectPreset(0);
    if (!presets::applyBankRecord(std::span<const std::uint8_t, kBankRecordSize>(data, kBankRecordSize),
                                  reversed, std::span<PresetSlot, kBankSlotCount>(slots, kNumSlots)))
        return false;
    selectPreset(0);
    return true;
}

bool PresetStore::applyRecord(const std::uint8_t* data, bool bank, bool reversed) {
    return bank ? applyBankRecord(data, reversed) : applyPresetRecord(data, reversed);
}

// -------------------------------------------------------------------------------------- registry

void PresetStore::storeRecord(const char* valueName, bool bank) {
    BankRecord buffer{};
    if (bank)
        buildBankRecord(buffer.data());
    else
        buildPresetRecord(buffer.data());
    platform::RegistryKey key;
    if (!key.create(kRegistryKey)) return;
    key.write(valueName, platform::kRegistryBinary, buffer.data(), recordSize(bank));
}

bool PresetStore::recallRecord(const char* valueName, bool bank) {
    // A missing or oversized value leaves the buffer zero, which the apply step rejects.
    BankRecord buffer{};
    {
        platform::RegistryKey key;
        if (key.open(kRegistryKey, platform::RegistryKey::Access::Read))
            key.read(valueName, buffer.data(), recordSize(bank));
    }
    return applyRecord(buffer.data(), bank, false);
}

void PresetStore::storeDefaultPreset() {
    storeRecord(kDefaultPresetValue, false);
}

void PresetStore::clearDefaultPreset() {
    platform::RegistryKey key;
    if (key.open(kRegistryKey, platform::RegistryKey::Access::Write)) key.remove(kDefaultPresetValue);
}

bool PresetStore::loadDefaultPreset() {
    return recallRecord(kDefaultPresetValue, false);
}

void PresetStore::storeDefaultBank() {
    storeRecord(kDefaultBankValue, true);
}

void PresetStore::clearDefaultBank() {
    platform::RegistryKey key;
    if (key.open(kRegistryKey, platform::RegistryKey::Access::Write)) key.remove(kDefaultBankValue);
}

bool PresetStore::loadDefaultBank() {
    return recallRecord(kDefaultBankValue, true);
}

void PresetStore::storeMemo(Memo memo) {
    storeRecord(memo == Memo::A ? kMemoAValue : kMemoBValue, false);
}

bool PresetStore::recallMemo(Memo memo) {
    return recallRecord(memo == Memo::A ? kMemoAValue : kMemoBValue, false);
}

// ----------------------------------------------------------------------------------------- files

bool PresetStore::loadFile(const char* path, bool bank, bool reversed) {
    // Missing bytes stay zero; a file that cannot be read fails the magic test and changes nothing.
    BankRecord buffer{};
    platform::readFileBytes(path, buffer.data(), recordSize(bank));
    return applyRecord(buffer.data(), bank, reversed);
}

void PresetStore::saveFile(const char* path, bool bank) {
    BankRecord buffer{};
    if (bank)
        buildBankRecord(buffer.data());
    else
        buildPresetRecord(buffer.data());
    platform::writeFileBytes(path, buffer.data(), recordSize(bank));
}

bool PresetStore::loadPresetFile(const char* path, bool reversed) {
    return loadFile(path, false, reversed);
}

void PresetStore::savePresetFile(const char* path) {
    saveFile(path, false);
}

bool PresetStore::loadBankFile(const char* path, bool reversed) {
    return loadFile(path, true, reversed);
}

void PresetStore::saveBankFile(const char* path) {
    saveFile(path, true);
}

} // namespace presets
