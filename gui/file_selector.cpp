#include "gui/file_selector.h"

#include <cstring>
#include <string>

#include "gui/frame.h"

namespace {

// A fixed-size text field that may lack its terminator.
template <std::size_t N> std::string field(const char (&text)[N]) {
    std::size_t n = 0;
    while (n < N && text[n])
        ++n;
    return std::string(text, n);
}

} // namespace

std::vector<platform::FileFilter> CFileSelector::filtersFor(const vst::VstFileSelect& request) {
    std::vector<platform::FileFilter> types;
    std::string all;
    for (vst::VstInt32 i = 0; request.fileTypes && i < request.nbFileTypes; ++i) {
        const vst::VstFileType& type = request.fileTypes[i];
        std::string extension = field(type.dosType);
        if (extension.empty()) extension = field(type.unixType);
        std::string pattern = extension.empty() ? "*.*" : "*." + extension;
        types.push_back({field(type.name) + " (" + pattern + ")", pattern});
        all += (all.empty() ? "" : ";") + pattern;
    }
    std::vector<platform::FileFilter> filters;
    if (types.size() > 1) filters.push_back({"All Types: (" + all + ")", all});
    filters.insert(filters.end(), types.begin(), types.end());
    filters.push_back({"Any Type (*.*)", "*.*"});
    return filters;
}

std::int32_t CFileSelector::run(vst::VstFileSelect* request) {
    if (!request || !request->returnPath || request->sizeReturnPath <= 0) return 0;
    if (request->command != vst::kVstFileLoad && request->command != vst::kVstFileSave) return 0;

    platform::FileDialogRequest dialog;
    dialog.save = request->command == vst::kVstFileSave;
    dialog.title = field(request->title);
    if (request->initialPath) dialog.initialDirectory = request->initialPath;
    dialog.filters = filtersFor(*request);
    if (dialog.save && request->fileTypes && request->nbFileTypes > 0) {
        dialog.defaultExtension = field(request->fileTypes[0].dosType);
        if (dialog.defaultExtension.empty()) dialog.defaultExtension = field(request->fileTypes[0].unixType);
    }
    dialog.maxPathChars = 1023;

    std::string path;
    if (!platform::runFileDialog(owner ? owner->getPlatformWindow() : nullptr, dialog, path)) return 0;
    std::size_t n = std::min(path.size(), std::size_t(request->sizeReturnPath - 1));
    std::memcpy(request->returnPath, path.data(), n);
    request->returnPath[n] = 0;
    request->nbReturnPath = 1;
    return 1;
}
