// The preset slot store: factory contents, the parameter mirror, selection, renames and the program
// opcodes, on an effect that only records what it is asked.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "host/aeff_editor.h"
#include "host/preset_system_effect.h"

using namespace vst;
using presets::kFactoryPresets;
using presets::PresetSlot;

namespace {

// One log for host calls and parameter calls, so that their order can be checked.
struct Event {
    enum Kind { Parameter, Host } kind;
    int index;
    float value;
    bool operator==(const Event&) const = default;
};

std::vector<Event>& events() {
    static std::vector<Event> log;
    return log;
}

VstIntPtr recordingHost(AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void*, float) {
    events().push_back({Event::Host, opcode, 0.0f});
    return 0;
}

class RecordingEffect : public CPresetSystemEffect {
public:
    RecordingEffect() : CPresetSystemEffect(recordingHost, 1, 26) {}
    // A marker below 0.01 at index 25 stands for a conversion that changes another parameter.
    void setParameter(int index, float value) override {
        events().push_back({Event::Parameter, index, value});
        if (index == 25 && value < 0.01f) setParameter(9, 0.123f);
        CPresetSystemEffect::setParameter(index, value);
    }
};

struct RecordingEditor : AEffEditor {
    using AEffEditor::AEffEditor;
    std::vector<std::string> names;
    int userDefaults = 0;
    void presetNameChanged(const char* name) override { names.push_back(name); }
    void loadUserDefaults() override { ++userDefaults; }
};

class PresetSystem : public ::testing::Test {
protected:
    void SetUp() override { events().clear(); }
    std::vector<PresetSlot> snapshot() const {
        return std::vector<PresetSlot>(effect.presetSlot(0), effect.presetSlot(0) + presets::kNumSlots);
    }
    std::string name(int slot) const {
        return std::string(effect.presetSlot(slot)->name, presets::kNameLength);
    }
    std::string programName() {
        char buffer[40];
        std::memset(buffer, 0x5A, sizeof(buffer));
        effect.dispatcher(effGetProgramName, 0, 0, buffer, 0.0f);
        EXPECT_EQ(buffer[24], 0);
        EXPECT_EQ(buffer[25], 0x5A) << "wrote past 25 bytes";
        return buffer;
    }

    RecordingEffect effect;
};

bool sameSlot(const PresetSlot& a, const PresetSlot& b) {
    return std::memcmp(&a, &b, sizeof(PresetSlot)) == 0;
}

TEST_F(PresetSystem, StartsWithTheFactoryTable) {
    for (int k = 0; k < presets::kNumSlots; ++k) {
        const PresetSlot* slot = effect.presetSlot(k);
        ASSERT_NE(slot, nullptr);
        EXPECT_STREQ(slot->name, kFactoryPresets[k].name);
        // The rest of the name field is zero.
        for (std::size_t i = std::strlen(kFactoryPresets[k].name); i < sizeof(slot->name); ++i)
            EXPECT_EQ(slot->name[i], 0);
        EXPECT_EQ(std::memcmp(slot->values, kFactoryPresets[k].values, sizeof(slot->values)), 0) << k;
    }
    EXPECT_STREQ(effect.presetSlot(10)->name, "CD Master 3 [recon]");
    EXPECT_EQ(effect.presetSlot(10)->values[6], 1.0f);
    EXPECT_EQ(effect.presetSlot(10)->values[14], 1.0f);
    for (int k = 1; k < presets::kNumSlots; ++k)
        EXPECT_NE(effect.presetSlot(k)->values[0], 1.0f) << k;
    EXPECT_EQ(effect.presetSlot(0)->values[0], 1.0f);
    EXPECT_EQ(effect.presetSlot(24), nullptr);
    EXPECT_EQ(effect.presetSlot(-1), nullptr);
    EXPECT_EQ(effect.getCurrentPresetIndex(), 0);
}

TEST_F(PresetSystem, InitFactoryPresetsDiscardsChangesAndAppliesNothing) {
    effect.selectPreset(4);
    effect.renamePreset("Mine");
    effect.setParameter(2, 0.9f);
    events().clear();
    effect.initFactoryPresets();
    EXPECT_TRUE(events().empty());
    EXPECT_EQ(effect.getCurrentPresetIndex(), 4);
    for (int k = 0; k < presets::kNumSlots; ++k) {
        EXPECT_STREQ(effect.presetSlot(k)->name, kFactoryPresets[k].name);
        EXPECT_EQ(std::memcmp(effect.presetSlot(k)->values, kFactoryPresets[k].values, 26 * sizeof(float)),
                  0);
    }
}

TEST_F(PresetSystem, MirrorWritesTheCurrentSlotAndTheEditBufferOnly) {
    effect.selectPreset(7);
    const std::vector<PresetSlot> before = snapshot();
    effect.setParameter(3, 0.42f);
    effect.setParameter(25, 0.5f);
    const std::vector<PresetSlot> after = snapshot();
    for (int k : {0, 7}) {
        EXPECT_EQ(after[k].values[3], 0.42f);
        EXPECT_EQ(after[k].values[25], 0.5f);
    }
    EXPECT_EQ(std::memcmp(after[0].values, after[7].values, sizeof(after[0].values)), 0);
    for (int k = 1; k < presets::kNumSlots; ++k) {
        if (k == 7) continue;
        EXPECT_TRUE(sameSlot(after[k], before[k])) << k;
    }

    for (int index : {26, -1, 1000, -2147483647 - 1})
        effect.setParameter(index, 0.3f);
    const std::vector<PresetSlot> ignored = snapshot();
    for (int k = 0; k < presets::kNumSlots; ++k)
        EXPECT_TRUE(sameSlot(ignored[k], after[k])) << k;
}

TEST_F(PresetSystem, SelectAppliesTheSlotInIndexOrderThenRefreshesTheHost) {
    effect.renamePreset("Edited");
    events().clear();
    effect.selectPreset(3);
    ASSERT_EQ(events().size(), 27u);
    for (int i = 0; i < 26; ++i)
        EXPECT_EQ(events()[i], (Event{Event::Parameter, i, kFactoryPresets[3].values[i]}));
    EXPECT_EQ(events()[26], (Event{Event::Host, audioMasterUpdateDisplay, 0.0f}));
    EXPECT_EQ(effect.getCurrentPresetIndex(), 3);
    EXPECT_EQ(std::memcmp(effect.presetSlot(0)->values, kFactoryPresets[3].values, 26 * sizeof(float)), 0);
    // The edit buffer keeps its name until the slot is renamed.
    EXPECT_STREQ(effect.presetSlot(0)->name, "Edited");
    EXPECT_STREQ(effect.presetSlot(3)->name, "Limiter Fast");
}

TEST_F(PresetSystem, SelectingTheEditBufferReappliesIt) {
    effect.setParameter(5, 0.77f);
    events().clear();
    effect.selectPreset(0);
    ASSERT_EQ(events().size(), 27u);
    EXPECT_EQ(events()[5], (Event{Event::Parameter, 5, 0.77f}));
}

TEST_F(PresetSystem, ChangesMadeWhileApplyingLandInTheSlotAndTheEditBuffer) {
    effect.presetSlot(12)->values[25] = 0.005f;
    effect.selectPreset(12);
    EXPECT_EQ(effect.presetSlot(12)->values[9], 0.123f);
    EXPECT_EQ(effect.presetSlot(0)->values[9], 0.123f);
    EXPECT_EQ(effect.presetSlot(0)->values[25], 0.005f);
}

TEST_F(PresetSystem, SelectIgnoresSlotsOutsideTheTable) {
    const std::vector<PresetSlot> before = snapshot();
    effect.selectPreset(24);
    effect.selectPreset(-1);
    EXPECT_TRUE(events().empty());
    EXPECT_EQ(effect.getCurrentPresetIndex(), 0);
    const std::vector<PresetSlot> after = snapshot();
    for (int k = 0; k < presets::kNumSlots; ++k)
        EXPECT_TRUE(sameSlot(after[k], before[k]));
}

TEST_F(PresetSystem, RenameCutsAtTwentyFourCharactersInTheSlotAndTheEditBuffer) {
    effect.selectPreset(9);
    events().clear();
    effect.renamePreset("abcdefghijklmnopqrstuvwxyz0123");
    EXPECT_EQ(name(9), "abcdefghijklmnopqrstuvwx");
    EXPECT_EQ(name(0), "abcdefghijklmnopqrstuvwx");
    EXPECT_EQ(events(), (std::vector<Event>{{Event::Host, audioMasterUpdateDisplay, 0.0f}}));
    // A shorter name leaves no trace of the longer one.
    effect.renamePreset("Short");
    EXPECT_EQ(name(9), std::string("Short") + std::string(19, '\0'));
    EXPECT_EQ(name(0), std::string("Short") + std::string(19, '\0'));
    // Exactly 24 characters: no terminator in the field.
    effect.renamePreset("123456789012345678901234");
    EXPECT_EQ(name(9), "123456789012345678901234");
    events().clear();
    effect.renamePreset(nullptr);
    EXPECT_EQ(name(9), "123456789012345678901234");
    EXPECT_EQ(events(), (std::vector<Event>{{Event::Host, audioMasterUpdateDisplay, 0.0f}}));
}

TEST_F(PresetSystem, HostRenameTouchesOnlyTheCurrentSlotAndTellsTheEditor) {
    auto* editor = new RecordingEditor(&effect);
    effect.setEditor(editor);
    effect.selectPreset(2);
    events().clear();
    char name[] = "A host name of thirty chars!!";
    EXPECT_EQ(effect.dispatcher(effSetProgramName, 0, 0, name, 0.0f), 0);
    EXPECT_EQ(this->name(2), "A host name of thirty ch");
    EXPECT_STREQ(effect.presetSlot(0)->name, "Current");
    EXPECT_EQ(programName(), "A host name of thirty ch");
    EXPECT_EQ(editor->names, std::vector<std::string>{"A host name of thirty ch"});
    EXPECT_TRUE(events().empty()); // the host is not called back
}

TEST_F(PresetSystem, ProgramNamesAreTheSlotNames) {
    EXPECT_EQ(programName(), "Current");
    const std::string expected[24] = {
        "Current",      "Limiter Smooth",      "Limiter Gentle",
        "Limiter Fast", "Limiter Hard",        "Loudness 1",
        "Loudness 2",   "Loudness 3",          "CD Master 1",
        "CD Master 2",  "CD Master 3 [recon]", "Game 1",
        "Game 2",       "TV Limiter",          "TV Loudness",
        "TV Hot",       "HiRes Limiter",       "HiRes Loudness",
        "Cine 1",       "Cine 2 [recon]",      "Cine 3",
        "Loud Love",    "Loud It Up",          "Total Disorder",
    };
    for (int k = 0; k < 24; ++k) {
        char buffer[40];
        std::memset(buffer, 0x5A, sizeof(buffer));
        EXPECT_EQ(effect.dispatcher(effGetProgramNameIndexed, k, 3, buffer, 0.0f), 1);
        EXPECT_EQ(buffer, expected[k]);
        EXPECT_EQ(buffer[25], 0x5A);
    }
    for (int k : {24, -1, 100}) {
        char buffer[8] = "keep";
        EXPECT_EQ(effect.dispatcher(effGetProgramNameIndexed, k, 0, buffer, 0.0f), 0);
        EXPECT_STREQ(buffer, "keep");
    }
    // A 24-character name comes out terminated.
    effect.renamePreset("123456789012345678901234");
    EXPECT_EQ(programName(), "123456789012345678901234");
}

TEST_F(PresetSystem, TheHostSeesOneProgramThatNeverChanges) {
    EXPECT_EQ(effect.dispatcher(effSetProgram, 0, 5, nullptr, 0.0f), 0);
    EXPECT_EQ(effect.dispatcher(effSetProgram, 0, 0, nullptr, 0.0f), 0);
    EXPECT_EQ(effect.dispatcher(effGetProgram, 0, 0, nullptr, 0.0f), 0);
    effect.selectPreset(6);
    EXPECT_EQ(effect.getProgram(), 0);
    EXPECT_EQ(effect.getCurrentPresetIndex(), 6);
    EXPECT_EQ(effect.getParameter(0), -1.0f);
    EXPECT_EQ(events().size(), 27u); // selectPreset only; setProgram changed nothing
}

TEST_F(PresetSystem, ResumeAsksTheHostForNothing) {
    effect.dispatcher(effMainsChanged, 0, 1, nullptr, 0.0f);
    EXPECT_TRUE(events().empty());
}

TEST_F(PresetSystem, UserDefaultsAreTheEditorsBusiness) {
    effect.loadUserDefaults(); // no editor: nothing
    auto* editor = new RecordingEditor(&effect);
    effect.setEditor(editor);
    effect.loadUserDefaults();
    EXPECT_EQ(editor->userDefaults, 1);
}

} // namespace
