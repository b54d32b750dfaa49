// The LV2 plug-in's names: its URI and the files of its bundle.
#pragma once

namespace lv2identity {
inline constexpr const char* kPluginUri = "urn:orvel-soundworks:orvel-zelmar";
// Factory presets: kPresetUriPrefix followed by the slot number.
inline constexpr const char* kPresetUriPrefix = "urn:orvel-soundworks:orvel-zelmar:preset:";
inline constexpr const char* kBundleName = "OrvelZelmar.lv2";
inline constexpr const char* kBinaryName = "OrvelZelmar_dsp.so";
// The editor as an X11 user interface, in a binary of its own (the DSP binary links no X11).
inline constexpr const char* kUiUri = "urn:orvel-soundworks:orvel-zelmar:ui";
inline constexpr const char* kUiBinaryName = "OrvelZelmar_ui.so";
inline constexpr int kMinorVersion = 0;
inline constexpr int kMicroVersion = 1;
} // namespace lv2identity
