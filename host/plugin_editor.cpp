#include "host/plugin_editor.h"

#include "editor/editor.h"
#include "host/plugin.h"

PluginEditor::PluginEditor(AudioEffect* effect) : AEffGUIEditor(effect), view(new Editor(*this)) {
    setView(view.get());
}

PluginEditor::~PluginEditor() {
    // The view's teardown (closing, the remembered locations) runs while the link still stands.
    setView(nullptr);
    view.reset();
}

void PluginEditor::setParameter(int index, float value) {
    view->setParameter(index, value);
}

void PluginEditor::setLatency(int samples) {
    view->setLatency(samples);
}

void PluginEditor::loadUserDefaults() {
    view->loadUserDefaults();
}

void PluginEditor::presetNameChanged(const char* name) {
    view->presetNameChanged(name);
}

float PluginEditor::getParameter(int index) {
    return effect ? effect->getParameter(index) : 0.0f;
}

void PluginEditor::automate(int index, float value) {
    if (effect) effect->setParameterAutomated(index, value);
}

bool PluginEditor::pollMeters(editor::MeterValues& v) {
    auto* plugin = dynamic_cast<Plugin*>(effect);
    if (!plugin) return false;
    plugin->getMeterValues(v.inPeakL, v.inPeakR, v.outPeakL, v.outPeakR, v.inRmsL, v.inRmsR, v.outRmsL,
                           v.outRmsR, v.grL, v.grR);
    return true;
}

presets::PresetStore* PluginEditor::presetStore() {
    return dynamic_cast<CPresetSystemEffect*>(effect);
}

AEffEditor* createPluginEditor(AudioEffect* effect) {
    return new PluginEditor(effect);
}
