// The library's own embedded resources: bitmaps by number and data blobs by name. On Windows they are
// Win32 resources of the plug-in module; elsewhere they are compiled into the binary under the same
// numbers and names.
#pragma once

#include <cstddef>

namespace platform {

struct ResourceData {
    const unsigned char* bytes = nullptr;
    std::size_t size = 0;
    explicit operator bool() const { return bytes != nullptr; }
};

// A BITMAP resource as Windows stores it: a device-independent bitmap starting with its
// BITMAPINFOHEADER (no file header), rows bottom-up and padded to 4 bytes. Empty when absent.
ResourceData findBitmapResource(int number);

// A resource of type "DATA" by name (for example a PNG file's bytes); names match without regard to
// case. Empty when absent.
ResourceData findDataResource(const char* name);

} // namespace platform
