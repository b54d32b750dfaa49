// Whole-file reads and writes for small documents (preset and bank files), by full path. Nothing here
// changes the process's current directory, which belongs to the host.
#pragma once

#include <cstddef>
#include <string>

namespace platform {

// The process's current working directory (without a trailing separator); empty when unknown.
std::string currentDirectory();

// Reads at most capacity bytes from the start of the file at path, which is opened for reading only
// (so read-only files load). Stops early at the end of the file. Returns the number of bytes read;
// 0 when the file cannot be opened.
std::size_t readFileBytes(const char* path, void* buffer, std::size_t capacity);

// Replaces the file at path with exactly size bytes: they go to a temporary file beside it, which is
// flushed to the disk and then renamed over the target, so that a failed save leaves the previous
// file as it was. A target that exists but may not be written is not replaced. True on success.
bool writeFileBytes(const char* path, const void* data, std::size_t size);

} // namespace platform
