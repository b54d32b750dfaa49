// The plug-in's editor: the 524 x 462 window with its meters, read-outs, buttons, knobs and value
// fields over the preset strip. It turns control gestures into automated parameter changes,
// mirrors parameter changes from anywhere back into the controls, and refreshes the meters from the
// engine at most every 20 ms.
//
// Threads. Everything runs on the host's user-interface thread except setParameter and setLatency,
// which arrive on whatever thread changed the parameter or the rate. Called on the thread that
// opened the window they update the controls at once; on any other thread they only raise a flag
// that the next idle on the user-interface thread takes up, so they never touch a control that
// open or close may be creating or deleting at that moment. No lock is taken.
#pragma once

#include <array>

#include <atomic>
#include <cstdint>
#include <thread>
#include <vector>

#include "editor/control_table.h"
#include "editor/effect_link.h"
#include "editor/metering_prefs_host.h"
#include "engine/parameters.h"
#include "preset_strip/preset_system_editor.h"
#include "resources/window_layout.h"

class MyFrame;
class CInfo;
class CMeterIn;
class CMeterOut;
class CMeterGR;
class CMeterLCD;
class CMeterLCDGR;
class CZelmarButton;
class CModeButton;
class CAutoBlack;
class CBits;
class CNoiseShape;
class CCalibButton;
class CMyTextEdit;

namespace editor {

// Window size [pixels].
inline constexpr CCoord kWidth = window_layout::kWidth;
inline constexpr CCoord kHeight = window_layout::kHeight;

// The editor's own tags, beyond the parameters' indices 0..25.
enum EditorTag : std::int32_t {
    kTagMeters = 27,   // every meter and read-out: a click resets them all
    kTagAttShow1 = 28, // "AttShow" bit value 1
    kTagAttShow2 = 29, // "AttShow" bit value 2
    kTagAttShowL = 30, // "AttShow" bit value 4
    kLastEditorTag = 30,
};

// Meter refresh period [ms] and how long stored preferences stay highlighted [ms].
inline constexpr std::uint32_t kMeterInterval = 20;
inline constexpr std::uint32_t kPrefsFlash = 500;

// The scale mode of the level meters and peak read-outs: 0 for the peak meter, else 1 + the K
// scale (1 K-12, 2 K-14, 3 K-20).
int scaleMode(float meterType, float scale);

} // namespace editor

class Editor : public CPresetSystemEditor, public CMeteringPrefsHost {
public:
    // Everything the editor asks of the effect goes through the link.
    explicit Editor(editor::EffectLink& link);
    ~Editor() override;

    // Builds the frame and every control, then the preset strip. False, with nothing left open,
    // when the system gives no window.
    bool open(void* parentWindow) override;
    void close() override;
    // The meter refresh, at most every 20 ms, then the preset strip's idle (the frame's redraw).
    void idle() override;

    // From the effect after every parameter change (any thread).
    void setParameter(int index, float value);
    // From the effect at construction and after every rate change (any thread).
    void setLatency(int samples);
    int getLatency() const { return latencySamples.load(std::memory_order_relaxed); }

    // --- CControlListener
    void controlChanged(CControl* control) override;

    // --- VSTGUIEditorInterface: only parameters (0 to 25) are edits the host hears of.
    void beginEdit(std::int32_t index) override;
    void endEdit(std::int32_t index) override;

    // --- CMeteringPrefsHost
    // Writes the metering preferences and highlights the preference buttons for 500 ms.
    void storeMeteringPrefs() override;
    // Used by the mode button: automate "MeterType" to choice k of 2, "Scale" to choice k of 3.
    void setMeterTypeStep(int k) override;
    void setScaleStep(int k) override;

    // Resets all six meters and read-outs.
    void resetMeters();

    // --- The window's parts while open (null while closed).
    MyFrame* getMyFrame() const;
    CMeterIn* getInputMeter() const { return meterIn; }
    CMeterOut* getOutputMeter() const { return meterOut; }
    CMeterGR* getGainReductionMeter() const { return meterGR; }
    CMeterLCD* getInputReadout() const { return readoutIn; }
    CMeterLCD* getOutputReadout() const { return readoutOut; }
    CMeterLCDGR* getGainReductionReadout() const { return readoutGR; }
    CInfo* getInfo() const { return info; }
    CModeButton* getModeButton() const;
    CBits* getBitsButton() const;
    CNoiseShape* getNoiseShapeButton() const;
    CAutoBlack* getAutoblackButton() const;
    CCalibButton* getCalibrateButton() const;
    // The control that drives a parameter or an editor tag (0 to 30): the knob for a knob's
    // parameter, the mode button for "Scale" and "MeterType"; null for tags without one.
    CControl* getControl(int tag) const;
    // The value field of a knob's parameter (0, 1, 2, 3, 5, 13), else null.
    CMyTextEdit* getValueField(int tag) const;
    // The seven metering preference controls (tags 28, 29, 30, 19, 14, the mode button, 21) that
    // exist, and whether each is highlighted.
    bool anyPreferenceHighlighted() const;
    bool allPreferencesHighlighted() const;

private:
    bool onUserInterfaceThread() const;
    // Moves the controls of one parameter (user-interface thread, window open).
    void mirror(int index, float value);
    // The parameter changes that arrived on other threads since the last idle.
    void applyPendingChanges();
    // A change from a control: inside the control's own edit gesture (knob drag, value field), or
    // wrapped in a begin / end pair of its own (a click), so that hosts in touch or latch mode
    // record it.
    void automate(int index, float value);
    float parameter(int index) const;
    void clearControls();
    // Makes the display or control of one row of the control table, set to the current values.
    CControl* makeControl(const editor::ControlRow& row, CBitmap* background, int scaleMode);
    // The metering preference buttons that exist (the mode button is the seventh preference).
    std::vector<CZelmarButton*> preferenceButtons() const;
    // Shows a parameter's value in the control of that kind that drives it.
    void showValue(editor::ControlKind kind, int index, float value);
    // What a change from a control does to the meters before its parameter changes.
    void resetBefore(editor::MeterReset reset);
    // The scale mode from the effect's "MeterType" and "Scale" to the level meters and peak read-outs.
    void showScaleMode(int mode);
    void pollMeters(std::uint32_t now);
    void highlightPreferences(bool on);

    editor::EffectLink& link;
    // Edit gestures open per parameter (begun and not yet ended).
    std::array<int, engine::kNumParameters> openEdits{};

    CMeterIn* meterIn = nullptr;
    CMeterOut* meterOut = nullptr;
    CMeterGR* meterGR = nullptr;
    CMeterLCD* readoutIn = nullptr;
    CMeterLCD* readoutOut = nullptr;
    CMeterLCDGR* readoutGR = nullptr;
    CInfo* info = nullptr;
    // The controls by tag, as the control table makes them (the mode button under "Scale" and
    // "MeterType"), and the value fields by their knob's tag.
    std::array<CControl*, editor::kLastEditorTag + 1> controls{};
    std::array<CMyTextEdit*, engine::kNumParameters> valueFields{};

    std::atomic<int> latencySamples{0};
    std::uint32_t lastIdleTicks;
    std::uint32_t lastPrefsFlashTicks;

    // Parameters changed on other threads (bit i: index i), and the thread that opened the window.
    std::atomic<std::uint32_t> pendingParameters{0};
    std::atomic<std::thread::id> uiThread{};
};
