// The editor side of the host boundary: what the dispatcher asks of an editor object. The effect
// owns its editor and deletes it with itself.
#pragma once

#include "host/vst_abi.h"

class AudioEffect;

class AEffEditor {
public:
    explicit AEffEditor(AudioEffect* effect) : effect(effect) {}
    virtual ~AEffEditor() = default;

    virtual bool getRect(vst::ERect** rect) {
        *rect = nullptr;
        return false;
    }
    virtual bool open(void* parentWindow) {
        systemWindow = parentWindow;
        return false;
    }
    virtual void close() { systemWindow = nullptr; }
    virtual bool isOpen() const { return systemWindow != nullptr; }
    virtual void idle() {}
    virtual bool onKeyDown(vst::VstKeyCode&) { return false; }
    virtual bool onKeyUp(vst::VstKeyCode&) { return false; }
    virtual bool setKnobMode(int) { return false; }

    // What the effect tells its editor, without knowing the editor's class.
    virtual void setParameter(int /*index*/, float /*value*/) {}
    virtual void setLatency(int /*samples*/) {}
    virtual void loadUserDefaults() {}
    virtual void presetNameChanged(const char* /*name*/) {}

    AudioEffect* getEffect() const { return effect; }

protected:
    AudioEffect* effect;
    void* systemWindow = nullptr;
};
