// The preset strip along the bottom of the editor: the name field, the preset menu, the previous /
// next rocker, bank and preset file buttons, the default-bank and default-preset buttons and the
// two memories. It keeps the user's default preset and bank and the memories in the registry and
// remembers the last directory and file names.
//
// The plug-in's editor derives from this class. It creates the frame first and then calls open(),
// which adds the strip's thirteen controls to that frame; it calls close() before deleting the
// frame, passes every control event to controlChanged() before handling its own tags (0 to 30),
// and calls idle() at the end of its own idle. Everything runs on the host's user-interface thread.
#pragma once

#include <cstddef>
#include <cstdint>

#include "gui/aeff_gui_editor.h"
#include "gui/control.h"
#include "presets/preset_records.h"

class AudioEffect;
class CPresetSystemEffect;
class COptionMenu;
class CPSKickButton;
class CPSRockerSwitch;
class CPSTextEdit;
class CSaveLoadButton;

namespace presets {

// Tags of the strip's controls.
enum PresetStripTag : std::int32_t {
    kTagName = 1000,
    kTagRocker = 1001,
    kTagLoadBank = 1002,
    kTagSaveBank = 1003,
    kTagLoadPreset = 1004,
    kTagSavePreset = 1005,
    kTagMenu = 1012,
    kTagDefaultBank = 1013,
    kTagDefaultPreset = 1014,
    kTagStoreA = 1015,
    kTagStoreB = 1016,
    kTagRecallA = 1017,
    kTagRecallB = 1018,
};

// Sizes of the remembered locations (with their terminators).
inline constexpr std::size_t kDirectoryCapacity = 1024;
inline constexpr std::size_t kFileNameCapacity = 512;

// Period of the window timer that drives the editor's idle while it is open [ms].
inline constexpr unsigned kIdleTimerInterval = 50;

// Names of the strip's registry values under kRegistryKey.
inline constexpr const char* kDefaultPresetValue = "DefaultPreset";
inline constexpr const char* kDefaultBankValue = "DefaultBank";
inline constexpr const char* kMemoAValue = "MemoA";
inline constexpr const char* kMemoBValue = "MemoB";
inline constexpr const char* kCurrDirValue = "CurrDir";
inline constexpr const char* kCurrBankValue = "CurrBank";
inline constexpr const char* kCurrPresetValue = "CurrPreset";

// The menu entry that shows slot k: entry 1 is a separator between slot 0 and slot 1.
constexpr std::int32_t menuEntryOfSlot(int slot) {
    return slot == 0 ? 0 : slot + 1;
}

} // namespace presets

class CPresetSystemEditor : public AEffGUIEditor, public CControlListener {
public:
    enum class Memo { A, B };

    // The effect is the plug-in (a CPresetSystemEffect); the remembered directory starts as the
    // process's working directory, both file names empty.
    explicit CPresetSystemEditor(AudioEffect* effect);
    // Saves the remembered locations to the registry.
    ~CPresetSystemEditor() override;

    // Adds the strip's controls to the frame the derived editor has created and starts the idle
    // timer. False, with nothing built, when there is no frame or no effect.
    bool open(void* systemWindow) override;
    // Stops the idle timer and forgets the controls; leaves the frame (the derived editor deletes it).
    void close() override;
    // The toolkit editor's idle: the frame redraws the controls marked for redraw.
    void idle() override;

    // Handles the strip's tags (1000 to 1018); ignores every other tag.
    void controlChanged(CControl* control) override;
    // The host renamed the current program: shows the name in the field and the menu.
    void presetNameChanged(const char* name) override;
    // At plug-in construction: the default bank, then the default preset, then the remembered
    // locations.
    void loadUserDefaults() override;

    // --- Records of the effect's slots (no-ops when the effect has no slot table).
    // The current slot's image into a 133-byte buffer.
    void buildPresetRecord(std::uint8_t* out);
    // Loads a 133-byte image into the current slot, shows and applies it; a bad record changes nothing.
    void applyPresetRecord(const std::uint8_t* data, bool reversed);
    // All 24 slots into a 3077-byte buffer.
    void buildBankRecord(std::uint8_t* out);
    // Selects slot 0, then loads a 3077-byte image into all slots and applies slot 0.
    void applyBankRecord(const std::uint8_t* data, bool reversed);

    // --- Registry.
    void storeDefaultPreset();
    void clearDefaultPreset();
    void loadDefaultPreset();
    void storeDefaultBank();
    void clearDefaultBank();
    void loadDefaultBank();
    void storeMemo(Memo memo);
    void recallMemo(Memo memo);
    void saveRememberedPaths();
    void loadRememberedPaths();

    // --- Files, through the file selector (only while the editor is open).
    void loadPresetFile(bool reversed);
    void savePresetFile();
    void loadBankFile(bool reversed);
    void saveBankFile();

    // --- Remembered locations.
    const char* getCurrentDirectory() const { return currentDirectory; }
    const char* getCurrentBankFile() const { return currentBankFile; }
    const char* getCurrentPresetFile() const { return currentPresetFile; }

    // --- The strip's controls while open (null while closed).
    CPSTextEdit* getNameField() const { return nameField; }
    COptionMenu* getPresetMenu() const { return presetMenu; }
    CPSRockerSwitch* getRocker() const { return rocker; }
    int getIdleTimer() const { return idleTimer; }

    // Splits a full path at its last '/' or '\': the directory up to and including that separator
    // and the file name after it, each cut to fit its buffer. A path without a separator is a file
    // name alone and leaves the directory as it was.
    static void splitPath(const char* path, char* directory, std::size_t directoryCapacity, char* fileName,
                          std::size_t fileNameCapacity);

protected:
    CPresetSystemEffect* presetEffect() const { return presetSystem; }

    char currentDirectory[presets::kDirectoryCapacity];
    char currentBankFile[presets::kFileNameCapacity];
    char currentPresetFile[presets::kFileNameCapacity];

    CPSTextEdit* nameField = nullptr;
    COptionMenu* presetMenu = nullptr;
    CPSRockerSwitch* rocker = nullptr;
    CSaveLoadButton* loadBankButton = nullptr;
    CSaveLoadButton* saveBankButton = nullptr;
    CPSKickButton* defaultBankButton = nullptr;
    CSaveLoadButton* loadPresetButton = nullptr;
    CSaveLoadButton* savePresetButton = nullptr;
    CPSKickButton* defaultPresetButton = nullptr;
    CPSKickButton* recallAButton = nullptr;
    CPSKickButton* storeAButton = nullptr;
    CPSKickButton* recallBButton = nullptr;
    CPSKickButton* storeBButton = nullptr;

    CRect nameRect, menuRect, rockerRect, loadBankRect, saveBankRect, defaultBankRect, loadPresetRect,
        savePresetRect, defaultPresetRect, recallARect, storeARect, recallBRect, storeBRect;

    // The window timer's id; 0 while closed.
    int idleTimer = 0;

private:
    // Shows a name in the name field, as the title of the menu's current entry and of entry 0.
    void showName(const char* name);
    void loadFile(bool bank, bool reversed);
    void saveFile(bool bank);
    void storeRecord(const char* valueName, bool bank);
    void recallRecord(const char* valueName, bool bank);
    void clearValue(const char* valueName);

    CPresetSystemEffect* presetSystem;
};
