// The value field under each knob: a read-out of the knob's parameter in its unit, printed with the
// editor's bitmap font, and an entry for a typed number. A click opens the toolkit's native entry
// with the number alone; when the entry closes (Enter, or the focus going elsewhere) the typed
// number is clamped to the parameter's range and sent as the new value.
//
// Numbers are written and read without the C library's locale: a host that sets a locale with a
// decimal comma still gets "-6.00dB", and "-6.5" still parses as -6.5.
#pragma once

#include <cstdint>
#include <string>

#include "gui/text_edit.h"

namespace editor {

// The number at the start of text as the C library reads one (leading white space, sign, digits,
// point, exponent, "inf"; decimal only), always with a decimal point; 0 when there is none. NaN
// counts as no number.
double parseLeadingNumber(const char* text);

// The read-out of a field of that tag (Output 0, Drive 1, Transient 2, Release 3, L/R Link 5,
// Leveller 13) for a normalized value: "-6.00dB", "+0.00dB", "20.0%", "250.5ms", "off".
std::string valueFieldText(std::int32_t tag, float value);
// What the entry shows when it opens: the number without unit ("-6.00", "20.0", "off").
std::string valueFieldEditText(std::int32_t tag, float value);
// The normalized value for typed text: the leading number clamped to the parameter's range
// (Output and Leveller -12..0 dB, Drive -24..24 dB, Transient and L/R Link 0..100 %, Release
// 1..1000 ms); "off" in any letter case gives 1 in the Leveller field. Other tags keep current.
float valueFieldParse(std::int32_t tag, const char* text, float current);

} // namespace editor

// Draws over a copy of the window background (its own background bitmap, from the field's window
// position); the entry uses Arial 10 with the field's font and back colours.
class CMyTextEdit : public CTextEdit {
public:
    // background: the window background (128); font: the opaque glyph strip (137); transparentFont:
    // the glyph strip with alpha that the read-out is printed with. All three are retained.
    CMyTextEdit(const CRect& size, CControlListener* listener, std::int32_t tag, CBitmap* background,
                CBitmap* font, CBitmap* transparentFont);
    ~CMyTextEdit() override;

    std::string displayText() const { return editor::valueFieldText(tag, value); }

    void draw(CDrawContext* context) override;
    // Opens the entry with the number of the current value.
    void takeFocus() override;
    // Closes the entry and sends the typed value to the listener inside a begin / end edit.
    void looseFocus() override;

    // The host hears these for parameter tags only; the field keeps its focus as it is.
    void beginEdit() override;
    void endEdit() override;

private:
    void printTransparent(CDrawContext* context, CCoord x, CCoord baselineY, const std::string& text) const;

    CBitmap* font;
    CBitmap* transparentFont;
};
