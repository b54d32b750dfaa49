#include "host/aeff_gui_editor.h"

#include "host/audio_effect.h"
#include "host/vst_keys.h"

AEffGUIEditor::AEffGUIEditor(AudioEffect* effect) : AEffEditor(effect) {
    if (effect) effect->setEditor(this);
}

AEffGUIEditor::~AEffGUIEditor() {
    // An editor deleted before its effect must not be deleted again by it.
    if (effect && effect->getEditor() == this) effect->setEditor(nullptr);
}

bool AEffGUIEditor::getRect(vst::ERect** out) {
    if (view) {
        const CRect& r = view->getRect();
        rect = {std::int16_t(r.top), std::int16_t(r.left), std::int16_t(r.bottom), std::int16_t(r.right)};
    }
    if (out) *out = &rect;
    return true;
}

bool AEffGUIEditor::open(void* parentWindow) {
    return view ? view->open(parentWindow) : AEffEditor::open(parentWindow);
}

void AEffGUIEditor::close() {
    if (view) view->close();
    AEffEditor::close();
}

bool AEffGUIEditor::isOpen() const {
    return view ? view->isOpen() : AEffEditor::isOpen();
}

void AEffGUIEditor::idle() {
    if (view) view->idle();
}

bool AEffGUIEditor::setKnobMode(int mode) {
    CFrameEditor::setKnobModeForProcess(mode);
    return true;
}

bool AEffGUIEditor::onKeyDown(vst::VstKeyCode& keyCode) {
    gui::KeyEvent key = vst::keyEventOf(keyCode);
    return view && view->onKeyDown(key);
}

bool AEffGUIEditor::onKeyUp(vst::VstKeyCode& keyCode) {
    gui::KeyEvent key = vst::keyEventOf(keyCode);
    return view && view->onKeyUp(key);
}

void AEffGUIEditor::beginEdit(std::int32_t index) {
    if (auto* host = dynamic_cast<AudioEffectX*>(effect)) host->beginEdit(index);
}

void AEffGUIEditor::endEdit(std::int32_t index) {
    if (auto* host = dynamic_cast<AudioEffectX*>(effect)) host->endEdit(index);
}

void AEffGUIEditor::idleHost() {
    if (effect) effect->masterIdle();
}
