#include "platform/file_ops.h"

#include <algorithm>
#include <string>

#include <windows.h>

namespace platform {

namespace {

// Closes a handle on every way out.
struct Handle {
    HANDLE h = INVALID_HANDLE_VALUE;
    ~Handle() {
        if (h != INVALID_HANDLE_VALUE) CloseHandle(h);
    }
};

LONG tempSerial = 0;

} // namespace

std::string currentDirectory() {
    DWORD needed = GetCurrentDirectoryA(0, nullptr);
    if (needed == 0) return {};
    std::string buffer(needed, '\0');
    DWORD n = GetCurrentDirectoryA(needed, buffer.data());
    if (n == 0 || n >= needed) return {};
    buffer.resize(n);
    return buffer;
}

std::size_t readFileBytes(const char* path, void* buffer, std::size_t capacity) {
    if (!path || !*path) return 0;
    Handle file{CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr)};
    if (file.h == INVALID_HANDLE_VALUE) return 0;
    auto* out = static_cast<unsigned char*>(buffer);
    std::size_t total = 0;
    while (total < capacity) {
        DWORD chunk = DWORD(std::min<std::size_t>(capacity - total, 1u << 20));
        DWORD n = 0;
        if (!ReadFile(file.h, out + total, chunk, &n, nullptr) || n == 0) break;
        total += n;
    }
    return total;
}

bool writeFileBytes(const char* path, const void* data, std::size_t size) {
    if (!path || !*path) return false;
    DWORD attributes = GetFileAttributesA(path);
    const bool exists = attributes != INVALID_FILE_ATTRIBUTES;
    // A read-only file stays as it is, as an in-place write would have left it.
    if (exists && (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY))) return false;

    // A name of our own beside the target, so that the move stays on one volume.
    std::string temp;
    Handle file;
    for (int attempt = 0; attempt < 100 && file.h == INVALID_HANDLE_VALUE; ++attempt) {
        temp = std::string(path) + ".~" + std::to_string(GetCurrentProcessId()) + "-" +
               std::to_string(InterlockedIncrement(&tempSerial));
        file.h =
            CreateFileA(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file.h == INVALID_HANDLE_VALUE && GetLastError() != ERROR_FILE_EXISTS &&
            GetLastError() != ERROR_ALREADY_EXISTS)
            return false;
    }
    if (file.h == INVALID_HANDLE_VALUE) return false;

    bool ok = true;
    auto* in = static_cast<const unsigned char*>(data);
    std::size_t left = size;
    while (ok && left > 0) {
        DWORD chunk = DWORD(std::min<std::size_t>(left, 1u << 20));
        DWORD n = 0;
        ok = WriteFile(file.h, in, chunk, &n, nullptr) && n == chunk;
        in += n;
        left -= n;
    }
    ok = ok && FlushFileBuffers(file.h);
    ok = CloseHandle(file.h) && ok;
    file.h = INVALID_HANDLE_VALUE;
    if (ok && MoveFileExA(temp.c_str(), path, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return true;
    DeleteFileA(temp.c_str());
    return false;
}

} // namespace platform
