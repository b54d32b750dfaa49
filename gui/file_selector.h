// The file selector: runs a VST 2.4 file-select request through the system's open or save dialog.
#pragma once

#include <cstdint>
#include <vector>

#include "host/vst_abi.h"
#include "platform/native_dialogs.h"

class CFrame;

class CFileSelector {
public:
    // Dialogs are owned by the frame's window when there is one.
    explicit CFileSelector(CFrame* owner = nullptr) : owner(owner) {}

    // Loads one file (kVstFileLoad) or saves (kVstFileSave). The request must carry a return-path
    // buffer of sizeReturnPath bytes; a chosen path is copied there (cut to fit) and the result is
    // 1. A cancel returns 0 and leaves the buffer as it was. Other commands are not offered: 0.
    std::int32_t run(vst::VstFileSelect* request);

    // The dialog's filters for a request: one per file type ("name (*.ext)"), "All Types: (...)"
    // first when there are several, and "Any Type (*.*)" last.
    static std::vector<platform::FileFilter> filtersFor(const vst::VstFileSelect& request);

private:
    CFrame* owner;
};
