#include "platform/file_browser.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

namespace {

char lowerAscii(char c) {
    return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c;
}

// Glob match with '*' and '?', ASCII case ignored. Backtracks only to the last '*', which is enough
// for file patterns and stays linear in practice.
bool globMatch(const std::string& pattern, const std::string& name) {
    std::size_t p = 0, n = 0, starP = std::string::npos, starN = 0;
    while (n < name.size()) {
        if (p < pattern.size() && pattern[p] == '*') {
            starP = p++;
            starN = n;
        } else if (p < pattern.size() &&
                   (pattern[p] == '?' || lowerAscii(pattern[p]) == lowerAscii(name[n]))) {
            ++p;
            ++n;
        } else if (starP != std::string::npos) {
            p = starP + 1;
            n = ++starN;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*')
        ++p;
    return p == pattern.size();
}

std::string trimmed(const std::string& text) {
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string::npos) return {};
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

std::vector<std::string> splitPatterns(const std::string& patterns) {
    std::vector<std::string> out;
    std::size_t start = 0;
    while (start <= patterns.size()) {
        const std::size_t end = std::min(patterns.find(';', start), patterns.size());
        std::string one = trimmed(patterns.substr(start, end - start));
        if (!one.empty()) out.push_back(std::move(one));
        start = end + 1;
    }
    return out;
}

// Case-insensitive order, so that "bass.ozp" and "Bright.ozp" sit together; bytes break ties so
// that the order is total.
bool nameLess(const std::string& a, const std::string& b) {
    const auto folded = [](const std::string& s) {
        std::string out(s);
        std::transform(out.begin(), out.end(), out.begin(), lowerAscii);
        return out;
    };
    const std::string fa = folded(a), fb = folded(b);
    return fa != fb ? fa < fb : a < b;
}

// Closes a directory stream on every way out.
struct DirectoryStream {
    DIR* dir;
    ~DirectoryStream() {
        if (dir) ::closedir(dir);
    }
};

} // namespace

bool matchesFilter(const std::string& name, const std::string& patterns) {
    const std::vector<std::string> list = splitPatterns(patterns);
    if (list.empty()) return true;
    for (const std::string& pattern : list) {
        // "*.*" means every file, as it does in the Win32 dialogs the filters were written for.
        if (pattern == "*.*" || globMatch(pattern, name)) return true;
    }
    return false;
}

FolderListing listFolder(const std::string& path, const std::string& patterns) {
    FolderListing listing;
    DirectoryStream stream{::opendir(path.c_str())};
    if (!stream.dir) {
        listing.error = std::strerror(errno);
        return listing;
    }
    for (;;) {
        errno = 0;
        const dirent* entry = ::readdir(stream.dir);
        if (!entry) {
            if (errno != 0) listing.error = std::strerror(errno);
            break;
        }
        const std::string name = entry->d_name;
        if (name.empty() || name[0] == '.') continue; // ".", ".." (added below) and hidden names
        struct stat info {};
        // stat, not lstat: a link to a folder is entered like a folder; a broken link shows nothing.
        if (::stat(joinPath(path, name).c_str(), &info) != 0) continue;
        if (S_ISDIR(info.st_mode))
            listing.folders.push_back(name);
        else if (S_ISREG(info.st_mode) && matchesFilter(name, patterns))
            listing.files.push_back(name);
    }
    if (!listing.ok()) {
        listing.folders.clear();
        listing.files.clear();
        return listing;
    }
    std::sort(listing.folders.begin(), listing.folders.end(), nameLess);
    std::sort(listing.files.begin(), listing.files.end(), nameLess);
    if (normalizePath(path) != "/") listing.folders.insert(listing.folders.begin(), "..");
    return listing;
}

std::string parentOf(const std::string& path) {
    const std::string normal = normalizePath(path);
    const std::size_t slash = normal.find_last_of('/');
    if (slash == std::string::npos) return ".";
    if (slash == 0) return "/";
    return normal.substr(0, slash);
}

std::string joinPath(const std::string& folder, const std::string& name) {
    if (folder.empty()) return name;
    if (name.empty()) return folder;
    const bool folderSlash = folder.back() == '/';
    const bool nameSlash = name.front() == '/';
    if (folderSlash && nameSlash) return folder + name.substr(1);
    if (folderSlash || nameSlash) return folder + name;
    return folder + "/" + name;
}

std::string normalizePath(const std::string& path) {
    const bool absolute = !path.empty() && path[0] == '/';
    std::vector<std::string> parts;
    std::size_t start = 0;
    while (start <= path.size()) {
        const std::size_t end = std::min(path.find('/', start), path.size());
        const std::string part = path.substr(start, end - start);
        start = end + 1;
        if (part.empty() || part == ".") continue;
        if (part == "..") {
            if (!parts.empty() && parts.back() != "..")
                parts.pop_back();
            else if (!absolute)
                parts.push_back(part); // a relative path may climb above where it starts
            continue;
        }
        parts.push_back(part);
    }
    std::string out = absolute ? "/" : "";
    for (std::size_t i = 0; i < parts.size(); ++i)
        out += (i ? "/" : "") + parts[i];
    return out.empty() ? "." : out;
}

std::string withDefaultExtension(const std::string& name, const std::string& ext) {
    const std::string bare = (!ext.empty() && ext[0] == '.') ? ext.substr(1) : ext;
    if (bare.empty() || name.empty()) return name;
    const std::size_t slash = name.find_last_of('/');
    const std::size_t base = slash == std::string::npos ? 0 : slash + 1;
    if (base == name.size()) return name; // a folder, not a file name
    const std::size_t dot = name.find_last_of('.');
    const bool hasDot = dot != std::string::npos && dot > base;
    if (hasDot && dot + 1 < name.size()) return name; // an extension of its own
    return hasDot ? name + bare : name + "." + bare;
}

std::string homeFolder() {
    if (const char* home = std::getenv("HOME"); home && *home) return home;
    if (const passwd* entry = ::getpwuid(::getuid()); entry && entry->pw_dir && *entry->pw_dir)
        return entry->pw_dir;
    return "/";
}

std::string resolveTypedName(const std::string& typed, const std::string& currentFolder) {
    // Not trimmed: a name may begin or end with a space, and the dialog shows what it will use.
    const std::string& name = typed;
    if (name.empty()) return normalizePath(currentFolder);
    if (name[0] == '/') return normalizePath(name);
    // Only "~" and "~/" mean home; "~user" is an ordinary name here, as the dialog has no shell.
    if (name == "~" || name.compare(0, 2, "~/") == 0) return normalizePath(homeFolder() + name.substr(1));
    return normalizePath(joinPath(currentFolder, name));
}

bool isFolder(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

} // namespace platform
