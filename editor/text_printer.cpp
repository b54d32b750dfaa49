#include "editor/text_printer.h"

namespace editor {

int glyphIndex(char ch, bool highlighted) {
    int g = int(static_cast<unsigned char>(ch) & 0x7F) - 32;
    if (highlighted) g += 96;
    return g < 0 || g >= kGlyphCount ? 0 : g;
}

namespace {

// Shares a bitmap reference: the new one is remembered before the old one is forgotten, so that
// assigning a bitmap to itself keeps it alive.
void retain(CBitmap*& slot, CBitmap* bitmap) {
    if (bitmap) bitmap->remember();
    if (slot) slot->forget();
    slot = bitmap;
}

// The frame and fill colours of a context, put back when the print ends.
class SavedColours {
public:
    explicit SavedColours(CDrawContext* context)
        : context(context), frame(context->getFrameColor()), fill(context->getFillColor()) {}
    ~SavedColours() {
        context->setFrameColor(frame);
        context->setFillColor(fill);
    }
    SavedColours(const SavedColours&) = delete;
    SavedColours& operator=(const SavedColours&) = delete;

private:
    CDrawContext* context;
    CColor frame;
    CColor fill;
};

// Walks the characters of text: for each, its glyph rectangle, its cell and its glyph's source row.
template <typename DrawCell>
void forEachGlyph(CCoord x, CCoord baselineY, const char* text, bool vertical, bool highlighted,
                  DrawCell drawCell) {
    for (const char* p = text; *p; ++p) {
        const CRect glyph(x, baselineY - 7, x + kGlyphWidth, baselineY + 1);
        const CRect cell(x, baselineY - 7, x + kGlyphAdvance, baselineY + 1);
        drawCell(glyph, cell, CPoint(0, kGlyphHeight * glyphIndex(*p, highlighted)));
        if (vertical)
            baselineY += kGlyphLineAdvance;
        else
            x += kGlyphAdvance;
    }
}

void setCellColour(CDrawContext* context, const CColor& colour) {
    context->setFrameColor(colour);
    context->setFillColor(colour);
}

} // namespace

} // namespace editor

using editor::retain;

// ----------------------------------------------------------------------------------- CTextPrinter

CTextPrinter::CTextPrinter(CBitmap* font, CBitmap* transparentFont) {
    setFonts(font, transparentFont);
}

CTextPrinter::CTextPrinter(const CTextPrinter& other) {
    setFonts(other.font, other.transparentFont);
}

CTextPrinter& CTextPrinter::operator=(const CTextPrinter& other) {
    setFonts(other.font, other.transparentFont);
    return *this;
}

CTextPrinter::~CTextPrinter() {
    setFonts(nullptr, nullptr);
}

void CTextPrinter::setFonts(CBitmap* newFont, CBitmap* newTransparentFont) {
    retain(font, newFont);
    retain(transparentFont, newTransparentFont);
}

void CTextPrinter::print(CDrawContext* context, CCoord x, CCoord baselineY, const char* text, bool vertical,
                         bool highlighted, bool transparent) const {
    if (!context || !text) return;
    editor::SavedColours saved(context);
    editor::setCellColour(context, highlighted ? editor::kCellGrey : editor::kCellPlain);
    editor::forEachGlyph(x, baselineY, text, vertical, highlighted,
                         [&](const CRect& glyph, const CRect& cell, const CPoint& source) {
                             if (transparent) {
                                 if (transparentFont)
                                     transparentFont->drawTransparent(context, glyph, source);
                                 return;
                             }
                             context->fillRect(cell);
                             if (font) font->draw(context, glyph, source);
                         });
}

// ----------------------------------------------------------------------------- CTextPrinter2Color

CTextPrinter2Color::CTextPrinter2Color(CBitmap* font, CBitmap* overFont) {
    setFonts(font, overFont);
}

CTextPrinter2Color::CTextPrinter2Color(const CTextPrinter2Color& other) {
    setFonts(other.font, other.overFont);
}

CTextPrinter2Color& CTextPrinter2Color::operator=(const CTextPrinter2Color& other) {
    setFonts(other.font, other.overFont);
    return *this;
}

CTextPrinter2Color::~CTextPrinter2Color() {
    setFonts(nullptr, nullptr);
}

void CTextPrinter2Color::setFonts(CBitmap* newFont, CBitmap* newOverFont) {
    retain(font, newFont);
    retain(overFont, newOverFont);
}

void CTextPrinter2Color::print(CDrawContext* context, CCoord x, CCoord baselineY, const char* text,
                               bool vertical, bool highlighted, bool over) const {
    if (!context || !text) return;
    editor::SavedColours saved(context);
    const CColor cellColour = !highlighted ? editor::kCellPlain
                              : over       ? editor::kCellOver
                                           : editor::kCellGrey;
    editor::setCellColour(context, cellColour);
    CBitmap* glyphs = over ? overFont : font;
    editor::forEachGlyph(x, baselineY, text, vertical, highlighted,
                         [&](const CRect& glyph, const CRect& cell, const CPoint& source) {
                             context->fillRect(cell);
                             if (glyphs) glyphs->draw(context, glyph, source);
                         });
}
