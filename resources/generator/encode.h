// Image file encoders: Windows device-independent bitmaps and PNG.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "canvas.h"

namespace art {

using Bytes = std::vector<std::uint8_t>;

// A BITMAP resource body: BITMAPINFOHEADER followed by 24-bit BGR rows, bottom-up, each padded to a
// multiple of 4 bytes. Alpha is dropped (standard bitmap resources are opaque).
Bytes encodeDib(const Image& img);
// The same with the 14-byte BITMAPFILEHEADER in front: a .bmp file, as resource compilers read it.
Bytes encodeBmpFile(const Image& img);
// PNG with only IHDR, IDAT and IEND: no gamma, colour-profile or text chunks, so every decoder yields
// the stored pixels. RGBA when withAlpha, else RGB.
Bytes encodePng(const Image& img, bool withAlpha);

void writeFile(const std::string& path, const Bytes& bytes);

} // namespace art
