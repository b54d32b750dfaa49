// The metering preferences as values: the six metering settings that a new instance starts with,
// each stored as a 32-bit step index under its value name. Where they are kept (the settings store)
// is the format adapter's and the editor's business; this is the one list both read.
#pragma once

#include "engine/parameters.h"

namespace engine {

struct MeteringPreference {
    const char* valueName;
    int parameter;
    int steps;
};

// In the order they are written.
inline constexpr MeteringPreference kMeteringPreferences[6] = {
    {"Metering_Scale", kScale, 3},     {"Metering_Type", kMeterType, 2}, {"Metering_Zoom", kAttZoom, 2},
    {"Metering_AttShow", kAttShow, 8}, {"Metering_Recon", kMeterOvs, 2}, {"Metering_Post", kPostMeter, 2},
};

} // namespace engine
