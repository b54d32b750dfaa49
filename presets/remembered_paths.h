// Where the user last went for preset and bank files: the directory and the two file names, kept in
// the registry between sessions. The file dialogs start there.
#pragma once

#include <cstddef>

namespace presets {

// Sizes of the remembered locations (with their terminators).
inline constexpr std::size_t kDirectoryCapacity = 1024;
inline constexpr std::size_t kFileNameCapacity = 512;

class RememberedPaths {
public:
    // The process's working directory, both file names empty.
    RememberedPaths();

    const char* directory() const { return currentDirectory; }
    const char* bankFile() const { return currentBankFile; }
    const char* presetFile() const { return currentPresetFile; }

    // Remembers a chosen file: its directory, and its name as the bank or the preset file.
    void remember(const char* path, bool bank);

    // The registry values; a value missing on load leaves its location as it was.
    void save() const;
    void load();

    // Splits a full path at its last '/' or '\': the directory up to and including that separator
    // and the file name after it, each cut to fit its buffer. A path without a separator is a file
    // name alone and leaves the directory as it was.
    static void splitPath(const char* path, char* directory, std::size_t directoryCapacity, char* fileName,
                          std::size_t fileNameCapacity);

private:
    char currentDirectory[kDirectoryCapacity];
    char currentBankFile[kFileNameCapacity];
    char currentPresetFile[kFileNameCapacity];
};

} // namespace presets
