#include "gui/view.h"

#include <algorithm>

#include "gui/control.h"
#include "gui/frame.h"

const char* const kMsgNewFocusView = "kMsgNewFocusView";
const char* const kMsgOldFocusView = "kMsgOldFocusView";
const char* const kMsgLooseFocus = "LooseFocus";

// ----------------------------------------------------------------------------------------- CView

CView::CView(const CRect& rect) : size(rect) {}

CView::~CView() {
    if (background) background->forget();
}

void CView::draw(CDrawContext* context) {
    if (background) background->draw(context, size);
    setDirty(false);
}

void CView::drawRect(CDrawContext* context, const CRect&) {
    draw(context);
}

void CView::invalid() {
    invalidRect(size);
}

void CView::invalidRect(const CRect& rect) {
    CFrame* frame = getFrame();
    if (!frame) return;
    CRect r = rect;
    localToFrame(r);
    frame->invalidateWindow(r);
}

CMouseEventResult CView::onMouseDown(CPoint&, const CButtonState&) {
    return kMouseEventNotImplemented;
}
CMouseEventResult CView::onMouseUp(CPoint&, const CButtonState&) {
    return kMouseEventNotImplemented;
}
CMouseEventResult CView::onMouseMoved(CPoint&, const CButtonState&) {
    return kMouseEventNotImplemented;
}
CMouseEventResult CView::onMouseEntered(CPoint&, const CButtonState&) {
    return kMouseEventNotImplemented;
}
CMouseEventResult CView::onMouseExited(CPoint&, const CButtonState&) {
    return kMouseEventNotImplemented;
}
bool CView::onWheel(const CPoint&, const float&, const CButtonState&) {
    return false;
}
std::int32_t CView::onKeyDown(gui::KeyEvent&) {
    return -1;
}
std::int32_t CView::onKeyUp(gui::KeyEvent&) {
    return -1;
}

bool CView::hitTest(const CPoint& where, const CButtonState&) {
    return size.pointInside(where);
}

CMessageResult CView::notify(CView*, const char*) {
    return kMessageUnknown;
}

void CView::setViewSize(const CRect& rect, bool invalidate) {
    if (invalidate) invalid();
    size = rect;
    if (invalidate) invalid();
    setDirty();
}

void CView::setVisible(bool state) {
    if (visible == state) return;
    visible = state;
    invalid();
    if (visible) setDirty();
}

CFrame* CView::getFrame() const {
    return parent ? parent->getFrame() : nullptr;
}

CPoint& CView::frameToLocal(CPoint& point) const {
    for (const CViewContainer* c = parent; c; c = c->getParentView())
        point.offset(-c->getViewSize().left, -c->getViewSize().top);
    return point;
}

CPoint& CView::localToFrame(CPoint& point) const {
    for (const CViewContainer* c = parent; c; c = c->getParentView())
        point.offset(c->getViewSize().left, c->getViewSize().top);
    return point;
}

CRect& CView::localToFrame(CRect& rect) const {
    CPoint p(0, 0);
    localToFrame(p);
    return rect.offset(p.x, p.y);
}

void CView::setBackground(CBitmap* bitmap) {
    if (bitmap == background) return;
    if (bitmap) bitmap->remember();
    if (background) background->forget();
    background = bitmap;
    setDirty();
}

// -------------------------------------------------------------------------------- CViewContainer

CViewContainer::CViewContainer(const CRect& rect) : CView(rect) {}

CViewContainer::~CViewContainer() {
    // Children go first, while the container is still whole.
    std::vector<CView*> views;
    views.swap(children);
    pressView = nullptr;
    for (CView* v : views) {
        v->parent = nullptr;
        delete v;
    }
}

bool CViewContainer::addView(CView* view) {
    if (!view || view->parent) return false;
    children.push_back(view);
    view->parent = this;
    view->setDirty();
    return true;
}

bool CViewContainer::removeView(CView* view, bool withForget) {
    auto it = std::find(children.begin(), children.end(), view);
    if (it == children.end()) return false;
    if (CFrame* frame = getFrame()) frame->onViewRemoved(view);
    if (pressView == view) pressView = nullptr;
    children.erase(it);
    view->parent = nullptr;
    if (withForget) delete view;
    return true;
}

bool CViewContainer::removeAll(bool withForget) {
    while (!children.empty())
        removeView(children.back(), withForget);
    return true;
}

bool CViewContainer::isChild(const CView* view) const {
    return std::find(children.begin(), children.end(), view) != children.end();
}

CView* CViewContainer::getView(int index) const {
    return index >= 0 && index < int(children.size()) ? children[std::size_t(index)] : nullptr;
}

void CViewContainer::drawBackgroundRect(CDrawContext* context, const CRect& rect) {
    if (background) {
        background->draw(context, rect, CPoint(rect.left - size.left, rect.top - size.top));
    } else if (backgroundColor.alpha) {
        CColor saved = context->getFillColor();
        context->setFillColor(backgroundColor);
        context->fillRect(rect);
        context->setFillColor(saved);
    }
}

void CViewContainer::draw(CDrawContext* context) {
    drawRect(context, size);
}

void CViewContainer::drawRect(CDrawContext* context, const CRect& updateRect) {
    CRect update = updateRect;
    update.bound(size);
    if (update.isEmpty()) return;

    CRect oldClip;
    context->getClipRect(oldClip);
    CRect clip = update;
    clip.bound(oldClip);
    context->setClipRect(clip);
    drawBackgroundRect(context, update);

    // Children are drawn in the container's own coordinates.
    CPoint oldOffset = context->getOffset();
    context->setOffset(CPoint(oldOffset.x + size.left, oldOffset.y + size.top));
    CRect local = clip;
    local.offset(-size.left, -size.top);
    for (std::size_t i = 0; i < children.size(); ++i) {
        CView* v = children[i];
        if (!v->isVisible() || !v->getViewSize().rectOverlap(local)) continue;
        CRect part = v->getViewSize();
        part.bound(local);
        context->setClipRect(part);
        bool wasDirty = v->isDirty();
        v->drawRect(context, part);
        // A view drawn only in part still needs its whole redraw.
        if (wasDirty && !part.contains(v->getViewSize())) v->setDirty(true);
    }
    context->setOffset(oldOffset);
    context->setClipRect(oldClip);
    CView::setDirty(false);
}

CMouseEventResult CViewContainer::onMouseDown(CPoint& where, const CButtonState& buttons) {
    pressView = nullptr;
    CPoint local = where;
    local.offset(-size.left, -size.top);
    for (auto it = children.rbegin(); it != children.rend(); ++it) {
        CView* v = *it;
        if (!v->isVisible() || !v->getMouseEnabled() || !v->hitTest(local, buttons)) continue;
        if (buttons & (kShift | kControl | kAlt)) {
            auto* control = dynamic_cast<CControl*>(v);
            if (control && control->getListener() &&
                control->getListener()->controlModifierClicked(control, buttons) != 0)
                return kMouseEventHandled;
        }
        CPoint p = local;
        CMouseEventResult result = v->onMouseDown(p, buttons);
        if (result == kMouseEventHandled) pressView = v;
        return result;
    }
    return kMouseEventNotHandled;
}

CMouseEventResult CViewContainer::onMouseUp(CPoint& where, const CButtonState& buttons) {
    if (!pressView) return kMouseEventNotHandled;
    CView* v = pressView;
    pressView = nullptr;
    CPoint local = where;
    local.offset(-size.left, -size.top);
    v->onMouseUp(local, buttons);
    return kMouseEventHandled;
}

CMouseEventResult CViewContainer::onMouseMoved(CPoint& where, const CButtonState& buttons) {
    if (!pressView) return kMouseEventNotHandled;
    CPoint local = where;
    local.offset(-size.left, -size.top);
    CMouseEventResult result = pressView->onMouseMoved(local, buttons);
    if (result != kMouseEventHandled) pressView = nullptr;
    return result;
}

bool CViewContainer::onWheel(const CPoint& where, const float& distance, const CButtonState& buttons) {
    CPoint local = where;
    local.offset(-size.left, -size.top);
    CView* v = getViewAt(where, false);
    return v ? v->onWheel(local, distance, buttons) : false;
}

CView* CViewContainer::getViewAt(const CPoint& where, bool deep) const {
    CPoint local = where;
    local.offset(-size.left, -size.top);
    for (auto it = children.rbegin(); it != children.rend(); ++it) {
        CView* v = *it;
        if (!v->isVisible() || !v->getViewSize().pointInsideWithEdges(local)) continue;
        if (deep && v->isContainer()) {
            CView* inner = static_cast<CViewContainer*>(v)->getViewAt(local, true);
            return inner ? inner : v;
        }
        return v;
    }
    return nullptr;
}

bool CViewContainer::isDirty() const {
    if (dirty) return true;
    return std::any_of(children.begin(), children.end(),
                       [](const CView* v) { return v->isVisible() && v->isDirty(); });
}

void CViewContainer::setDirty(bool value) {
    CView::setDirty(value);
    if (value)
        for (CView* v : children)
            v->setDirty(true);
}

void CViewContainer::redrawDirtyViews(CFrame* frame) {
    for (std::size_t i = 0; i < children.size(); ++i) {
        CView* v = children[i];
        if (!v->isVisible() || !v->isDirty()) continue;
        if (v->isContainer()) {
            static_cast<CViewContainer*>(v)->redrawDirtyViews(frame);
        } else {
            CRect r = v->getViewSize();
            v->localToFrame(r);
            frame->redrawRect(r);
        }
    }
    CView::setDirty(false);
}
