// Views and view containers: the tree of rectangles that the frame draws and routes events to.
//
// Coordinates: every view receives points in the coordinates of its container, the same system
// its own rectangle is given in (for views added straight to the frame: window pixels).
//
// Ownership: a container owns its children and deletes them when they are removed (unless asked
// not to) or when it is deleted itself.
#pragma once

#include <cstdint>
#include <vector>

#include "gui/bitmap.h"
#include "gui/color.h"
#include "gui/draw_context.h"
#include "gui/geometry.h"
#include "gui/key_event.h"

class CFrame;
class CViewContainer;

// The button state every mouse and wheel event carries.
using CButtonState = std::int32_t;
enum CButton : CButtonState {
    kLButton = 1 << 1,
    kMButton = 1 << 2,
    kRButton = 1 << 3,
    kShift = 1 << 4,
    kControl = 1 << 5,
    kAlt = 1 << 6,
    kButton4 = 1 << 8,
    kButton5 = 1 << 9,
    kDoubleClick = 1 << 10,
};

// A view's answer to a mouse event.
enum CMouseEventResult : std::int32_t {
    kMouseEventNotImplemented = 0,
    kMouseEventHandled = 1, // the view receives the following moves and the release
    kMouseEventNotHandled = 2,
    kMouseDownEventHandledButDontNeedMovedOrUpEvents = 3,
};

enum CMessageResult : std::int32_t {
    kMessageUnknown = 0,
    kMessageNotified = 1,
};

// Notifications sent up the container chain.
extern const char* const kMsgNewFocusView;
extern const char* const kMsgOldFocusView;
extern const char* const kMsgLooseFocus;

class CView {
public:
    explicit CView(const CRect& size);
    virtual ~CView();
    CView(const CView&) = delete;
    CView& operator=(const CView&) = delete;

    // --- Drawing. draw() paints the whole view; drawRect() is called with the clip rectangle set
    // to the part being repainted and by default draws the whole view.
    virtual void draw(CDrawContext* context);
    virtual void drawRect(CDrawContext* context, const CRect& updateRect);
    // Dirty views are redrawn at the frame's next idle.
    virtual bool isDirty() const { return dirty; }
    virtual void setDirty(bool value = true) { dirty = value; }
    // Asks the window to repaint the view's rectangle (or a rectangle in container coordinates).
    void invalid();
    void invalidRect(const CRect& rect);

    // --- Events; points in container coordinates.
    virtual CMouseEventResult onMouseDown(CPoint& where, const CButtonState& buttons);
    virtual CMouseEventResult onMouseUp(CPoint& where, const CButtonState& buttons);
    virtual CMouseEventResult onMouseMoved(CPoint& where, const CButtonState& buttons);
    virtual CMouseEventResult onMouseEntered(CPoint& where, const CButtonState& buttons);
    virtual CMouseEventResult onMouseExited(CPoint& where, const CButtonState& buttons);
    // True when the view used the wheel.
    virtual bool onWheel(const CPoint& where, const float& distance, const CButtonState& buttons);
    // Keys: 1 when handled, -1 when not.
    virtual std::int32_t onKeyDown(gui::KeyEvent& key);
    virtual std::int32_t onKeyUp(gui::KeyEvent& key);
    // Whether a press at this point belongs to the view (its rectangle, right and bottom edges out).
    virtual bool hitTest(const CPoint& where, const CButtonState& buttons = 0);

    // --- Focus: takeFocus() when the frame makes a view that wants the focus its focus view,
    // looseFocus() when the focus leaves it.
    virtual void takeFocus() {}
    virtual void looseFocus() {}
    void setWantsFocus(bool value) { focusWanted = value; }
    bool wantsFocus() const { return focusWanted; }

    virtual CMessageResult notify(CView* sender, const char* message);

    // --- Geometry and state.
    const CRect& getViewSize() const { return size; }
    CRect& getViewSize(CRect& rect) const { return rect = size; }
    virtual void setViewSize(const CRect& rect, bool invalidate = true);
    CCoord getWidth() const { return size.getWidth(); }
    CCoord getHeight() const { return size.getHeight(); }
    virtual void setVisible(bool state);
    bool isVisible() const { return visible; }
    virtual void setMouseEnabled(bool state) { mouseEnabled = state; }
    bool getMouseEnabled() const { return mouseEnabled; }
    virtual bool isContainer() const { return false; }

    CViewContainer* getParentView() const { return parent; }
    virtual CFrame* getFrame() const;
    // Frame (window) coordinates to this view's container coordinates, and back.
    CPoint& frameToLocal(CPoint& point) const;
    CPoint& localToFrame(CPoint& point) const;
    CRect& localToFrame(CRect& rect) const;

    // The background bitmap (the view keeps a reference).
    virtual void setBackground(CBitmap* bitmap);
    CBitmap* getBackground() const { return background; }

protected:
    friend class CViewContainer;

    CRect size;
    CViewContainer* parent = nullptr;
    CBitmap* background = nullptr;
    bool dirty = false;
    bool visible = true;
    bool mouseEnabled = true;
    bool focusWanted = false;
};

class CViewContainer : public CView {
public:
    explicit CViewContainer(const CRect& size);
    ~CViewContainer() override;

    // Appends a view: drawn after (over) the views before it, found before them.
    virtual bool addView(CView* view);
    virtual bool removeView(CView* view, bool withForget = true);
    virtual bool removeAll(bool withForget = true);
    bool isChild(const CView* view) const;
    int getNbViews() const { return int(children.size()); }
    CView* getView(int index) const;

    void setBackgroundColor(const CColor& color) { backgroundColor = color; }
    const CColor& getBackgroundColor() const { return backgroundColor; }
    // Paints the container's background (bitmap, else colour) into rect (container's own
    // rectangle's coordinates).
    virtual void drawBackgroundRect(CDrawContext* context, const CRect& rect);

    void draw(CDrawContext* context) override;
    // The background, then every visible child meeting the update rectangle in list order, each
    // clipped to its rectangle within the update rectangle; then the container is clean.
    void drawRect(CDrawContext* context, const CRect& updateRect) override;

    // The press goes to the last-added child that is visible, mouse-enabled and hit; a control
    // with a listener clicked with shift, control or alt goes to the listener's modifier-click hook
    // first. An answer of 1 makes the child the press view, which then gets the moves and the
    // release.
    CMouseEventResult onMouseDown(CPoint& where, const CButtonState& buttons) override;
    CMouseEventResult onMouseUp(CPoint& where, const CButtonState& buttons) override;
    CMouseEventResult onMouseMoved(CPoint& where, const CButtonState& buttons) override;
    // The wheel goes to the child under the point, edges included.
    bool onWheel(const CPoint& where, const float& distance, const CButtonState& buttons) override;

    // The last-added visible child whose rectangle holds the point, edges included; with deep, the
    // innermost view (a container with no child there is itself the answer). Point in the
    // container's own rectangle's coordinates.
    CView* getViewAt(const CPoint& where, bool deep = false) const;

    bool isContainer() const override { return true; }
    bool isDirty() const override;
    // Marking a container dirty marks all its views for redraw.
    void setDirty(bool value = true) override;

    // Redraws, through the frame, every dirty visible view (descending into containers).
    void redrawDirtyViews(CFrame* frame);

protected:
    std::vector<CView*> children;
    CView* pressView = nullptr;
    CColor backgroundColor = kTransparentCColor;
};
