#include "platform/library_loader.h"

#include <dlfcn.h>

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
    // RTLD_LOCAL keeps each plug-in's symbols to itself, as hosts load them.
    handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle) {
        const char* reason = dlerror();
        lastError = reason ? reason : "cannot load " + path;
        return false;
    }
    return true;
}

void LoadedLibrary::close() {
    if (handle) dlclose(handle);
    handle = nullptr;
}

void* LoadedLibrary::symbol(const char* name) const {
    return handle ? dlsym(handle, name) : nullptr;
}

} // namespace platform
