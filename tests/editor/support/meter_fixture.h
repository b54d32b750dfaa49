// Shared pieces of the meter and printer tests: bitmaps whose every pixel says where it came from, a
// window-sized surface to draw on, a frame on a headless window, a listener that records what reaches
// it, and a test clock.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "gui/toolkit.h"
#include "tests/support/test_clock.h"

namespace metertest {

// A coded pixel: opaque, bitmap id in bits 20 … 23, column in bits 11 … 19, row in bits 0 … 10.
constexpr std::uint32_t code(int id, int column, int row) {
    return 0xFF000000u | std::uint32_t(id) << 20 | std::uint32_t(column) << 11 | std::uint32_t(row);
}
std::string describe(std::uint32_t pixel);

// A bitmap of coded pixels.
CBitmap* codedBitmap(int id, CCoord width, CCoord height);

// Ids of the coded stand-ins for the editor's bitmaps.
enum BitmapId : int {
    kIdBackground = 1, // 128
    kIdPeakUnlit,      // 155
    kIdPeakLit,        // 130
    kIdScaleK20,       // 131 / 134
    kIdScaleK14,       // 132 / 135
    kIdScalePeakK12,   // 133 / 136
    kIdKLit,           // 154
    kIdKUnlit,         // 129
    kIdGrBar,          // 156
    kIdGrScale,        // 167
    kIdFont,           // 137
    kIdOverFont,       // 138
    kIdTransparentFont,
};

// Coded stand-ins in the real bitmaps' sizes; the object keeps one reference to each.
struct CodedBitmaps {
    CodedBitmaps();
    ~CodedBitmaps();
    CodedBitmaps(const CodedBitmaps&) = delete;
    CodedBitmaps& operator=(const CodedBitmaps&) = delete;
    CBitmap* get(int id) const { return bitmaps[std::size_t(id)]; }
    std::vector<CBitmap*> bitmaps;
};

constexpr std::uint32_t kSentinel = 0xFF123456u;

// A window-sized surface filled with the sentinel colour, and a context on it.
struct Canvas {
    explicit Canvas(CCoord width = 524, CCoord height = 462);
    std::uint32_t at(CCoord x, CCoord y) const {
        return pixels[std::size_t(y) * std::size_t(width) + std::size_t(x)];
    }
    CCoord width, height;
    std::vector<std::uint32_t> pixels;
    CDrawContext context;
};

// An expected picture built from plain rules, compared with a canvas over a rectangle.
struct Picture {
    explicit Picture(CCoord width = 524, CCoord height = 462);
    void set(CCoord x, CCoord y, std::uint32_t argb) {
        pixels[std::size_t(y) * std::size_t(width) + std::size_t(x)] = argb;
    }
    std::uint32_t at(CCoord x, CCoord y) const {
        return pixels[std::size_t(y) * std::size_t(width) + std::size_t(x)];
    }
    void fill(const CRect& r, std::uint32_t argb);
    // The pixels of a coded bitmap's rectangle starting at source, placed at dest.
    void blit(int id, const CRect& dest, const CPoint& source);
    // A character cell of a coded font as the printers draw it: the cell filled (unless no colour is
    // given), then the glyph's 5 x 8 pixels; next character 6 pixels on.
    void text(int fontId, CCoord x, CCoord baselineY, const std::string& text, bool highlighted,
              const CColor* cellColour, bool vertical = false);
    CCoord width, height;
    std::vector<std::uint32_t> pixels;
};

// The first differing pixel in r, described, or "" when the canvas shows the picture there.
std::string firstDifference(const Canvas& canvas, const Picture& picture, const CRect& r);

// Records controlChanged calls as tags; can run an action on each (the editor's resetMeters).
class RecordingListener : public CControlListener {
public:
    void controlChanged(CControl* control) override;
    std::vector<std::int32_t> tags;
    std::vector<CControl*> sources;
    std::function<void()> onChange;
};

// The editor side of a frame without a host.
class QuietEditor : public VSTGUIEditorInterface {};

// A frame of the editor's size on a headless window.
struct Window {
    Window();
    ~Window();
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;
    int press(CCoord x, CCoord y, CButtonState buttons = kLButton);
    QuietEditor editor;
    CFrame* frame;
};

// A clock the test moves.
using testsupport::TestClock;

// The amplitude of a level in dB.
float amplitude(double db);

} // namespace metertest
