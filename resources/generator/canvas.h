// A small floating-point RGBA canvas with antialiased shapes described by signed distance functions.
// The artwork is drawn here at build time; nothing of it runs inside the plug-in.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

namespace art {

// Components 0 … 255, straight (not premultiplied) alpha.
struct Color {
    float r = 0, g = 0, b = 0, a = 255;
};

constexpr Color rgb(float r, float g, float b, float a = 255) {
    return {r, g, b, a};
}
Color mix(Color from, Color to, float t);
Color shade(Color c, float factor); // scales r, g, b; keeps alpha
Color withAlpha(Color c, float a);

class Image {
public:
    Image() = default;
    Image(int width, int height, Color fill = {0, 0, 0, 0});

    int width() const { return w_; }
    int height() const { return h_; }
    bool contains(int x, int y) const { return x >= 0 && y >= 0 && x < w_ && y < h_; }
    Color& at(int x, int y) { return px_[static_cast<std::size_t>(y) * w_ + x]; }
    const Color& at(int x, int y) const { return px_[static_cast<std::size_t>(y) * w_ + x]; }

    // Source-over with the colour's alpha scaled by coverage (0 … 1).
    void blend(int x, int y, Color c, float coverage = 1.0f);
    void fill(Color c);
    Image crop(int x, int y, int width, int height) const;
    void paste(const Image& src, int x, int y);     // plain copy
    void composite(const Image& src, int x, int y); // source-over
    // 8-bit components, rounded and clamped: 4 per pixel (RGBA) in top-down rows.
    std::vector<std::uint8_t> rgba8() const;

private:
    int w_ = 0, h_ = 0;
    std::vector<Color> px_;
};

using Sdf = std::function<float(float x, float y)>;   // < 0 inside, distance in pixels
using Paint = std::function<Color(float x, float y)>; // colour at a point

Paint solid(Color c);
Paint vertical(float y0, Color c0, float y1, Color c1);
Paint radial(float cx, float cy, float r, Color inner, Color outer);

// Paints the shape over the pixels of the box {x0, y0, x1, y1}: coverage of a pixel is taken from the
// distance at its centre, which is exact for straight edges and close enough for curves.
void fillShape(Image& img, float x0, float y0, float x1, float y1, const Sdf& shape, const Paint& paint);

// Signed distance helpers.
float sdCircle(float x, float y, float cx, float cy, float r);
float sdRoundBox(float x, float y, float x0, float y0, float x1, float y1, float radius);
float sdSegment(float x, float y, float ax, float ay, float bx, float by, float halfWidth);
// Ring segment of radius r and half width hw from angle a0 to a1 (radians, a0 < a1, measured clockwise
// from straight up, screen coordinates), with round ends.
float sdArc(float x, float y, float cx, float cy, float r, float hw, float a0, float a1);

// Convenience wrappers.
void fillRect(Image& img, float x0, float y0, float x1, float y1, const Paint& paint);
void fillRoundRect(Image& img, float x0, float y0, float x1, float y1, float radius, const Paint& paint);
void strokeRoundRect(Image& img, float x0, float y0, float x1, float y1, float radius, float width, Color c);
void fillCircle(Image& img, float cx, float cy, float r, const Paint& paint);
void line(Image& img, float ax, float ay, float bx, float by, float width, Color c);

} // namespace art
