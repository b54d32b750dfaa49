#include "images.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include <stb_image.h>

namespace testimg {
namespace {

std::uint32_t le(const unsigned char* p, int n) {
    std::uint32_t v = 0;
    for (int i = n - 1; i >= 0; --i)
        v = v << 8 | p[i];
    return v;
}

std::uint32_t be32(const unsigned char* p) {
    return std::uint32_t(p[0]) << 24 | std::uint32_t(p[1]) << 16 | std::uint32_t(p[2]) << 8 | p[3];
}

std::uint32_t crc32(const unsigned char* p, std::size_t n) {
    std::uint32_t c = 0xFFFFFFFFu;
    for (std::size_t i = 0; i < n; ++i) {
        c ^= p[i];
        for (int k = 0; k < 8; ++k)
            c = c & 1 ? 0xEDB88320u ^ (c >> 1) : c >> 1;
    }
    return c ^ 0xFFFFFFFFu;
}

} // namespace

std::optional<DibInfo> dibInfo(const unsigned char* b, std::size_t size) {
    if (!b || size < 40) return std::nullopt;
    DibInfo i;
    i.headerSize = le(b, 4);
    i.width = static_cast<std::int32_t>(le(b + 4, 4));
    i.height = static_cast<std::int32_t>(le(b + 8, 4));
    i.planes = static_cast<int>(le(b + 12, 2));
    i.bitCount = static_cast<int>(le(b + 14, 2));
    i.compression = le(b + 16, 4);
    return i;
}

std::optional<Image> decodeDib(const unsigned char* b, std::size_t size) {
    auto info = dibInfo(b, size);
    if (!info || info->compression != 0 || (info->bitCount != 24 && info->bitCount != 32) || info->width <= 0)
        return std::nullopt;
    const int h = std::abs(info->height), bytesPerPixel = info->bitCount / 8;
    const std::size_t stride = (static_cast<std::size_t>(info->width) * bytesPerPixel + 3) & ~std::size_t(3);
    if (info->headerSize + stride * h > size) return std::nullopt;
    Image img{info->width, h, {}};
    img.px.resize(static_cast<std::size_t>(info->width) * h);
    for (int y = 0; y < h; ++y) {
        const unsigned char* row = b + info->headerSize + stride * (info->height > 0 ? h - 1 - y : y);
        for (int x = 0; x < info->width; ++x) {
            const unsigned char* p = row + x * bytesPerPixel;
            img.px[static_cast<std::size_t>(y) * info->width + x] = {p[2], p[1], p[0], 255};
        }
    }
    return img;
}

std::optional<Image> decodePng(const unsigned char* bytes, std::size_t size) {
    int w = 0, h = 0, n = 0;
    unsigned char* p = stbi_load_from_memory(bytes, static_cast<int>(size), &w, &h, &n, 4);
    if (!p) return std::nullopt;
    Image img{w, h, {}};
    img.px.resize(static_cast<std::size_t>(w) * h);
    for (std::size_t i = 0; i < img.px.size(); ++i)
        img.px[i] = {p[i * 4], p[i * 4 + 1], p[i * 4 + 2], p[i * 4 + 3]};
    stbi_image_free(p);
    return img;
}

std::vector<std::string> pngChunks(const unsigned char* b, std::size_t size) {
    static const unsigned char signature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    if (size < 8 || std::memcmp(b, signature, 8) != 0) return {};
    std::vector<std::string> chunks;
    std::size_t pos = 8;
    while (pos + 12 <= size) {
        std::uint32_t len = be32(b + pos);
        if (pos + 12 + len > size) return {};
        if (crc32(b + pos + 4, len + 4) != be32(b + pos + 8 + len)) return {};
        chunks.emplace_back(reinterpret_cast<const char*>(b + pos + 4), 4);
        pos += 12 + len;
    }
    return pos == size ? chunks : std::vector<std::string>{};
}

double hue(const Pixel& p) {
    int mx = std::max({p.r, p.g, p.b}), mn = std::min({p.r, p.g, p.b});
    if (mx - mn < 6) return -1;
    double d = mx - mn, h;
    if (mx == p.r)
        h = std::fmod((p.g - p.b) / d + 6, 6);
    else if (mx == p.g)
        h = (p.b - p.r) / d + 2;
    else
        h = (p.r - p.g) / d + 4;
    return h * 60;
}

} // namespace testimg
