// The native elements the toolkit hands the user over to: a pop-up menu, a single-line entry field,
// the open and save file dialogs and a message box. Each is modal to the user-interface thread
// except the entry field, which lives until its owner destroys it. One backend file per system
// (native_dialogs_headless.cpp answers as the test scripts it; Win32 uses TrackPopupMenu, an EDIT
// control, GetOpenFileNameA / GetSaveFileNameA and MessageBoxA).
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/frame_window.h"

namespace platform {

// --- Pop-up menu
struct PopupItem {
    std::string title;
    int command = 0;          // what tracking returns when this entry is chosen
    bool separator = false;   // a separator line (title and command unused)
    bool grayed = false;      // shown grayed, cannot be chosen
    bool checked = false;     // shows a check mark
    bool columnBreak = false; // starts a new column
};

// Shows the pop-up at a screen position until the user chooses or dismisses it. Returns the chosen
// entry's command, or -1 when nothing was chosen. `rightButton`: the right button may choose too.
int trackPopupMenu(FrameWindow* owner, const std::vector<PopupItem>& items, int screenX, int screenY,
                   bool rightButton);

// --- Single-line entry field
enum class TextAlign { left, centre, right };

struct TextEntryStyle {
    PixelRect rect;   // in the owner window's client pixels
    std::string text; // initial text, selected whole
    TextAlign align = TextAlign::left;
    std::string fontFamily;                // sans-serif of this family, normal weight
    int fontHeight = 12;                   // pixels
    std::uint32_t fontColour = 0xFF000000; // ARGB
    std::uint32_t backColour = 0xFFFFFFFF; // ARGB
    int maxChars = 255;                    // the field accepts no more
};

class TextEntryClient {
public:
    // The Enter key was pressed in the field.
    virtual void entryEnter() = 0;
    // The field lost the keyboard focus.
    virtual void entryFocusLost() = 0;

protected:
    ~TextEntryClient() = default;
};

// Both callbacks may destroy the entry: a backend touches nothing of it after calling them.
class TextEntry {
public:
    // Creates the field as a child of the owner window and gives it the keyboard focus; the field
    // asks for all keys, so that the host does not take them. Null when refused.
    static std::unique_ptr<TextEntry> create(FrameWindow* owner, const TextEntryStyle& style,
                                             TextEntryClient& client);
    virtual ~TextEntry() = default;
    // The field's current text (at most maxChars characters).
    virtual std::string text() const = 0;
};

// --- File dialogs
struct FileFilter {
    std::string label;   // as shown, e.g. "Orvel Preset (*.ozp)"
    std::string pattern; // e.g. "*.ozp" or "*.ozp;*.ozb"
};

struct FileDialogRequest {
    bool save = false;
    std::string title;
    std::string initialDirectory;
    std::vector<FileFilter> filters; // the first one is selected
    std::string defaultExtension;    // save only, without the dot
    int maxPathChars = 1023;
};

// Runs the dialog; true with a full path when the user chose a file, false when cancelled.
bool runFileDialog(FrameWindow* owner, const FileDialogRequest& request, std::string& path);

// --- Message box: modal, OK button, no owner window.
void showMessageBox(const char* text, const char* title);

} // namespace platform
