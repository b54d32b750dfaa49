// The meter mode button ("MeterType" and "Scale"): a tall button whose upper band selects peak
// metering and whose lower band selects K-system metering, stepping K-12 -> K-14 -> K-20 when
// K-system is already on. It sends both parameters through the editor and shows what comes back.
#pragma once

#include <cstdint>

#include "editor/metering_prefs_host.h"
#include "gui/control.h"

// Seven looks of the button's height: peak with the remembered scale 0..2, K-12, K-14, K-20,
// highlighted. Left and right buttons together store the metering preferences.
class CModeButton : public CControl {
public:
    // Height of the upper and lower bands that take clicks [px].
    static constexpr CCoord kBandHeight = 19;

    // prefs (the editor) receives the gestures; the listener is never told.
    CModeButton(const CRect& size, CControlListener* listener, std::int32_t tag, CBitmap* background,
                CMeteringPrefsHost* prefs);

    // Setters for the editor: each stores and marks the button for redraw.
    void setHighlight(bool on);
    void setMeterType(float v); // meterTypeStep = step(v, 2)
    void setScale(float v);     // scaleStep = step(v, 3)

    bool isHighlighted() const { return highlighted; }
    int getMeterTypeStep() const { return meterTypeStep; }
    int getScaleStep() const { return scaleStep; }
    int frameIndex() const;

    void draw(CDrawContext* context) override;
    CMouseEventResult onMouseDown(CPoint& where, const CButtonState& buttons) override;

private:
    CMeteringPrefsHost* prefs;
    bool highlighted = false;
    int meterTypeStep = 0;
    int scaleStep = 1;
};
