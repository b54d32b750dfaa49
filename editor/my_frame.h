// The editor's frame: the toolkit frame with one modal view (the info panel while it is open). While
// a modal view is set it receives every press, release and move of the window wherever they are,
// and it is painted over everything else; the wheel and keys still go where they always go.
#pragma once

#include "gui/frame.h"

class MyFrame : public CFrame {
public:
    MyFrame(const CRect& size, void* parentWindow, VSTGUIEditorInterface* editor);

    // Stores the modal view (not owned); null clears it.
    bool setModalView(CView* view) override;
    // No modal view any more; the whole window is repainted.
    void clearModalView();
    bool hasModalView() const { return getModalView() != nullptr; }

    CMouseEventResult onMouseDown(CPoint& where, const CButtonState& buttons) override;
    CMouseEventResult onMouseUp(CPoint& where, const CButtonState& buttons) override;
    CMouseEventResult onMouseMoved(CPoint& where, const CButtonState& buttons) override;

    // The views meeting the update rectangle, then the modal view on top when its rectangle meets
    // or touches the update rectangle.
    void drawRect(CDrawContext* context, const CRect& updateRect) override;
    // With a modal view the whole window is repainted at every idle, so that the panel stays over
    // the meters that refresh beneath it; otherwise the toolkit's idle.
    void idle() override;

    // Marks the whole window for a repaint.
    void invalidateAll();
};
