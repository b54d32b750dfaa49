// The headless native elements: the test scripts what the user does with each of them and reads
// back what the toolkit asked for.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/native_dialogs.h"

namespace platform {

class HeadlessFrameWindow;

namespace headless {

// The user's answer to a pop-up: the chosen command, or -1 for a click outside it. Without a
// script every pop-up is dismissed. The script sees the entries as they would be shown.
using PopupScript =
    std::function<int(const std::vector<PopupItem>& items, int screenX, int screenY, bool rightButton)>;
void setPopupScript(PopupScript script);

// The user's answer to a file dialog: a path, or nothing for cancel. Without a script every dialog
// is cancelled.
using FileDialogScript = std::function<std::optional<std::string>(const FileDialogRequest& request)>;
void setFileDialogScript(FileDialogScript script);

struct MessageBoxRecord {
    std::string text, title;
};
// Message boxes shown so far (each answered OK at once).
std::vector<MessageBoxRecord>& messageBoxes();

// An entry field: the user types into it, presses Enter or moves the keyboard focus elsewhere.
class HeadlessTextEntry : public TextEntry {
public:
    HeadlessTextEntry(FrameWindow* owner, const TextEntryStyle& style, TextEntryClient& client);
    ~HeadlessTextEntry() override;
    std::string text() const override { return current; }

    const TextEntryStyle& style() const { return shape; }
    FrameWindow* owner() const { return window; }
    bool hasKeyboardFocus() const;
    bool allSelected() const { return selectAll; }
    // Types characters: the first typing replaces the selected text; characters beyond the limit are
    // refused, as the field does.
    void type(const std::string& characters);
    void clear() { current.clear(), selectAll = false; }
    // Enter: the entry may be gone when this returns.
    void pressEnter();
    // The keyboard focus moves away: the entry may be gone when this returns.
    void loseFocus();
    // Called by the focus bookkeeping when another window or field takes the focus.
    void entryLostFocus();

private:
    FrameWindow* window;
    TextEntryStyle shape;
    TextEntryClient& client;
    std::string current;
    bool selectAll = true;
};

// The entry field alive now (the last one created), or null.
HeadlessTextEntry* activeTextEntry();

// Who holds the keyboard focus: a frame window, an entry field, or nobody. Used by the two headless
// backends; setting the focus tells an entry that loses it.
void setKeyboardFocus(HeadlessFrameWindow* window, HeadlessTextEntry* entry);
HeadlessFrameWindow* keyboardFocusWindow();
void windowGone(HeadlessFrameWindow* window);

// Forgets the scripts and the recorded message boxes.
void reset();

} // namespace headless
} // namespace platform
