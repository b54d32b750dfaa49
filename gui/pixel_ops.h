// Pixel arithmetic shared by every drawing operation: integer only, so that a rendering has the same
// pixels on every system.
#pragma once

#include <cstdint>

namespace gui {

// round(x / 255) for 0 <= x <= 255 * 255.
constexpr std::uint32_t div255(std::uint32_t x) {
    return (x + 128 + ((x + 128) >> 8)) >> 8;
}

// src drawn over dst ("source over") with straight alpha, src's alpha first scaled by opacity / 255.
constexpr std::uint32_t blendOver(std::uint32_t dst, std::uint32_t src, std::uint32_t opacity = 255) {
    std::uint32_t sa = src >> 24;
    if (opacity < 255) sa = div255(sa * opacity);
    if (sa == 0) return dst;
    if (sa == 255) return src | 0xFF000000u;
    std::uint32_t da = dst >> 24;
    std::uint32_t sr = (src >> 16) & 0xFF, sg = (src >> 8) & 0xFF, sb = src & 0xFF;
    std::uint32_t dr = (dst >> 16) & 0xFF, dg = (dst >> 8) & 0xFF, db = dst & 0xFF;
    if (da == 255) {
        std::uint32_t inv = 255 - sa;
        return 0xFF000000u | div255(sr * sa + dr * inv) << 16 | div255(sg * sa + dg * inv) << 8 |
               div255(sb * sa + db * inv);
    }
    std::uint32_t dw = div255(da * (255 - sa)); // what shows of the destination
    std::uint32_t oa = sa + dw;                 // <= 255
    auto mix = [&](std::uint32_t s, std::uint32_t d) { return (s * sa + d * dw + oa / 2) / oa; };
    return oa << 24 | mix(sr, dr) << 16 | mix(sg, dg) << 8 | mix(sb, db);
}

} // namespace gui
