// The frame: the editor's one native window and the root container of its views. It turns the
// window's messages into mouse, wheel and paint events, remembers the press view (the view that
// answered 1 to the last press), the hover view (the view last entered by the mouse), the focus
// view and the modal view, and redraws dirty views at idle.
//
// Everything here runs on the thread that owns the window: the host's user-interface thread.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "gui/key_event.h"
#include "gui/view.h"
#include "platform/frame_window.h"

class CFrame;

// What the toolkit asks of the editor that owns the frame.
class VSTGUIEditorInterface {
public:
    virtual ~VSTGUIEditorInterface() = default;
    // One pass of the idle pump (the editor's idle, pending paints, the host's idle).
    virtual void doIdleStuff() {}
    // A control starts or ends a gesture on the parameter with this index.
    virtual void beginEdit(std::int32_t index) { (void)index; }
    virtual void endEdit(std::int32_t index) { (void)index; }
    // The process-wide knob mode (CKnobMode).
    virtual std::int32_t getKnobMode() const { return 0; }
};

// Told of presses, moves, enters and exits on the frame.
class IMouseObserver {
public:
    virtual ~IMouseObserver() = default;
    virtual void onMouseEntered(CView* view, CFrame* frame) = 0;
    virtual void onMouseExited(CView* view, CFrame* frame) = 0;
    virtual void onMouseDown(CFrame* frame, const CPoint& where) = 0;
    virtual void onMouseMoved(CFrame* frame, const CPoint& where) = 0;
};

class CFrame : public CViewContainer, private platform::FrameWindowClient {
public:
    // A frame of the size of rect as a child window of the host's parent window; its rectangle
    // starts at the window origin. The editor may be null (a frame on its own).
    CFrame(const CRect& size, void* parentWindow, VSTGUIEditorInterface* editor);
    ~CFrame() override;

    CFrame* getFrame() const override { return const_cast<CFrame*>(this); }
    VSTGUIEditorInterface* getEditor() const { return editor; }
    void* getParentWindow() const { return parentWindow; }
    // The native window (null when the system refused it or destroyed it).
    platform::FrameWindow* getPlatformWindow() const { return windowAlive ? window.get() : nullptr; }
    bool isOpen() const { return getPlatformWindow() != nullptr; }
    // The window's top-left corner in screen pixels.
    bool getPosition(CCoord& x, CCoord& y) const;

    // --- Events, points in window pixels (the frame's entry points; the window calls them).
    CMouseEventResult onMouseDown(CPoint& where, const CButtonState& buttons) override;
    CMouseEventResult onMouseMoved(CPoint& where, const CButtonState& buttons) override;
    CMouseEventResult onMouseUp(CPoint& where, const CButtonState& buttons) override;
    CMouseEventResult onMouseExited(CPoint& where, const CButtonState& buttons) override;
    bool onWheel(const CPoint& where, const float& distance, const CButtonState& buttons) override;
    // Keys from the host go to the focus view: 1 when it handled them, -1 otherwise.
    std::int32_t onKeyDown(gui::KeyEvent& key) override;
    std::int32_t onKeyUp(gui::KeyEvent& key) override;

    // --- Drawing.
    // Redraws every dirty visible view now, then paints what the window has pending (called by
    // the editor's idle).
    virtual void idle();
    // Draws a rectangle of the window into the frame's surface now and shows it.
    void redrawRect(const CRect& rect);
    // Asks the window to repaint a rectangle of the window later.
    void invalidateWindow(const CRect& rect);
    // Paints what the window has pending now (the idle pump does this).
    void dispatchPendingPaints();
    // The frame's surface: what the window shows, width x height ARGB pixels.
    const std::uint32_t* getSurfacePixels() const { return surface.data(); }
    std::uint32_t getSurfacePixel(CCoord x, CCoord y) const;

    // --- Focus, modal view, observer.
    void setFocusView(CView* view);
    CView* getFocusView() const { return focusView; }
    // Refused (false) while another modal view is set; null clears it.
    virtual bool setModalView(CView* view);
    CView* getModalView() const { return modalView; }
    CView* getHoverView() const { return hoverView; }
    CView* getPressView() const { return pressView; }
    void setMouseObserver(IMouseObserver* observer) { mouseObserver = observer; }
    // The state of the physical buttons and modifier keys now.
    CButtonState getCurrentMouseButtons() const;

    // A view (or a container holding it) leaves the tree: the frame forgets it.
    void onViewRemoved(CView* view);

private:
    int windowMouseDown(int x, int y, std::uint32_t buttons) override;
    int windowMouseMoved(int x, int y, std::uint32_t buttons) override;
    int windowMouseUp(int x, int y, std::uint32_t buttons) override;
    int windowMouseExited(int x, int y, std::uint32_t buttons) override;
    bool windowWheel(int x, int y, int distance, std::uint32_t buttons) override;
    void windowPaint(const platform::PixelRect& update) override;
    void windowDestroyed() override { windowAlive = false; }
    bool windowKeyDown(gui::KeyEvent& key) override;
    bool windowKeyUp(gui::KeyEvent& key) override;

    enum class KeySource { none, host, window };
    bool isEcho(const gui::KeyEvent& key, KeySource source, bool down);

    void present(const CRect& rect);

    VSTGUIEditorInterface* editor;
    void* parentWindow;
    std::vector<std::uint32_t> surface;
    std::unique_ptr<platform::FrameWindow> window;
    bool windowAlive = false;
    bool oleInitialized = false;
    bool needsIdle = true;
    bool leaveTrackingArmed = false;
    bool focusChanging = false;
    CView* hoverView = nullptr;
    CView* focusView = nullptr;
    CView* modalView = nullptr;
    IMouseObserver* mouseObserver = nullptr;
    struct {
        gui::KeyEvent event;
        KeySource source = KeySource::none;
        bool down = false;
        std::uint32_t ticks = 0;
    } lastKey;
};
