#include "gui/bitmap.h"

#include "gui/image_codec.h"
#include "platform/resources.h"

void CBitmap::take(gui::DecodedImage& image) {
    width = image.width;
    height = image.height;
    pixels = std::move(image.pixels);
}

CBitmap::CBitmap(std::int32_t number) : resourceID(number) {
    gui::DecodedImage image;
    platform::ResourceData data = platform::findBitmapResource(number);
    if (data && gui::decodeDib(data.bytes, data.size, image)) take(image);
}

CBitmap::CBitmap(const char* name) : resourceName(name ? name : "") {
    gui::DecodedImage image;
    platform::ResourceData data = platform::findDataResource(name);
    if (data && gui::decodeImageFile(data.bytes, data.size, image)) take(image);
}

CBitmap::CBitmap(CCoord w, CCoord h, const std::uint32_t* argb) {
    if (w <= 0 || h <= 0) return;
    width = w;
    height = h;
    std::size_t n = std::size_t(w) * std::size_t(h);
    if (argb)
        pixels.assign(argb, argb + n);
    else
        pixels.assign(n, 0);
}

CBitmap* CBitmap::fromDib(const unsigned char* bytes, std::size_t size) {
    auto* bitmap = new CBitmap();
    gui::DecodedImage image;
    if (gui::decodeDib(bytes, size, image)) bitmap->take(image);
    return bitmap;
}

CBitmap* CBitmap::fromImageFile(const unsigned char* bytes, std::size_t size) {
    auto* bitmap = new CBitmap();
    gui::DecodedImage image;
    if (gui::decodeImageFile(bytes, size, image)) bitmap->take(image);
    return bitmap;
}

std::uint32_t CBitmap::getPixel(CCoord x, CCoord y) const {
    if (x < 0 || y < 0 || x >= width || y >= height) return 0;
    return pixels[std::size_t(y) * std::size_t(width) + std::size_t(x)];
}

void CBitmap::draw(CDrawContext* context, const CRect& dest, const CPoint& offset) {
    if (context && isLoaded()) context->drawImage(pixels.data(), width, height, dest, offset, 255);
}

void CBitmap::drawTransparent(CDrawContext* context, const CRect& dest, const CPoint& offset) {
    draw(context, dest, offset);
}

void CBitmap::drawAlphaBlend(CDrawContext* context, const CRect& dest, const CPoint& offset,
                             unsigned char alpha) {
    if (context && isLoaded()) context->drawImage(pixels.data(), width, height, dest, offset, alpha);
}
