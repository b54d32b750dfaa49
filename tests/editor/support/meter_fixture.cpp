#include "tests/editor/support/meter_fixture.h"

#include <cmath>
#include <cstdio>

#include "platform/frame_window_headless.h"

namespace metertest {

std::string describe(std::uint32_t pixel) {
    char text[96];
    if (pixel >> 24 == 0xFF && pixel != kSentinel)
        std::snprintf(text, sizeof text, "0x%08X (id %u col %u row %u)", pixel, (pixel >> 20) & 0xF,
                      (pixel >> 11) & 0x1FF, pixel & 0x7FF);
    else
        std::snprintf(text, sizeof text, "0x%08X", pixel);
    return text;
}

CBitmap* codedBitmap(int id, CCoord width, CCoord height) {
    std::vector<std::uint32_t> pixels(std::size_t(width) * std::size_t(height));
    for (CCoord y = 0; y < height; ++y)
        for (CCoord x = 0; x < width; ++x)
            pixels[std::size_t(y) * std::size_t(width) + std::size_t(x)] = code(id, x, y);
    return new CBitmap(width, height, pixels.data());
}

CodedBitmaps::CodedBitmaps() : bitmaps(kIdTransparentFont + 1, nullptr) {
    bitmaps[kIdBackground] = codedBitmap(kIdBackground, 524, 462);
    for (int id : {kIdPeakUnlit, kIdPeakLit, kIdKLit, kIdKUnlit})
        bitmaps[std::size_t(id)] = codedBitmap(id, 15, 432);
    for (int id : {kIdScaleK20, kIdScaleK14, kIdScalePeakK12})
        bitmaps[std::size_t(id)] = codedBitmap(id, 27, 367);
    bitmaps[kIdGrBar] = codedBitmap(kIdGrBar, 15, 203);
    bitmaps[kIdGrScale] = codedBitmap(kIdGrScale, 58, 306);
    bitmaps[kIdFont] = codedBitmap(kIdFont, 5, 1536);
    bitmaps[kIdOverFont] = codedBitmap(kIdOverFont, 5, 1536);
    bitmaps[kIdTransparentFont] = codedBitmap(kIdTransparentFont, 5, 1536);
}

CodedBitmaps::~CodedBitmaps() {
    for (CBitmap* b : bitmaps)
        if (b) b->forget();
}

Canvas::Canvas(CCoord width, CCoord height)
    : width(width), height(height), pixels(std::size_t(width) * std::size_t(height), kSentinel),
      context(pixels.data(), width, height) {}

Picture::Picture(CCoord width, CCoord height)
    : width(width), height(height), pixels(std::size_t(width) * std::size_t(height), kSentinel) {}

void Picture::fill(const CRect& r, std::uint32_t argb) {
    for (CCoord y = r.top; y < r.bottom; ++y)
        for (CCoord x = r.left; x < r.right; ++x)
            set(x, y, argb);
}

void Picture::blit(int id, const CRect& dest, const CPoint& source) {
    for (CCoord y = dest.top; y < dest.bottom; ++y)
        for (CCoord x = dest.left; x < dest.right; ++x)
            set(x, y, code(id, source.x + x - dest.left, source.y + y - dest.top));
}

void Picture::text(int fontId, CCoord x, CCoord baselineY, const std::string& s, bool highlighted,
                   const CColor* cellColour, bool vertical) {
    for (char ch : s) {
        if (cellColour) fill(CRect(x, baselineY - 7, x + 6, baselineY + 1), cellColour->argb());
        blit(fontId, CRect(x, baselineY - 7, x + 5, baselineY + 1),
             CPoint(0, 8 * ((ch & 0x7F) - 32 + (highlighted ? 96 : 0))));
        if (vertical)
            baselineY += 8;
        else
            x += 6;
    }
}

std::string firstDifference(const Canvas& canvas, const Picture& picture, const CRect& r) {
    for (CCoord y = r.top; y < r.bottom; ++y)
        for (CCoord x = r.left; x < r.right; ++x)
            if (canvas.at(x, y) != picture.at(x, y))
                return "at " + std::to_string(x) + "," + std::to_string(y) + ": drawn " +
                       describe(canvas.at(x, y)) + ", expected " + describe(picture.at(x, y));
    return "";
}

void RecordingListener::controlChanged(CControl* control) {
    tags.push_back(control->getTag());
    sources.push_back(control);
    if (onChange) onChange();
}

Window::Window() : frame(new CFrame(CRect(0, 0, 524, 462), nullptr, &editor)) {}

Window::~Window() {
    delete frame;
}

int Window::press(CCoord x, CCoord y, CButtonState buttons) {
    return platform::asHeadless(frame->getPlatformWindow())->press(x, y, std::uint32_t(buttons));
}

float amplitude(double db) {
    return float(std::pow(10.0, db / 20.0));
}

} // namespace metertest
