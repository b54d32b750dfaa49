// Controls: views with a normalized value, a tag and a listener. A control's tag is the index of
// the parameter it drives (or an editor's own tag); gestures are relayed to the host as begin and
// end of an edit of that index.
#pragma once

#include <cstdint>

#include "gui/view.h"

class CControl;

class CControlListener {
public:
    virtual ~CControlListener() = default;
    // The control's value changed through a user gesture.
    virtual void controlChanged(CControl* control) = 0;
    virtual void controlBeginEdit(CControl* control) { (void)control; }
    virtual void controlEndEdit(CControl* control) { (void)control; }
    // A press with shift, control or alt on the control: non-zero takes the press, and the control
    // never sees it.
    virtual std::int32_t controlModifierClicked(CControl* control, CButtonState buttons) {
        (void)control, (void)buttons;
        return 0;
    }
};

class CControl : public CView {
public:
    CControl(const CRect& size, CControlListener* listener = nullptr, std::int32_t tag = 0,
             CBitmap* background = nullptr);

    // --- Value bookkeeping. The control counts as dirty while its value differs from the value
    // it was last drawn with, or while it is marked.
    virtual void setValue(float v) { value = v; }
    virtual float getValue() const { return value; }
    virtual void setMin(float v) { vmin = v; }
    virtual float getMin() const { return vmin; }
    virtual void setMax(float v) { vmax = v; }
    virtual float getMax() const { return vmax; }
    virtual void setOldValue(float v) { oldValue = v; }
    virtual float getOldValue() const { return oldValue; }
    virtual void setDefaultValue(float v) { defaultValue = v; }
    virtual float getDefaultValue() const { return defaultValue; }
    virtual void setWheelInc(float v) { wheelInc = v; }
    virtual float getWheelInc() const { return wheelInc; }
    // Clamps the value: above the maximum it becomes the maximum, else below the minimum the minimum.
    virtual void bounceValue();
    bool isDirty() const override;
    void setDirty(bool value = true) override;

    virtual void setTag(std::int32_t t) { tag = t; }
    std::int32_t getTag() const { return tag; }
    virtual void setListener(CControlListener* l) { listener = l; }
    CControlListener* getListener() const { return listener; }

    // Begin: the listener's hook, the control becomes the frame's focus view, the editor sends the
    // host the begin of an edit of the tag. End: the editor sends the end, then the listener's hook.
    virtual void beginEdit();
    virtual void endEdit();
    // With exactly the left button and control held (and nothing else): the value becomes the
    // default value inside a begin/end edit, the listener is told if that changed the control,
    // and the press counts as used (true). Any other state: false, nothing happens.
    virtual bool checkDefaultValue(CButtonState buttons);

    void setTransparency(bool state) { transparent = state; }
    bool getTransparency() const { return transparent; }
    void setBackOffset(const CPoint& offset) { backOffset = offset; }
    const CPoint& getBackOffset() const { return backOffset; }

    // The background bitmap from the back offset; then the control is clean.
    void draw(CDrawContext* context) override;

protected:
    // Runs the editor's idle pump once (redraws before a slow listener action).
    void doIdleStuff();
    void drawBackgroundFrame(CDrawContext* context, CCoord sourceY);

    CControlListener* listener;
    std::int32_t tag;
    float value = 0.0f;
    float vmin = 0.0f;
    float vmax = 1.0f;
    float oldValue = 1.0f;
    float defaultValue = 0.5f;
    float wheelInc = 0.1f;
    bool transparent = false;
    CPoint backOffset;
};

// Controls whose bitmap holds several looks stacked vertically.
class IMultiBitmapControl {
public:
    virtual ~IMultiBitmapControl() = default;
    virtual void setHeightOfOneImage(const CCoord& height) { heightOfOneImage = height; }
    virtual CCoord getHeightOfOneImage() const { return heightOfOneImage; }
    void setNumSubPixmaps(std::int32_t count) { subPixmaps = count; }
    std::int32_t getNumSubPixmaps() const { return subPixmaps; }

protected:
    CCoord heightOfOneImage = 0;
    std::int32_t subPixmaps = 0;
};
