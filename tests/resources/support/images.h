// Decoding of the resources as the toolkit receives them: BITMAP resources as DIBs (info header first,
// rows bottom-up), DATA resources as PNG files.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace testimg {

struct Pixel {
    int r = 0, g = 0, b = 0, a = 255;
    bool operator==(const Pixel&) const = default;
};

struct Image {
    int width = 0, height = 0;
    std::vector<Pixel> px; // top-down rows
    const Pixel& at(int x, int y) const { return px[static_cast<std::size_t>(y) * width + x]; }
};

struct DibInfo {
    std::uint32_t headerSize = 0;
    int width = 0, height = 0; // height as stored: positive for bottom-up rows
    int planes = 0, bitCount = 0;
    std::uint32_t compression = 0;
};

// Reads the BITMAPINFOHEADER; nullopt when the bytes are too short.
std::optional<DibInfo> dibInfo(const unsigned char* bytes, std::size_t size);
// Decodes an uncompressed 24- or 32-bit DIB; nullopt for anything else or for truncated data.
std::optional<Image> decodeDib(const unsigned char* bytes, std::size_t size);
std::optional<Image> decodePng(const unsigned char* bytes, std::size_t size);
// The chunk types of a PNG file in order; empty when the signature or a chunk CRC is wrong.
std::vector<std::string> pngChunks(const unsigned char* bytes, std::size_t size);

// Hue in degrees (0 … 360) of an RGB colour, −1 for greys.
double hue(const Pixel& p);

} // namespace testimg
