// The editor's on/off buttons. Both keep a two-state parameter in their value and draw one of the
// looks stacked in their bitmap, each look as high as the button.
#pragma once

#include <cstdint>

#include "editor/metering_prefs_host.h"
#include "gui/standard_controls.h"

// A two-state parameter button ("DetectorOrder", "Quantize", "Power", "AutoOut", the metering
// switches, the "AttShow" bits). A left click sends the centre of the other state (0.75 for on,
// 0.25 for off). Looks: off, on, and for metering preference buttons a third, highlighted one.
//
// A metering preference button is made by passing prefs (the editor): its right click, whatever
// else is held, stores the metering preferences instead of toggling. Without prefs the right button
// is not handled.
class CZelmarButton : public COnOffButton {
public:
    CZelmarButton(const CRect& size, CControlListener* listener, std::int32_t tag, CBitmap* background,
                  CMeteringPrefsHost* prefs = nullptr);

    bool isMeteringPreference() const { return prefs != nullptr; }
    // Shows the highlighted look (the confirmation of a store) while on; marks for redraw.
    void setHighlight(bool on);
    bool isHighlighted() const { return highlighted; }
    // The look drawn now: 2 highlighted, 1 on, 0 off.
    int frameIndex() const;

    void draw(CDrawContext* context) override;
    CMouseEventResult onMouseDown(CPoint& where, const CButtonState& buttons) override;

private:
    CMeteringPrefsHost* prefs;
    bool highlighted = false;
};

// The "Oversample" button: a left click sends 0.0 when it is on, else 1.0. Looks: off, on.
class COversamplingButton : public COnOffButton {
public:
    COversamplingButton(const CRect& size, CControlListener* listener, std::int32_t tag, CBitmap* background);

    int frameIndex() const;

    void draw(CDrawContext* context) override;
    CMouseEventResult onMouseDown(CPoint& where, const CButtonState& buttons) override;
};
