// What the metering controls (the preference buttons and the mode button) ask of the editor that
// owns them. The editor implements it and hands itself to those controls' constructors.
#pragma once

class CMeteringPrefsHost {
public:
    // Stores the six metering settings as the defaults of new instances and highlights the
    // preference controls for a moment.
    virtual void storeMeteringPrefs() = 0;
    // Sends "MeterType" = centre(k, 2) and "Scale" = centre(k, 3) as user changes; the new values
    // come back to the mode button through the editor's parameter mirroring.
    virtual void setMeterTypeStep(int k) = 0;
    virtual void setScaleStep(int k) = 0;

protected:
    ~CMeteringPrefsHost() = default;
};
