#include "platform/native_dialogs_headless.h"

#include <algorithm>

#include "platform/frame_window_headless.h"

namespace platform {
namespace headless {
namespace {

struct State {
    PopupScript popup;
    FileDialogScript fileDialog;
    std::vector<MessageBoxRecord> boxes;
    std::vector<HeadlessTextEntry*> entries; // alive, in creation order
    HeadlessFrameWindow* focusWindow = nullptr;
    HeadlessTextEntry* focusEntry = nullptr;
};

State& state() {
    static State s;
    return s;
}

} // namespace

void setPopupScript(PopupScript script) {
    state().popup = std::move(script);
}
void setFileDialogScript(FileDialogScript script) {
    state().fileDialog = std::move(script);
}
std::vector<MessageBoxRecord>& messageBoxes() {
    return state().boxes;
}

void reset() {
    state().popup = nullptr;
    state().fileDialog = nullptr;
    state().boxes.clear();
}

HeadlessTextEntry* activeTextEntry() {
    auto& entries = state().entries;
    return entries.empty() ? nullptr : entries.back();
}

void setKeyboardFocus(HeadlessFrameWindow* window, HeadlessTextEntry* entry) {
    State& s = state();
    HeadlessTextEntry* losing = s.focusEntry != entry ? s.focusEntry : nullptr;
    s.focusWindow = window;
    s.focusEntry = entry;
    // Told last: the entry's owner usually destroys it here.
    if (losing) losing->entryLostFocus();
}

HeadlessFrameWindow* keyboardFocusWindow() {
    return state().focusWindow;
}

void windowGone(HeadlessFrameWindow* window) {
    if (state().focusWindow == window) state().focusWindow = nullptr;
}

HeadlessTextEntry::HeadlessTextEntry(FrameWindow* owner, const TextEntryStyle& style, TextEntryClient& client)
    : window(owner), shape(style), client(client) {
    if (shape.maxChars < 0) shape.maxChars = 0;
    current = shape.text.substr(0, std::size_t(shape.maxChars));
    state().entries.push_back(this);
    setKeyboardFocus(nullptr, this);
}

HeadlessTextEntry::~HeadlessTextEntry() {
    State& s = state();
    s.entries.erase(std::remove(s.entries.begin(), s.entries.end(), this), s.entries.end());
    if (s.focusEntry == this) {
        // Destroying the focused field hands the keyboard focus back to its window, silently.
        s.focusEntry = nullptr;
        s.focusWindow = asHeadless(window);
    }
}

bool HeadlessTextEntry::hasKeyboardFocus() const {
    return state().focusEntry == this;
}

void HeadlessTextEntry::type(const std::string& characters) {
    if (selectAll) current.clear();
    selectAll = false;
    for (char c : characters) {
        if (int(current.size()) >= shape.maxChars) break;
        current.push_back(c);
    }
}

void HeadlessTextEntry::pressEnter() {
    client.entryEnter();
}

void HeadlessTextEntry::loseFocus() {
    if (state().focusEntry == this) setKeyboardFocus(nullptr, nullptr);
}

void HeadlessTextEntry::entryLostFocus() {
    client.entryFocusLost();
}

} // namespace headless

int trackPopupMenu(FrameWindow*, const std::vector<PopupItem>& items, int screenX, int screenY,
                   bool rightButton) {
    auto& script = headless::state().popup;
    if (!script) return -1;
    int command = script(items, screenX, screenY, rightButton);
    // Only an enabled entry can be chosen.
    for (const PopupItem& item : items)
        if (!item.separator && !item.grayed && item.command == command) return command;
    return -1;
}

std::unique_ptr<TextEntry> TextEntry::create(FrameWindow* owner, const TextEntryStyle& style,
                                             TextEntryClient& client) {
    return std::make_unique<headless::HeadlessTextEntry>(owner, style, client);
}

bool runFileDialog(FrameWindow*, const FileDialogRequest& request, std::string& path) {
    auto& script = headless::state().fileDialog;
    if (!script) return false;
    std::optional<std::string> chosen = script(request);
    if (!chosen || chosen->empty()) return false;
    path = chosen->substr(0, std::size_t(std::max(request.maxPathChars, 0)));
    return true;
}

void showMessageBox(const char* text, const char* title) {
    headless::state().boxes.push_back({text ? text : "", title ? title : ""});
}

} // namespace platform
