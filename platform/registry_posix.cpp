// The settings store as folders and files. Key "A\\B" is the folder <root>/A/B; value "V" of that key
// is the file <root>/A/B/V.value holding the 4-byte little-endian type followed by the value's bytes.
// Names are escaped so that any registry name maps to one safe file name: bytes other than letters,
// digits, '-', '_' and a non-leading '.' become %XX, and the empty (default) value name is "@".
// A write goes to a temporary file beside the value and is renamed over it, so that a reader sees
// either the old or the new value, never a mixture.
#include "platform/registry.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

namespace {

std::string& rootOverride() {
    static std::string folder;
    return folder;
}

// The folder that stands for the user's registry root; empty when there is none.
std::string userRoot() {
    if (!rootOverride().empty()) return rootOverride();
    const char* config = std::getenv("XDG_CONFIG_HOME");
    // The base-directory convention ignores relative paths.
    if (config && config[0] == '/') return config;
    const char* home = std::getenv("HOME");
    if (home && home[0] == '/') return std::string(home) + "/.config";
    return {};
}

bool plainByte(unsigned char c, bool first) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' ||
           c == '_' || (c == '.' && !first);
}

void appendEscaped(std::string& out, const char* begin, const char* end) {
    static const char hex[] = "0123456789ABCDEF";
    if (begin == end) {
        out += '@';
        return;
    }
    for (const char* p = begin; p != end; ++p) {
        const auto c = static_cast<unsigned char>(*p);
        if (plainByte(c, p == begin)) {
            out += char(c);
        } else {
            out += '%';
            out += hex[c >> 4];
            out += hex[c & 15];
        }
    }
}

// <root>/<escaped components>; empty when the path is empty or has an empty component.
std::string keyFolder(const char* path) {
    if (!path || !*path) return {};
    std::string folder = userRoot();
    if (folder.empty()) return {};
    const char* begin = path;
    for (;;) {
        const char* end = std::strchr(begin, '\\');
        if (!end) end = begin + std::strlen(begin);
        if (end == begin) return {};
        folder += '/';
        appendEscaped(folder, begin, end);
        if (!*end) break;
        begin = end + 1;
    }
    return folder;
}

std::string valueFile(const std::string& folder, const char* name) {
    std::string file = folder + '/';
    const char* n = name ? name : "";
    appendEscaped(file, n, n + std::strlen(n));
    file += ".value";
    return file;
}

bool isFolder(const std::string& path) {
    struct stat info;
    return ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

bool makeFolders(const std::string& folder) {
    // Every prefix that ends before a '/' (after the leading one), then the folder itself.
    for (std::size_t slash = folder.find('/', 1);; slash = folder.find('/', slash + 1)) {
        const std::string prefix = slash == std::string::npos ? folder : folder.substr(0, slash);
        if (!isFolder(prefix) && ::mkdir(prefix.c_str(), 0700) != 0 && errno != EEXIST) return false;
        if (slash == std::string::npos) break;
    }
    return isFolder(folder);
}

bool readFully(int fd, void* buffer, std::size_t size) {
    auto* p = static_cast<unsigned char*>(buffer);
    while (size > 0) {
        const ssize_t got = ::read(fd, p, size);
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) return false;
        p += got;
        size -= std::size_t(got);
    }
    return true;
}

bool writeFully(int fd, const void* data, std::size_t size) {
    auto* p = static_cast<const unsigned char*>(data);
    while (size > 0) {
        const ssize_t put = ::write(fd, p, size);
        if (put < 0 && errno == EINTR) continue;
        if (put <= 0) return false;
        p += put;
        size -= std::size_t(put);
    }
    return true;
}

constexpr std::size_t kHeaderSize = 4;

} // namespace

struct RegistryKey::Impl {
    std::string folder;
    bool canRead = false;
    bool canWrite = false;
};

RegistryKey::RegistryKey() = default;
RegistryKey::~RegistryKey() = default;
RegistryKey::RegistryKey(RegistryKey&& other) noexcept = default;
RegistryKey& RegistryKey::operator=(RegistryKey&& other) noexcept = default;

bool RegistryKey::open(const char* path, Access access) {
    close();
    std::string folder = keyFolder(path);
    if (folder.empty() || !isFolder(folder)) return false;
    impl = std::make_unique<Impl>();
    impl->folder = std::move(folder);
    impl->canRead = access == Access::Read;
    impl->canWrite = access == Access::Write;
    return true;
}

bool RegistryKey::create(const char* path) {
    close();
    std::string folder = keyFolder(path);
    if (folder.empty() || !makeFolders(folder)) return false;
    impl = std::make_unique<Impl>();
    impl->folder = std::move(folder);
    impl->canRead = impl->canWrite = true;
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
    if (!impl || !impl->canRead) return RegistryRead::Missing;
    const int fd = ::open(valueFile(impl->folder, name).c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return RegistryRead::Missing;
    RegistryRead result = RegistryRead::Missing;
    struct stat status;
    unsigned char header[kHeaderSize];
    // A file too short for its header is no value at all.
    if (::fstat(fd, &status) == 0 && S_ISREG(status.st_mode) && std::size_t(status.st_size) >= kHeaderSize &&
        readFully(fd, header, kHeaderSize)) {
        const std::size_t size = std::size_t(status.st_size) - kHeaderSize;
        const std::uint32_t type = std::uint32_t(header[0]) | std::uint32_t(header[1]) << 8 |
                                   std::uint32_t(header[2]) << 16 | std::uint32_t(header[3]) << 24;
        if (info) *info = {type, size};
        if (size > capacity)
            result = RegistryRead::TooLarge;
        else if (size == 0 || (buffer && readFully(fd, buffer, size)))
            result = RegistryRead::Ok;
    }
    ::close(fd);
    return result;
}

bool RegistryKey::write(const char* name, std::uint32_t type, const void* data, std::size_t size) {
    if (!impl || !impl->canWrite || (size > 0 && !data)) return false;
    const std::string target = valueFile(impl->folder, name);
    // Leading '.': no escaped name starts with one, so a temporary file never shadows a value.
    std::string temporary = impl->folder + "/.pending-XXXXXX";
    const int fd = ::mkstemp(temporary.data());
    if (fd < 0) return false;
    const unsigned char header[kHeaderSize] = {
        static_cast<unsigned char>(type), static_cast<unsigned char>(type >> 8),
        static_cast<unsigned char>(type >> 16), static_cast<unsigned char>(type >> 24)};
    bool ok = writeFully(fd, header, kHeaderSize) && writeFully(fd, data, size) && ::fsync(fd) == 0;
    ok = (::close(fd) == 0) && ok;
    if (ok) ok = ::rename(temporary.c_str(), target.c_str()) == 0;
    if (!ok) ::unlink(temporary.c_str());
    return ok;
}

bool RegistryKey::remove(const char* name) {
    if (!impl || !impl->canWrite) return false;
    return ::unlink(valueFile(impl->folder, name).c_str()) == 0;
}

void setRegistryRootOverride(const char* folder) {
    rootOverride() = folder ? folder : "";
}

} // namespace platform
