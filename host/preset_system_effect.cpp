#include "host/preset_system_effect.h"

#include <cstring>

#include "host/aeff_editor.h"

using presets::kNameLength;

CPresetSystemEffect::CPresetSystemEffect(vst::HostCallback audioMaster, int numPrograms, int numParams)
    : AudioEffectX(audioMaster, numPrograms, numParams) {}

CPresetSystemEffect::~CPresetSystemEffect() = default;

void CPresetSystemEffect::setParameter(int index, float value) {
    slots.mirror(index, value);
}

void CPresetSystemEffect::setProgramName(char* name) {
    if (!slots.valid() || !name) return;
    char buffer[kNameLength + 1] = {};
    std::memcpy(buffer, name, strnlen(name, kNameLength));
    slots.renameCurrent(buffer);
    if (editor) editor->presetNameChanged(buffer);
}

void CPresetSystemEffect::getProgramName(char* name) {
    const presets::PresetSlot* slot = slots.slot(slots.current());
    if (!slot) {
        *name = 0;
        return;
    }
    std::memcpy(name, slot->name, kNameLength);
    name[kNameLength] = 0;
}

bool CPresetSystemEffect::getProgramNameIndexed(int, int index, char* text) {
    const presets::PresetSlot* slot = slots.slot(index);
    if (!slot) return false;
    std::memcpy(text, slot->name, kNameLength);
    text[kNameLength] = 0;
    return true;
}

void CPresetSystemEffect::selectPreset(int index) {
    if (!slots.slot(index)) return;
    curProgram = 0;
    slots.select(index, [this](int i, float value) { setParameter(i, value); });
    updateDisplay();
}

void CPresetSystemEffect::renamePreset(const char* name) {
    curProgram = 0;
    slots.rename(name);
    updateDisplay();
}

void CPresetSystemEffect::loadUserDefaults() {
    if (editor) editor->loadUserDefaults();
}

void CPresetSystemEffect::initFactoryPresets() {
    slots.initFactoryPresets();
}
