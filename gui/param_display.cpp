#include "gui/param_display.h"

CParamDisplay::CParamDisplay(const CRect& size, CControlListener* listener, std::int32_t tag,
                             CBitmap* background, std::int32_t style)
    : CControl(size, listener, tag, background), fontDesc(*kNormalFont), style(style) {}

void CParamDisplay::draw(CDrawContext* context) {
    if (style & kNoDrawStyle) {
        setDirty(false);
        return;
    }
    if (background) {
        drawBackgroundFrame(context, 0);
    } else if (!(style & kTransparentStyle)) {
        context->setFillColor(backColor);
        context->fillRect(size);
    }
    if (!(style & kNoFrame)) {
        context->setFrameColor(frameColor);
        context->drawRect(size, kDrawStroked);
    }
    if (!(style & kNoTextStyle)) {
        std::string text = getDisplayText();
        if (!text.empty()) {
            CRect area = size;
            if (horiAlign == kLeftText) area.left += 2;
            if (horiAlign == kRightText) area.right -= 2;
            context->setFont(&fontDesc);
            context->setFontColor(fontColor);
            context->drawString(text.c_str(), area, horiAlign);
        }
    }
    setDirty(false);
}
