// The off-screen surface of a meter or read-out that composes its picture before showing it, so that a
// refresh never shows a half-drawn control. It covers the window from the origin to the control's
// right and bottom edges, so that the control draws in its own (window) coordinates; it is made at
// the first drawing and kept until the control goes.
#pragma once

#include "gui/draw_context.h"
#include "gui/view.h"

namespace editor {

class MeterOffscreen {
public:
    MeterOffscreen() = default;
    MeterOffscreen(const MeterOffscreen&) = delete;
    MeterOffscreen& operator=(const MeterOffscreen&) = delete;
    ~MeterOffscreen() {
        if (context) context->forget();
    }

    // The surface for view, made on first use.
    COffscreenContext* get(const CView& view) {
        if (!context) {
            const CRect& size = view.getViewSize();
            context = new COffscreenContext(view.getFrame(), size.right, size.bottom, kBlackCColor);
        }
        return context;
    }
    // Shows the view's rectangle of the surface in the destination context.
    void show(const CView& view, CDrawContext* destination) {
        if (!context) return;
        const CRect& size = view.getViewSize();
        context->copyFrom(destination, size, size.getTopLeft());
    }
    bool exists() const { return context != nullptr; }

private:
    COffscreenContext* context = nullptr;
};

} // namespace editor
