// The preset-system layer between AudioEffectX and Plugin: the VST 2.4 face of the preset store. To
// the host the plug-in has one program and no chunks; the 24 slots are driven by the editor's
// preset strip and the preset records, and the program opcodes read the current slot.
//
// Every parameter change lands in the current slot and in slot 0 (presets::PresetSlots). All
// operations run on the host's user-interface thread (or whichever thread sets parameters); the
// slots take no lock and the audio thread never reads them.
#pragma once

#include "host/audio_effect.h"
#include "presets/preset_slots.h"
#include "presets/preset_store.h"
#include "presets/registry_keys.h"

class CPresetSystemEffect : public AudioEffectX, public presets::PresetStore {
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

    // --- presets::PresetStore
    int getCurrentPresetIndex() override { return slots.current(); }
    // Null outside 0..23 or without a table.
    presets::PresetSlot* presetSlot(int index) override { return slots.slot(index); }
    // Makes slot index (0..23) current and applies its 26 values through setParameter in index
    // order, copying each into slot 0; then asks the host to refresh its display. The name is not
    // copied into slot 0 (callers that want it call renamePreset).
    void selectPreset(int index) override;
    // Renames the current slot and slot 0 (at most 24 characters); a null name only refreshes the
    // host's display.
    void renamePreset(const char* name) override;

    const presets::PresetSlot* presetSlot(int index) const { return slots.slot(index); }
    // Lets the editor apply the stored default bank and default preset.
    virtual void loadUserDefaults();
    // (Re)writes all 24 slots from the factory table; applies nothing.
    virtual void initFactoryPresets();

protected:
    presets::PresetSlots slots;
};
