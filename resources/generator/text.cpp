#include "text.h"

#include <cmath>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <vector>

#include <stb/stb_truetype.h>

namespace art {

struct Font::Impl {
    std::vector<unsigned char> data;
    stbtt_fontinfo info{};
};

Font::Font(const std::string& path) : impl_(std::make_unique<Impl>()) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw std::runtime_error("cannot read font " + path);
    impl_->data.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    if (!stbtt_InitFont(&impl_->info, impl_->data.data(), stbtt_GetFontOffsetForIndex(impl_->data.data(), 0)))
        throw std::runtime_error("cannot parse font " + path);
}

Font::~Font() = default;

float Font::width(std::string_view text, const TextStyle& style) const {
    float scale = stbtt_ScaleForMappingEmToPixels(&impl_->info, style.size);
    float w = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        int advance = 0, lsb = 0;
        stbtt_GetCodepointHMetrics(&impl_->info, static_cast<unsigned char>(text[i]), &advance, &lsb);
        w += std::round(advance * scale + style.tracking);
        if (i + 1 < text.size())
            w += std::round(scale * stbtt_GetCodepointKernAdvance(&impl_->info,
                                                                  static_cast<unsigned char>(text[i]),
                                                                  static_cast<unsigned char>(text[i + 1])));
    }
    return w - (text.empty() ? 0 : std::round(style.tracking));
}

float Font::capHeight(float size) const {
    int x0, y0, x1, y1;
    stbtt_GetCodepointBox(&impl_->info, 'H', &x0, &y0, &x1, &y1);
    return y1 * stbtt_ScaleForMappingEmToPixels(&impl_->info, size);
}

void Font::draw(Image& img, float x, int baseline, std::string_view text, const TextStyle& style) const {
    float scale = stbtt_ScaleForMappingEmToPixels(&impl_->info, style.size);
    float w = width(text, style);
    float pen = x;
    if (style.align == Align::Centre) pen = x - w / 2;
    if (style.align == Align::Right) pen = x - w;
    pen = std::round(pen);
    for (std::size_t i = 0; i < text.size(); ++i) {
        int cp = static_cast<unsigned char>(text[i]);
        int ix0, iy0, ix1, iy1;
        stbtt_GetCodepointBitmapBox(&impl_->info, cp, scale, scale, &ix0, &iy0, &ix1, &iy1);
        int gw = ix1 - ix0, gh = iy1 - iy0;
        if (gw > 0 && gh > 0) {
            std::vector<unsigned char> glyph(static_cast<std::size_t>(gw) * gh);
            stbtt_MakeCodepointBitmap(&impl_->info, glyph.data(), gw, gh, gw, scale, scale, cp);
            for (int j = 0; j < gh; ++j)
                for (int k = 0; k < gw; ++k) {
                    float coverage = glyph[static_cast<std::size_t>(j) * gw + k] / 255.0f;
                    // A slight gamma lift keeps thin antialiased stems from fading at small sizes.
                    if (coverage > 0)
                        img.blend(static_cast<int>(pen) + ix0 + k, baseline + iy0 + j, style.color,
                                  std::pow(coverage, 0.8f));
                }
        }
        int advance = 0, lsb = 0;
        stbtt_GetCodepointHMetrics(&impl_->info, cp, &advance, &lsb);
        pen += std::round(advance * scale + style.tracking);
        if (i + 1 < text.size())
            pen += std::round(scale * stbtt_GetCodepointKernAdvance(&impl_->info, cp,
                                                                    static_cast<unsigned char>(text[i + 1])));
    }
}

} // namespace art
