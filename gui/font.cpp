#include "gui/font.h"

namespace {

CFontDesc systemFont("Arial", 12);
CFontDesc normalFontVeryBig("Arial", 18);
CFontDesc normalFontBig("Arial", 14);
CFontDesc normalFont("Arial", 12);
CFontDesc normalFontSmall("Arial", 11);
CFontDesc normalFontSmaller("Arial", 10);
CFontDesc normalFontVerySmall("Arial", 9);
CFontDesc symbolFont("Symbol", 13);

} // namespace

CFontDesc* const kSystemFont = &systemFont;
CFontDesc* const kNormalFontVeryBig = &normalFontVeryBig;
CFontDesc* const kNormalFontBig = &normalFontBig;
CFontDesc* const kNormalFont = &normalFont;
CFontDesc* const kNormalFontSmall = &normalFontSmall;
CFontDesc* const kNormalFontSmaller = &normalFontSmaller;
CFontDesc* const kNormalFontVerySmall = &normalFontVerySmall;
CFontDesc* const kSymbolFont = &symbolFont;
