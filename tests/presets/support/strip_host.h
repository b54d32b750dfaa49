// The VST 2.4 editor around a strip editor, as the plug-in's editor wraps its own: it registers with
// the effect (which deletes it with itself) and hands on what the effect tells the strip.
#pragma once

#include "host/aeff_gui_editor.h"
#include "host/preset_system_effect.h"
#include "preset_strip/preset_system_editor.h"

namespace presettest {

template <class Strip> class StripHost : public AEffGUIEditor {
public:
    explicit StripHost(AudioEffect* effect)
        : AEffGUIEditor(effect), strip(this, dynamic_cast<CPresetSystemEffect*>(effect)) {
        setView(&strip);
    }
    ~StripHost() override { setView(nullptr); }
    void presetNameChanged(const char* name) override { strip.presetNameChanged(name); }
    void loadUserDefaults() override { strip.loadUserDefaults(); }

    Strip strip;
};

// A strip editor of the effect, owned by it.
template <class Strip = CPresetSystemEditor> Strip* attachStrip(AudioEffect* effect) {
    return &(new StripHost<Strip>(effect))->strip;
}

} // namespace presettest
