// Shared pieces of the editor control tests: a window-sized frame on a headless window whose
// editor records what would reach the host, a listener and a metering-preferences host that
// record what the controls tell them, a test clock, and strip bitmaps whose frames read back as
// their index.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "editor/metering_prefs_host.h"
#include "editor/mode_button.h"
#include "gui/toolkit.h"
#include "host/vst_abi.h"
#include "platform/frame_window_headless.h"
#include "platform/native_dialogs_headless.h"
#include "tests/support/journal.h"
#include "tests/support/test_clock.h"

namespace controlstest {

// What reached the listener, the host relay and the preferences host, in order ("changed 7 0.75",
// "begin 2", "host begin 2", "store", "type 1").
using testsupport::Journal;

std::string valueText(float v);

class RecordingListener : public CControlListener {
public:
    explicit RecordingListener(Journal& journal) : journal(journal) {}
    void controlChanged(CControl* control) override;
    void controlBeginEdit(CControl* control) override;
    void controlEndEdit(CControl* control) override;
    Journal& journal;
};

// The editor's side of the frame: what would become audioMasterBeginEdit / EndEdit.
class RecordingEditor : public VSTGUIEditorInterface {
public:
    explicit RecordingEditor(Journal& journal) : journal(journal) {}
    void doIdleStuff() override { journal.add("pump"); }
    void beginEdit(std::int32_t index) override { journal.add("host begin " + std::to_string(index)); }
    void endEdit(std::int32_t index) override { journal.add("host end " + std::to_string(index)); }
    std::int32_t getKnobMode() const override { return knobMode; }
    std::int32_t knobMode = kCircularMode;
    Journal& journal;
};

// Records the gestures of the metering controls; with a mode button attached it answers as the
// editor does, by mirroring the sent values back into the button.
class RecordingPrefs : public CMeteringPrefsHost {
public:
    explicit RecordingPrefs(Journal& journal) : journal(journal) {}
    void storeMeteringPrefs() override;
    void setMeterTypeStep(int k) override;
    void setScaleStep(int k) override;
    CModeButton* mirror = nullptr;
    Journal& journal;
};

using testsupport::TestClock;

// The editor's window: 524 x 462 on a headless window.
class EditorWindow {
public:
    EditorWindow();
    ~EditorWindow();

    // Adds a control to the frame (which owns it) and returns it.
    template <class Control> Control* add(Control* control) {
        frame->addView(control);
        return control;
    }
    int press(CCoord x, CCoord y, CButtonState buttons = kLButton) {
        return window->press(x, y, std::uint32_t(buttons));
    }
    int move(CCoord x, CCoord y, CButtonState buttons = kLButton) {
        return window->move(x, y, std::uint32_t(buttons));
    }
    int release(CCoord x, CCoord y, CButtonState buttons = 0) {
        return window->release(x, y, std::uint32_t(buttons));
    }
    // Press and release at one point; returns the press's result.
    int click(CCoord x, CCoord y, CButtonState buttons = kLButton);
    bool wheel(CCoord x, CCoord y, int notches, CButtonState modifiers = 0) {
        return window->wheel(x, y, notches * 120, std::uint32_t(modifiers));
    }
    // A key from the host (VST virtual key code, modifier bits), as the VST editor translates it.
    std::int32_t key(unsigned char virt, unsigned char modifier = 0);
    // Paints the whole window and returns the frame index that a strip bitmap made by stripBitmap
    // shows at a point (-1 for any other colour).
    int shownFrame(CCoord x, CCoord y);
    std::uint32_t paintedPixel(CCoord x, CCoord y);

    TestClock clock;
    Journal journal;
    RecordingListener listener{journal};
    RecordingEditor editor{journal};
    RecordingPrefs prefs{journal};
    CFrame* frame;
    platform::HeadlessFrameWindow* window;
};

// The colour of frame k of a strip: opaque, and never the background's.
constexpr std::uint32_t frameColour(int k) {
    return 0xFF000000u | (0x10u << 16) | std::uint32_t(k + 1);
}
// A strip of frames frames, each frameHeight rows of frameColour(k). Caller owns one reference.
CBitmap* stripBitmap(CCoord width, CCoord frameHeight, int frames);
// A solid bitmap.
CBitmap* solidBitmap(CCoord width, CCoord height, std::uint32_t argb);

} // namespace controlstest
