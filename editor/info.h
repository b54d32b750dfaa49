// The info panel: a hot spot on the window that, clicked, opens a half-transparent panel over the
// lower part of the window with the product's name, its version and the current processing
// latency. While open it is the frame's modal view, so the next press anywhere closes it.
#pragma once

#include "editor/text_printer.h"
#include "gui/control.h"

class CInfo : public CControl {
public:
    // size: the hot spot; panel: the panel picture (its background); font and transparentFont: the
    // glyph strips its lines are printed with. No listener, tag 0.
    CInfo(const CRect& size, CBitmap* panel, CBitmap* font, CBitmap* transparentFont);
    ~CInfo() override;

    void setLatency(int samples);
    int getLatency() const { return latencySamples; }
    bool isPanelOpen() const { return isOpen; }

    // The left button opens a closed panel and closes an open one; other buttons are not handled.
    CMouseEventResult onMouseDown(CPoint& where, const CButtonState& buttons) override;
    // Nothing while closed; the panel and its lines while open.
    void draw(CDrawContext* context) override;

    // Where the panel is drawn, in window pixels, and the baseline of its first line.
    static constexpr CRect kPanelRect{43, 294, 481, 430};
    static constexpr CCoord kFirstBaseline = 309;
    static constexpr CCoord kLineSpacing = 14;
    static constexpr unsigned char kPanelOpacity = 200;

private:
    CTextPrinter printer;
    bool isOpen = false;
    int latencySamples = 0;
    CRect homeRect;
};
