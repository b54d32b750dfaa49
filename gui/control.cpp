#include "gui/control.h"

#include "gui/frame.h"

CControl::CControl(const CRect& size, CControlListener* listener, std::int32_t tag, CBitmap* background)
    : CView(size), listener(listener), tag(tag) {
    setWantsFocus(true);
    if (background) setBackground(background);
    setDirty();
}

void CControl::bounceValue() {
    if (value > vmax)
        value = vmax;
    else if (value < vmin)
        value = vmin;
}

bool CControl::isDirty() const {
    return value != oldValue || CView::isDirty();
}

void CControl::setDirty(bool state) {
    CView::setDirty(state);
    if (state)
        oldValue = value == -1.0f ? 0.0f : -1.0f;
    else
        oldValue = value;
}

void CControl::beginEdit() {
    if (listener) listener->controlBeginEdit(this);
    if (CFrame* frame = getFrame()) {
        frame->setFocusView(this);
        if (VSTGUIEditorInterface* editor = frame->getEditor()) editor->beginEdit(tag);
    }
}

void CControl::endEdit() {
    if (CFrame* frame = getFrame())
        if (VSTGUIEditorInterface* editor = frame->getEditor()) editor->endEdit(tag);
    if (listener) listener->controlEndEdit(this);
}

bool CControl::checkDefaultValue(CButtonState buttons) {
    if (buttons != (kControl | kLButton)) return false;
    beginEdit();
    setValue(getDefaultValue());
    if (isDirty() && listener) listener->controlChanged(this);
    endEdit();
    return true;
}

void CControl::doIdleStuff() {
    if (CFrame* frame = getFrame())
        if (VSTGUIEditorInterface* editor = frame->getEditor()) editor->doIdleStuff();
}

void CControl::drawBackgroundFrame(CDrawContext* context, CCoord sourceY) {
    if (!background) return;
    CPoint source(backOffset.x, backOffset.y + sourceY);
    if (transparent)
        background->drawTransparent(context, size, source);
    else
        background->draw(context, size, source);
}

void CControl::draw(CDrawContext* context) {
    drawBackgroundFrame(context, 0);
    setDirty(false);
}
