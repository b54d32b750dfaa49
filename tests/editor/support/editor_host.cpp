#include "support/editor_host.h"

#include <gtest/gtest.h>

#include <sstream>

#include "gui/control.h"
#include "host/plugin_editor.h"

namespace editortest {

std::string describe(const HostCall& call) {
    std::ostringstream text;
    text << "{" << call.opcode << " " << call.index << " " << call.value << "}";
    return text.str();
}

std::string describe(const std::vector<HostCall>& calls) {
    std::string text;
    for (const HostCall& call : calls)
        text += describe(call);
    return text;
}

HostRecord& hostRecord() {
    static HostRecord record;
    return record;
}

std::vector<HostCall> HostRecord::edits() const {
    std::vector<HostCall> out;
    for (const HostCall& call : calls)
        if (call.opcode == vst::audioMasterAutomate || call.opcode == vst::audioMasterBeginEdit ||
            call.opcode == vst::audioMasterEndEdit)
            out.push_back(call);
    return out;
}

vst::VstIntPtr recordingHost(vst::AEffect*, vst::VstInt32 opcode, vst::VstInt32 index, vst::VstIntPtr, void*,
                             float opt) {
    hostRecord().calls.push_back({opcode, index, opcode == vst::audioMasterAutomate ? opt : 0.0f});
    switch (opcode) {
    case vst::audioMasterVersion:
        return 2400;
    case vst::audioMasterBeginEdit:
    case vst::audioMasterEndEdit:
        return 1;
    default:
        return 0; // pins: connected
    }
}

HostCall automate(int index, float value) {
    return {vst::audioMasterAutomate, index, value};
}
HostCall beginEdit(int index) {
    return {vst::audioMasterBeginEdit, index, 0.0f};
}
HostCall endEdit(int index) {
    return {vst::audioMasterEndEdit, index, 0.0f};
}

AEffEditor* createEditor(AudioEffect* effect) {
    return createPluginEditor(effect);
}

EditorBench::EditorBench() {
    platform::headless::reset();
    hostRecord().clear();
    effect = new Plugin(recordingHost, &createEditor);
    auto* glue = dynamic_cast<PluginEditor*>(effect->getEditor());
    ed = glue ? &glue->getEditor() : nullptr;
    hostRecord().clear();
}

EditorBench::~EditorBench() {
    // The editor goes with the effect, before the settings store does.
    delete effect;
    platform::headless::reset();
    hostRecord().clear();
}

void EditorBench::open() {
    dispatch(vst::effEditOpen, 0, 0, nullptr);
    hostRecord().clear();
}

void EditorBench::close() {
    dispatch(vst::effEditClose);
}

platform::HeadlessFrameWindow& EditorBench::window() {
    return *platform::asHeadless(ed->getMyFrame()->getPlatformWindow());
}

vst::VstIntPtr EditorBench::dispatch(vst::VstInt32 opcode, vst::VstInt32 index, vst::VstIntPtr value,
                                     void* ptr, float opt) {
    return effect->dispatcher(opcode, index, value, ptr, opt);
}

int EditorBench::press(int x, int y, std::uint32_t buttons) {
    return window().press(x, y, buttons);
}
int EditorBench::move(int x, int y, std::uint32_t buttons) {
    return window().move(x, y, buttons);
}
int EditorBench::release(int x, int y, std::uint32_t buttons) {
    return window().release(x, y, buttons);
}
void EditorBench::click(int x, int y, std::uint32_t buttons) {
    window().press(x, y, buttons);
    window().release(x, y, buttons);
}
bool EditorBench::wheel(int x, int y, int notches, std::uint32_t modifiers) {
    return window().wheel(x, y, notches * 120, modifiers);
}

void EditorBench::idle(std::uint32_t ms) {
    clock.time += ms;
    dispatch(vst::effEditIdle);
}

void EditorBench::process(float left, float right, int frames) {
    std::vector<float> inL(std::size_t(frames), left), inR(std::size_t(frames), right);
    std::vector<float> outL(inL.size()), outR(inL.size());
    float* in[2] = {inL.data(), inR.data()};
    float* out[2] = {outL.data(), outR.data()};
    effect->processReplacing(in, out, frames);
}

float EditorBench::parameter(int index) {
    return effect->getParameter(index);
}

CControl* EditorBench::control(std::int32_t tag, int nth) {
    if (!ed->getMyFrame()) return nullptr;
    MyFrame& f = frame();
    for (int i = 0; i < f.getNbViews(); ++i)
        if (auto* c = dynamic_cast<CControl*>(f.getView(i)); c && c->getTag() == tag && nth-- == 0) return c;
    return nullptr;
}

void expectDragThenClickEdits(const std::vector<HostCall>& edits, int knob, float turned, int button,
                              float pressed) {
    ASSERT_GE(edits.size(), 6u) << describe(edits);
    EXPECT_EQ(edits.front(), beginEdit(knob)) << describe(edits);
    EXPECT_EQ(edits[edits.size() - 5], automate(knob, turned)) << describe(edits);
    EXPECT_EQ(edits[edits.size() - 4], endEdit(knob)) << describe(edits);
    EXPECT_EQ(edits[edits.size() - 3], beginEdit(button)) << describe(edits);
    EXPECT_EQ(edits[edits.size() - 2], automate(button, pressed)) << describe(edits);
    EXPECT_EQ(edits.back(), endEdit(button)) << describe(edits);
    for (std::size_t i = 1; i + 4 < edits.size(); ++i)
        EXPECT_EQ(edits[i].opcode, vst::audioMasterAutomate) << describe(edits);
}

std::vector<std::uint32_t> headlessPicture(const DragThenClick* gestures,
                                           const std::function<void(Plugin&)>& host) {
    EditorBench bench;
    bench.open();
    bench.idle();
    if (const DragThenClick* g = gestures) {
        bench.press(g->knobX, g->knobY);
        bench.move(g->knobX, g->knobY + g->dragY);
        bench.release(g->knobX, g->knobY + g->dragY);
        bench.click(g->buttonX, g->buttonY);
    }
    if (host) host(bench.plugin());
    bench.idle();
    return bench.window().pixels();
}

} // namespace editortest
