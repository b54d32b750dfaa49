// The preset strip without a window: records applied to and built from the slot store, the registry
// defaults and memories, the remembered locations and the order of the user defaults at construction.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "platform/file_ops.h"
#include "platform/registry.h"
#include "preset_strip/preset_system_editor.h"
#include "support/preset_fixture.h"
#include "support/strip_host.h"

using namespace presettest;
using presets::BankRecord;
using presets::PresetRecord;
using presets::PresetSlot;

namespace {

std::uint32_t bits(float v) {
    std::uint32_t b;
    std::memcpy(&b, &v, 4);
    return b;
}

float byteReversed(float v) {
    std::uint32_t b = bits(v);
    b = (b >> 24) | ((b >> 8) & 0xFF00u) | ((b << 8) & 0xFF0000u) | (b << 24);
    float out;
    std::memcpy(&out, &b, 4);
    return out;
}

// The slot as a loader must see it: values byte-reversed or not.
PresetSlot expected(PresetSlot slot, bool valuesReversed) {
    if (valuesReversed)
        for (float& v : slot.values)
            v = byteReversed(v);
    return slot;
}

std::vector<std::uint8_t> registryValue(const char* name, std::size_t capacity = 4096) {
    platform::RegistryKey key;
    if (!key.open(presets::kRegistryKey, platform::RegistryKey::Access::Read)) return {};
    std::vector<std::uint8_t> buffer(capacity);
    platform::RegistryValueInfo info;
    if (key.read(name, buffer.data(), buffer.size(), &info) != platform::RegistryRead::Ok) return {};
    buffer.resize(info.size);
    return buffer;
}

void setRegistryValue(const char* name, std::uint32_t type, const void* data, std::size_t size) {
    platform::RegistryKey key;
    ASSERT_TRUE(key.create(presets::kRegistryKey));
    ASSERT_TRUE(key.write(name, type, data, size));
}

class StripRecords : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(sandbox.active()); }

    // The store's slot k as it is now.
    PresetSlot slot(int k) const { return *effect->presetSlot(k); }

    platform::RegistrySandbox sandbox;
    std::unique_ptr<RecordingEffect> effect = std::make_unique<RecordingEffect>();
    // Owned by the effect, which deletes it with itself.
    CPresetSystemEditor* editor = attachStrip(effect.get());
};

TEST_F(StripRecords, BuildsTheCurrentSlotAndTheWholeBankInNativeOrder) {
    effect->selectPreset(5);
    PresetRecord preset{};
    effect->buildPresetRecord(preset.data());
    EXPECT_EQ(preset, presetImage(slot(5), false));
    EXPECT_EQ(std::vector<std::uint8_t>(preset.begin(), preset.begin() + 5),
              (std::vector<std::uint8_t>{0x6C, 0x7A, 0x72, 0x4F, 0x21}));

    BankRecord bank{};
    effect->buildBankRecord(bank.data());
    EXPECT_EQ(bank, bankImage(effect->snapshot(), false));
    EXPECT_EQ(bank[4], 0x37);
}

struct ByteOrderCase {
    bool bigEndianWriter;
    bool reversedOption;
    bool valuesReversed; // what the loader must make of the values
};

class StripByteOrder : public StripRecords, public ::testing::WithParamInterface<ByteOrderCase> {};

TEST_P(StripByteOrder, PresetGoesIntoTheCurrentSlotThenIsNamedAndApplied) {
    const ByteOrderCase c = GetParam();
    effect->selectPreset(6);
    effect->log.clear();
    const PresetSlot incoming = makeSlot("Incoming", 0.1f);
    const PresetRecord image = presetImage(incoming, c.bigEndianWriter);

    editor->applyPresetRecord(image.data(), c.reversedOption);

    const PresetSlot want = expected(incoming, c.valuesReversed);
    EXPECT_TRUE(sameSlot(slot(6), want));
    EXPECT_EQ(effect->slotName(0), "Incoming");
    EXPECT_EQ(0, std::memcmp(slot(0).values, want.values, sizeof(want.values)));
    EXPECT_EQ(effect->getCurrentPresetIndex(), 6);
    // Renamed first, then applied in index order.
    ASSERT_EQ(effect->log.lines.size(), 2u + 26u);
    EXPECT_EQ(effect->log.lines[0], "rename Incoming");
    EXPECT_EQ(effect->log.lines[1], "select 6");
    for (int i = 0; i < 26; ++i)
        EXPECT_EQ(bits(effect->parameters[i]), bits(want.values[i])) << i;
}

TEST_P(StripByteOrder, BankReplacesEverySlotAndAppliesSlotZero) {
    const ByteOrderCase c = GetParam();
    effect->selectPreset(9);
    std::vector<PresetSlot> slots;
    for (int k = 0; k < 24; ++k)
        slots.push_back(makeSlot("Bank " + std::to_string(k), 0.02f * float(k)));
    const BankRecord image = bankImage(slots, c.bigEndianWriter);
    effect->log.clear();

    editor->applyBankRecord(image.data(), c.reversedOption);

    for (int k = 0; k < 24; ++k)
        EXPECT_TRUE(sameSlot(slot(k), expected(slots[std::size_t(k)], c.valuesReversed))) << k;
    EXPECT_EQ(effect->getCurrentPresetIndex(), 0);
    EXPECT_EQ(effect->log.with("select"), (std::vector<std::string>{"select 0", "select 0"}));
    EXPECT_EQ(bits(effect->parameters[25]), bits(expected(slots[0], c.valuesReversed).values[25]));
}

INSTANTIATE_TEST_SUITE_P(Orders, StripByteOrder,
                         ::testing::Values(ByteOrderCase{false, false, false},
                                           ByteOrderCase{true, false, false},
                                           ByteOrderCase{false, true, true}, ByteOrderCase{true, true, true}),
                         [](const auto& info) {
                             return std::string(info.param.bigEndianWriter ? "BigEndianWriter"
                                                                           : "NativeWriter") +
                                    (info.param.reversedOption ? "Reversed" : "");
                         });

TEST_F(StripRecords, RejectedRecordsChangeNothingButABankSelectsSlotZero) {
    PresetRecord zero{};
    PresetRecord badMagic = presetImage(makeSlot("X", 0.3f), false);
    badMagic[3] = 'M';
    PresetRecord bankTypeInPreset = presetImage(makeSlot("X", 0.3f), false);
    bankTypeInPreset[4] = '7';

    effect->selectPreset(4);
    const auto before = effect->snapshot();
    for (const PresetRecord& image : {zero, badMagic, bankTypeInPreset}) {
        effect->log.clear();
        editor->applyPresetRecord(image.data(), false);
        EXPECT_TRUE(effect->log.lines.empty());
        EXPECT_EQ(effect->getCurrentPresetIndex(), 4);
    }
    EXPECT_EQ(0, std::memcmp(before.data(), effect->snapshot().data(), sizeof(PresetSlot) * 24));

    // A preset image given to the bank loader: rejected, but slot 0 is current all the same.
    BankRecord presetInBank{};
    const PresetRecord preset = presetImage(makeSlot("X", 0.3f), false);
    std::memcpy(presetInBank.data(), preset.data(), preset.size());
    for (const BankRecord& image : {BankRecord{}, presetInBank}) {
        effect->selectPreset(4);
        const auto unchanged = effect->snapshot();
        effect->log.clear();
        editor->applyBankRecord(image.data(), false);
        EXPECT_EQ(effect->log.with("select"), std::vector<std::string>{"select 0"});
        EXPECT_EQ(effect->getCurrentPresetIndex(), 0);
        EXPECT_EQ(0, std::memcmp(unchanged.data(), effect->snapshot().data(), sizeof(PresetSlot) * 24));
    }
}

TEST_F(StripRecords, ATwentyFourCharacterNameSurvivesARoundTrip) {
    const char* full = "ABCDEFGHIJKLMNOPQRSTUVWX";
    effect->selectPreset(2);
    effect->renamePreset(full);
    PresetRecord image{};
    effect->buildPresetRecord(image.data());
    EXPECT_EQ(0, std::memcmp(image.data() + 5, full, 24)); // no terminator in the record

    effect->renamePreset("short");
    editor->applyPresetRecord(image.data(), false);
    EXPECT_EQ(effect->slotName(2), full);
    EXPECT_EQ(effect->slotName(0), full);
    char name[40];
    effect->getProgramName(name);
    EXPECT_STREQ(name, full);
}

// --------------------------------------------------------------------------------------- registry

TEST_F(StripRecords, MemoriesAAndBKeepTheirOwnPresets) {
    effect->selectPreset(3);
    effect->renamePreset("Memo A state");
    effect->setParameter(0, 0.25f);
    const PresetSlot a = slot(3);
    effect->storeMemo(presets::Memo::A);

    effect->renamePreset("Memo B state");
    effect->setParameter(0, 0.75f);
    const PresetSlot b = slot(3);
    effect->storeMemo(presets::Memo::B);

    const PresetRecord imageA = presetImage(a, false);
    EXPECT_EQ(registryValue(presets::kMemoAValue), std::vector<std::uint8_t>(imageA.begin(), imageA.end()));
    EXPECT_EQ(registryValue(presets::kMemoBValue).size(), 133u);

    effect->selectPreset(8);
    editor->recallMemo(presets::Memo::A);
    EXPECT_TRUE(sameSlot(slot(8), a));
    EXPECT_EQ(effect->slotName(0), "Memo A state");
    EXPECT_EQ(effect->parameters[0], 0.25f);

    editor->recallMemo(presets::Memo::B);
    EXPECT_TRUE(sameSlot(slot(8), b));
    EXPECT_EQ(effect->parameters[0], 0.75f);
    EXPECT_EQ(effect->getCurrentPresetIndex(), 8);
}

TEST_F(StripRecords, RecallingAMemoryNeverStoredChangesNothing) {
    effect->selectPreset(3);
    const auto before = effect->snapshot();
    effect->log.clear();
    editor->recallMemo(presets::Memo::B);
    editor->loadDefaultPreset();
    EXPECT_TRUE(effect->log.lines.empty());
    EXPECT_EQ(0, std::memcmp(before.data(), effect->snapshot().data(), sizeof(PresetSlot) * 24));
}

TEST_F(StripRecords, DefaultPresetAndBankAreStoredAndCleared) {
    effect->selectPreset(7);
    effect->storeDefaultPreset();
    effect->storeDefaultBank();
    const PresetRecord preset = presetImage(slot(7), false);
    const BankRecord bank = bankImage(effect->snapshot(), false);
    EXPECT_EQ(registryValue(presets::kDefaultPresetValue),
              std::vector<std::uint8_t>(preset.begin(), preset.end()));
    EXPECT_EQ(registryValue(presets::kDefaultBankValue), std::vector<std::uint8_t>(bank.begin(), bank.end()));

    effect->clearDefaultPreset();
    EXPECT_TRUE(registryValue(presets::kDefaultPresetValue).empty());
    EXPECT_EQ(registryValue(presets::kDefaultBankValue).size(), 3077u);
    effect->clearDefaultBank();
    EXPECT_TRUE(registryValue(presets::kDefaultBankValue).empty());
}

TEST_F(StripRecords, OversizedRegistryRecordsAreIgnored) {
    std::vector<std::uint8_t> big(200, 0);
    const PresetRecord image = presetImage(makeSlot("Too big", 0.4f), false);
    std::memcpy(big.data(), image.data(), image.size());
    setRegistryValue(presets::kMemoAValue, platform::kRegistryBinary, big.data(), big.size());
    const auto before = effect->snapshot();
    editor->recallMemo(presets::Memo::A);
    EXPECT_EQ(0, std::memcmp(before.data(), effect->snapshot().data(), sizeof(PresetSlot) * 24));
}

// The plug-in's construction: slots, editor, the stored defaults, then slot 0 selected.
TEST_F(StripRecords, UserDefaultsApplyTheBankThenThePresetThenTheLocations) {
    std::vector<PresetSlot> bankSlots;
    for (int k = 0; k < 24; ++k)
        bankSlots.push_back(makeSlot("Stored " + std::to_string(k), 0.03f * float(k)));
    const BankRecord bank = bankImage(bankSlots, false);
    const PresetSlot preferred = makeSlot("Preferred", 0.5f);
    const PresetRecord preset = presetImage(preferred, false);
    setRegistryValue(presets::kDefaultBankValue, platform::kRegistryBinary, bank.data(), bank.size());
    setRegistryValue(presets::kDefaultPresetValue, platform::kRegistryBinary, preset.data(), preset.size());
    const std::string dir = "/some/where/", bankFile = "mine.ozb", presetFile = "mine.ozp";
    setRegistryValue(presets::kCurrDirValue, platform::kRegistryString, dir.c_str(), dir.size() + 1);
    setRegistryValue(presets::kCurrBankValue, platform::kRegistryString, bankFile.c_str(),
                     bankFile.size() + 1);
    setRegistryValue(presets::kCurrPresetValue, platform::kRegistryString, presetFile.c_str(),
                     presetFile.size() + 1);

    auto plugin = std::make_unique<RecordingEffect>();
    auto* own = attachStrip(plugin.get());
    plugin->log.clear();
    plugin->loadUserDefaults();
    plugin->selectPreset(0);

    EXPECT_EQ(plugin->log.with("select"),
              (std::vector<std::string>{"select 0", "select 0", "select 0", "select 0"}));
    EXPECT_EQ(plugin->log.with("rename"), std::vector<std::string>{"rename Preferred"});
    // The preset came after the bank: slot 0 is the preferred one, the others the bank's.
    EXPECT_TRUE(sameSlot(*plugin->presetSlot(0), preferred));
    for (int k = 1; k < 24; ++k)
        EXPECT_TRUE(sameSlot(*plugin->presetSlot(k), bankSlots[std::size_t(k)])) << k;
    EXPECT_EQ(plugin->parameters[3], preferred.values[3]);
    EXPECT_STREQ(own->getCurrentDirectory(), dir.c_str());
    EXPECT_STREQ(own->getCurrentBankFile(), bankFile.c_str());
    EXPECT_STREQ(own->getCurrentPresetFile(), presetFile.c_str());
}

TEST_F(StripRecords, WithoutStoredValuesConstructionKeepsTheFactoryAndTheWorkingDirectory) {
    auto plugin = std::make_unique<RecordingEffect>();
    const auto factory = plugin->snapshot();
    auto* own = attachStrip(plugin.get());
    plugin->loadUserDefaults();
    plugin->selectPreset(0);
    EXPECT_EQ(0, std::memcmp(factory.data(), plugin->snapshot().data(), sizeof(PresetSlot) * 24));
    EXPECT_EQ(plugin->slotName(23), "Total Disorder");
    EXPECT_EQ(own->getCurrentDirectory(), platform::currentDirectory());
    EXPECT_STREQ(own->getCurrentBankFile(), "");
    EXPECT_STREQ(own->getCurrentPresetFile(), "");
}

TEST_F(StripRecords, LocationsAreSavedWhenTheEditorGoesAndReadBackCutToFit) {
    // The fixture's editor goes with its effect and saves the working directory and empty names.
    effect.reset();
    const std::string cwd = platform::currentDirectory();
    EXPECT_EQ(registryValue(presets::kCurrDirValue),
              std::vector<std::uint8_t>(cwd.c_str(), cwd.c_str() + cwd.size() + 1));
    EXPECT_EQ(registryValue(presets::kCurrPresetValue), std::vector<std::uint8_t>{0});

    // A value of exactly the buffer's size without a terminator (raw bytes, which the registry
    // hands over unchanged) is cut to fit; a larger one is left alone, as is a missing one.
    const std::string fills(512, 'b'), tooLong(600, 'p');
    setRegistryValue(presets::kCurrBankValue, platform::kRegistryBinary, fills.data(), fills.size());
    setRegistryValue(presets::kCurrPresetValue, platform::kRegistryString, tooLong.data(), tooLong.size());
    {
        platform::RegistryKey key;
        ASSERT_TRUE(key.open(presets::kRegistryKey, platform::RegistryKey::Access::Write));
        key.remove(presets::kCurrDirValue);
    }
    presets::RememberedPaths paths;
    paths.load();
    EXPECT_EQ(std::string(paths.bankFile()), std::string(511, 'b'));
    EXPECT_STREQ(paths.presetFile(), "");
    EXPECT_EQ(paths.directory(), cwd);
}

TEST(SplitPath, SplitsAtTheLastSeparatorOfEitherKind) {
    struct Case {
        const char* path;
        const char* directory;
        const char* file;
    } cases[] = {
        {"C:\\Presets\\mine.ozp", "C:\\Presets\\", "mine.ozp"},
        {"/home/user/presets/mine.ozp", "/home/user/presets/", "mine.ozp"},
        {"Z:\\home/user\\mixed/last.ozb", "Z:\\home/user\\mixed/", "last.ozb"},
        {"/trailing/", "/trailing/", ""},
        {"alone.ozp", "(kept)", "alone.ozp"},
    };
    for (const Case& c : cases) {
        char directory[presets::kDirectoryCapacity] = "(kept)";
        char file[presets::kFileNameCapacity] = "(old)";
        presets::RememberedPaths::splitPath(c.path, directory, sizeof(directory), file, sizeof(file));
        EXPECT_STREQ(directory, c.directory) << c.path;
        EXPECT_STREQ(file, c.file) << c.path;
    }

    const std::string longName = "/d/" + std::string(700, 'n');
    char directory[8], file[presets::kFileNameCapacity];
    presets::RememberedPaths::splitPath(longName.c_str(), directory, sizeof(directory), file, sizeof(file));
    EXPECT_STREQ(directory, "/d/");
    EXPECT_EQ(std::string(file), std::string(511, 'n'));
    const std::string longDirectory = std::string("/").append(20, 'd').append("/f");
    presets::RememberedPaths::splitPath(longDirectory.c_str(), directory, sizeof(directory), file,
                                        sizeof(file));
    EXPECT_STREQ(directory, "/dddddd");
    EXPECT_STREQ(file, "f");
}

} // namespace
