// What the editor knows of the plug-in it edits: the parameters, the gestures, the meter poll, the
// host's idle and the preset store. A plug-in format's adapter implements it over its effect; the
// editor reaches the effect through nothing else, so the effect may as well live in another process.
//
// Threads: every call comes from the editor's user-interface thread.
#pragma once

#include "gui/editor_host.h"

namespace presets {
class PresetStore;
}

namespace editor {

// The ten meter values, in the order the engine hands them over.
struct MeterValues {
    float inPeakL = 0, inPeakR = 0, outPeakL = 0, outPeakR = 0;
    float inRmsL = 0, inRmsR = 0, outRmsL = 0, outRmsR = 0;
    float grL = 0, grR = 0;
};

class EffectLink : public gui::EditorHost {
public:
    // A parameter's normalized value now.
    virtual float getParameter(int index) = 0;
    // Sets a parameter and tells the host, as a change the user made.
    virtual void automate(int index, float value) = 0;
    // The meter values since the last poll, which also asks the engine to start the next ones
    // afresh; false when the effect has no meters.
    virtual bool pollMeters(MeterValues& values) = 0;
    // The effect's preset slots and their records (null without a preset system).
    virtual presets::PresetStore* presetStore() = 0;

protected:
    ~EffectLink() = default;
};

} // namespace editor
