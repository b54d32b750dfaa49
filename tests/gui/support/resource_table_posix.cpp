// A small resource table for the test program, found through the same lookup as the plug-in's
// compiled-in artwork: one BITMAP by number and one PNG by name.
#include <vector>

#include "gui/image_codec.h"
#include "platform/embedded_resources.h"
#include "support/gui_fixture.h"

namespace {

std::vector<unsigned char>& dib() {
    static std::vector<unsigned char> bytes =
        guitest::makeDib(2, 2, 24, {0xFF102030, 0xFF405060, 0xFF708090, 0xFFA0B0C0});
    return bytes;
}

std::vector<unsigned char>& png() {
    static std::vector<std::uint32_t> pixels = {0x80FF0000, 0x00000000, 0xFF00FF00, 0xFF0000FF};
    static std::vector<unsigned char> bytes = gui::encodePng(pixels.data(), 2, 2, 2);
    return bytes;
}

} // namespace

const platform::EmbeddedResource* orvelEmbeddedResources(std::size_t* count) {
    static platform::EmbeddedResource table[2];
    table[0] = {900, nullptr, dib().data(), dib().size()};
    table[1] = {0, "BMP00900.PNG", png().data(), png().size()};
    *count = 2;
    return table;
}
