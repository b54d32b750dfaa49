#include <strings.h>

#include "platform/embedded_resources.h"
#include "platform/resources.h"

namespace platform {
namespace {

template <typename Match> ResourceData find(Match match) {
    if (!orvelEmbeddedResources) return {};
    std::size_t count = 0;
    const EmbeddedResource* table = orvelEmbeddedResources(&count);
    for (std::size_t i = 0; i < count; ++i)
        if (match(table[i])) return {table[i].bytes, table[i].size};
    return {};
}

} // namespace

ResourceData findBitmapResource(int number) {
    return find([&](const EmbeddedResource& r) { return !r.name && r.number == number; });
}

ResourceData findDataResource(const char* name) {
    if (!name) return {};
    return find([&](const EmbeddedResource& r) { return r.name && strcasecmp(r.name, name) == 0; });
}

} // namespace platform
