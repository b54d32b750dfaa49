#include "gui/file_selector.h"

#include "gui/frame.h"

std::vector<platform::FileFilter> CFileSelector::filtersFor(const gui::FileRequest& request) {
    std::vector<platform::FileFilter> types;
    std::string all;
    for (const gui::FileType& type : request.types) {
        std::string pattern = type.extension.empty() ? "*.*" : "*." + type.extension;
        types.push_back({type.name + " (" + pattern + ")", pattern});
        all += (all.empty() ? "" : ";") + pattern;
    }
    std::vector<platform::FileFilter> filters;
    if (types.size() > 1) filters.push_back({"All Types: (" + all + ")", all});
    filters.insert(filters.end(), types.begin(), types.end());
    filters.push_back({"Any Type (*.*)", "*.*"});
    return filters;
}

bool CFileSelector::run(gui::FileRequest& request) {
    platform::FileDialogRequest dialog;
    dialog.save = request.mode == gui::FileRequest::Mode::Save;
    dialog.title = request.title;
    dialog.initialDirectory = request.folder;
    dialog.filters = filtersFor(request);
    if (dialog.save) dialog.defaultExtension = request.defaultExtension;
    dialog.maxPathChars = gui::kMaxFilePathChars;

    std::string path;
    if (!platform::runFileDialog(owner ? owner->getPlatformWindow() : nullptr, dialog, path)) return false;
    request.resultPath = std::move(path);
    return true;
}
