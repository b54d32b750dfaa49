// The preset strip along the bottom of the editor: the name field, the preset menu, the previous /
// next rocker, bank and preset file buttons, the default-bank and default-preset buttons and the
// two memories. It shows the preset store's slots and turns the strip's clicks into the store's
// operations; it remembers the last directory and file names in the registry.
//
// The plug-in's editor derives from this class. It creates the frame first and then calls open(),
// which adds the strip's thirteen controls to that frame; it calls close() before deleting the
// frame, passes every control event to controlChanged() before handling its own tags (0 to 30),
// and calls idle() at the end of its own idle. Everything runs on the host's user-interface thread.
#pragma once

#include <cstddef>
#include <cstdint>

#include "gui/control.h"
#include "gui/frame_editor.h"
#include "presets/preset_store.h"
#include "presets/remembered_paths.h"

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

// Period of the window timer that drives the editor's idle while it is open [ms].
inline constexpr unsigned kIdleTimerInterval = 50;

// The menu entry that shows slot k: entry 1 is a separator between slot 0 and slot 1.
constexpr std::int32_t menuEntryOfSlot(int slot) {
    return slot == 0 ? 0 : slot + 1;
}

} // namespace presets

class CPresetSystemEditor : public CFrameEditor, public CControlListener {
public:
    // Gestures and the host's idle go to host; the strip shows and drives store (either may be
    // null). The remembered directory starts as the process's working directory, both file names
    // empty.
    CPresetSystemEditor(gui::EditorHost* host, presets::PresetStore* store);
    // Saves the remembered locations to the registry.
    ~CPresetSystemEditor() override;

    // Adds the strip's controls to the frame the derived editor has created and starts the idle
    // timer. False, with nothing built, when there is no frame or no store.
    bool open(void* systemWindow) override;
    // Stops the idle timer and forgets the controls; leaves the frame (the derived editor deletes it).
    void close() override;
    // The toolkit editor's idle: the frame redraws the controls marked for redraw.
    void idle() override;

    // Handles the strip's tags (1000 to 1018); ignores every other tag.
    void controlChanged(CControl* control) override;
    // The host renamed the current program: shows the name in the field and the menu.
    void presetNameChanged(const char* name);
    // At plug-in construction: the default bank, then the default preset, then the remembered
    // locations.
    void loadUserDefaults();
    // The remembered locations alone, for an editor whose plug-in keeps its settings elsewhere.
    void loadRememberedPaths() { paths.load(); }

    // --- The store's operations that change what the strip shows, followed by the showing.
    void applyPresetRecord(const std::uint8_t* data, bool reversed);
    void applyBankRecord(const std::uint8_t* data, bool reversed);
    void loadDefaultPreset();
    void loadDefaultBank();
    void recallMemo(presets::Memo memo);

    // --- Files, through the file selector (only while the editor is open).
    void loadPresetFile(bool reversed);
    void savePresetFile();
    void loadBankFile(bool reversed);
    void saveBankFile();

    // --- Remembered locations.
    const presets::RememberedPaths& getRememberedPaths() const { return paths; }
    const char* getCurrentDirectory() const { return paths.directory(); }
    const char* getCurrentBankFile() const { return paths.bankFile(); }
    const char* getCurrentPresetFile() const { return paths.presetFile(); }

    // --- The strip's controls while open (null while closed).
    CPSTextEdit* getNameField() const { return nameField; }
    COptionMenu* getPresetMenu() const { return presetMenu; }
    CPSRockerSwitch* getRocker() const { return rocker; }
    int getIdleTimer() const { return idleTimer; }

protected:
    presets::PresetStore* presetStore() const { return store; }

    presets::RememberedPaths paths;

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
    // After a preset was applied: its name; after a bank: every slot's name, slot 0 current.
    void showCurrentPreset();
    void showBank();
    // Asks the user for a file; true with its full path in path (a kDirectoryCapacity buffer).
    bool choosePath(bool bank, bool save, const char* title, char* path);
    void loadFile(bool bank, bool reversed);
    void saveFile(bool bank);

    presets::PresetStore* store;
};
