#include <windows.h>

#include "platform/resources.h"

namespace platform {
namespace {

// The module that holds this code: the plug-in DLL, not the host executable.
HMODULE ownModule() {
    HMODULE module = nullptr;
    GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       reinterpret_cast<LPCSTR>(&ownModule), &module);
    return module;
}

ResourceData load(HMODULE module, HRSRC info) {
    if (!info) return {};
    HGLOBAL handle = LoadResource(module, info);
    if (!handle) return {};
    return {static_cast<const unsigned char*>(LockResource(handle)), SizeofResource(module, info)};
}

} // namespace

ResourceData findBitmapResource(int number) {
    HMODULE module = ownModule();
    return load(module, FindResourceA(module, MAKEINTRESOURCEA(number), MAKEINTRESOURCEA(2) /* RT_BITMAP */));
}

ResourceData findDataResource(const char* name) {
    if (!name) return {};
    HMODULE module = ownModule();
    return load(module, FindResourceA(module, name, "DATA"));
}

} // namespace platform
