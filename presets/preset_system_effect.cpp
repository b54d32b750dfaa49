#include "presets/preset_system_effect.h"

#include <cstring>
#include <new>

#include "host/aeff_editor.h"

using presets::kNameLength;
using presets::kNumSlots;
using presets::kNumValues;
using presets::PresetSlot;

CPresetSystemEffect::CPresetSystemEffect(vst::HostCallback audioMaster, int numPrograms, int numParams)
    : AudioEffectX(audioMaster, numPrograms, numParams), slots(new (std::nothrow) PresetSlot[kNumSlots]) {
    if (slots) initFactoryPresets();
}

CPresetSystemEffect::~CPresetSystemEffect() = default;

PresetSlot* CPresetSystemEffect::presetSlot(int index) {
    if (!slots || index < 0 || index >= kNumSlots) return nullptr;
    return &slots[index];
}

const PresetSlot* CPresetSystemEffect::presetSlot(int index) const {
    if (!slots || index < 0 || index >= kNumSlots) return nullptr;
    return &slots[index];
}

void CPresetSystemEffect::storeName(PresetSlot& slot, const char* name) {
    const std::size_t length = strnlen(name, kNameLength);
    if (length < std::size_t(kNameLength)) {
        std::memset(slot.name, 0, sizeof(slot.name));
        std::memcpy(slot.name, name, length + 1);
    } else {
        std::memcpy(slot.name, name, kNameLength);
    }
}

void CPresetSystemEffect::setParameter(int index, float value) {
    // Unsigned comparison: negative indices are ignored too.
    if (!slots || unsigned(index) >= unsigned(kNumValues)) return;
    slots[currentPreset].values[index] = value;
    slots[0].values[index] = value;
}

void CPresetSystemEffect::setProgramName(char* name) {
    if (!slots || !name) return;
    char buffer[kNameLength + 1] = {};
    std::memcpy(buffer, name, strnlen(name, kNameLength));
    storeName(slots[currentPreset], buffer);
    if (editor) editor->presetNameChanged(buffer);
}

void CPresetSystemEffect::getProgramName(char* name) {
    if (!slots) {
        *name = 0;
        return;
    }
    std::memcpy(name, slots[currentPreset].name, kNameLength);
    name[kNameLength] = 0;
}

bool CPresetSystemEffect::getProgramNameIndexed(int, int index, char* text) {
    const PresetSlot* slot = presetSlot(index);
    if (!slot) return false;
    std::memcpy(text, slot->name, kNameLength);
    text[kNameLength] = 0;
    return true;
}

void CPresetSystemEffect::selectPreset(int index) {
    if (!slots || index < 0 || index >= kNumSlots) return;
    curProgram = 0;
    currentPreset = index;
    for (int i = 0; i < kNumValues; ++i) {
        // Applying one value may change others (the legacy conversion behind "resvd-vid"); those
        // land in this slot and slot 0 through the mirror.
        setParameter(i, slots[index].values[i]);
        slots[0].values[i] = slots[index].values[i];
    }
    updateDisplay();
}

void CPresetSystemEffect::renamePreset(const char* name) {
    curProgram = 0;
    if (name && slots) {
        storeName(slots[currentPreset], name);
        storeName(slots[0], name);
    }
    updateDisplay();
}

void CPresetSystemEffect::loadUserDefaults() {
    if (editor) editor->loadUserDefaults();
}

void CPresetSystemEffect::initFactoryPresets() {
    if (!slots) return;
    for (int k = 0; k < kNumSlots; ++k) {
        storeName(slots[k], presets::kFactoryPresets[k].name);
        std::memcpy(slots[k].values, presets::kFactoryPresets[k].values, sizeof(slots[k].values));
    }
}
