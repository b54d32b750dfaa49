// The preset-system layer between AudioEffectX and Plugin: it keeps the 24 preset slots and answers
// the program opcodes. To the host the plug-in has one program and no chunks; the slots are driven
// by the editor's preset strip and the preset records.
//
// Slot 0 is the edit buffer: every parameter change lands in the current slot and in slot 0, and
// selecting a slot copies its values into slot 0. All operations run on the host's user-interface
// thread (or whichever thread sets parameters); the slots take no lock and the audio thread never
// reads them.
#pragma once

#include <memory>

#include "host/audio_effect.h"
#include "presets/factory_presets.h"
#include "presets/preset_slot.h"

namespace presets {
// The current user's registry key of the plug-in; the metering preferences are its sub-key "PREFS".
constexpr const char* kRegistryKey = "SOFTWARE\\Orvel-soundworks\\Orvelzelmar";
constexpr const char* kPreferencesKey = "SOFTWARE\\Orvel-soundworks\\Orvelzelmar\\PREFS";
} // namespace presets

class CPresetSystemEffect : public AudioEffectX {
public:
    CPresetSystemEffect(vst::HostCallback audioMaster, int numPrograms, int numParams);
    ~CPresetSystemEffect() override;

    // Unlike AudioEffectX, never asks the host for MIDI events.
    void resume() override {}
    // The mirror: records value in the current slot and in slot 0 (indices 0..25 only). The effect's
    // own setParameter calls this last.
    void setParameter(int index, float value) override;
    float getParameter(int) override { return -1.0f; }
    int getProgram() override { return 0; }
    void setProgram(int) override {}
    // Host rename: at most 24 characters into the current slot only; the editor is told.
    void setProgramName(char* name) override;
    // The current slot's name: up to 24 characters and a NUL (25 bytes).
    void getProgramName(char* name) override;
    // Slot index's name (category ignored); false outside 0..23.
    bool getProgramNameIndexed(int category, int index, char* text) override;

    virtual int getCurrentPresetIndex() { return currentPreset; }
    // Makes slot index (0..23) current and applies its 26 values through setParameter in index
    // order, copying each into slot 0; then asks the host to refresh its display. The name is not
    // copied into slot 0 (callers that want it call renamePreset).
    virtual void selectPreset(int index);
    // Renames the current slot and slot 0 (at most 24 characters); a null name only refreshes the
    // host's display.
    virtual void renamePreset(const char* name);
    // Lets the editor apply the stored default bank and default preset.
    virtual void loadUserDefaults();
    // (Re)writes all 24 slots from the factory table; applies nothing.
    virtual void initFactoryPresets();

    // Direct slot access for the preset strip and the records; null outside 0..23 or without a table.
    presets::PresetSlot* presetSlot(int index);
    const presets::PresetSlot* presetSlot(int index) const;

protected:
    // Stores up to 24 characters of name into a slot's name field: a shorter name with its
    // terminator into a zeroed field, a longer one cut to 24 bytes without terminator.
    static void storeName(presets::PresetSlot& slot, const char* name);

    std::unique_ptr<presets::PresetSlot[]> slots;
    int currentPreset = 0;
};
