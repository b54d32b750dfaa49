// Bitmaps: decoded images, shared by reference count (a control keeps its own reference to each
// bitmap it draws). A bitmap comes from the library's resources, by number or by name, or is made
// from pixels.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "gui/draw_context.h"
#include "gui/geometry.h"
#include "gui/reference_counter.h"

namespace gui {
struct DecodedImage;
}

class CBitmap : public CReferenceCounter {
public:
    // The BITMAP resource with that number (a DIB: opaque).
    explicit CBitmap(std::int32_t resourceID);
    // The DATA resource with that name, matched without regard to case: a PNG (drawn with its own
    // alpha) or a .bmp file.
    explicit CBitmap(const char* resourceName);
    // A transparent bitmap of that size, or one holding a copy of ARGB pixels (rows top-down).
    CBitmap(CCoord width, CCoord height, const std::uint32_t* argb = nullptr);

    // Bitmaps from encoded bytes; the result is not loaded when they do not decode.
    static CBitmap* fromDib(const unsigned char* bytes, std::size_t size);
    static CBitmap* fromImageFile(const unsigned char* bytes, std::size_t size);

    bool isLoaded() const { return width > 0 && height > 0; }
    CCoord getWidth() const { return width; }
    CCoord getHeight() const { return height; }
    std::int32_t getResourceID() const { return resourceID; }
    const char* getResourceName() const { return resourceName.c_str(); }
    const std::uint32_t* getPixels() const { return pixels.data(); }
    std::uint32_t* getPixels() { return pixels.data(); }
    std::uint32_t getPixel(CCoord x, CCoord y) const;

    // The bitmap's rectangle starting at offset, of dest's size, drawn at dest's top-left corner at
    // the image's own alpha. Opaque and transparent drawing are the same operation: see-through
    // pixels come only from the image's alpha.
    void draw(CDrawContext* context, const CRect& dest, const CPoint& offset = CPoint(0, 0));
    void drawTransparent(CDrawContext* context, const CRect& dest, const CPoint& offset = CPoint(0, 0));
    // The same with every pixel's alpha multiplied by alpha / 255.
    void drawAlphaBlend(CDrawContext* context, const CRect& dest, const CPoint& offset = CPoint(0, 0),
                        unsigned char alpha = 128);

private:
    CBitmap() = default;
    void take(gui::DecodedImage& image);

    CCoord width = 0;
    CCoord height = 0;
    std::vector<std::uint32_t> pixels;
    std::int32_t resourceID = -1;
    std::string resourceName;
};
