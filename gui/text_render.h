// Text with the compiled-in typeface, rasterized with stb_truetype: grey-scale coverage, no hinting,
// the same on every system.
#pragma once

#include <cstdint>
#include <string_view>

namespace gui::text {

struct Metrics {
    float ascent = 0;     // baseline to the top of the tallest glyphs, pixels
    float descent = 0;    // baseline to the bottom, pixels (positive)
    float lineHeight = 0; // ascent + descent + line gap: the font's height
};

bool available();
Metrics metrics(float emSize);
// Advance width of a UTF-8 text, pixels.
float width(std::string_view utf8, float emSize);

struct Target {
    std::uint32_t* pixels;
    int stride;
    // Clip rectangle in surface pixels (already inside the surface).
    int clipLeft, clipTop, clipRight, clipBottom;
};

// Draws a UTF-8 text with its baseline at row baseline, starting at x; returns the x after it.
float draw(const Target& target, float x, int baseline, std::string_view utf8, float emSize,
           std::uint32_t argb);

} // namespace gui::text
