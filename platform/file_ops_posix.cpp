#include "platform/file_ops.h"

#include <atomic>
#include <cerrno>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

namespace {

// Closes a descriptor on every way out.
struct Descriptor {
    int fd = -1;
    ~Descriptor() {
        if (fd >= 0) ::close(fd);
    }
};

bool writeAll(int fd, const unsigned char* data, std::size_t size) {
    while (size > 0) {
        ssize_t n = ::write(fd, data, size);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        data += n;
        size -= std::size_t(n);
    }
    return true;
}

std::atomic<unsigned> tempSerial{0};

} // namespace

std::string currentDirectory() {
    std::string buffer(4096, '\0');
    if (!::getcwd(buffer.data(), buffer.size())) return {};
    buffer.resize(std::char_traits<char>::length(buffer.c_str()));
    return buffer;
}

std::size_t readFileBytes(const char* path, void* buffer, std::size_t capacity) {
    if (!path || !*path) return 0;
    Descriptor file{::open(path, O_RDONLY | O_CLOEXEC)};
    if (file.fd < 0) return 0;
    auto* out = static_cast<unsigned char*>(buffer);
    std::size_t total = 0;
    while (total < capacity) {
        ssize_t n = ::read(file.fd, out + total, capacity - total);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        total += std::size_t(n);
    }
    return total;
}

bool writeFileBytes(const char* path, const void* data, std::size_t size) {
    if (!path || !*path) return false;
    struct stat target {};
    const bool exists = ::stat(path, &target) == 0;
    // A read-only file stays as it is, as an in-place write would have left it.
    if (exists && (!S_ISREG(target.st_mode) || ::access(path, W_OK) != 0)) return false;

    // A name of our own beside the target, so that the rename stays on one file system.
    std::string temp;
    Descriptor file;
    for (int attempt = 0; attempt < 100 && file.fd < 0; ++attempt) {
        temp = std::string(path) + ".~" + std::to_string(::getpid()) + "-" + std::to_string(tempSerial++);
        file.fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (file.fd < 0 && errno != EEXIST) return false;
    }
    if (file.fd < 0) return false;
    // The replacement keeps the permissions of the file it replaces.
    if (exists) ::fchmod(file.fd, target.st_mode & 07777);

    bool ok = writeAll(file.fd, static_cast<const unsigned char*>(data), size) && ::fsync(file.fd) == 0;
    ok = ::close(file.fd) == 0 && ok;
    file.fd = -1;
    if (ok && ::rename(temp.c_str(), path) == 0) return true;
    ::unlink(temp.c_str());
    return false;
}

} // namespace platform
