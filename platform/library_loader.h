// Opens a plug-in binary and finds an exported function in it; used by hosts and host-level tests.
#pragma once

#include <string>

namespace platform {

class LoadedLibrary {
public:
    LoadedLibrary() = default;
    ~LoadedLibrary();
    LoadedLibrary(LoadedLibrary&& other) noexcept;
    LoadedLibrary& operator=(LoadedLibrary&& other) noexcept;
    LoadedLibrary(const LoadedLibrary&) = delete;
    LoadedLibrary& operator=(const LoadedLibrary&) = delete;

    // Loads the library; on failure returns false and describes the reason in error().
    bool open(const std::string& path);
    void close();
    bool isOpen() const { return handle != nullptr; }
    void* symbol(const char* name) const;
    const std::string& error() const { return lastError; }

private:
    void* handle = nullptr;
    std::string lastError;
};

} // namespace platform
