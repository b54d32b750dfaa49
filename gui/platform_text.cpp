#include "gui/platform_text.h"

#include <cmath>

#include "gui/text_render.h"
#include "platform/text_painter.h"

namespace gui::text {

namespace {

class CompiledInTypeface final : public platform::TextPainter {
public:
    int ascent(int fontHeight) const override { return int(std::ceil(metrics(float(fontHeight)).ascent)); }
    int descent(int fontHeight) const override { return int(std::ceil(metrics(float(fontHeight)).descent)); }
    int width(std::string_view utf8, int fontHeight) const override {
        return int(std::ceil(text::width(utf8, float(fontHeight))));
    }
    void draw(const platform::PixelTarget& t, int x, int baseline, std::string_view utf8, int fontHeight,
              std::uint32_t argb) const override {
        Target target{t.pixels, t.stride, t.clip.left, t.clip.top, t.clip.right, t.clip.bottom};
        text::draw(target, float(x), baseline, utf8, float(fontHeight), argb);
    }
};

} // namespace

void registerWithPlatform() {
    static const CompiledInTypeface typeface;
    platform::setTextPainter(&typeface);
}

} // namespace gui::text
