// Text for the elements a window backend draws itself (the X11 pop-up menu, entry field, file dialog
// and message box). The toolkit registers its renderer here when it opens a frame, so that they show
// the editor's typeface and draw the same pixels on every system.
#pragma once

#include <cstdint>
#include <string_view>

#include "platform/frame_window.h"

namespace platform {

struct PixelTarget {
    std::uint32_t* pixels = nullptr;
    int stride = 0;
    PixelRect clip; // inside the surface
};

class TextPainter {
public:
    virtual int ascent(int fontHeight) const = 0;
    virtual int descent(int fontHeight) const = 0;
    // Advance width of a UTF-8 text, pixels.
    virtual int width(std::string_view utf8, int fontHeight) const = 0;
    // Draws a UTF-8 text with its baseline at row `baseline`, starting at x.
    virtual void draw(const PixelTarget& target, int x, int baseline, std::string_view utf8, int fontHeight,
                      std::uint32_t argb) const = 0;

protected:
    ~TextPainter() = default;
};

// The registered renderer (the last one set), or null before the toolkit has set one.
void setTextPainter(const TextPainter* painter);
const TextPainter* textPainter();

} // namespace platform
