// The VST 2.4 side of an editor: the AEffEditor that the dispatcher calls, over the toolkit's
// format-free editor (a CFrameEditor that the derived class owns). It registers itself with the
// effect, answers the rectangle as an ERect, translates the host's key records and forwards
// open, close, idle and the knob mode. The gestures and the idle pump reach the host through it.
#pragma once

#include <cstdint>

#include "gui/editor_host.h"
#include "gui/frame_editor.h"
#include "host/aeff_editor.h"

class AEffGUIEditor : public AEffEditor, public gui::EditorHost {
public:
    // Registers itself as the effect's editor (which sets effFlagsHasEditor).
    explicit AEffGUIEditor(AudioEffect* effect);
    ~AEffGUIEditor() override;

    // The view's rectangle; always true.
    bool getRect(vst::ERect** rect) override;
    bool open(void* parentWindow) override;
    void close() override;
    bool isOpen() const override;
    void idle() override;
    // The knob mode for every knob of the process (CKnobMode); always true.
    bool setKnobMode(int mode) override;
    // Keys go to the view's open frame: true when it used them.
    bool onKeyDown(vst::VstKeyCode& keyCode) override;
    bool onKeyUp(vst::VstKeyCode& keyCode) override;

    // --- gui::EditorHost: the effect's edit gestures and the host's idle.
    void beginEdit(std::int32_t index) override;
    void endEdit(std::int32_t index) override;
    void idleHost() override;

    // The format-free editor (null until the derived class has set it).
    CFrameEditor* getView() const { return view; }

protected:
    // The derived class's editor; it stays the derived class's to delete.
    void setView(CFrameEditor* editor) { view = editor; }

private:
    CFrameEditor* view = nullptr;
    vst::ERect rect{};
};
