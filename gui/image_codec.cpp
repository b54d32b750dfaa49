#include "gui/image_codec.h"

#include <cstring>
#include <fstream>

#include "stb_image.h"
#include "stb_image_write.h"

namespace gui {
namespace {

constexpr int kMaxSide = 16384;

std::uint32_t le16(const unsigned char* p) {
    return std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8;
}
std::uint32_t le32(const unsigned char* p) {
    return le16(p) | le16(p + 2) << 16;
}

// One colour channel taken out of a pixel word by its mask, scaled to 0..255.
struct Channel {
    std::uint32_t mask = 0;
    int shift = 0;
    std::uint32_t max = 0;

    explicit Channel(std::uint32_t m = 0) : mask(m) {
        if (!mask) return;
        while (!((mask >> shift) & 1))
            ++shift;
        max = mask >> shift;
    }
    std::uint32_t operator()(std::uint32_t pixel) const {
        if (!max) return 0;
        std::uint32_t v = (pixel & mask) >> shift;
        return std::uint32_t((std::uint64_t(v) * 255 + max / 2) / max);
    }
};

} // namespace

bool decodeDib(const unsigned char* bytes, std::size_t size, DecodedImage& out) {
    out = {};
    if (!bytes || size < 12) return false;
    std::uint32_t headerSize = le32(bytes);
    bool core = headerSize == 12;
    if (!core && (headerSize < 40 || headerSize > size)) return false;
    std::int64_t width, height;
    std::uint32_t bits, compression = 0, colours = 0;
    if (core) {
        width = le16(bytes + 4);
        height = std::int16_t(le16(bytes + 6));
        bits = le16(bytes + 10);
    } else {
        width = std::int32_t(le32(bytes + 4));
        height = std::int32_t(le32(bytes + 8));
        bits = le16(bytes + 14);
        compression = le32(bytes + 16);
        colours = le32(bytes + 32);
    }
    bool topDown = height < 0;
    if (topDown) height = -height;
    if (width <= 0 || height <= 0 || width > kMaxSide || height > kMaxSide) return false;
    if (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32) return false;

    std::size_t offset = headerSize;
    Channel red, green, blue;
    if (compression == 3) { // bit fields: the masks follow a plain info header or sit in a V4/V5 one
        if (bits != 16 && bits != 32) return false;
        if (headerSize == 40) {
            if (size < offset + 12) return false;
            red = Channel(le32(bytes + offset)), green = Channel(le32(bytes + offset + 4)),
            blue = Channel(le32(bytes + offset + 8));
            offset += 12;
        } else {
            if (headerSize < 52) return false;
            red = Channel(le32(bytes + 40)), green = Channel(le32(bytes + 44)),
            blue = Channel(le32(bytes + 48));
        }
    } else if (compression == 0) {
        if (bits == 16) red = Channel(0x7C00), green = Channel(0x03E0), blue = Channel(0x001F);
        if (bits == 32) red = Channel(0xFF0000), green = Channel(0xFF00), blue = Channel(0xFF);
    } else {
        return false; // run-length and embedded compressed images are not read
    }

    // The colour table: needed for 1 to 8 bits, an optional hint otherwise.
    std::size_t entry = core ? 3 : 4;
    std::size_t tableSize = colours ? colours : (bits <= 8 ? (std::size_t(1) << bits) : 0);
    if (tableSize > 65536) return false;
    if (size < offset + tableSize * entry) return false;
    std::vector<std::uint32_t> palette(bits <= 8 ? (std::size_t(1) << bits) : 0, 0xFF000000u);
    for (std::size_t i = 0; i < tableSize && i < palette.size(); ++i) {
        const unsigned char* p = bytes + offset + i * entry;
        palette[i] = 0xFF000000u | std::uint32_t(p[2]) << 16 | std::uint32_t(p[1]) << 8 | p[0];
    }
    offset += tableSize * entry;

    std::size_t stride = ((std::size_t(width) * bits + 31) / 32) * 4;
    if (size < offset || (size - offset) / stride < std::size_t(height)) return false;

    out.width = int(width);
    out.height = int(height);
    out.pixels.assign(std::size_t(width) * std::size_t(height), 0);
    for (std::int64_t y = 0; y < height; ++y) {
        const unsigned char* row = bytes + offset + std::size_t(topDown ? y : height - 1 - y) * stride;
        std::uint32_t* dst = out.pixels.data() + std::size_t(y) * std::size_t(width);
        for (std::int64_t x = 0; x < width; ++x) {
            std::uint32_t argb;
            switch (bits) {
            case 1:
                argb = palette[(row[x / 8] >> (7 - x % 8)) & 1];
                break;
            case 4:
                argb = palette[(row[x / 2] >> (x % 2 ? 0 : 4)) & 0xF];
                break;
            case 8:
                argb = palette[row[x]];
                break;
            case 24: {
                const unsigned char* p = row + x * 3;
                argb = 0xFF000000u | std::uint32_t(p[2]) << 16 | std::uint32_t(p[1]) << 8 | p[0];
                break;
            }
            default: {
                std::uint32_t v = bits == 16 ? le16(row + x * 2) : le32(row + x * 4);
                argb = 0xFF000000u | red(v) << 16 | green(v) << 8 | blue(v);
                break;
            }
            }
            dst[x] = argb;
        }
    }
    return true;
}

bool decodePng(const unsigned char* bytes, std::size_t size, DecodedImage& out) {
    out = {};
    static const unsigned char signature[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
    if (!bytes || size < 8 || size > 0x7FFFFFFF || std::memcmp(bytes, signature, 8) != 0) return false;
    int w = 0, h = 0, channels = 0;
    unsigned char* rgba = stbi_load_from_memory(bytes, int(size), &w, &h, &channels, 4);
    if (!rgba) return false;
    if (w <= 0 || h <= 0 || w > kMaxSide || h > kMaxSide) {
        stbi_image_free(rgba);
        return false;
    }
    out.width = w;
    out.height = h;
    out.pixels.resize(std::size_t(w) * std::size_t(h));
    for (std::size_t i = 0; i < out.pixels.size(); ++i) {
        const unsigned char* p = rgba + i * 4;
        out.pixels[i] =
            std::uint32_t(p[3]) << 24 | std::uint32_t(p[0]) << 16 | std::uint32_t(p[1]) << 8 | p[2];
    }
    stbi_image_free(rgba);
    return true;
}

bool decodeImageFile(const unsigned char* bytes, std::size_t size, DecodedImage& out) {
    if (decodePng(bytes, size, out)) return true;
    if (bytes && size > 14 && bytes[0] == 'B' && bytes[1] == 'M')
        return decodeDib(bytes + 14, size - 14, out);
    out = {};
    return false;
}

namespace {

void appendBytes(void* context, void* data, int size) {
    auto* out = static_cast<std::vector<unsigned char>*>(context);
    auto* p = static_cast<unsigned char*>(data);
    out->insert(out->end(), p, p + size);
}

} // namespace

std::vector<unsigned char> encodePng(const std::uint32_t* argb, int width, int height, int stride) {
    std::vector<unsigned char> png;
    if (!argb || width <= 0 || height <= 0 || stride < width) return png;
    std::vector<unsigned char> rgba(std::size_t(width) * std::size_t(height) * 4);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            std::uint32_t v = argb[std::size_t(y) * std::size_t(stride) + std::size_t(x)];
            unsigned char* p = &rgba[(std::size_t(y) * std::size_t(width) + std::size_t(x)) * 4];
            p[0] = std::uint8_t(v >> 16), p[1] = std::uint8_t(v >> 8), p[2] = std::uint8_t(v),
            p[3] = std::uint8_t(v >> 24);
        }
    if (!stbi_write_png_to_func(appendBytes, &png, width, height, 4, rgba.data(), width * 4)) png.clear();
    return png;
}

bool writePngFile(const std::string& path, const std::uint32_t* argb, int width, int height, int stride) {
    std::vector<unsigned char> png = encodePng(argb, width, height, stride);
    if (png.empty()) return false;
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(png.data()), std::streamsize(png.size()));
    return bool(file);
}

} // namespace gui
