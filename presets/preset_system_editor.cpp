#include "presets/preset_system_editor.h"

#include <cstring>

#include "presets/preset_system_effect.h"

CPresetSystemEditor::CPresetSystemEditor(AudioEffect* effect)
    : AEffGUIEditor(effect), presetSystem(dynamic_cast<CPresetSystemEffect*>(effect)) {
    currentDirectory[0] = 0;
    currentBankFile[0] = 0;
    currentPresetFile[0] = 0;
}

CPresetSystemEditor::~CPresetSystemEditor() = default;

bool CPresetSystemEditor::open(void* systemWindow) {
    AEffEditor::open(systemWindow);
    return frame && presetSystem;
}

void CPresetSystemEditor::close() {}

void CPresetSystemEditor::idle() {
    AEffGUIEditor::idle();
}

void CPresetSystemEditor::controlChanged(CControl*) {}
void CPresetSystemEditor::presetNameChanged(const char*) {}
void CPresetSystemEditor::loadUserDefaults() {}
void CPresetSystemEditor::buildPresetRecord(std::uint8_t*) {}
void CPresetSystemEditor::applyPresetRecord(const std::uint8_t*, bool) {}
void CPresetSystemEditor::buildBankRecord(std::uint8_t*) {}
void CPresetSystemEditor::applyBankRecord(const std::uint8_t*, bool) {}
void CPresetSystemEditor::storeDefaultPreset() {}
void CPresetSystemEditor::clearDefaultPreset() {}
void CPresetSystemEditor::loadDefaultPreset() {}
void CPresetSystemEditor::storeDefaultBank() {}
void CPresetSystemEditor::clearDefaultBank() {}
void CPresetSystemEditor::loadDefaultBank() {}
void CPresetSystemEditor::storeMemo(Memo) {}
void CPresetSystemEditor::recallMemo(Memo) {}
void CPresetSystemEditor::saveRememberedPaths() {}
void CPresetSystemEditor::loadRememberedPaths() {}
void CPresetSystemEditor::loadPresetFile(bool) {}
void CPresetSystemEditor::savePresetFile() {}
void CPresetSystemEditor::loadBankFile(bool) {}
void CPresetSystemEditor::saveBankFile() {}

void CPresetSystemEditor::splitPath(const char*, char* directory, std::size_t, char* fileName, std::size_t) {
    directory[0] = 0;
    fileName[0] = 0;
}
