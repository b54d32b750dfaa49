// Draw contexts: the drawing primitives on a 32-bit ARGB surface. Every coordinate handed to a
// context is a context pixel; the context's offset is added to it to address the surface. The rules
// are those every control relies on:
// - a rectangle's fill covers left <= x < right, top <= y < bottom; its outline lies inside it, on
//   the rows top and bottom - 1 and the columns left and right - 1;
// - a line is drawn one row above its end points (both ends included);
// - colours with alpha below 255 are blended over what is there ("source over", straight alpha);
// - nothing is drawn outside the clip rectangle or the surface.
// The same code draws on every system, so a rendering has the same pixels everywhere.
#pragma once

#include <cstdint>
#include <vector>

#include "gui/color.h"
#include "gui/font.h"
#include "gui/geometry.h"
#include "gui/reference_counter.h"

class CFrame;

enum CDrawStyle : std::int32_t {
    kDrawStroked = 0,
    kDrawFilled = 1,
    kDrawFilledAndStroked = 2,
};

enum CHoriTxtAlign : std::int32_t {
    kLeftText = 0,
    kCenterText = 1,
    kRightText = 2,
};

class CDrawContext : public CReferenceCounter {
public:
    // A context on a surface owned by someone else (the frame's window surface): offset 0, clip =
    // the whole surface, black pen of width 1, the first standard font.
    CDrawContext(std::uint32_t* pixels, CCoord width, CCoord height);
    ~CDrawContext() override = default;

    void setFrameColor(const CColor& color) { frameColor = color; }
    const CColor& getFrameColor() const { return frameColor; }
    void setFillColor(const CColor& color) { fillColor = color; }
    const CColor& getFillColor() const { return fillColor; }
    void setFontColor(const CColor& color) { fontColor = color; }
    const CColor& getFontColor() const { return fontColor; }
    // A size above 0 or a style of 0 or more replaces the description's own.
    void setFont(const CFontDesc* font, CCoord size = 0, std::int32_t style = -1);
    const CFontDesc& getFont() const { return currentFont; }

    // The clip rectangle in context coordinates (kept within the surface).
    void setClipRect(const CRect& clip);
    CRect& getClipRect(CRect& clip) const;
    void resetClipRect();

    // The offset added to every coordinate; the clip rectangle stays where it is on the surface.
    void setOffset(const CPoint& offset) { drawOffset = offset; }
    const CPoint& getOffset() const { return drawOffset; }

    void drawRect(const CRect& rect, CDrawStyle style = kDrawStroked);
    void fillRect(const CRect& rect) { drawRect(rect, kDrawFilled); }
    void moveTo(const CPoint& point) { penPosition = point; }
    void lineTo(const CPoint& point);
    const CPoint& getPenPosition() const { return penPosition; }

    // Text (UTF-8) with the current font and font colour, the point on the baseline: the text's
    // top is placed at point.y + 1 minus the font's height. The antialias flag is accepted for
    // every text; the renderer always draws grey-scale coverage.
    void drawString(const char* utf8, const CPoint& point, bool antialias = true);
    // Text in a rectangle: aligned horizontally, centred vertically, clipped to the rectangle.
    void drawString(const char* utf8, const CRect& rect, CHoriTxtAlign align = kCenterText,
                    bool antialias = true);
    CCoord getStringWidth(const char* utf8) const;

    // Pixels of an ARGB image: the image's rectangle starting at srcOffset, of dest's size, drawn at
    // dest's top-left corner at the image's own alpha times opacity / 255.
    void drawImage(const std::uint32_t* image, CCoord imageWidth, CCoord imageHeight, const CRect& dest,
                   const CPoint& srcOffset, std::uint32_t opacity = 255);

    // The surface, in surface pixels (no offset).
    CCoord getWidth() const { return surfaceWidth; }
    CCoord getHeight() const { return surfaceHeight; }
    const std::uint32_t* getPixels() const { return surface; }
    std::uint32_t getPixel(CCoord x, CCoord y) const;
    CColor getPixelColor(CCoord x, CCoord y) const { return CColor::fromArgb(getPixel(x, y)); }

protected:
    CDrawContext() = default;
    void attach(std::uint32_t* pixels, CCoord width, CCoord height);
    // A context rectangle moved onto the surface and cut to the clip rectangle.
    CRect toSurface(const CRect& rect) const;
    void blendPixel(CCoord sx, CCoord sy, std::uint32_t argb);
    // Text at surface position x with its baseline on surface row baseline.
    void drawText(const char* utf8, float x, int baseline);

    std::uint32_t* surface = nullptr;
    CCoord surfaceWidth = 0;
    CCoord surfaceHeight = 0;
    CRect clipRect; // surface coordinates
    CPoint drawOffset;
    CPoint penPosition;
    CColor frameColor = kBlackCColor;
    CColor fillColor = kWhiteCColor;
    CColor fontColor = kBlackCColor;
    CFontDesc currentFont;
};

// A context on a surface of its own, width x height pixels, filled with a background colour at
// creation. Its offset is 0 and its clip rectangle its size.
class COffscreenContext : public CDrawContext {
public:
    COffscreenContext(CCoord width, CCoord height, const CColor& background = kBlackCColor);
    // The same, for a frame (the surface does not depend on it).
    COffscreenContext(CFrame* frame, CCoord width, CCoord height, const CColor& background = kBlackCColor);

    // Draws destRect's size of this surface, starting at srcOffset, into dest at destRect.
    void copyFrom(CDrawContext* dest, const CRect& destRect, const CPoint& srcOffset = CPoint(0, 0));

private:
    std::vector<std::uint32_t> pixels;
};
