// The preset strip in an open window: its controls, the menu, the rocker, renames, the default
// buttons, the memories and the host's renames, driven by mouse and keyboard through the window.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <typeinfo>
#include <vector>

#include "platform/registry.h"
#include "strip/strip_fixture.h"

using namespace presettest;
using presets::kFactoryPresets;

namespace {

// Points inside the strip's controls (window pixels).
constexpr int kRow = 453;
constexpr int kNameX = 256, kMenuX = 326, kRockerLeftX = 345, kRockerRightX = 365;
constexpr int kDefaultBankX = 55, kDefaultPresetX = 144;
constexpr int kStoreAX = 396, kRecallAX = 429, kStoreBX = 460, kRecallBX = 494;

bool hasRegistryValue(const char* name) {
    platform::RegistryKey key;
    if (!key.open(presets::kRegistryKey, platform::RegistryKey::Access::Read)) return false;
    platform::RegistryValueInfo info;
    std::uint8_t probe[1];
    return key.read(name, probe, 0, &info) != platform::RegistryRead::Missing;
}

std::vector<std::uint8_t> registryBytes(const char* name) {
    platform::RegistryKey key;
    std::vector<std::uint8_t> buffer(4096);
    platform::RegistryValueInfo info;
    if (!key.open(presets::kRegistryKey, platform::RegistryKey::Access::Read) ||
        key.read(name, buffer.data(), buffer.size(), &info) != platform::RegistryRead::Ok)
        return {};
    buffer.resize(info.size);
    return buffer;
}

bool appliesFactory(const RecordingEffect& effect, int slot) {
    return std::memcmp(effect.parameters, kFactoryPresets[slot].values, sizeof(effect.parameters)) == 0;
}

class Strip : public StripTest {};

TEST_F(Strip, OpenAddsThirteenControlsInOrderAndStartsTheIdleTimer) {
    struct Row {
        std::int32_t tag;
        CRect rect;
        const std::type_info& type;
    } rows[] = {
        {1000, {194, 447, 318, 461}, typeid(CPSTextEdit)},
        {1012, {320, 448, 333, 460}, typeid(COptionMenu)},
        {1001, {340, 447, 370, 460}, typeid(CPSRockerSwitch)},
        {1002, {72, 447, 89, 462}, typeid(CSaveLoadButton)},
        {1003, {22, 447, 39, 462}, typeid(CSaveLoadButton)},
        {1013, {39, 447, 71, 460}, typeid(CPSKickButton)},
        {1004, {166, 447, 183, 462}, typeid(CSaveLoadButton)},
        {1005, {104, 447, 121, 462}, typeid(CSaveLoadButton)},
        {1014, {122, 447, 166, 460}, typeid(CPSKickButton)},
        {1017, {421, 447, 438, 462}, typeid(CPSKickButton)},
        {1015, {388, 447, 405, 462}, typeid(CPSKickButton)},
        {1018, {486, 447, 503, 462}, typeid(CPSKickButton)},
        {1016, {452, 447, 469, 462}, typeid(CPSKickButton)},
    };
    CFrame* frame = editor->getFrame();
    ASSERT_EQ(frame->getNbViews(), 13);
    for (int i = 0; i < 13; ++i) {
        auto* control = dynamic_cast<CControl*>(frame->getView(i));
        ASSERT_NE(control, nullptr);
        EXPECT_EQ(control->getTag(), rows[i].tag) << i;
        EXPECT_EQ(control->getViewSize(), rows[i].rect) << rows[i].tag;
        EXPECT_EQ(typeid(*control), rows[i].type) << rows[i].tag;
        EXPECT_EQ(control->getListener(), editor) << rows[i].tag;
        if (auto* kick = dynamic_cast<CPSKickButton*>(control)) {
            EXPECT_EQ(kick->needsDoubleClick(), rows[i].tag == 1013 || rows[i].tag == 1014);
        }
    }
    EXPECT_EQ(fieldText(), "Current");
    EXPECT_EQ(editor->getNameField()->getFont(), *kNormalFontSmaller);
    EXPECT_EQ(editor->getNameField()->getBackOffset(), CPoint(194, 447));

    // The timer drives the (derived) editor's idle until the strip closes.
    ASSERT_EQ(editor->window().runningTimers(), 1);
    editor->window().fireTimers();
    editor->window().fireTimers();
    EXPECT_EQ(editor->idles, 2);
    platform::HeadlessFrameWindow& window = editor->window();
    editor->CPresetSystemEditor::close();
    EXPECT_EQ(window.runningTimers(), 0);
    EXPECT_EQ(editor->getNameField(), nullptr);
    EXPECT_EQ(editor->getPresetMenu(), nullptr);
    EXPECT_EQ(editor->getIdleTimer(), 0);
}

TEST_F(Strip, OpenBuildsNothingWithoutAFrameOrAnEffect) {
    RecordingEffect other;
    auto* bare = attachStrip(&other); // no frame: the derived editor did not make one
    EXPECT_FALSE(bare->open(nullptr));
    EXPECT_EQ(bare->getNameField(), nullptr);

    StripEditor orphan(nullptr, nullptr); // a frame, but no effect
    EXPECT_FALSE(orphan.open(nullptr));
    EXPECT_EQ(orphan.getFrame()->getNbViews(), 0);
    EXPECT_EQ(orphan.window().runningTimers(), 0);
    orphan.close();
}

TEST_F(Strip, TheMenuListsTheSlotsInThreeColumnsAndChoosesOne) {
    answerPopups(4); // entry 4: slot 3, after the separator
    click(kMenuX, kRow);
    ASSERT_EQ(popups.size(), 1u);
    const auto& items = popups[0];
    ASSERT_EQ(items.size(), 25u);
    EXPECT_TRUE(items[1].separator);
    EXPECT_EQ(items[0].title, "Current");
    EXPECT_EQ(items[24].title, "Total Disorder");
    EXPECT_TRUE(items[0].checked);
    for (std::size_t i = 0; i < items.size(); ++i)
        EXPECT_EQ(items[i].columnBreak, i == 10 || i == 20) << i;

    EXPECT_EQ(effect->getCurrentPresetIndex(), 3);
    EXPECT_EQ(effect->slotName(0), "Limiter Fast");
    EXPECT_EQ(menuTitle(0), "Limiter Fast");
    EXPECT_EQ(fieldText(), "Limiter Fast");
    EXPECT_EQ(editor->getPresetMenu()->getCurrent(), 4);
    EXPECT_TRUE(appliesFactory(*effect, 3));
    EXPECT_EQ(effect->log.with("select"), std::vector<std::string>{"select 3"});
    EXPECT_EQ(effect->log.with("rename"), std::vector<std::string>{"rename Limiter Fast"});

    // The next pop-up marks the chosen entry; dismissing it chooses nothing.
    answerPopups(-1);
    effect->log.clear();
    click(kMenuX, kRow);
    ASSERT_EQ(popups.size(), 2u);
    EXPECT_TRUE(popups[1][4].checked);
    EXPECT_FALSE(popups[1][0].checked);
    EXPECT_TRUE(effect->log.lines.empty());
}

TEST_F(Strip, TheRockerStepsAndStopsAtBothEnds) {
    struct Case {
        int from;
        int x;
        int to;
    } cases[] = {
        {5, kRockerRightX, 6}, {5, kRockerLeftX, 4}, {23, kRockerRightX, 23},
        {0, kRockerLeftX, 0},  {0, 355, 1}, // the middle column belongs to the right half
    };
    for (const Case& c : cases) {
        effect->selectPreset(c.from);
        effect->log.clear();
        click(c.x, kRow);
        const std::string name = c.to == 0 ? "Current" : kFactoryPresets[c.to].name;
        EXPECT_EQ(effect->getCurrentPresetIndex(), c.to) << c.from;
        EXPECT_EQ(effect->log.with("select"), std::vector<std::string>{"select " + std::to_string(c.to)});
        EXPECT_EQ(effect->log.with("rename"), std::vector<std::string>{"rename " + effect->slotName(c.to)});
        EXPECT_EQ(editor->getPresetMenu()->getCurrent(), presets::menuEntryOfSlot(c.to));
        EXPECT_EQ(editor->getPresetMenu()->getValue(), float(presets::menuEntryOfSlot(c.to)));
        EXPECT_EQ(fieldText(), effect->slotName(c.to));
        EXPECT_EQ(menuTitle(0), effect->slotName(c.to));
        if (c.to != 0) {
            EXPECT_EQ(effect->slotName(c.to), name);
        }
    }
    // The release reports nothing.
    EXPECT_EQ(editor->reports.back(), "1001 1");
}

TEST_F(Strip, ARenameIsCutTo24CharactersEverywhere) {
    answerPopups(7); // slot 6
    click(kMenuX, kRow);
    ASSERT_EQ(effect->getCurrentPresetIndex(), 6);
    effect->log.clear();

    click(kNameX, kRow);
    platform::headless::HeadlessTextEntry* entry = platform::headless::activeTextEntry();
    ASSERT_NE(entry, nullptr);
    entry->type("A name that is thirty chars!!!");
    entry->pressEnter();

    const std::string cut = "A name that is thirty ch";
    EXPECT_EQ(fieldText(), cut);
    EXPECT_EQ(menuTitle(0), cut);
    EXPECT_EQ(menuTitle(7), cut);
    EXPECT_EQ(effect->slotName(6), cut);
    EXPECT_EQ(effect->slotName(0), cut);
    EXPECT_EQ(effect->log.lines, std::vector<std::string>{"rename " + cut});
}

TEST_F(Strip, TheHostsRenameShowsInTheFieldAndBothMenuEntries) {
    answerPopups(3); // slot 2
    click(kMenuX, kRow);
    char name[] = "Renamed by the host";
    effect->setProgramName(name);
    EXPECT_EQ(fieldText(), name);
    EXPECT_EQ(menuTitle(0), name);
    EXPECT_EQ(menuTitle(3), name);
    EXPECT_EQ(effect->slotName(2), name);
}

TEST_F(Strip, DefaultButtonsNeedADoubleClickAndCtrlDeletes) {
    struct Case {
        int x;
        const char* value;
        std::size_t size;
        const char* tag;
    } cases[] = {{kDefaultPresetX, presets::kDefaultPresetValue, 133, "1014"},
                 {kDefaultBankX, presets::kDefaultBankValue, 3077, "1013"}};
    effect->selectPreset(4);
    for (const Case& c : cases) {
        editor->reports.clear();
        click(c.x, kRow);
        click(c.x, kRow, platform::kMouseLeft | platform::kKeyControl);
        EXPECT_TRUE(editor->reports.empty()) << c.value;
        EXPECT_FALSE(hasRegistryValue(c.value));

        doubleClick(c.x, kRow);
        EXPECT_EQ(editor->reports, std::vector<std::string>{std::string(c.tag) + " 1"});
        EXPECT_EQ(registryBytes(c.value).size(), c.size);

        doubleClick(c.x, kRow, platform::kKeyControl);
        EXPECT_EQ(editor->reports.back(), std::string(c.tag) + " 0.5");
        EXPECT_FALSE(hasRegistryValue(c.value));
    }
    const presets::PresetRecord current = presetImage(*effect->presetSlot(4), false);
    doubleClick(kDefaultPresetX, kRow);
    EXPECT_EQ(registryBytes(presets::kDefaultPresetValue),
              std::vector<std::uint8_t>(current.begin(), current.end()));
}

TEST_F(Strip, MemoryButtonsStoreAndRecall) {
    answerPopups(2); // slot 1
    click(kMenuX, kRow);
    const presets::PresetSlot atA = *effect->presetSlot(1);
    click(kStoreAX, kRow);

    effect->setParameter(2, 0.875f);
    effect->renamePreset("Second thoughts");
    const presets::PresetSlot atB = *effect->presetSlot(1);
    click(kStoreBX, kRow, platform::kMouseLeft | platform::kKeyControl); // Ctrl changes nothing here

    effect->setParameter(2, 0.125f);
    click(kRecallAX, kRow);
    EXPECT_TRUE(sameSlot(*effect->presetSlot(1), atA));
    EXPECT_EQ(fieldText(), kFactoryPresets[1].name);
    EXPECT_EQ(menuTitle(2), kFactoryPresets[1].name);
    EXPECT_EQ(effect->parameters[2], atA.values[2]);

    click(kRecallBX, kRow);
    EXPECT_TRUE(sameSlot(*effect->presetSlot(1), atB));
    EXPECT_EQ(effect->parameters[2], 0.875f);
    EXPECT_EQ(fieldText(), "Second thoughts");
    EXPECT_EQ(effect->getCurrentPresetIndex(), 1);
    EXPECT_EQ(editor->reports, (std::vector<std::string>{"1012 2", "1015 1", "1016 1", "1017 1", "1018 1"}));
}

TEST_F(Strip, AStoredBankShowsItsNamesInTheMenu) {
    std::vector<presets::PresetSlot> slots;
    for (int k = 0; k < 24; ++k)
        slots.push_back(makeSlot("Slot " + std::to_string(k), 0.01f * float(k)));
    answerPopups(9);
    click(kMenuX, kRow);
    const presets::BankRecord bank = bankImage(slots, false);
    editor->applyBankRecord(bank.data(), false);
    EXPECT_EQ(menuTitle(0), "Slot 0");
    EXPECT_EQ(menuTitle(2), "Slot 1");
    EXPECT_EQ(menuTitle(24), "Slot 23");
    EXPECT_EQ(editor->getPresetMenu()->getCurrent(), 0);
    EXPECT_EQ(editor->getPresetMenu()->getValue(), 0.0f);
    EXPECT_EQ(fieldText(), "Slot 0");
    EXPECT_EQ(effect->getCurrentPresetIndex(), 0);
}

TEST_F(Strip, APresetNamedLikeASeparatorStaysAnEntry) {
    effect->selectPreset(2);
    effect->renamePreset("-");
    editor->close();
    ASSERT_TRUE(editor->open(nullptr));
    COptionMenu* menu = editor->getPresetMenu();
    EXPECT_EQ(menu->getNbEntries(), 25);
    EXPECT_FALSE(menu->getEntry(3)->isSeparator());
    EXPECT_EQ(menuTitle(3), "-");
    EXPECT_EQ(menuTitle(0), "-");
    EXPECT_EQ(menu->getCurrent(), 3);
}

} // namespace
