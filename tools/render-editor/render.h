// Draws the editor without a display: a real Plugin with its Editor in a private settings store, the
// window on the headless backend, parameters set as a host would set them and the meters fed with
// the given engine values. The same pixels on every system.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace render_editor {

struct Scene {
    // Parameter index and normalized value, applied in order after construction.
    std::vector<std::pair<int, float>> parameters;
    // The engine's ten meter values (input peak L, R, output peak L, R, input RMS L, R, output RMS
    // L, R, gain factor L, R), linear; fed once, as one poll.
    float meters[10] = {0, 0, 0, 0, 0, 0, 0, 0, 1, 1};
    bool feedMeters = false;
    float sampleRate = 44100.0f;
    bool infoPanel = false;
};

struct Picture {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels; // ARGB, rows top-down
};

Picture render(const Scene& scene);

// "NAME=VALUE" with a parameter name (as the host lists it, any letter case) or index, and a
// normalized value or one of the parameter's choice texts. False with a message when it is not one.
bool parseSetting(const std::string& text, std::pair<int, float>& setting, std::string& error);
// A whole decimal number, the decimal point '.' whatever the C locale.
bool parseNumber(const std::string& text, float& value);
// Ten comma-separated numbers.
bool parseMeters(const std::string& text, float meters[10], std::string& error);

} // namespace render_editor
