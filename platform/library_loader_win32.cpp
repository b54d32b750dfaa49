#include "platform/library_loader.h"

#include <windows.h>

#include <utility>

namespace platform {

LoadedLibrary::~LoadedLibrary() {
    close();
}

LoadedLibrary::LoadedLibrary(LoadedLibrary&& other) noexcept
    : handle(std::exchange(other.handle, nullptr)), lastError(std::move(other.lastError)) {}

LoadedLibrary& LoadedLibrary::operator=(LoadedLibrary&& other) noexcept {
    if (this != &other) {
        close();
        handle = std::exchange(other.handle, nullptr);
        lastError = std::move(other.lastError);
    }
    return *this;
}

bool LoadedLibrary::open(const std::string& path) {
    close();
    handle = LoadLibraryA(path.c_str());
    if (!handle) {
        lastError = "cannot load " + path + " (error " + std::to_string(GetLastError()) + ")";
        return false;
    }
    return true;
}

void LoadedLibrary::close() {
    if (handle) FreeLibrary(static_cast<HMODULE>(handle));
    handle = nullptr;
}

void* LoadedLibrary::symbol(const char* name) const {
    return handle ? reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(handle), name)) : nullptr;
}

} // namespace platform
