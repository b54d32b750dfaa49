// The current user's settings store. On Windows it is the registry under HKEY_CURRENT_USER; elsewhere
// a folder per key under $XDG_CONFIG_HOME (else ~/.config), with one file per value that holds its type
// and bytes and is replaced atomically on every write.
//
// Key paths are relative to the user's root and use backslashes, as in the registry:
// "SOFTWARE\\Orvel-soundworks\\Orvelzelmar\\PREFS". Reads never write beyond the caller's buffer.
// Not for the audio thread: every call may touch the disk.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

namespace platform {

// Value types, numbered as the Windows registry numbers them.
enum RegistryType : std::uint32_t {
    kRegistryNone = 0,
    kRegistryString = 1, // REG_SZ: characters with their terminator
    kRegistryBinary = 3, // REG_BINARY
    kRegistryDword = 4,  // REG_DWORD: 4 bytes, little-endian
};

enum class RegistryRead {
    Ok,       // the value's bytes are in the buffer
    Missing,  // no such value, an unreadable one, or a key not opened for reading
    TooLarge, // the value does not fit: the buffer is left as it was
};

struct RegistryValueInfo {
    std::uint32_t type = kRegistryNone;
    std::size_t size = 0; // bytes of the value (also when it was too large to read)
};

class RegistryKey {
public:
    enum class Access {
        Read,  // query values only
        Write, // set and delete values only
    };

    RegistryKey();
    ~RegistryKey();
    RegistryKey(RegistryKey&& other) noexcept;
    RegistryKey& operator=(RegistryKey&& other) noexcept;
    RegistryKey(const RegistryKey&) = delete;
    RegistryKey& operator=(const RegistryKey&) = delete;

    // Opens an existing key; false if it does not exist or cannot be opened.
    bool open(const char* path, Access access);
    // Opens the key for reading and writing, creating it and its parents if needed.
    bool create(const char* path);
    bool isOpen() const;
    void close();

    // Reads value `name` into buffer (capacity bytes). info, if given, receives the value's type and
    // size whenever the value exists.
    RegistryRead read(const char* name, void* buffer, std::size_t capacity,
                      RegistryValueInfo* info = nullptr) const;
    // Sets value `name` to size bytes of the given type; true on success.
    bool write(const char* name, std::uint32_t type, const void* data, std::size_t size);
    // Deletes value `name`; true if it existed and is gone.
    bool remove(const char* name);

private:
    struct Impl;
    std::unique_ptr<Impl> impl;
};

// Tests only (the folder backend): keep every key under this folder instead of $XDG_CONFIG_HOME or
// ~/.config; null or empty returns to the environment. Not synchronized: set it before any key is
// opened. The Windows backend ignores it (it always uses HKEY_CURRENT_USER).
void setRegistryRootOverride(const char* folder);

} // namespace platform
