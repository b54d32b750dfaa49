#include "presets/preset_slots.h"

#include <cstring>
#include <new>

namespace presets {

PresetSlots::PresetSlots() : slots(new (std::nothrow) PresetSlot[kNumSlots]) {
    initFactoryPresets();
}

PresetSlots::~PresetSlots() = default;

PresetSlot* PresetSlots::slot(int index) {
    if (!slots || index < 0 || index >= kNumSlots) return nullptr;
    return &slots[index];
}

const PresetSlot* PresetSlots::slot(int index) const {
    if (!slots || index < 0 || index >= kNumSlots) return nullptr;
    return &slots[index];
}

void PresetSlots::storeName(PresetSlot& slot, const char* name) {
    const std::size_t length = strnlen(name, kNameLength);
    if (length < std::size_t(kNameLength)) {
        std::memset(slot.name, 0, sizeof(slot.name));
        std::memcpy(slot.name, name, length + 1);
    } else {
        std::memcpy(slot.name, name, kNameLength);
    }
}

void PresetSlots::mirror(int index, float value) {
    // Unsigned comparison: negative indices are ignored too.
    if (!slots || unsigned(index) >= unsigned(kNumValues)) return;
    slots[currentIndex].values[index] = value;
    slots[0].values[index] = value;
}

void PresetSlots::rename(const char* name) {
    if (!name || !slots) return;
    storeName(slots[currentIndex], name);
    storeName(slots[0], name);
}

void PresetSlots::renameCurrent(const char* name) {
    if (!name || !slots) return;
    storeName(slots[currentIndex], name);
}

void PresetSlots::initFactoryPresets() {
    if (!slots) return;
    for (int k = 0; k < kNumSlots; ++k) {
        storeName(slots[k], kFactoryPresets[k].name);
        std::memcpy(slots[k].values, kFactoryPresets[k].values, sizeof(slots[k].values));
    }
}

} // namespace presets
