// TrueType labels rendered into the canvas with stb_truetype.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "canvas.h"

namespace art {

enum class Align { Left, Centre, Right };

struct TextStyle {
    float size = 10; // em size in pixels
    Color color = rgb(255, 255, 255);
    float tracking = 0; // extra advance per character in pixels
    Align align = Align::Left;
};

class Font {
public:
    // Throws std::runtime_error when the file cannot be read or parsed.
    explicit Font(const std::string& path);
    ~Font();
    Font(const Font&) = delete;
    Font& operator=(const Font&) = delete;

    float width(std::string_view text, const TextStyle& style) const;
    // Draws with the baseline on pixel row `baseline`; x is the left edge, centre or right edge by the
    // style's alignment. Glyph origins are snapped to whole pixels: small text stays crisper.
    void draw(Image& img, float x, int baseline, std::string_view text, const TextStyle& style) const;
    // Height of capital letters in pixels at the given size.
    float capHeight(float size) const;

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

} // namespace art
