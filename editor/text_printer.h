// Bitmap-font printers: text drawn glyph by glyph from a font strip.
//
// A font strip is 5 pixels wide and holds 192 glyphs of 8 rows stacked vertically: glyphs 0 … 95 are
// ASCII 32 … 127 in the plain style, glyphs 96 … 191 the same characters highlighted. A character
// printed at (x, baselineY) occupies the cell {x, baselineY - 7, x + 6, baselineY + 1}: the glyph's
// 5 columns and one column of cell colour as spacing. The next character follows 6 pixels to the
// right, or 8 pixels down for vertical text.
#pragma once

#include "gui/bitmap.h"
#include "gui/color.h"
#include "gui/draw_context.h"
#include "gui/geometry.h"

namespace editor {

// The cell colours of the read-outs.
inline constexpr CColor kCellGrey = {79, 79, 79, 255};
inline constexpr CColor kCellOver = {229, 53, 5, 255};
inline constexpr CColor kCellPlain = {223, 247, 255, 255};

constexpr CCoord kGlyphWidth = 5;
constexpr CCoord kGlyphHeight = 8;
constexpr CCoord kGlyphAdvance = 6;
constexpr CCoord kGlyphLineAdvance = 8;
constexpr int kGlyphCount = 192;

// The glyph index of a character: its low 7 bits from the space on, moved into the highlighted half
// when asked; an index that falls outside the strip (a control character in plain style) is the
// plain space.
int glyphIndex(char ch, bool highlighted);

} // namespace editor

// Prints with an opaque font (cells filled with the cell colour) or, transparently, with a second font
// whose see-through pixels let the background show (nothing filled).
//
//   CTextPrinter(CBitmap* font, CBitmap* transparentFont = nullptr)
//
// Both bitmaps are retained (remember) for the printer's life; either may be null. Copies share the
// bitmaps.
class CTextPrinter {
public:
    explicit CTextPrinter(CBitmap* font = nullptr, CBitmap* transparentFont = nullptr);
    CTextPrinter(const CTextPrinter& other);
    CTextPrinter& operator=(const CTextPrinter& other);
    ~CTextPrinter();

    void setFonts(CBitmap* font, CBitmap* transparentFont);
    CBitmap* getFont() const { return font; }
    CBitmap* getTransparentFont() const { return transparentFont; }

    // Prints text (a C string) starting at x with its baseline on baselineY, in context coordinates.
    // Cell colour: grey (79, 79, 79) when highlighted, else the plain (223, 247, 255). Opaque printing
    // fills each cell before drawing the glyph from the opaque font; transparent printing draws the
    // glyph from the transparent font only (nothing when there is none). The context's frame and fill
    // colours are as before afterwards.
    void print(CDrawContext* context, CCoord x, CCoord baselineY, const char* text, bool vertical = false,
               bool highlighted = false, bool transparent = false) const;

private:
    CBitmap* font = nullptr;
    CBitmap* transparentFont = nullptr;
};

// Prints with one of two opaque fonts, the normal one or the "over" one, always filling the cells.
//
//   CTextPrinter2Color(CBitmap* font, CBitmap* overFont)
//
// Both bitmaps are retained for the printer's life; either may be null (its glyphs are then not drawn,
// the cells still are).
class CTextPrinter2Color {
public:
    explicit CTextPrinter2Color(CBitmap* font = nullptr, CBitmap* overFont = nullptr);
    CTextPrinter2Color(const CTextPrinter2Color& other);
    CTextPrinter2Color& operator=(const CTextPrinter2Color& other);
    ~CTextPrinter2Color();

    void setFonts(CBitmap* font, CBitmap* overFont);
    CBitmap* getFont() const { return font; }
    CBitmap* getOverFont() const { return overFont; }

    // As CTextPrinter::print, opaque: the glyphs come from the over font when over is set, else from the
    // normal font; the cells are plain when not highlighted, else red (229, 53, 5) when over and grey
    // otherwise.
    void print(CDrawContext* context, CCoord x, CCoord baselineY, const char* text, bool vertical = false,
               bool highlighted = false, bool over = false) const;

private:
    CBitmap* font = nullptr;
    CBitmap* overFont = nullptr;
};
