#include "gui/frame.h"

#include "gui/platform_text.h"
#include "gui/tick_source.h"
#include "platform/ole.h"

namespace {

constexpr bool sameBit(CButtonState toolkit, std::uint32_t window) {
    return std::uint32_t(toolkit) == window;
}
static_assert(sameBit(kLButton, platform::kMouseLeft) && sameBit(kMButton, platform::kMouseMiddle) &&
                  sameBit(kRButton, platform::kMouseRight) && sameBit(kShift, platform::kKeyShift) &&
                  sameBit(kControl, platform::kKeyControl) && sameBit(kAlt, platform::kKeyAlt) &&
                  sameBit(kButton4, platform::kMouseButton4) && sameBit(kButton5, platform::kMouseButton5) &&
                  sameBit(kDoubleClick, platform::kMouseDoubleClick),
              "the window's button bits are the toolkit's");

bool holds(const CView* outer, const CView* inner) {
    for (const CView* v = inner; v; v = v->getParentView())
        if (v == outer) return true;
    return false;
}

} // namespace

CFrame::CFrame(const CRect& rect, void* parent, VSTGUIEditorInterface* editor)
    : CViewContainer(CRect(0, 0, rect.getWidth(), rect.getHeight())), editor(editor), parentWindow(parent),
      surface(std::size_t(std::max(rect.getWidth(), 0)) * std::size_t(std::max(rect.getHeight(), 0)),
              0xFF000000u) {
    oleInitialized = platform::oleInitialize();
    gui::text::registerWithPlatform();
    window = platform::FrameWindow::create(parent, rect.getWidth(), rect.getHeight(), *this);
    windowAlive = window != nullptr;
}

CFrame::~CFrame() {
    // Views go while the frame is whole; nothing is told of focus or hover any more.
    focusView = hoverView = modalView = pressView = nullptr;
    focusChanging = true;
    removeAll();
    window.reset();
    if (oleInitialized) platform::oleUninitialize();
}

bool CFrame::getPosition(CCoord& x, CCoord& y) const {
    x = y = 0;
    if (!getPlatformWindow()) return false;
    int sx = 0, sy = 0;
    window->screenOrigin(sx, sy);
    x = sx, y = sy;
    return true;
}

CButtonState CFrame::getCurrentMouseButtons() const {
    platform::FrameWindow* w = getPlatformWindow();
    return w ? CButtonState(w->currentButtons()) : 0;
}

std::uint32_t CFrame::getSurfacePixel(CCoord x, CCoord y) const {
    if (x < 0 || y < 0 || x >= size.getWidth() || y >= size.getHeight()) return 0;
    return surface[std::size_t(y) * std::size_t(size.getWidth()) + std::size_t(x)];
}

// ------------------------------------------------------------------------------------------ mouse

CMouseEventResult CFrame::onMouseDown(CPoint& where, const CButtonState& buttons) {
    pressView = nullptr;
    if (focusView) setFocusView(nullptr);
    if (hoverView) {
        CView* v = hoverView;
        hoverView = nullptr;
        CPoint p = where;
        v->frameToLocal(p);
        v->onMouseExited(p, buttons);
        if (mouseObserver) mouseObserver->onMouseExited(v, this);
    }
    if (mouseObserver) mouseObserver->onMouseDown(this, where);

    if (modalView) {
        CPoint p = where;
        modalView->frameToLocal(p);
        if (!modalView->hitTest(p, buttons)) return kMouseEventNotHandled;
        CView* v = modalView;
        if (v->onMouseDown(p, buttons) == kMouseEventHandled) {
            pressView = v;
            return kMouseEventHandled;
        }
        return kMouseEventNotHandled;
    }
    return CViewContainer::onMouseDown(where, buttons);
}

CMouseEventResult CFrame::onMouseMoved(CPoint& where, const CButtonState& buttons) {
    if (!leaveTrackingArmed && getPlatformWindow()) {
        window->trackMouseLeave();
        leaveTrackingArmed = true;
    }
    if (mouseObserver) mouseObserver->onMouseMoved(this, where);

    if (modalView) {
        CPoint p = where;
        modalView->frameToLocal(p);
        return modalView->onMouseMoved(p, buttons);
    }
    if (pressView) {
        CPoint p = where;
        pressView->frameToLocal(p);
        if (pressView->onMouseMoved(p, buttons) == kMouseEventHandled) return kMouseEventHandled;
        pressView = nullptr;
    }

    CView* v = getViewAt(where, true);
    if (v == hoverView) {
        if (!hoverView) return kMouseEventNotHandled;
        CPoint p = where;
        hoverView->frameToLocal(p);
        return hoverView->onMouseMoved(p, 0);
    }
    if (hoverView) {
        CView* old = hoverView;
        hoverView = nullptr;
        CPoint p = where;
        old->frameToLocal(p);
        old->onMouseExited(p, buttons);
        if (mouseObserver) mouseObserver->onMouseExited(old, this);
    }
    if (v) {
        CPoint p = where;
        v->frameToLocal(p);
        v->onMouseEntered(p, buttons);
        hoverView = v;
        if (mouseObserver) mouseObserver->onMouseEntered(v, this);
    }
    return kMouseEventHandled;
}

CMouseEventResult CFrame::onMouseUp(CPoint& where, const CButtonState& buttons) {
    if (!pressView) return kMouseEventNotHandled;
    CView* v = pressView;
    pressView = nullptr;
    CPoint p = where;
    v->frameToLocal(p);
    v->onMouseUp(p, buttons);
    return kMouseEventHandled;
}

CMouseEventResult CFrame::onMouseExited(CPoint& where, const CButtonState& buttons) {
    if (hoverView) {
        CView* v = hoverView;
        hoverView = nullptr;
        CPoint p = where;
        v->frameToLocal(p);
        v->onMouseExited(p, buttons);
        if (mouseObserver) mouseObserver->onMouseExited(v, this);
    }
    leaveTrackingArmed = false;
    return kMouseEventHandled;
}

bool CFrame::onWheel(const CPoint& where, const float& distance, const CButtonState& buttons) {
    return CViewContainer::onWheel(where, distance, buttons);
}

std::int32_t CFrame::onKeyDown(gui::KeyEvent& key) {
    if (isEcho(key, KeySource::host, true)) return 1;
    return focusView ? focusView->onKeyDown(key) : -1;
}

std::int32_t CFrame::onKeyUp(gui::KeyEvent& key) {
    if (isEcho(key, KeySource::host, false)) return 1;
    return focusView ? focusView->onKeyUp(key) : -1;
}

// A host may pass on a key that our window received from the system as well (it watches the
// window's events too): whichever copy comes second within a moment is the same key stroke.
bool CFrame::isEcho(const gui::KeyEvent& key, KeySource source, bool down) {
    constexpr std::uint32_t kEchoWindow = 100; // ms
    std::uint32_t now = gui::ticks();
    bool echo = lastKey.source != source && lastKey.down == down && lastKey.event.key == key.key &&
                lastKey.event.character == key.character && lastKey.event.modifiers == key.modifiers &&
                now - lastKey.ticks <= kEchoWindow;
    lastKey = {key, source, down, now};
    if (echo) lastKey.source = KeySource::none; // a third copy is a new stroke
    return echo;
}

bool CFrame::windowKeyDown(gui::KeyEvent& key) {
    if (isEcho(key, KeySource::window, true)) return true;
    return focusView && focusView->onKeyDown(key) == 1;
}

bool CFrame::windowKeyUp(gui::KeyEvent& key) {
    if (isEcho(key, KeySource::window, false)) return true;
    return focusView && focusView->onKeyUp(key) == 1;
}

// ------------------------------------------------------------------------------ focus and modal

void CFrame::setFocusView(CView* view) {
    if (view == focusView || focusChanging) return;
    focusChanging = true;
    CView* old = focusView;
    focusView = view;
    if (view && view->wantsFocus()) {
        view->takeFocus();
        for (CViewContainer* c = view->getParentView(); c; c = c->getParentView())
            c->notify(view, kMsgNewFocusView);
    }
    if (old) {
        if (old->wantsFocus())
            for (CViewContainer* c = old->getParentView(); c; c = c->getParentView())
                c->notify(old, kMsgOldFocusView);
        old->looseFocus();
    }
    focusChanging = false;
}

bool CFrame::setModalView(CView* view) {
    if (view && modalView && view != modalView) return false;
    modalView = view;
    return true;
}

void CFrame::onViewRemoved(CView* view) {
    if (holds(view, focusView)) focusView = nullptr;
    if (holds(view, hoverView)) hoverView = nullptr;
    if (holds(view, modalView)) modalView = nullptr;
    if (holds(view, pressView)) pressView = nullptr;
}

// ---------------------------------------------------------------------------------------- drawing

void CFrame::idle() {
    if (platform::FrameWindow* w = getPlatformWindow()) w->pump();
    if (!needsIdle) return;
    redrawDirtyViews(this);
    // Rectangles invalidated since the last pass are painted now rather than whenever the system
    // gets to them (a headless window has no message loop to do it).
    dispatchPendingPaints();
}

void CFrame::redrawRect(const CRect& rect) {
    CRect r = rect;
    r.bound(CRect(0, 0, size.getWidth(), size.getHeight()));
    if (r.isEmpty()) return;
    auto* context = new CDrawContext(surface.data(), size.getWidth(), size.getHeight());
    drawRect(context, r);
    context->forget();
    present(r);
}

void CFrame::present(const CRect& r) {
    if (platform::FrameWindow* w = getPlatformWindow())
        w->present(surface.data(), size.getWidth(), {r.left, r.top, r.right, r.bottom});
}

void CFrame::invalidateWindow(const CRect& rect) {
    if (platform::FrameWindow* w = getPlatformWindow())
        w->invalidate({rect.left, rect.top, rect.right, rect.bottom});
}

void CFrame::dispatchPendingPaints() {
    if (platform::FrameWindow* w = getPlatformWindow()) w->dispatchPendingPaints();
}

void CFrame::windowPaint(const platform::PixelRect& update) {
    redrawRect(CRect(update.left, update.top, update.right, update.bottom));
}

// -------------------------------------------------------------------------- window messages

int CFrame::windowMouseDown(int x, int y, std::uint32_t buttons) {
    CPoint p(x, y);
    return onMouseDown(p, CButtonState(buttons));
}

int CFrame::windowMouseMoved(int x, int y, std::uint32_t buttons) {
    CPoint p(x, y);
    return onMouseMoved(p, CButtonState(buttons));
}

int CFrame::windowMouseUp(int x, int y, std::uint32_t buttons) {
    CPoint p(x, y);
    return onMouseUp(p, CButtonState(buttons));
}

int CFrame::windowMouseExited(int x, int y, std::uint32_t buttons) {
    CPoint p(x, y);
    return onMouseExited(p, CButtonState(buttons));
}

bool CFrame::windowWheel(int x, int y, int distance, std::uint32_t buttons) {
    return onWheel(CPoint(x, y), float(distance), CButtonState(buttons));
}
