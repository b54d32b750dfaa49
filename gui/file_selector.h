// The file selector: runs a request for one file to open or save through the system's dialog.
#pragma once

#include <string>
#include <vector>

#include "platform/native_dialogs.h"

class CFrame;

namespace gui {

// A kind of file the dialog offers: its name and its extension without the dot ("" for any).
struct FileType {
    std::string name;
    std::string extension;
};

struct FileRequest {
    enum class Mode { Open, Save };
    Mode mode = Mode::Open;
    std::string title;
    std::string folder; // where the dialog starts ("" for the system's choice)
    std::vector<FileType> types;
    // Given to a name typed without an extension when saving.
    std::string defaultExtension;
    // The chosen file's full path, set only when the user chose one.
    std::string resultPath;
};

// The longest path the dialog returns [characters].
inline constexpr int kMaxFilePathChars = 1023;

} // namespace gui

class CFileSelector {
public:
    // Dialogs are owned by the frame's window when there is one.
    explicit CFileSelector(CFrame* owner = nullptr) : owner(owner) {}

    // True when the user chose a file; its path is then in request.resultPath. A cancel leaves
    // the request as it was.
    bool run(gui::FileRequest& request);

    // The dialog's filters for a request: one per file type ("name (*.ext)"), "All Types: (...)"
    // first when there are several, and "Any Type (*.*)" last.
    static std::vector<platform::FileFilter> filtersFor(const gui::FileRequest& request);

private:
    CFrame* owner;
};
