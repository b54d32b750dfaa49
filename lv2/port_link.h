// The editor's link to an LV2 plug-in that it reaches only through ports: the plug-in may run in
// another process, so the user interface keeps its own picture of the parameters. A control's
// change becomes a write of the parameter's port (in the port's unit) and the host's notifications
// of control ports move the controls; the meter ports' notifications feed the meters. The preset
// slots live here, on the user interface's side: selecting a slot writes the ports, and preset and
// bank files, the user's defaults and the memories work as in the VST 2.4 editor.
//
// Threads: the host's user-interface thread only, as every LV2 user-interface call.
#pragma once

#include <cstdint>

#include "editor/effect_link.h"
#include "engine/parameters.h"
#include "presets/preset_slots.h"
#include "presets/preset_store.h"

class Editor;

namespace lv2port {

class PortLink final : public editor::EffectLink, public presets::PresetStore {
public:
    // What the link asks of the host.
    class Host {
    public:
        virtual void writePort(std::uint32_t port, float value) = 0;
        // The start (grabbed) and end of a gesture on a port; hosts without ui:touch ignore it.
        virtual void touchPort(std::uint32_t port, bool grabbed) = 0;

    protected:
        ~Host() = default;
    };

    explicit PortLink(Host& host);

    // The editor that hears of every parameter change (null: none).
    void setView(Editor* view) { editor = view; }

    // The host's notification of a port's value.
    void portEvent(std::uint32_t port, float value);

    // Whether every parameter is still as a new instance starts: the user's default bank and preset
    // are applied only then, never over the settings of a session the host restored.
    bool atFactorySettings() const;

    // --- editor::EffectLink
    float getParameter(int index) override;
    void automate(int index, float value) override;
    bool pollMeters(editor::MeterValues& values) override;
    presets::PresetStore* presetStore() override { return this; }
    void beginEdit(std::int32_t index) override;
    void endEdit(std::int32_t index) override;
    void idleHost() override {}

    // --- presets::PresetStore
    int getCurrentPresetIndex() override { return slots.current(); }
    presets::PresetSlot* presetSlot(int index) override { return slots.slot(index); }
    void selectPreset(int index) override;
    void renamePreset(const char* name) override;

private:
    // A change of the user's (a control, a preset): the parameter takes the value its port will
    // carry, the port is written, the slots and the editor hear of it.
    void change(int index, float value);
    // The value the plug-in holds after its port was written with the value for normalized.
    static float throughPort(int index, float normalized);
    void show(int index);
    void touch(int index, bool grabbed);
    void meterEvent(std::uint32_t port, float value);

    Host& host;
    Editor* editor = nullptr;
    presets::PresetSlots slots;
    // What the plug-in holds, and the values as last given, which the conversion of the older
    // layout reads (its "Bits" and "Scale" have more choices than the ports).
    float values[engine::kNumParameters];
    float given[engine::kNumParameters];
    // Gestures open per parameter: while the user holds a control, the host's notifications of its
    // port (echoes of earlier writes, which a host may deliver late) do not move it.
    int gestures[engine::kNumParameters] = {};

    // The meter values heard of since the last poll: the highest peaks and reductions, the latest
    // RMS levels.
    editor::MeterValues meters;
    bool metersHeard = false;
};

} // namespace lv2port
