#include "presets/remembered_paths.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <utility>

#include "platform/file_ops.h"
#include "platform/registry.h"
#include "presets/registry_keys.h"

namespace presets {

namespace {

// Copies text into a buffer of capacity bytes, cut to fit, always terminated.
void copyCut(char* out, std::size_t capacity, const char* text, std::size_t length) {
    if (capacity == 0) return;
    length = std::min(length, capacity - 1);
    std::memmove(out, text, length);
    out[length] = 0;
}

} // namespace

RememberedPaths::RememberedPaths() {
    const std::string directory = platform::currentDirectory();
    copyCut(currentDirectory, sizeof(currentDirectory), directory.c_str(), directory.size());
    currentBankFile[0] = 0;
    currentPresetFile[0] = 0;
}

void RememberedPaths::remember(const char* path, bool bank) {
    splitPath(path, currentDirectory, sizeof(currentDirectory), bank ? currentBankFile : currentPresetFile,
              bank ? sizeof(currentBankFile) : sizeof(currentPresetFile));
}

void RememberedPaths::save() const {
    platform::RegistryKey key;
    if (!key.create(kRegistryKey)) return;
    for (auto [name, text] :
         {std::pair{kCurrDirValue, currentDirectory}, std::pair{kCurrBankValue, currentBankFile},
          std::pair{kCurrPresetValue, currentPresetFile}})
        key.write(name, platform::kRegistryString, text, std::strlen(text) + 1);
}

void RememberedPaths::load() {
    platform::RegistryKey key;
    if (!key.open(kRegistryKey, platform::RegistryKey::Access::Read)) return;
    auto readString = [&key](const char* name, char* out, std::size_t capacity) {
        // Read aside first: a stored string need not carry its terminator, and a missing value
        // leaves the remembered one as it was.
        std::string buffer(capacity, '\0');
        platform::RegistryValueInfo info;
        if (key.read(name, buffer.data(), capacity, &info) != platform::RegistryRead::Ok) return;
        copyCut(out, capacity, buffer.data(), strnlen(buffer.data(), std::min(info.size, capacity)));
    };
    readString(kCurrDirValue, currentDirectory, sizeof(currentDirectory));
    readString(kCurrBankValue, currentBankFile, sizeof(currentBankFile));
    readString(kCurrPresetValue, currentPresetFile, sizeof(currentPresetFile));
}

void RememberedPaths::splitPath(const char* path, char* directory, std::size_t directoryCapacity,
                                char* fileName, std::size_t fileNameCapacity) {
    if (!path) return;
    const char* separator = nullptr;
    for (const char* p = path; *p; ++p)
        if (*p == '/' || *p == '\\') separator = p;
    if (!separator) {
        copyCut(fileName, fileNameCapacity, path, std::strlen(path));
        return;
    }
    copyCut(directory, directoryCapacity, path, std::size_t(separator - path) + 1);
    copyCut(fileName, fileNameCapacity, separator + 1, std::strlen(separator + 1));
}

} // namespace presets
