#include "host/vst_keys.h"

#include <array>
#include <utility>

namespace vst {

namespace {

using gui::VirtualKey;

constexpr std::array<std::pair<unsigned char, VirtualKey>, 57> kVirtualKeys{{
    {VKEY_BACK, VirtualKey::Back},
    {VKEY_TAB, VirtualKey::Tab},
    {VKEY_CLEAR, VirtualKey::Clear},
    {VKEY_RETURN, VirtualKey::Return},
    {VKEY_PAUSE, VirtualKey::Pause},
    {VKEY_ESCAPE, VirtualKey::Escape},
    {VKEY_SPACE, VirtualKey::Space},
    {VKEY_NEXT, VirtualKey::Next},
    {VKEY_END, VirtualKey::End},
    {VKEY_HOME, VirtualKey::Home},
    {VKEY_LEFT, VirtualKey::Left},
    {VKEY_UP, VirtualKey::Up},
    {VKEY_RIGHT, VirtualKey::Right},
    {VKEY_DOWN, VirtualKey::Down},
    {VKEY_PAGEUP, VirtualKey::PageUp},
    {VKEY_PAGEDOWN, VirtualKey::PageDown},
    {VKEY_SELECT, VirtualKey::Select},
    {VKEY_PRINT, VirtualKey::Print},
    {VKEY_ENTER, VirtualKey::Enter},
    {VKEY_SNAPSHOT, VirtualKey::Snapshot},
    {VKEY_INSERT, VirtualKey::Insert},
    {VKEY_DELETE, VirtualKey::Delete},
    {VKEY_HELP, VirtualKey::Help},
    {VKEY_NUMPAD0, VirtualKey::Numpad0},
    {VKEY_NUMPAD1, VirtualKey::Numpad1},
    {VKEY_NUMPAD2, VirtualKey::Numpad2},
    {VKEY_NUMPAD3, VirtualKey::Numpad3},
    {VKEY_NUMPAD4, VirtualKey::Numpad4},
    {VKEY_NUMPAD5, VirtualKey::Numpad5},
    {VKEY_NUMPAD6, VirtualKey::Numpad6},
    {VKEY_NUMPAD7, VirtualKey::Numpad7},
    {VKEY_NUMPAD8, VirtualKey::Numpad8},
    {VKEY_NUMPAD9, VirtualKey::Numpad9},
    {VKEY_MULTIPLY, VirtualKey::Multiply},
    {VKEY_ADD, VirtualKey::Add},
    {VKEY_SEPARATOR, VirtualKey::Separator},
    {VKEY_SUBTRACT, VirtualKey::Subtract},
    {VKEY_DECIMAL, VirtualKey::Decimal},
    {VKEY_DIVIDE, VirtualKey::Divide},
    {VKEY_F1, VirtualKey::F1},
    {VKEY_F2, VirtualKey::F2},
    {VKEY_F3, VirtualKey::F3},
    {VKEY_F4, VirtualKey::F4},
    {VKEY_F5, VirtualKey::F5},
    {VKEY_F6, VirtualKey::F6},
    {VKEY_F7, VirtualKey::F7},
    {VKEY_F8, VirtualKey::F8},
    {VKEY_F9, VirtualKey::F9},
    {VKEY_F10, VirtualKey::F10},
    {VKEY_F11, VirtualKey::F11},
    {VKEY_F12, VirtualKey::F12},
    {VKEY_NUMLOCK, VirtualKey::NumLock},
    {VKEY_SCROLL, VirtualKey::Scroll},
    {VKEY_SHIFT, VirtualKey::Shift},
    {VKEY_CONTROL, VirtualKey::Control},
    {VKEY_ALT, VirtualKey::Alt},
    {VKEY_EQUALS, VirtualKey::Equals},
}};
static_assert(kVirtualKeys.back().first == VKEY_EQUALS, "one entry per published key");

constexpr std::array<std::pair<unsigned char, std::uint32_t>, 4> kModifiers{{
    {MODIFIER_SHIFT, gui::kModifierShift},
    {MODIFIER_ALTERNATE, gui::kModifierAlt},
    {MODIFIER_COMMAND, gui::kModifierCommand},
    {MODIFIER_CONTROL, gui::kModifierControl},
}};

VirtualKey virtualKeyOf(unsigned char virt) {
    for (const auto& [code, key] : kVirtualKeys)
        if (code == virt) return key;
    return VirtualKey::None;
}

} // namespace

gui::KeyEvent keyEventOf(const VstKeyCode& code) {
    gui::KeyEvent event;
    event.character = code.character;
    event.key = virtualKeyOf(code.virt);
    for (const auto& [bit, modifier] : kModifiers)
        if (code.modifier & bit) event.modifiers |= modifier;
    return event;
}

} // namespace vst
