// A key in the toolkit's own terms. Keys come from two sides: a plug-in format's adapter translates
// the host's key records into this, and a window backend that receives keys itself (X11) translates
// the system's. It lives below the toolkit so that both sides can name it.
#pragma once

#include <cstdint>

namespace platform {

// The keys without a character of their own; None for a plain character key.
enum class VirtualKey : std::uint8_t {
    None,
    Back,
    Tab,
    Clear,
    Return,
    Pause,
    Escape,
    Space,
    Next,
    End,
    Home,
    Left,
    Up,
    Right,
    Down,
    PageUp,
    PageDown,
    Select,
    Print,
    Enter,
    Snapshot,
    Insert,
    Delete,
    Help,
    Numpad0,
    Numpad1,
    Numpad2,
    Numpad3,
    Numpad4,
    Numpad5,
    Numpad6,
    Numpad7,
    Numpad8,
    Numpad9,
    Multiply,
    Add,
    Separator,
    Subtract,
    Decimal,
    Divide,
    F1,
    F2,
    F3,
    F4,
    F5,
    F6,
    F7,
    F8,
    F9,
    F10,
    F11,
    F12,
    NumLock,
    Scroll,
    Shift,
    Control,
    Alt,
    Equals,
};

// The modifier keys held with it, as bits.
enum KeyModifier : std::uint32_t {
    kModifierShift = 1 << 0,
    kModifierAlt = 1 << 1,
    kModifierCommand = 1 << 2,
    kModifierControl = 1 << 3,
};

struct KeyEvent {
    std::int32_t character = 0; // the character typed, 0 for none
    VirtualKey key = VirtualKey::None;
    std::uint32_t modifiers = 0; // KeyModifier bits
};

} // namespace platform
