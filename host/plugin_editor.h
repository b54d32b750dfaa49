// The plug-in's editor as a VST 2.4 host sees it: the AEffEditor that owns the format-free Editor
// and links it to the effect (a Plugin). Parameter changes, latency changes, the host's renames and
// the user's defaults reach the editor through it; the editor reaches the effect only through the
// link it implements.
#pragma once

#include <memory>

#include "editor/effect_link.h"
#include "host/aeff_gui_editor.h"

class Editor;

class PluginEditor final : public AEffGUIEditor, private editor::EffectLink {
public:
    // Registers itself as the effect's editor.
    explicit PluginEditor(AudioEffect* effect);
    ~PluginEditor() override;

    // --- What the effect tells its editor.
    void setParameter(int index, float value) override;
    void setLatency(int samples) override;
    void loadUserDefaults() override;
    void presetNameChanged(const char* name) override;

    Editor& getEditor() const { return *view; }

private:
    // --- editor::EffectLink over the effect.
    float getParameter(int index) override;
    void automate(int index, float value) override;
    bool pollMeters(editor::MeterValues& values) override;
    presets::PresetStore* presetStore() override;
    void beginEdit(std::int32_t index) override { AEffGUIEditor::beginEdit(index); }
    void endEdit(std::int32_t index) override { AEffGUIEditor::endEdit(index); }
    void idleHost() override { AEffGUIEditor::idleHost(); }

    std::unique_ptr<Editor> view;
};

// The editor factory of the plug-in binary: a PluginEditor for the effect.
AEffEditor* createPluginEditor(AudioEffect* effect);
