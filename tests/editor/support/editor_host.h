// The editor's test bench: a real Plugin with its Editor, a host callback that records every call,
// a clock the test moves, a private settings store, and the editor's window on the headless
// backend, which the test clicks and reads back.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "editor/editor.h"
#include "editor/my_frame.h"
#include "gui/tick_source.h"
#include "host/plugin.h"
#include "host/vst_abi.h"
#include "platform/frame_window_headless.h"
#include "platform/native_dialogs_headless.h"
#include "platform/registry_sandbox.h"
#include "tests/support/test_clock.h"

namespace editortest {

struct HostCall {
    vst::VstInt32 opcode;
    vst::VstInt32 index;
    float value;
    bool operator==(const HostCall&) const = default;
};
std::string describe(const HostCall& call);
std::string describe(const std::vector<HostCall>& calls);

// Records what the plug-in asks of its host (the callback has no context: one record per process).
struct HostRecord {
    std::vector<HostCall> calls;
    void clear() { calls.clear(); }
    // The automation, begin-edit and end-edit calls only, in order.
    std::vector<HostCall> edits() const;
};
HostRecord& hostRecord();
vst::VstIntPtr recordingHost(vst::AEffect* effect, vst::VstInt32 opcode, vst::VstInt32 index,
                             vst::VstIntPtr value, void* ptr, float opt);

HostCall automate(int index, float value);
// What a drag on a knob and then a click on a button tell the host: one edit of the knob's parameter
// (begin, automation calls, the last at `turned`, end), then one edit of the button's to `pressed`.
void expectDragThenClickEdits(const std::vector<HostCall>& edits, int knob, float turned, int button,
                              float pressed);
HostCall beginEdit(int index);
HostCall endEdit(int index);

// A clock the test moves; sleeping moves it too.
class TestClock : public testsupport::TestClock {
public:
    TestClock() : testsupport::TestClock(100000) {}
};

// The editor factory the plug-in binary uses.
AEffEditor* createEditor(AudioEffect* effect);

class EditorBench {
public:
    EditorBench();
    ~EditorBench();
    EditorBench(const EditorBench&) = delete;
    EditorBench& operator=(const EditorBench&) = delete;

    // Opens the window through the dispatcher, as a host does; the record is cleared afterwards.
    void open();
    void close();

    Plugin& plugin() { return *effect; }
    Editor& editor() { return *ed; }
    MyFrame& frame() { return *ed->getMyFrame(); }
    platform::HeadlessFrameWindow& window();
    vst::VstIntPtr dispatch(vst::VstInt32 opcode, vst::VstInt32 index = 0, vst::VstIntPtr value = 0,
                            void* ptr = nullptr, float opt = 0.0f);

    // Mouse messages at window pixels.
    int press(int x, int y, std::uint32_t buttons = platform::kMouseLeft);
    int move(int x, int y, std::uint32_t buttons = platform::kMouseLeft);
    int release(int x, int y, std::uint32_t buttons = platform::kMouseLeft);
    void click(int x, int y, std::uint32_t buttons = platform::kMouseLeft);
    bool wheel(int x, int y, int notches, std::uint32_t modifiers = 0);

    // Moves the clock by ms, then runs the editor's idle as the host's effEditIdle does.
    void idle(std::uint32_t ms = 20);
    // Runs a block of constant-amplitude stereo samples through the engine (for the meters).
    void process(float left, float right, int frames = 256);

    // The parameter's normalized value as the host reads it.
    float parameter(int index);
    // The first control in the frame with this tag (in the order they were added), or null.
    CControl* control(std::int32_t tag, int nth = 0);

    TestClock clock;

private:
    platform::RegistrySandbox sandbox;
    Plugin* effect = nullptr;
    Editor* ed = nullptr;
};

// The gestures the real-window suites make: a vertical drag on a knob (dragY pixels, down positive),
// then a click on a button, in window pixels.
struct DragThenClick {
    int knobX, knobY, dragY;
    int buttonX, buttonY;
};

// The reference of the real-window suites: the editor drawn headlessly as it opens, after the
// gestures when there are any, and after what the host then does to the plug-in.
std::vector<std::uint32_t> headlessPicture(const DragThenClick* gestures = nullptr,
                                           const std::function<void(Plugin&)>& host = {});

} // namespace editortest
