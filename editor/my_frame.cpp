#include "editor/my_frame.h"

MyFrame::MyFrame(const CRect& rect, void* parentWindow, VSTGUIEditorInterface* editor)
    : CFrame(rect, parentWindow, editor) {}

bool MyFrame::setModalView(CView* view) {
    // One modal view at a time: a new one replaces the old.
    CFrame::setModalView(nullptr);
    return CFrame::setModalView(view);
}

void MyFrame::clearModalView() {
    CFrame::setModalView(nullptr);
    invalidateAll();
}

void MyFrame::invalidateAll() {
    invalidateWindow(CRect(0, 0, getWidth(), getHeight()));
}

// The modal view may have an empty rectangle (the open info panel has): it gets the point in its
// container's coordinates whether or not the point lies inside it.

CMouseEventResult MyFrame::onMouseDown(CPoint& where, const CButtonState& buttons) {
    CView* modal = getModalView();
    if (!modal) return CFrame::onMouseDown(where, buttons);
    CPoint p = where;
    modal->frameToLocal(p);
    return modal->onMouseDown(p, buttons);
}

CMouseEventResult MyFrame::onMouseUp(CPoint& where, const CButtonState& buttons) {
    CView* modal = getModalView();
    if (!modal) return CFrame::onMouseUp(where, buttons);
    CPoint p = where;
    modal->frameToLocal(p);
    return modal->onMouseUp(p, buttons);
}

CMouseEventResult MyFrame::onMouseMoved(CPoint& where, const CButtonState& buttons) {
    CView* modal = getModalView();
    if (!modal) return CFrame::onMouseMoved(where, buttons);
    CPoint p = where;
    modal->frameToLocal(p);
    return modal->onMouseMoved(p, buttons);
}

void MyFrame::drawRect(CDrawContext* context, const CRect& updateRect) {
    CFrame::drawRect(context, updateRect);
    CView* modal = getModalView();
    if (!modal || !modal->isVisible()) return;
    CRect modalRect = modal->getViewSize();
    modal->localToFrame(modalRect);
    if (!modalRect.touches(updateRect)) return;
    CRect clip = updateRect;
    clip.bound(CRect(0, 0, getWidth(), getHeight()));
    if (clip.isEmpty()) return;
    CRect oldClip;
    context->getClipRect(oldClip);
    context->setClipRect(clip);
    modal->draw(context);
    context->setClipRect(oldClip);
}

void MyFrame::idle() {
    if (!getModalView()) {
        CFrame::idle();
        return;
    }
    // One paint of the whole window draws the dirty views and the panel over them, without a
    // moment in which a meter shows through.
    redrawRect(CRect(0, 0, getWidth(), getHeight()));
    dispatchPendingPaints();
}
