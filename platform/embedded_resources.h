// How resources are compiled into binaries that have no Win32 resource section: the resources room
// generates one table, and the lookup of resources.h searches it.
#pragma once

#include <cstddef>

namespace platform {

struct EmbeddedResource {
    int number;       // BITMAP resource number, or 0 for a named DATA resource
    const char* name; // DATA resource name, or nullptr for a numbered BITMAP
    const unsigned char* bytes;
    std::size_t size;
};

} // namespace platform

// Defined by the generated resource table when the binary has one (a weak reference, so binaries
// without artwork still link and simply find nothing).
const platform::EmbeddedResource* orvelEmbeddedResources(std::size_t* count) __attribute__((weak));
