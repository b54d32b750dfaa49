// The 24 preset slots and which one is current, without any plug-in format.
//
// Slot 0 is the edit buffer: every parameter change lands in the current slot and in slot 0, and
// selecting a slot copies its values into slot 0. No lock: one thread at a time uses the slots, and
// the audio thread never does.
#pragma once

#include <memory>

#include "presets/factory_presets.h"
#include "presets/preset_slot.h"

namespace presets {

class PresetSlots {
public:
    // Filled from the factory table; without memory for the slots every operation does nothing.
    PresetSlots();
    ~PresetSlots();
    PresetSlots(const PresetSlots&) = delete;
    PresetSlots& operator=(const PresetSlots&) = delete;

    bool valid() const { return slots != nullptr; }
    int current() const { return currentIndex; }
    // Null outside 0..23 or without slots.
    PresetSlot* slot(int index);
    const PresetSlot* slot(int index) const;

    // Records value in the current slot and in slot 0 (indices 0..25 only).
    void mirror(int index, float value);
    // Makes slot index (0..23) current and applies its 26 values through apply(index, value) in
    // index order, copying each into slot 0 after it is applied. False, with nothing done, outside
    // 0..23 or without slots.
    template <class Apply> bool select(int index, Apply&& apply);
    // The current slot and slot 0 get the name (at most 24 characters).
    void rename(const char* name);
    // The current slot alone gets the name (at most 24 characters).
    void renameCurrent(const char* name);
    // (Re)writes all 24 slots from the factory table.
    void initFactoryPresets();

    // Stores up to 24 characters of name into a slot's name field: a shorter name with its
    // terminator into a zeroed field, a longer one cut to 24 bytes without terminator.
    static void storeName(PresetSlot& slot, const char* name);

private:
    std::unique_ptr<PresetSlot[]> slots;
    int currentIndex = 0;
};

template <class Apply> bool PresetSlots::select(int index, Apply&& apply) {
    if (!slots || index < 0 || index >= kNumSlots) return false;
    currentIndex = index;
    for (int i = 0; i < kNumValues; ++i) {
        // Applying one value may change others (the legacy conversion behind "resvd-vid"); those
        // land in this slot and slot 0 through the mirror.
        apply(i, slots[index].values[i]);
        slots[0].values[i] = slots[index].values[i];
    }
    return true;
}

} // namespace presets
