#include <algorithm>
#include <cmath>

#include "artwork.h"

namespace art {

void drawButtonFace(Image& img, const Fonts& fonts, float x0, float y0, float x1, float y1, Look look,
                    const std::string& text, float textSize) {
    using namespace palette;
    Color top = rgb(70, 74, 82), bottom = rgb(45, 48, 54), textColor = rgb(158, 165, 175);
    Color led = rgb(28, 29, 32);
    switch (look) {
    case Look::Off:
        break;
    case Look::On:
        top = rgb(78, 76, 74), bottom = rgb(52, 48, 44), textColor = kAccent, led = kAccent;
        break;
    case Look::Inactive:
        top = rgb(46, 49, 54), bottom = rgb(36, 38, 43), textColor = rgb(88, 93, 101), led = rgb(26, 27, 30);
        break;
    case Look::OnInactive:
        top = rgb(50, 50, 52), bottom = rgb(38, 38, 41), textColor = rgb(150, 112, 58), led = kAccentDim;
        break;
    case Look::Highlight:
        top = rgb(255, 214, 140), bottom = rgb(238, 160, 52), textColor = rgb(40, 28, 12),
        led = rgb(255, 250, 230);
        break;
    case Look::AlertDark:
        top = rgb(62, 48, 48), bottom = rgb(44, 34, 34), textColor = rgb(170, 80, 66), led = kAlertDim;
        break;
    case Look::AlertLit:
        top = rgb(232, 82, 58), bottom = rgb(178, 40, 26), textColor = rgb(255, 240, 232),
        led = rgb(255, 210, 190);
        break;
    }
    const float radius = 3;
    // Drop shadow, outline, face and the lit upper edge.
    fillRoundRect(img, x0 + 0.5f, y0 + 1, x1 + 0.5f, y1 + 0.5f, radius, solid(rgb(0, 0, 0, 90)));
    fillRoundRect(img, x0, y0, x1, y1, radius, solid(rgb(10, 11, 13)));
    fillRoundRect(img, x0 + 1, y0 + 1, x1 - 1, y1 - 1, radius - 1, vertical(y0 + 1, top, y1 - 1, bottom));
    fillRect(img, x0 + 2.5f, y0 + 1, x1 - 2.5f, y0 + 2,
             solid(rgb(255, 255, 255, look == Look::Highlight ? 90 : 30)));
    // The state lamp: a short bar along the lower edge.
    const float lampW = std::min(12.0f, (x1 - x0) * 0.4f);
    const float mid = (x0 + x1) / 2;
    const bool lampLit = look == Look::On || look == Look::AlertLit || look == Look::Highlight;
    if (lampLit)
        fillRoundRect(img, mid - lampW / 2 - 1.5f, y1 - 4.5f, mid + lampW / 2 + 1.5f, y1 - 0.5f, 2,
                      solid(withAlpha(led, 70)));
    fillRoundRect(img, mid - lampW / 2, y1 - 3.5f, mid + lampW / 2, y1 - 1.5f, 1, solid(led));
    if (!text.empty()) {
        TextStyle style{textSize, textColor, 0.4f, Align::Centre};
        // Texts too wide for the face switch to the condensed face.
        const Font& font = fonts.bold.width(text, style) <= (x1 - x0) - 6 ? fonts.bold : fonts.condensed;
        if (&font == &fonts.condensed) style.tracking = 0;
        const float capH = font.capHeight(textSize);
        int baseline = static_cast<int>(std::round((y0 + y1 - 3) / 2 + capH / 2));
        if (look == Look::On || look == Look::AlertLit) {
            // A faint glow behind lit text.
            TextStyle glow = style;
            glow.color = withAlpha(textColor, 60);
            font.draw(img, mid + 0.5f, baseline, text, glow);
            font.draw(img, mid - 0.5f, baseline, text, glow);
        }
        font.draw(img, mid, baseline, text, style);
    }
}

Image stackFrames(const std::vector<Image>& frames) {
    int h = 0;
    for (const Image& f : frames)
        h += f.height();
    Image out(frames.front().width(), h);
    int y = 0;
    for (const Image& f : frames) {
        out.paste(f, 0, y);
        y += f.height();
    }
    return out;
}

float labelTracking(float size) {
    return size >= 8 ? 0.9f : 0.4f;
}

void drawLabel(Image& img, const Fonts& fonts, float cx, int baseline, const std::string& text,
               const TextStyle& style) {
    // Engraved: a dark copy one pixel down, then the label.
    TextStyle shadow = style;
    shadow.color = rgb(0, 0, 0, 110);
    fonts.condensed.draw(img, cx, baseline + 1, text, shadow);
    fonts.condensed.draw(img, cx, baseline, text, style);
}

void drawLabel(Image& img, const Fonts& fonts, float cx, int baseline, const std::string& text, Color color,
               float size) {
    drawLabel(img, fonts, cx, baseline, text, {size, color, labelTracking(size), Align::Centre});
}

void drawWell(Image& img, const Rect& r, float radius, Color fill) {
    // Light lower-right lip, dark upper-left lip, then the recess.
    fillRoundRect(img, r.l - 1, r.t - 1, r.r + 1, r.b + 1, radius + 1, solid(rgb(255, 255, 255, 22)));
    fillRoundRect(img, r.l - 1, r.t - 1, r.r, r.b, radius + 1, solid(rgb(0, 0, 0, 150)));
    fillRoundRect(img, r.l, r.t, r.r, r.b, radius, solid(fill));
}

} // namespace art
