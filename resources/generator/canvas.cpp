#include "canvas.h"

#include <algorithm>
#include <cmath>

namespace art {

Color mix(Color from, Color to, float t) {
    return {from.r + (to.r - from.r) * t, from.g + (to.g - from.g) * t, from.b + (to.b - from.b) * t,
            from.a + (to.a - from.a) * t};
}

Color shade(Color c, float factor) {
    return {c.r * factor, c.g * factor, c.b * factor, c.a};
}

Color withAlpha(Color c, float a) {
    return {c.r, c.g, c.b, a};
}

Image::Image(int width, int height, Color fill)
    : w_(width), h_(height), px_(static_cast<std::size_t>(width) * height, fill) {}

void Image::blend(int x, int y, Color c, float coverage) {
    if (!contains(x, y)) return;
    float sa = std::clamp(c.a / 255.0f * coverage, 0.0f, 1.0f);
    if (sa <= 0) return;
    Color& d = at(x, y);
    float da = d.a / 255.0f;
    float oa = sa + da * (1 - sa);
    if (oa <= 0) return;
    auto comp = [&](float s, float dc) { return (s * sa + dc * da * (1 - sa)) / oa; };
    d = {comp(c.r, d.r), comp(c.g, d.g), comp(c.b, d.b), oa * 255.0f};
}

void Image::fill(Color c) {
    std::fill(px_.begin(), px_.end(), c);
}

Image Image::crop(int x, int y, int width, int height) const {
    Image out(width, height);
    for (int j = 0; j < height; ++j)
        for (int i = 0; i < width; ++i)
            if (contains(x + i, y + j)) out.at(i, j) = at(x + i, y + j);
    return out;
}

void Image::paste(const Image& src, int x, int y) {
    for (int j = 0; j < src.height(); ++j)
        for (int i = 0; i < src.width(); ++i)
            if (contains(x + i, y + j)) at(x + i, y + j) = src.at(i, j);
}

void Image::composite(const Image& src, int x, int y) {
    for (int j = 0; j < src.height(); ++j)
        for (int i = 0; i < src.width(); ++i)
            blend(x + i, y + j, src.at(i, j));
}

std::vector<std::uint8_t> Image::rgba8() const {
    std::vector<std::uint8_t> out;
    out.reserve(px_.size() * 4);
    auto q = [](float v) { return static_cast<std::uint8_t>(std::clamp(std::lround(v), 0L, 255L)); };
    for (const Color& c : px_) {
        out.push_back(q(c.r));
        out.push_back(q(c.g));
        out.push_back(q(c.b));
        out.push_back(q(c.a));
    }
    return out;
}

Paint solid(Color c) {
    return [c](float, float) { return c; };
}

Paint vertical(float y0, Color c0, float y1, Color c1) {
    return [=](float, float y) { return mix(c0, c1, std::clamp((y - y0) / (y1 - y0), 0.0f, 1.0f)); };
}

Paint radial(float cx, float cy, float r, Color inner, Color outer) {
    return [=](float x, float y) {
        return mix(inner, outer, std::clamp(std::hypot(x - cx, y - cy) / r, 0.0f, 1.0f));
    };
}

void fillShape(Image& img, float x0, float y0, float x1, float y1, const Sdf& shape, const Paint& paint) {
    int ix0 = std::max(0, static_cast<int>(std::floor(x0)));
    int iy0 = std::max(0, static_cast<int>(std::floor(y0)));
    int ix1 = std::min(img.width(), static_cast<int>(std::ceil(x1)));
    int iy1 = std::min(img.height(), static_cast<int>(std::ceil(y1)));
    for (int y = iy0; y < iy1; ++y)
        for (int x = ix0; x < ix1; ++x) {
            float cx = x + 0.5f, cy = y + 0.5f;
            float coverage = std::clamp(0.5f - shape(cx, cy), 0.0f, 1.0f);
            if (coverage > 0) img.blend(x, y, paint(cx, cy), coverage);
        }
}

float sdCircle(float x, float y, float cx, float cy, float r) {
    return std::hypot(x - cx, y - cy) - r;
}

float sdRoundBox(float x, float y, float x0, float y0, float x1, float y1, float radius) {
    float cx = (x0 + x1) / 2, cy = (y0 + y1) / 2;
    float hx = (x1 - x0) / 2 - radius, hy = (y1 - y0) / 2 - radius;
    float qx = std::abs(x - cx) - hx, qy = std::abs(y - cy) - hy;
    float outside = std::hypot(std::max(qx, 0.0f), std::max(qy, 0.0f));
    return outside + std::min(std::max(qx, qy), 0.0f) - radius;
}

float sdSegment(float x, float y, float ax, float ay, float bx, float by, float halfWidth) {
    float px = x - ax, py = y - ay, dx = bx - ax, dy = by - ay;
    float len2 = dx * dx + dy * dy;
    float t = len2 > 0 ? std::clamp((px * dx + py * dy) / len2, 0.0f, 1.0f) : 0.0f;
    return std::hypot(px - dx * t, py - dy * t) - halfWidth;
}

float sdArc(float x, float y, float cx, float cy, float r, float hw, float a0, float a1) {
    float dx = x - cx, dy = y - cy;
    float angle = std::atan2(dx, -dy); // clockwise from up
    const float twoPi = 6.28318530718f;
    auto inside = [&](float a) { return a >= a0 && a <= a1; };
    if (inside(angle) || inside(angle + twoPi) || inside(angle - twoPi))
        return std::abs(std::hypot(dx, dy) - r) - hw;
    auto endDist = [&](float a) {
        return std::hypot(x - (cx + r * std::sin(a)), y - (cy - r * std::cos(a)));
    };
    return std::min(endDist(a0), endDist(a1)) - hw;
}

void fillRect(Image& img, float x0, float y0, float x1, float y1, const Paint& paint) {
    fillShape(
        img, x0 - 1, y0 - 1, x1 + 1, y1 + 1,
        [=](float x, float y) { return sdRoundBox(x, y, x0, y0, x1, y1, 0); }, paint);
}

void fillRoundRect(Image& img, float x0, float y0, float x1, float y1, float radius, const Paint& paint) {
    fillShape(
        img, x0 - 1, y0 - 1, x1 + 1, y1 + 1,
        [=](float x, float y) { return sdRoundBox(x, y, x0, y0, x1, y1, radius); }, paint);
}

void strokeRoundRect(Image& img, float x0, float y0, float x1, float y1, float radius, float width, Color c) {
    fillShape(
        img, x0 - 1, y0 - 1, x1 + 1, y1 + 1,
        [=](float x, float y) {
            float outer = sdRoundBox(x, y, x0, y0, x1, y1, radius);
            float inner = sdRoundBox(x, y, x0 + width, y0 + width, x1 - width, y1 - width,
                                     std::max(0.0f, radius - width));
            return std::max(outer, -inner);
        },
        solid(c));
}

void fillCircle(Image& img, float cx, float cy, float r, const Paint& paint) {
    fillShape(
        img, cx - r - 1, cy - r - 1, cx + r + 1, cy + r + 1,
        [=](float x, float y) { return sdCircle(x, y, cx, cy, r); }, paint);
}

void line(Image& img, float ax, float ay, float bx, float by, float width, Color c) {
    float hw = width / 2;
    fillShape(
        img, std::min(ax, bx) - hw - 1, std::min(ay, by) - hw - 1, std::max(ax, bx) + hw + 1,
        std::max(ay, by) + hw + 1, [=](float x, float y) { return sdSegment(x, y, ax, ay, bx, by, hw); },
        solid(c));
}

} // namespace art
