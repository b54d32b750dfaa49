// The preset store as its users see it (the preset strip, the editor, a plug-in format's adapter):
// four primitives over the slots, which the effect implements, and the operations built on them —
// preset and bank records, the user's default preset and bank and the two memories in the registry,
// and preset and bank files. No window and no plug-in format: a user interface shows the results.
//
// Threads: the host's user-interface thread.
#pragma once

#include <cstdint>

#include "presets/preset_slot.h"

namespace presets {

enum class Memo { A, B };

class PresetStore {
public:
    // --- The primitives.
    virtual int getCurrentPresetIndex() = 0;
    // Null outside 0..23 or without a slot table.
    virtual PresetSlot* presetSlot(int index) = 0;
    // Makes slot index current and applies its values (nothing outside 0..23).
    virtual void selectPreset(int index) = 0;
    // Renames the current slot and slot 0 (at most 24 characters).
    virtual void renamePreset(const char* name) = 0;

    // --- Records of the slots (no-ops without a slot table).
    // The current slot's image into a 133-byte buffer.
    void buildPresetRecord(std::uint8_t* out);
    // Loads a 133-byte image into the current slot, then renames and selects it; false, with
    // nothing changed, for a bad record.
    bool applyPresetRecord(const std::uint8_t* data, bool reversed);
    // All 24 slots into a 3077-byte buffer.
    void buildBankRecord(std::uint8_t* out);
    // Selects slot 0, then loads a 3077-byte image into all slots and selects slot 0 again; false
    // for a bad record (slot 0 stays current).
    bool applyBankRecord(const std::uint8_t* data, bool reversed);

    // --- The registry. A load or recall answers whether a record was applied.
    void storeDefaultPreset();
    void clearDefaultPreset();
    bool loadDefaultPreset();
    void storeDefaultBank();
    void clearDefaultBank();
    bool loadDefaultBank();
    void storeMemo(Memo memo);
    bool recallMemo(Memo memo);

    // --- Files. A file that cannot be read is a bad record.
    bool loadPresetFile(const char* path, bool reversed);
    void savePresetFile(const char* path);
    bool loadBankFile(const char* path, bool reversed);
    void saveBankFile(const char* path);

protected:
    ~PresetStore() = default;

private:
    void storeRecord(const char* valueName, bool bank);
    bool recallRecord(const char* valueName, bool bank);
    bool applyRecord(const std::uint8_t* data, bool bank, bool reversed);
    bool loadFile(const char* path, bool bank, bool reversed);
    void saveFile(const char* path, bool bank);
};

} // namespace presets
