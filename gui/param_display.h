// Controls that show a text: the base of the text edit and the option menu.
#pragma once

#include <cstdint>
#include <string>

#include "gui/control.h"

// Style bits of the text controls.
enum CTextStyle : std::int32_t {
    kNoFrame = 1 << 0,            // no outline
    kTransparentStyle = 1 << 1,   // no background fill
    kNoDrawStyle = 1 << 2,        // draws nothing at all
    kNoTextStyle = 1 << 3,        // no text
    kPopupStyle = 1 << 4,         // option menu: the pop-up opens at the control's top
    kCheckStyle = 1 << 5,         // option menu: a check mark at the current entry
    kMultipleCheckStyle = 1 << 6, // option menu: a check mark at every checked entry
};

class CParamDisplay : public CControl {
public:
    CParamDisplay(const CRect& size, CControlListener* listener = nullptr, std::int32_t tag = 0,
                  CBitmap* background = nullptr, std::int32_t style = 0);

    void setFont(const CFontDesc* font) {
        if (font) fontDesc = *font;
        setDirty();
    }
    const CFontDesc& getFont() const { return fontDesc; }
    void setFontColor(const CColor& color) { fontColor = color, setDirty(); }
    const CColor& getFontColor() const { return fontColor; }
    void setBackColor(const CColor& color) { backColor = color, setDirty(); }
    const CColor& getBackColor() const { return backColor; }
    void setFrameColor(const CColor& color) { frameColor = color, setDirty(); }
    const CColor& getFrameColor() const { return frameColor; }
    void setHoriAlign(CHoriTxtAlign align) { horiAlign = align, setDirty(); }
    CHoriTxtAlign getHoriAlign() const { return horiAlign; }
    void setStyle(std::int32_t value) { style = value, setDirty(); }
    std::int32_t getStyle() const { return style; }

    // Unless the no-draw style is set: the background bitmap (from the back offset) or a fill with
    // the back colour, the outline in the frame colour, and the text aligned in the rectangle.
    void draw(CDrawContext* context) override;

protected:
    virtual std::string getDisplayText() const { return {}; }

    CFontDesc fontDesc;
    CColor fontColor = kWhiteCColor;
    CColor backColor = kBlackCColor;
    CColor frameColor = kBlackCColor;
    CHoriTxtAlign horiAlign = kCenterText;
    std::int32_t style;
};
