#include "encode.h"

#include <cstdio>
#include <stdexcept>

#include <stb/stb_image_write.h>

namespace art {
namespace {

void put16(Bytes& b, std::uint32_t v) {
    b.push_back(v & 0xFF);
    b.push_back((v >> 8) & 0xFF);
}

void put32(Bytes& b, std::uint32_t v) {
    put16(b, v & 0xFFFF);
    put16(b, v >> 16);
}

void appendPng(void* context, void* data, int size) {
    auto* out = static_cast<Bytes*>(context);
    auto* p = static_cast<const std::uint8_t*>(data);
    out->insert(out->end(), p, p + size);
}

} // namespace

Bytes encodeDib(const Image& img) {
    const int w = img.width(), h = img.height();
    const std::uint32_t stride = (static_cast<std::uint32_t>(w) * 3 + 3) & ~3u;
    Bytes b;
    b.reserve(40 + stride * h);
    put32(b, 40);         // biSize
    put32(b, w);          // biWidth
    put32(b, h);          // biHeight: positive, rows bottom-up
    put16(b, 1);          // biPlanes
    put16(b, 24);         // biBitCount
    put32(b, 0);          // biCompression BI_RGB
    put32(b, stride * h); // biSizeImage
    put32(b, 2835);       // 72 dpi
    put32(b, 2835);
    put32(b, 0); // biClrUsed
    put32(b, 0); // biClrImportant
    const std::vector<std::uint8_t> rgba = img.rgba8();
    for (int y = h - 1; y >= 0; --y) {
        std::size_t rowStart = b.size();
        for (int x = 0; x < w; ++x) {
            const std::uint8_t* p = &rgba[(static_cast<std::size_t>(y) * w + x) * 4];
            b.push_back(p[2]);
            b.push_back(p[1]);
            b.push_back(p[0]);
        }
        while (b.size() - rowStart < stride)
            b.push_back(0);
    }
    return b;
}

Bytes encodeBmpFile(const Image& img) {
    Bytes dib = encodeDib(img);
    Bytes b;
    b.reserve(14 + dib.size());
    b.push_back('B');
    b.push_back('M');
    put32(b, static_cast<std::uint32_t>(14 + dib.size()));
    put32(b, 0);
    put32(b, 14 + 40); // offset of the pixel rows: no colour table at 24 bits
    b.insert(b.end(), dib.begin(), dib.end());
    return b;
}

Bytes encodePng(const Image& img, bool withAlpha) {
    std::vector<std::uint8_t> rgba = img.rgba8();
    std::vector<std::uint8_t> pixels;
    if (withAlpha) {
        pixels = std::move(rgba);
    } else {
        pixels.reserve(rgba.size() / 4 * 3);
        for (std::size_t i = 0; i < rgba.size(); i += 4)
            pixels.insert(pixels.end(), &rgba[i], &rgba[i] + 3);
    }
    const int channels = withAlpha ? 4 : 3;
    Bytes out;
    stbi_write_png_compression_level = 9;
    if (!stbi_write_png_to_func(appendPng, &out, img.width(), img.height(), channels, pixels.data(),
                                img.width() * channels))
        throw std::runtime_error("PNG encoding failed");
    return out;
}

void writeFile(const std::string& path, const Bytes& bytes) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) throw std::runtime_error("cannot write " + path);
    bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    ok = std::fclose(f) == 0 && ok;
    if (!ok) throw std::runtime_error("cannot write " + path);
}

} // namespace art
