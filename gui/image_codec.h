// Image decoding and encoding, the same code on every system so that pixels agree: PNG through
// stb_image / stb_image_write, device-independent bitmaps (as Windows stores BITMAP resources) by
// our own reader. Decoded pixels are 32-bit ARGB words with straight alpha, rows top-down.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace gui {

struct DecodedImage {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels;
    explicit operator bool() const { return width > 0 && height > 0; }
};

// A DIB that starts with its info header (no file header): core, info or V4/V5 header; 1, 4, 8, 16,
// 24 or 32 bits per pixel, uncompressed or with bit fields; rows bottom-up unless the height is
// negative, each padded to 4 bytes. The pixels are opaque: alpha 255. False for malformed or
// truncated data, and for compressed (RLE) bitmaps.
bool decodeDib(const unsigned char* bytes, std::size_t size, DecodedImage& out);

// A PNG file's bytes. False when they are not a PNG that decodes.
bool decodePng(const unsigned char* bytes, std::size_t size, DecodedImage& out);

// Any of the image files the library's data resources may hold: PNG, or a .bmp file (a DIB behind a
// 14-byte file header).
bool decodeImageFile(const unsigned char* bytes, std::size_t size, DecodedImage& out);

// A PNG file of ARGB pixels (rows of `stride` pixels): only the header, image data and end chunks,
// no gamma or colour profile. Empty when encoding fails.
std::vector<unsigned char> encodePng(const std::uint32_t* argb, int width, int height, int stride);
bool writePngFile(const std::string& path, const std::uint32_t* argb, int width, int height, int stride);

} // namespace gui
