// Font descriptions and the standard fonts. Every family is drawn with the one typeface compiled
// into the library (Liberation Sans, metric-compatible with Arial), so that text has the same
// pixels on every system; a family that is not available falls back to it, as to a generic sans.
#pragma once

#include <cstdint>
#include <string>

#include "gui/geometry.h"

enum CTxtFace : std::int32_t {
    kNormalFace = 0,
    kBoldFace = 1 << 1,
    kItalicFace = 1 << 2,
    kUnderlineFace = 1 << 3,
};

class CFontDesc {
public:
    CFontDesc() = default;
    // size: the em size in pixels; style: CTxtFace bits (only underline is drawn differently:
    // the compiled-in typeface has no bold or italic cut).
    CFontDesc(const char* name, CCoord size, std::int32_t style = kNormalFace)
        : name(name ? name : ""), size(size), style(style) {}

    const char* getName() const { return name.c_str(); }
    CCoord getSize() const { return size; }
    std::int32_t getStyle() const { return style; }
    void setName(const char* n) { name = n ? n : ""; }
    void setSize(CCoord s) { size = s; }
    void setStyle(std::int32_t s) { style = s; }
    bool operator==(const CFontDesc&) const = default;

private:
    std::string name;
    CCoord size = 12;
    std::int32_t style = kNormalFace;
};

using CFontRef = CFontDesc*;

// The eight standard fonts: seven "Arial" at fixed sizes and one "Symbol".
extern CFontDesc* const kSystemFont;          // Arial 12
extern CFontDesc* const kNormalFontVeryBig;   // Arial 18
extern CFontDesc* const kNormalFontBig;       // Arial 14
extern CFontDesc* const kNormalFont;          // Arial 12: the text fields' default
extern CFontDesc* const kNormalFontSmall;     // Arial 11
extern CFontDesc* const kNormalFontSmaller;   // Arial 10
extern CFontDesc* const kNormalFontVerySmall; // Arial 9
extern CFontDesc* const kSymbolFont;          // Symbol 13
