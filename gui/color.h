// Colours: 8-bit red, green, blue and alpha (255 opaque). Surfaces hold them as 32-bit ARGB words,
// alpha * 2^24 + red * 2^16 + green * 2^8 + blue, with straight (not premultiplied) alpha.
#pragma once

#include <cstdint>

struct CColor {
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;
    std::uint8_t alpha = 255;

    constexpr bool operator==(const CColor&) const = default;
    constexpr std::uint32_t argb() const {
        return std::uint32_t(alpha) << 24 | std::uint32_t(red) << 16 | std::uint32_t(green) << 8 | blue;
    }
    static constexpr CColor fromArgb(std::uint32_t v) {
        return {std::uint8_t(v >> 16), std::uint8_t(v >> 8), std::uint8_t(v), std::uint8_t(v >> 24)};
    }
};

constexpr CColor MakeCColor(std::uint8_t red, std::uint8_t green, std::uint8_t blue,
                            std::uint8_t alpha = 255) {
    return {red, green, blue, alpha};
}

inline constexpr CColor kTransparentCColor = {0, 0, 0, 0};
inline constexpr CColor kBlackCColor = {0, 0, 0, 255};
inline constexpr CColor kWhiteCColor = {255, 255, 255, 255};
inline constexpr CColor kGreyCColor = {127, 127, 127, 255};
inline constexpr CColor kRedCColor = {255, 0, 0, 255};
inline constexpr CColor kGreenCColor = {0, 255, 0, 255};
inline constexpr CColor kBlueCColor = {0, 0, 255, 255};
inline constexpr CColor kYellowCColor = {255, 255, 0, 255};
