// The editor base of the toolkit: an AEffEditor that owns a frame. It answers the host's rectangle,
// knob-mode and key requests, runs the idle pump that controls call while they track the mouse,
// and keeps OLE initialized for its thread while it exists. The editor class of the program
// supplies open, close, idle and the frame.
#pragma once

#include <cstdint>

#include "gui/frame.h"
#include "host/aeff_editor.h"

class AEffGUIEditor : public AEffEditor, public VSTGUIEditorInterface {
public:
    // Registers itself as the effect's editor (which sets effFlagsHasEditor).
    explicit AEffGUIEditor(AudioEffect* effect);
    ~AEffGUIEditor() override;

    // The editor's rectangle (set by the derived editor); always true.
    bool getRect(vst::ERect** rect) override;
    // The knob mode for every knob of the process (CKnobMode); always true.
    bool setKnobMode(int mode) override;
    static std::int32_t getProcessKnobMode() { return knobMode; }
    static void setKnobModeForProcess(std::int32_t mode) { knobMode = mode; }
    // Keys go to the open frame: true when it used them.
    bool onKeyDown(vst::VstKeyCode& keyCode) override;
    bool onKeyUp(vst::VstKeyCode& keyCode) override;

    // Unless already inside an idle pass, lets the frame redraw its dirty views.
    void idle() override;
    // Closes the frame if the derived editor left it open.
    void close() override;

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
    vst::ERect rect{};
    CFrame* frame = nullptr;

private:
    static std::int32_t knobMode;
    bool inIdleStuff = false;
    std::uint32_t nextPumpTicks;
    bool oleInitialized;
};
