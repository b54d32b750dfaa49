#include "platform/native_dialogs.h"

namespace platform {

int trackPopupMenu(FrameWindow*, const std::vector<PopupItem>&, int, int, bool) {
    return -1;
}

std::unique_ptr<TextEntry> TextEntry::create(FrameWindow*, const TextEntryStyle&, TextEntryClient&) {
    return nullptr;
}

bool runFileDialog(FrameWindow*, const FileDialogRequest&, std::string&) {
    return false;
}

void showMessageBox(const char*, const char*) {}

} // namespace platform
