#include "gui/text_render.h"

#include <cmath>
#include <vector>

#include "gui/pixel_ops.h"
#include "stb_truetype.h"

// The typeface's bytes, compiled in by the build (gui/CMakeLists.txt).
extern "C" const unsigned char orvel_sans_font[];

namespace gui::text {
namespace {

const stbtt_fontinfo* font() {
    static stbtt_fontinfo info;
    static bool ready =
        stbtt_InitFont(&info, orvel_sans_font, stbtt_GetFontOffsetForIndex(orvel_sans_font, 0)) != 0;
    return ready ? &info : nullptr;
}

// Next code point of a UTF-8 text; malformed sequences give U+FFFD and skip one byte.
char32_t nextCodePoint(std::string_view s, std::size_t& i) {
    unsigned char c = static_cast<unsigned char>(s[i++]);
    if (c < 0x80) return c;
    int extra = c >= 0xF0 && c < 0xF8 ? 3 : c >= 0xE0 ? 2 : c >= 0xC0 ? 1 : -1;
    if (extra < 0 || i + std::size_t(extra) > s.size()) return 0xFFFD;
    char32_t cp = c & (0x3F >> extra);
    for (int k = 0; k < extra; ++k) {
        unsigned char d = static_cast<unsigned char>(s[i + std::size_t(k)]);
        if ((d & 0xC0) != 0x80) return 0xFFFD;
        cp = cp << 6 | (d & 0x3F);
    }
    i += std::size_t(extra);
    return cp;
}

} // namespace

bool available() {
    return font() != nullptr;
}

Metrics metrics(float emSize) {
    Metrics m;
    const stbtt_fontinfo* f = font();
    if (!f || emSize <= 0) return m;
    int ascent = 0, descent = 0, gap = 0;
    stbtt_GetFontVMetrics(f, &ascent, &descent, &gap);
    float scale = stbtt_ScaleForMappingEmToPixels(f, emSize);
    m.ascent = float(ascent) * scale;
    m.descent = float(-descent) * scale;
    m.lineHeight = float(ascent - descent + gap) * scale;
    return m;
}

float width(std::string_view utf8, float emSize) {
    const stbtt_fontinfo* f = font();
    if (!f || emSize <= 0) return 0;
    float scale = stbtt_ScaleForMappingEmToPixels(f, emSize);
    float w = 0;
    for (std::size_t i = 0; i < utf8.size();) {
        int advance = 0, lsb = 0;
        stbtt_GetCodepointHMetrics(f, int(nextCodePoint(utf8, i)), &advance, &lsb);
        w += float(advance) * scale;
    }
    return w;
}

float draw(const Target& t, float x, int baseline, std::string_view utf8, float emSize, std::uint32_t argb) {
    const stbtt_fontinfo* f = font();
    if (!f || emSize <= 0) return x;
    float scale = stbtt_ScaleForMappingEmToPixels(f, emSize);
    std::uint32_t alpha = argb >> 24;
    std::vector<unsigned char> coverage;
    for (std::size_t i = 0; i < utf8.size();) {
        int glyph = stbtt_FindGlyphIndex(f, int(nextCodePoint(utf8, i)));
        int advance = 0, lsb = 0;
        stbtt_GetGlyphHMetrics(f, glyph, &advance, &lsb);
        float penX = std::floor(x);
        float shift = x - penX;
        int x0 = 0, y0 = 0, x1 = 0, y1 = 0;
        stbtt_GetGlyphBitmapBoxSubpixel(f, glyph, scale, scale, shift, 0, &x0, &y0, &x1, &y1);
        int gw = x1 - x0, gh = y1 - y0;
        if (gw > 0 && gh > 0) {
            coverage.assign(std::size_t(gw) * std::size_t(gh), 0);
            stbtt_MakeGlyphBitmapSubpixel(f, coverage.data(), gw, gh, gw, scale, scale, shift, 0, glyph);
            int left = int(penX) + x0, top = baseline + y0;
            for (int gy = 0; gy < gh; ++gy) {
                int y = top + gy;
                if (y < t.clipTop || y >= t.clipBottom) continue;
                std::uint32_t* row = t.pixels + std::ptrdiff_t(y) * t.stride;
                for (int gx = 0; gx < gw; ++gx) {
                    int px = left + gx;
                    if (px < t.clipLeft || px >= t.clipRight) continue;
                    std::uint32_t c = coverage[std::size_t(gy) * std::size_t(gw) + std::size_t(gx)];
                    if (!c) continue;
                    std::uint32_t a = div255(c * alpha);
                    row[px] = blendOver(row[px], (argb & 0x00FFFFFFu) | a << 24);
                }
            }
        }
        x += float(advance) * scale;
    }
    return x;
}

} // namespace gui::text
