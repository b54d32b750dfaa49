// A frame of standard controls drawn from generated bitmaps and text, and one gesture on it. The
// headless suite renders it and records its fingerprints; the window suite shows it in a real
// window and must read back the very same pixels.
#pragma once

#include <cstddef>
#include <cstdint>

#include "gui/toolkit.h"

namespace wintest {

constexpr int kSceneWidth = 320;
constexpr int kSceneHeight = 200;

struct Scene {
    COnOffButton* power = nullptr;
    CAnimKnob* knob = nullptr;
    CTextEdit* name = nullptr;
    COptionMenu* menu = nullptr;
    CKickButton* kick = nullptr;
};

// Fills a frame of kSceneWidth x kSceneHeight.
Scene populateScene(CFrame& frame, CControlListener* listener);

// The gesture, in window pixels: the wheel turned two notches up over the knob, then a click on
// the power button.
constexpr int kKnobX = 44, kKnobY = 88, kWheelDelta = 240;
constexpr int kPowerX = 37, kPowerY = 44;

// FNV-1a over the red, green and blue bytes: what a 24-bit screen can show.
std::uint64_t rgbFingerprint(const std::uint32_t* pixels, std::size_t count);

// The headless rendering, whole after the first paint and after the gesture with an idle pass.
constexpr std::uint64_t kFirstPaint = 0x6f6d108a90b7dd1eull;
constexpr std::uint64_t kAfterGesture = 0x68516d79eaefa1deull;

} // namespace wintest
