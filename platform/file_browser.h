// The model of the small open/save dialog that the X11 backend draws when the desktop offers no
// dialog tool: what a folder shows, where "up" goes, and which file a typed name means. Paths are
// POSIX byte strings (UTF-8 in practice) and are never put through a shell or a locale.
#pragma once

#include <string>
#include <vector>

namespace platform {

struct FolderListing {
    std::vector<std::string> folders; // names, ".." first unless the folder is "/"
    std::vector<std::string> files;   // names of files that match the filter
    std::string error;                // why the folder could not be read; empty when it could
    bool ok() const { return error.empty(); }
};

// Lists a folder for the dialog: its subfolders (symbolic links to folders count as folders) and the
// files whose names match any pattern of a filter such as "*.ozp;*.ozb" (an empty filter, "*" or
// "*.*" shows every file). Patterns know '*' and '?' and ignore ASCII case, so that "PRESET.OZP"
// shows too. Names that start with a dot are hidden, as file managers hide them. Both lists are
// sorted without regard to ASCII case. An unreadable folder gives empty lists and an error.
FolderListing listFolder(const std::string& path, const std::string& patterns);

// True when the name matches one of the ';'-separated patterns (see listFolder).
bool matchesFilter(const std::string& name, const std::string& patterns);

// The folder that holds path: "/a/b" -> "/a", "/a" -> "/", "/" -> "/". Trailing slashes are ignored.
std::string parentOf(const std::string& path);

// folder + "/" + name, without doubling a slash.
std::string joinPath(const std::string& folder, const std::string& name);

// The path with "." and empty components removed and each ".." taken back over the component before
// it (above "/" there is nothing: "/.." is "/"). Works on the text alone; symbolic links stay.
std::string normalizePath(const std::string& path);

// For a save: the name with ".ext" appended when its last component has no extension of its own.
// A leading dot does not start an extension (".profile" has none) and a trailing dot asks for the
// default ("name." -> "name.ozp"). ext may be given with or without its dot; empty leaves the name.
std::string withDefaultExtension(const std::string& name, const std::string& ext);

// The full path that a name typed into the dialog means: an absolute path as it is, "~" or "~/..."
// under the home folder ($HOME, else the password database), anything else relative to the folder
// the dialog shows. The result is normalized.
std::string resolveTypedName(const std::string& typed, const std::string& currentFolder);

// The user's home folder: $HOME, else the password database's entry, else "/".
std::string homeFolder();

// True when path names a folder (following symbolic links).
bool isFolder(const std::string& path);

} // namespace platform
