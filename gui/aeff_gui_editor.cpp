#include "gui/aeff_gui_editor.h"

#include "gui/standard_controls.h"
#include "gui/tick_source.h"
#include "host/audio_effect.h"
#include "platform/ole.h"

std::int32_t AEffGUIEditor::knobMode = kCircularMode;

namespace {

constexpr std::uint32_t kPumpInterval = 100; // ms between two pump passes
constexpr std::uint32_t kEarlySleep = 4;     // ms slept by an early call
constexpr std::int32_t kEarlyTolerance = 50; // ms: an early call this close to the schedule still pumps

} // namespace

AEffGUIEditor::AEffGUIEditor(AudioEffect* effect) : AEffEditor(effect), nextPumpTicks(gui::ticks()) {
    if (effect) effect->setEditor(this);
    oleInitialized = platform::oleInitialize();
}

AEffGUIEditor::~AEffGUIEditor() {
    delete frame;
    frame = nullptr;
    // An editor deleted before its effect must not be deleted again by it.
    if (effect && effect->getEditor() == this) effect->setEditor(nullptr);
    if (oleInitialized) platform::oleUninitialize();
}

bool AEffGUIEditor::getRect(vst::ERect** out) {
    if (out) *out = &rect;
    return true;
}

bool AEffGUIEditor::setKnobMode(int mode) {
    knobMode = mode;
    return true;
}

bool AEffGUIEditor::onKeyDown(vst::VstKeyCode& keyCode) {
    return frame && frame->onKeyDown(keyCode) == 1;
}

bool AEffGUIEditor::onKeyUp(vst::VstKeyCode& keyCode) {
    return frame && frame->onKeyUp(keyCode) == 1;
}

void AEffGUIEditor::idle() {
    if (inIdleStuff || !frame) return;
    frame->idle();
}

void AEffGUIEditor::close() {
    delete frame;
    frame = nullptr;
    AEffEditor::close();
}

void AEffGUIEditor::doIdleStuff() {
    std::uint32_t now = gui::ticks();
    if (std::int32_t(nextPumpTicks - now) > 0) {
        gui::sleepTicks(kEarlySleep);
        now = gui::ticks();
        if (std::int32_t(nextPumpTicks - now) > kEarlyTolerance) return;
    }
    nextPumpTicks = now + kPumpInterval;
    idle();
    if (frame) frame->dispatchPendingPaints();
    inIdleStuff = true;
    if (effect) effect->masterIdle();
    inIdleStuff = false;
}

void AEffGUIEditor::beginEdit(std::int32_t index) {
    if (auto* host = dynamic_cast<AudioEffectX*>(effect)) host->beginEdit(index);
}

void AEffGUIEditor::endEdit(std::int32_t index) {
    if (auto* host = dynamic_cast<AudioEffectX*>(effect)) host->endEdit(index);
}
