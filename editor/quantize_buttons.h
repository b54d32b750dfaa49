// The requantizer's buttons: "Bits", "NoiseShape" and "Autoblack". Each steps its parameter on a
// left click and shows the state of "Quantize" as well: with quantizing off their settings are
// drawn in an inactive look. The editor keeps both states up to date through the setters (each
// stores and marks the button for redraw); a click sends the centre of the new step.
#pragma once

#include <cstdint>

#include "gui/control.h"

// "Bits" 8 / 16 / 24. Six looks of the button's height: the three widths inactive, then active.
class CBits : public CControl {
public:
    CBits(const CRect& size, CControlListener* listener, std::int32_t tag, CBitmap* background);

    void setQuantize(float v); // quantizeOn = step(v, 2)
    void setBits(float v);     // bitsStep = step(v, 3)
    int getBitsStep() const { return bitsStep; }
    bool isQuantizeOn() const { return quantizeOn != 0; }
    int frameIndex() const { return 3 * quantizeOn + bitsStep; }

    void draw(CDrawContext* context) override;
    CMouseEventResult onMouseDown(CPoint& where, const CButtonState& buttons) override;

private:
    int quantizeOn = 0;
    int bitsStep = 0;
};

// "NoiseShape" off / type A / B / C. Seven looks: off, the three types inactive, the three active.
class CNoiseShape : public CControl {
public:
    CNoiseShape(const CRect& size, CControlListener* listener, std::int32_t tag, CBitmap* background);

    void setQuantize(float v);   // quantizeOn = step(v, 2)
    void setNoiseShape(float v); // noiseShapeStep = step(v, 4)
    int getNoiseShapeStep() const { return noiseShapeStep; }
    bool isQuantizeOn() const { return quantizeOn != 0; }
    int frameIndex() const;

    void draw(CDrawContext* context) override;
    CMouseEventResult onMouseDown(CPoint& where, const CButtonState& buttons) override;

private:
    int quantizeOn = 0;
    int noiseShapeStep = 0;
};

// "Autoblack" off / on. Three looks: off, on with quantizing, on without (inactive).
class CAutoBlack : public CControl {
public:
    CAutoBlack(const CRect& size, CControlListener* listener, std::int32_t tag, CBitmap* background);

    void setQuantize(float v);  // quantizeOn = step(v, 2)
    void setAutoblack(float v); // autoblackOn = step(v, 2)
    bool isAutoblackOn() const { return autoblackOn != 0; }
    bool isQuantizeOn() const { return quantizeOn != 0; }
    int frameIndex() const;

    void draw(CDrawContext* context) override;
    CMouseEventResult onMouseDown(CPoint& where, const CButtonState& buttons) override;

private:
    int quantizeOn = 0;
    int autoblackOn = 0;
};
