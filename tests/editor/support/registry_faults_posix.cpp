// The folder store: a key is a folder and a value a file renamed into place, so a plain file where
// the key's folder belongs blocks the key, and a non-empty folder where a value's file belongs
// blocks the value (no rename replaces it, whoever runs the test).
#include "support/registry_faults.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace editortest {

namespace {

std::filesystem::path keyFolder() {
    const char* root = std::getenv("XDG_CONFIG_HOME");
    if (!root || root[0] != '/') return {};
    return std::filesystem::path(root) / "SOFTWARE" / "Orvel-soundworks" / "Orvelzelmar" / "PREFS";
}

} // namespace

bool blockPreferencesKey() {
    const std::filesystem::path folder = keyFolder();
    if (folder.empty()) return false;
    std::error_code error;
    std::filesystem::create_directories(folder.parent_path(), error);
    std::filesystem::remove_all(folder, error);
    std::ofstream(folder) << "not a key";
    return std::filesystem::is_regular_file(folder);
}

bool blockPreferenceValue(const char* valueName) {
    const std::filesystem::path folder = keyFolder();
    if (folder.empty()) return false;
    const std::filesystem::path blocker = folder / (std::string(valueName) + ".value") / "blocker";
    std::error_code error;
    std::filesystem::create_directories(blocker.parent_path(), error);
    std::ofstream(blocker) << "x";
    return std::filesystem::is_regular_file(blocker);
}

} // namespace editortest
