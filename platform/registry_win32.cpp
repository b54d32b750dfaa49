// The settings store as the current user's registry.
#include "platform/registry.h"

#include <cstring>
#include <limits>
#include <new>
#include <vector>
#include <windows.h>

namespace platform {

struct RegistryKey::Impl {
    HKEY handle = nullptr;
    ~Impl() {
        if (handle) RegCloseKey(handle);
    }
};

RegistryKey::RegistryKey() = default;
RegistryKey::~RegistryKey() = default;
RegistryKey::RegistryKey(RegistryKey&& other) noexcept = default;
RegistryKey& RegistryKey::operator=(RegistryKey&& other) noexcept = default;

bool RegistryKey::open(const char* path, Access access) {
    close();
    if (!path || !*path) return false;
    HKEY handle = nullptr;
    const REGSAM sam = access == Access::Read ? KEY_QUERY_VALUE : KEY_SET_VALUE;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, path, 0, sam, &handle) != ERROR_SUCCESS) return false;
    impl = std::make_unique<Impl>();
    impl->handle = handle;
    return true;
}

bool RegistryKey::create(const char* path) {
    close();
    if (!path || !*path) return false;
    HKEY handle = nullptr;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, path, 0, nullptr, REG_OPTION_NON_VOLATILE,
                        KEY_QUERY_VALUE | KEY_SET_VALUE, nullptr, &handle, nullptr) != ERROR_SUCCESS)
        return false;
    impl = std::make_unique<Impl>();
    impl->handle = handle;
    return true;
}

bool RegistryKey::isOpen() const {
    return impl != nullptr;
}

void RegistryKey::close() {
    impl.reset();
}

RegistryRead RegistryKey::read(const char* name, void* buffer, std::size_t capacity,
                               RegistryValueInfo* info) const {
    if (!impl) return RegistryRead::Missing;
    // Ask for the size first: a value too large for the buffer must leave it untouched, and
    // RegQueryValueExA leaves a short buffer's contents undefined.
    DWORD type = 0, size = 0;
    if (RegQueryValueExA(impl->handle, name, nullptr, &type, nullptr, &size) != ERROR_SUCCESS)
        return RegistryRead::Missing;
    if (info) *info = {std::uint32_t(type), std::size_t(size)};
    if (size > capacity) return RegistryRead::TooLarge;
    if (size == 0) return RegistryRead::Ok;
    if (!buffer) return RegistryRead::Missing;
    // Read through a private copy, so that a value that grew since the size query cannot leave
    // partial bytes in the caller's buffer.
    std::vector<BYTE> bytes;
    try {
        bytes.resize(size);
    } catch (const std::bad_alloc&) {
        return RegistryRead::Missing;
    }
    DWORD got = size;
    const LONG result = RegQueryValueExA(impl->handle, name, nullptr, &type, bytes.data(), &got);
    if (result == ERROR_MORE_DATA) {
        if (info) *info = {std::uint32_t(type), std::size_t(got)};
        return RegistryRead::TooLarge;
    }
    if (result != ERROR_SUCCESS || got > size) return RegistryRead::Missing;
    std::memcpy(buffer, bytes.data(), got);
    if (info) *info = {std::uint32_t(type), std::size_t(got)};
    return RegistryRead::Ok;
}

bool RegistryKey::write(const char* name, std::uint32_t type, const void* data, std::size_t size) {
    if (!impl || (size > 0 && !data) || size > std::numeric_limits<DWORD>::max()) return false;
    return RegSetValueExA(impl->handle, name, 0, DWORD(type), static_cast<const BYTE*>(data), DWORD(size)) ==
           ERROR_SUCCESS;
}

bool RegistryKey::remove(const char* name) {
    if (!impl) return false;
    return RegDeleteValueA(impl->handle, name) == ERROR_SUCCESS;
}

void setRegistryRootOverride(const char*) {}

} // namespace platform
