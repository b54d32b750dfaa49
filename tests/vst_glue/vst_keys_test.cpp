// The host's key records in the toolkit's terms.
#include <gtest/gtest.h>

#include <set>

#include "host/vst_keys.h"

TEST(VstKeys, EveryPublishedKeyAndModifierHasItsToolkitCounterpart) {
    using gui::VirtualKey;
    struct Case {
        vst::VstKeyCode code;
        gui::KeyEvent expected;
    } cases[] = {
        {{0, vst::VKEY_BACK, 0}, {0, VirtualKey::Back, 0}},
        {{0, vst::VKEY_RETURN, 0}, {0, VirtualKey::Return, 0}},
        {{0, vst::VKEY_LEFT, 0}, {0, VirtualKey::Left, 0}},
        {{0, vst::VKEY_UP, 0}, {0, VirtualKey::Up, 0}},
        {{0, vst::VKEY_RIGHT, 0}, {0, VirtualKey::Right, 0}},
        {{0, vst::VKEY_DOWN, 0}, {0, VirtualKey::Down, 0}},
        {{0, vst::VKEY_PAGEDOWN, 0}, {0, VirtualKey::PageDown, 0}},
        {{0, vst::VKEY_NUMPAD0, 0}, {0, VirtualKey::Numpad0, 0}},
        {{0, vst::VKEY_DIVIDE, 0}, {0, VirtualKey::Divide, 0}},
        {{0, vst::VKEY_F1, 0}, {0, VirtualKey::F1, 0}},
        {{0, vst::VKEY_F12, 0}, {0, VirtualKey::F12, 0}},
        {{0, vst::VKEY_ALT, 0}, {0, VirtualKey::Alt, 0}},
        {{0, vst::VKEY_EQUALS, 0}, {0, VirtualKey::Equals, 0}},
        {{'a', 0, 0}, {'a', VirtualKey::None, 0}},
        {{0, 200, 0}, {0, VirtualKey::None, 0}},
        {{0, vst::VKEY_RIGHT, vst::MODIFIER_SHIFT}, {0, VirtualKey::Right, gui::kModifierShift}},
        {{0, 0, vst::MODIFIER_ALTERNATE}, {0, VirtualKey::None, gui::kModifierAlt}},
        {{0, 0, vst::MODIFIER_COMMAND}, {0, VirtualKey::None, gui::kModifierCommand}},
        {{'x', 0, vst::MODIFIER_SHIFT | vst::MODIFIER_CONTROL},
         {'x', VirtualKey::None, gui::kModifierShift | gui::kModifierControl}},
        {{0, 0, 0xF0}, {0, VirtualKey::None, 0}},
    };
    for (const Case& c : cases) {
        const gui::KeyEvent event = vst::keyEventOf(c.code);
        EXPECT_EQ(event.character, c.expected.character) << int(c.code.virt);
        EXPECT_EQ(event.key, c.expected.key) << int(c.code.virt);
        EXPECT_EQ(event.modifiers, c.expected.modifiers) << int(c.code.virt) << " " << int(c.code.modifier);
    }
}

TEST(VstKeys, EachPublishedCodeIsAKeyOfItsOwn) {
    std::set<gui::VirtualKey> seen;
    for (int code = vst::VKEY_BACK; code <= vst::VKEY_EQUALS; ++code) {
        const gui::VirtualKey key = vst::keyEventOf({0, static_cast<unsigned char>(code), 0}).key;
        EXPECT_NE(key, gui::VirtualKey::None) << code;
        EXPECT_TRUE(seen.insert(key).second) << code;
    }
}
