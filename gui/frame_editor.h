// The editor base of the toolkit: an editor that owns a frame. It answers for the editor's
// rectangle, the process's knob mode and keys, runs the idle pump that controls call while they
// track the mouse, and keeps OLE initialized for its thread while it exists. The editor class of
// the program supplies open, close, idle and the frame; a plug-in format's adapter calls them.
#pragma once

#include <cstdint>

#include "gui/editor_host.h"
#include "gui/frame.h"
#include "gui/key_event.h"

class CFrameEditor : public VSTGUIEditorInterface {
public:
    // Gestures and the host's idle go to host, which may be null (an editor on its own).
    explicit CFrameEditor(gui::EditorHost* host);
    ~CFrameEditor() override;
    CFrameEditor(const CFrameEditor&) = delete;
    CFrameEditor& operator=(const CFrameEditor&) = delete;

    // The derived editor creates the frame in the parent window; this base only remembers it.
    virtual bool open(void* parentWindow);
    // Deletes the frame if the derived editor left it open.
    virtual void close();
    virtual bool isOpen() const { return systemWindow != nullptr; }
    // Unless already inside an idle pass, lets the frame redraw its dirty views.
    virtual void idle();

    // The editor's rectangle (set by the derived editor).
    const CRect& getRect() const { return rect; }
    // The knob mode for every knob of the process (CKnobMode).
    static std::int32_t getProcessKnobMode() { return knobMode; }
    static void setKnobModeForProcess(std::int32_t mode) { knobMode = mode; }
    // Keys go to the open frame: true when it used them.
    bool onKeyDown(gui::KeyEvent& key);
    bool onKeyUp(gui::KeyEvent& key);

    // --- VSTGUIEditorInterface
    // The idle pump: at most one pass per 100 ms. A pass runs the editor's idle, paints what the
    // window has pending and calls the host's idle. A call before the scheduled time sleeps 4 ms
    // first and returns without a pass while the scheduled time is still more than 50 ms away.
    void doIdleStuff() override;
    void beginEdit(std::int32_t index) override;
    void endEdit(std::int32_t index) override;
    std::int32_t getKnobMode() const override { return knobMode; }

    CFrame* getFrame() const { return frame; }

protected:
    CRect rect;
    CFrame* frame = nullptr;
    void* systemWindow = nullptr;

private:
    static std::int32_t knobMode;
    gui::EditorHost* host;
    bool inIdleStuff = false;
    std::uint32_t nextPumpTicks;
    bool oleInitialized;
};
