#include "gui/draw_context.h"

#include <cmath>
#include <cstdlib>
#include <cstring>

#include "gui/pixel_ops.h"
#include "gui/text_render.h"

CDrawContext::CDrawContext(std::uint32_t* pixels, CCoord width, CCoord height) {
    attach(pixels, width, height);
}

void CDrawContext::attach(std::uint32_t* pixels, CCoord width, CCoord height) {
    surface = pixels;
    surfaceWidth = width > 0 ? width : 0;
    surfaceHeight = height > 0 ? height : 0;
    clipRect = CRect(0, 0, surfaceWidth, surfaceHeight);
    currentFont = *kSystemFont;
}

void CDrawContext::setFont(const CFontDesc* font, CCoord size, std::int32_t style) {
    if (font) currentFont = *font;
    if (size > 0) currentFont.setSize(size);
    if (style >= 0) currentFont.setStyle(style);
}

void CDrawContext::setClipRect(const CRect& clip) {
    CRect c = clip.normalized();
    c.offset(drawOffset.x, drawOffset.y);
    c.bound(CRect(0, 0, surfaceWidth, surfaceHeight));
    clipRect = c;
}

CRect& CDrawContext::getClipRect(CRect& clip) const {
    clip = clipRect;
    clip.offset(-drawOffset.x, -drawOffset.y);
    return clip;
}

void CDrawContext::resetClipRect() {
    clipRect = CRect(0, 0, surfaceWidth, surfaceHeight);
}

CRect CDrawContext::toSurface(const CRect& rect) const {
    CRect r = rect;
    r.offset(drawOffset.x, drawOffset.y);
    return r.bound(clipRect);
}

void CDrawContext::blendPixel(CCoord sx, CCoord sy, std::uint32_t argb) {
    if (!clipRect.pointInside(CPoint(sx, sy))) return;
    std::uint32_t& p = surface[std::size_t(sy) * std::size_t(surfaceWidth) + std::size_t(sx)];
    p = gui::blendOver(p, argb);
}

std::uint32_t CDrawContext::getPixel(CCoord x, CCoord y) const {
    if (!surface || x < 0 || y < 0 || x >= surfaceWidth || y >= surfaceHeight) return 0;
    return surface[std::size_t(y) * std::size_t(surfaceWidth) + std::size_t(x)];
}

void CDrawContext::drawRect(const CRect& rect, CDrawStyle style) {
    if (!surface) return;
    CRect r = rect.normalized();
    if (style == kDrawFilled || style == kDrawFilledAndStroked) {
        CRect f = toSurface(r);
        std::uint32_t argb = fillColor.argb();
        for (CCoord y = f.top; y < f.bottom; ++y) {
            std::uint32_t* row = surface + std::size_t(y) * std::size_t(surfaceWidth);
            for (CCoord x = f.left; x < f.right; ++x)
                row[x] = gui::blendOver(row[x], argb);
        }
    }
    if (style == kDrawStroked || style == kDrawFilledAndStroked) {
        if (r.isEmpty()) return;
        // The pen runs around the rectangle one pixel narrower and one pixel less tall, so the
        // outline is the outermost ring of the rectangle's own pixels; each pixel is drawn once.
        std::uint32_t argb = frameColor.argb();
        CCoord l = r.left + drawOffset.x, t = r.top + drawOffset.y;
        CCoord rr = r.right - 1 + drawOffset.x, b = r.bottom - 1 + drawOffset.y;
        for (CCoord x = l; x <= rr; ++x)
            blendPixel(x, t, argb);
        if (b != t)
            for (CCoord x = l; x <= rr; ++x)
                blendPixel(x, b, argb);
        for (CCoord y = t + 1; y < b; ++y) {
            blendPixel(l, y, argb);
            if (rr != l) blendPixel(rr, y, argb);
        }
    }
}

void CDrawContext::lineTo(const CPoint& point) {
    if (surface) {
        // Bresenham between both ends, ends included, one row up.
        CCoord x0 = penPosition.x + drawOffset.x, y0 = penPosition.y - 1 + drawOffset.y;
        CCoord x1 = point.x + drawOffset.x, y1 = point.y - 1 + drawOffset.y;
        CCoord dx = std::abs(x1 - x0), dy = -std::abs(y1 - y0);
        CCoord sx = x0 < x1 ? 1 : -1, sy = y0 < y1 ? 1 : -1;
        CCoord err = dx + dy;
        std::uint32_t argb = frameColor.argb();
        for (;;) {
            blendPixel(x0, y0, argb);
            if (x0 == x1 && y0 == y1) break;
            CCoord e2 = 2 * err;
            if (e2 >= dy) err += dy, x0 += sx;
            if (e2 <= dx) err += dx, y0 += sy;
        }
    }
    penPosition = point;
}

namespace {

gui::text::Target targetOf(std::uint32_t* pixels, CCoord width, const CRect& clip) {
    return {pixels, int(width), int(clip.left), int(clip.top), int(clip.right), int(clip.bottom)};
}

} // namespace

void CDrawContext::drawText(const char* utf8, float x, int baseline) {
    float size = float(currentFont.getSize());
    float end =
        gui::text::draw(targetOf(surface, surfaceWidth, clipRect), x, baseline, utf8, size, fontColor.argb());
    if (currentFont.getStyle() & kUnderlineFace) {
        std::uint32_t argb = fontColor.argb();
        for (CCoord px = CCoord(std::floor(x)); px < CCoord(std::ceil(end)); ++px)
            blendPixel(px, baseline + 1, argb);
    }
}

void CDrawContext::drawString(const char* utf8, const CPoint& point, bool) {
    if (!surface || !utf8) return;
    gui::text::Metrics m = gui::text::metrics(float(currentFont.getSize()));
    float top = float(point.y + drawOffset.y) + 1.0f - m.lineHeight;
    drawText(utf8, float(point.x + drawOffset.x), int(std::floor(top + m.ascent + 0.5f)));
}

void CDrawContext::drawString(const char* utf8, const CRect& rect, CHoriTxtAlign align, bool) {
    if (!surface || !utf8) return;
    CRect r = rect.normalized();
    float size = float(currentFont.getSize());
    gui::text::Metrics m = gui::text::metrics(size);
    float w = gui::text::width(utf8, size);
    float x = float(r.left);
    if (align == kCenterText)
        x = float(r.left) + (float(r.getWidth()) - w) / 2.0f;
    else if (align == kRightText)
        x = float(r.right) - w;
    // The glyphs' ascent and descent centred in the rectangle.
    float baseline = float(r.top) + (float(r.getHeight()) + m.ascent - m.descent) / 2.0f;
    CRect saved = clipRect;
    clipRect = toSurface(r);
    drawText(utf8, std::floor(x + 0.5f) + float(drawOffset.x),
             int(std::floor(baseline + 0.5f)) + drawOffset.y);
    clipRect = saved;
}

CCoord CDrawContext::getStringWidth(const char* utf8) const {
    if (!utf8) return 0;
    return CCoord(std::ceil(gui::text::width(utf8, float(currentFont.getSize()))));
}

void CDrawContext::drawImage(const std::uint32_t* image, CCoord imageWidth, CCoord imageHeight,
                             const CRect& dest, const CPoint& srcOffset, std::uint32_t opacity) {
    if (!surface || !image || opacity == 0) return;
    CRect d = dest.normalized();
    CCoord dx0 = d.left + drawOffset.x, dy0 = d.top + drawOffset.y;
    CRect s = toSurface(d);
    // Only pixels that exist in the image are drawn.
    s.bound(CRect(dx0 - srcOffset.x, dy0 - srcOffset.y, dx0 - srcOffset.x + imageWidth,
                  dy0 - srcOffset.y + imageHeight));
    for (CCoord y = s.top; y < s.bottom; ++y) {
        std::uint32_t* row = surface + std::size_t(y) * std::size_t(surfaceWidth);
        const std::uint32_t* src = image + std::size_t(y - dy0 + srcOffset.y) * std::size_t(imageWidth);
        for (CCoord x = s.left; x < s.right; ++x)
            row[x] = gui::blendOver(row[x], src[x - dx0 + srcOffset.x], opacity);
    }
}

COffscreenContext::COffscreenContext(CCoord width, CCoord height, const CColor& background)
    : pixels(std::size_t(width > 0 ? width : 0) * std::size_t(height > 0 ? height : 0), background.argb()) {
    attach(pixels.data(), width, height);
}

COffscreenContext::COffscreenContext(CFrame*, CCoord width, CCoord height, const CColor& background)
    : COffscreenContext(width, height, background) {}

void COffscreenContext::copyFrom(CDrawContext* dest, const CRect& destRect, const CPoint& srcOffset) {
    if (dest) dest->drawImage(pixels.data(), surfaceWidth, surfaceHeight, destRect, srcOffset, 255);
}
