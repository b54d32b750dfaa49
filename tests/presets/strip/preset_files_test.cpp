// Preset and bank files through the strip's buttons and the (scripted) file dialog, checked against
// the bytes on the disk.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/file_ops.h"
#include "strip/strip_fixture.h"

using namespace presettest;
using presets::kFactoryPresets;

namespace {

constexpr int kRow = 454;
constexpr int kLoadBankX = 80, kSaveBankX = 30, kLoadPresetX = 174, kSavePresetX = 112;

std::vector<std::uint8_t> head(const std::vector<std::uint8_t>& bytes, std::size_t n) {
    return std::vector<std::uint8_t>(bytes.begin(), bytes.begin() + std::min(n, bytes.size()));
}

class StripFiles : public StripTest {
protected:
    std::string folderWithSeparator() const {
        const std::string file = scratch.file("x");
        return file.substr(0, file.size() - 1);
    }
};

TEST_F(StripFiles, SavingWritesTheRecordsAndRemembersTheLocation) {
    answerPopups(6); // slot 5
    click(326, 453);
    const std::string presetPath = scratch.file("mine.ozp"), bankPath = scratch.file("all.ozb");
    const std::string startDirectory = editor->getCurrentDirectory();

    answerFileDialogs(presetPath);
    click(kSavePresetX, kRow);
    std::vector<std::uint8_t> preset = readAll(presetPath);
    ASSERT_EQ(preset.size(), 133u);
    EXPECT_EQ(head(preset, 5), (std::vector<std::uint8_t>{0x6C, 0x7A, 0x72, 0x4F, 0x21}));
    const presets::PresetRecord expected = presetImage(*effect->presetSlot(5), false);
    EXPECT_EQ(preset, std::vector<std::uint8_t>(expected.begin(), expected.end()));
    EXPECT_STREQ(editor->getCurrentPresetFile(), "mine.ozp");
    EXPECT_EQ(editor->getCurrentDirectory(), folderWithSeparator());

    answerFileDialogs(bankPath);
    click(kSaveBankX, kRow);
    std::vector<std::uint8_t> bank = readAll(bankPath);
    ASSERT_EQ(bank.size(), 3077u);
    EXPECT_EQ(head(bank, 5), (std::vector<std::uint8_t>{0x6C, 0x7A, 0x72, 0x4F, 0x37}));
    const presets::BankRecord expectedBank = bankImage(effect->snapshot(), false);
    EXPECT_EQ(bank, std::vector<std::uint8_t>(expectedBank.begin(), expectedBank.end()));
    EXPECT_STREQ(editor->getCurrentBankFile(), "all.ozb");

    ASSERT_EQ(dialogs.size(), 2u);
    EXPECT_TRUE(dialogs[0].save);
    EXPECT_EQ(dialogs[0].title, "Save preset");
    EXPECT_EQ(dialogs[0].defaultExtension, "ozp");
    EXPECT_EQ(dialogs[0].initialDirectory, startDirectory);
    EXPECT_EQ(dialogs[0].filters.front().pattern, "*.ozp");
    EXPECT_EQ(dialogs[1].title, "Save bank");
    EXPECT_EQ(dialogs[1].defaultExtension, "ozb");
    EXPECT_EQ(dialogs[1].initialDirectory, folderWithSeparator());
    EXPECT_EQ(std::filesystem::current_path().string(), platform::currentDirectory());
    EXPECT_EQ(platform::currentDirectory(), startDirectory);
}

TEST_F(StripFiles, LoadingAPresetRestoresTheSavedSlot) {
    answerPopups(4); // slot 3
    click(326, 453);
    effect->renamePreset("ABCDEFGHIJKLMNOPQRSTUVWX"); // exactly 24: no terminator on the disk
    const presets::PresetSlot saved = *effect->presetSlot(3);
    answerFileDialogs(scratch.file("p.ozp"));
    click(kSavePresetX, kRow);

    effect->setParameter(0, 0.0625f);
    effect->renamePreset("changed");
    effect->log.clear();
    click(kLoadPresetX, kRow);

    EXPECT_TRUE(sameSlot(*effect->presetSlot(3), saved));
    EXPECT_EQ(fieldText(), "ABCDEFGHIJKLMNOPQRSTUVWX");
    EXPECT_EQ(menuTitle(0), "ABCDEFGHIJKLMNOPQRSTUVWX");
    EXPECT_EQ(menuTitle(4), "ABCDEFGHIJKLMNOPQRSTUVWX");
    EXPECT_EQ(effect->parameters[0], saved.values[0]);
    EXPECT_EQ(effect->log.with("select"), std::vector<std::string>{"select 3"});
    ASSERT_EQ(dialogs.size(), 2u);
    EXPECT_FALSE(dialogs[1].save);
    EXPECT_EQ(dialogs[1].title, "Load preset");
}

TEST_F(StripFiles, ARightClickLoadsEndianReversed) {
    const presets::PresetSlot stored = makeSlot("Big endian", 0.3f);
    const presets::PresetRecord bigEndian = presetImage(stored, true);
    writeAll(scratch.file("be.ozp"), std::vector<std::uint8_t>(bigEndian.begin(), bigEndian.end()));
    answerFileDialogs(scratch.file("be.ozp"));

    // Left click: the magic tells the byte order and the values load as written.
    click(kLoadPresetX, kRow);
    EXPECT_TRUE(sameSlot(*effect->presetSlot(0), stored));

    // The right button alone: the values stay in the file's order, read natively.
    click(kLoadPresetX, kRow, platform::kMouseRight);
    ASSERT_EQ(dialogs.size(), 2u);
    EXPECT_EQ(dialogs[0].title, "Load preset");
    EXPECT_EQ(dialogs[1].title, "Load preset (endian-reversed)");
    for (int i = 0; i < 26; ++i) {
        std::uint8_t raw[4];
        std::memcpy(raw, bigEndian.data() + 29 + 4 * i, 4);
        float asStored;
        std::memcpy(&asStored, raw, 4);
        std::uint32_t got, want;
        std::memcpy(&got, &effect->presetSlot(0)->values[i], 4);
        std::memcpy(&want, &asStored, 4);
        EXPECT_EQ(got, want) << i;
    }

    // With shift the right click is a plain load again; the bank button says it the same way.
    click(kLoadPresetX, kRow, platform::kMouseRight | platform::kKeyShift);
    EXPECT_EQ(dialogs.back().title, "Load preset");
    answerFileDialogs(std::nullopt);
    click(kLoadBankX, kRow, platform::kMouseRight);
    EXPECT_EQ(dialogs.back().title, "Load bank (endian-reversed)");
}

TEST_F(StripFiles, ShortLongAndWrongFiles) {
    const presets::PresetSlot stored = makeSlot("Fine", 0.2f);
    const presets::PresetRecord image = presetImage(stored, false);
    std::vector<std::uint8_t> whole(image.begin(), image.end());

    std::vector<std::uint8_t> longer = whole;
    longer.insert(longer.end(), 40, 0xFF);
    writeAll(scratch.file("long.ozp"), longer);
    answerFileDialogs(scratch.file("long.ozp"));
    click(kLoadPresetX, kRow);
    EXPECT_TRUE(sameSlot(*effect->presetSlot(0), stored));

    // Name and the first two values: the rest loads as zeros.
    writeAll(scratch.file("short.ozp"), head(whole, 5 + 24 + 8));
    answerFileDialogs(scratch.file("short.ozp"));
    click(kLoadPresetX, kRow);
    EXPECT_EQ(effect->presetSlot(0)->values[1], stored.values[1]);
    EXPECT_EQ(effect->presetSlot(0)->values[2], 0.0f);
    EXPECT_EQ(effect->slotName(0), "Fine");

    // Too short to hold the type, a bank given to the preset loader, a missing file: nothing changes.
    effect->selectPreset(7);
    const auto before = effect->snapshot();
    const presets::BankRecord bank = bankImage(effect->snapshot(), false);
    writeAll(scratch.file("tiny.ozp"), head(whole, 4));
    writeAll(scratch.file("bank.ozb"), std::vector<std::uint8_t>(bank.begin(), bank.end()));
    for (const char* name : {"tiny.ozp", "bank.ozb", "missing.ozp"}) {
        answerFileDialogs(scratch.file(name));
        effect->log.clear();
        click(kLoadPresetX, kRow);
        EXPECT_TRUE(effect->log.lines.empty()) << name;
    }
    EXPECT_EQ(0, std::memcmp(before.data(), effect->snapshot().data(), sizeof(presets::PresetSlot) * 24));
    EXPECT_EQ(effect->getCurrentPresetIndex(), 7);

    // A preset given to the bank loader: rejected, but slot 0 is current.
    writeAll(scratch.file("preset.ozp"), whole);
    answerFileDialogs(scratch.file("preset.ozp"));
    click(kLoadBankX, kRow);
    EXPECT_EQ(effect->getCurrentPresetIndex(), 0);
    EXPECT_EQ(0, std::memcmp(before.data(), effect->snapshot().data(), sizeof(presets::PresetSlot) * 24));
}

TEST_F(StripFiles, BanksLoadWholeAndReadOnlyFilesLoadToo) {
    std::vector<presets::PresetSlot> slots;
    for (int k = 0; k < 24; ++k)
        slots.push_back(makeSlot("From disk " + std::to_string(k), 0.04f * float(k)));
    const presets::BankRecord image = bankImage(slots, true);
    writeAll(scratch.file("locked.ozb"), std::vector<std::uint8_t>(image.begin(), image.end()));
    std::filesystem::permissions(scratch.file("locked.ozb"), std::filesystem::perms::owner_read |
                                                                 std::filesystem::perms::group_read |
                                                                 std::filesystem::perms::others_read);
    effect->selectPreset(12);
    answerFileDialogs(scratch.file("locked.ozb"));
    click(kLoadBankX, kRow);
    for (int k = 0; k < 24; ++k)
        EXPECT_TRUE(sameSlot(*effect->presetSlot(k), slots[std::size_t(k)])) << k;
    EXPECT_EQ(effect->getCurrentPresetIndex(), 0);
    EXPECT_EQ(fieldText(), "From disk 0");
    EXPECT_EQ(menuTitle(24), "From disk 23");
    EXPECT_STREQ(editor->getCurrentBankFile(), "locked.ozb");
}

TEST_F(StripFiles, ACancelledDialogChangesNothing) {
    answerFileDialogs(scratch.file("first.ozp"));
    click(kSavePresetX, kRow);
    const std::vector<std::uint8_t> first = readAll(scratch.file("first.ozp"));
    ASSERT_EQ(first.size(), 133u);
    const std::string directory = editor->getCurrentDirectory();

    effect->renamePreset("Different now");
    effect->log.clear();
    answerFileDialogs(std::nullopt);
    for (int x : {kSavePresetX, kLoadPresetX, kSaveBankX, kLoadBankX})
        click(x, kRow);
    EXPECT_EQ(dialogs.size(), 5u);
    EXPECT_TRUE(effect->log.lines.empty());
    EXPECT_EQ(readAll(scratch.file("first.ozp")), first);
    EXPECT_STREQ(editor->getCurrentPresetFile(), "first.ozp");
    EXPECT_STREQ(editor->getCurrentBankFile(), "");
    EXPECT_EQ(editor->getCurrentDirectory(), directory);
}

TEST_F(StripFiles, TheLoadButtonShowsPressedWhileItsDialogRuns) {
    const CRect loadPreset(166, 447, 183, 462);
    bool pressedDuringDialog = false;
    platform::headless::setFileDialogScript(
        [&](const platform::FileDialogRequest&) -> std::optional<std::string> {
            // The window timer ticks while a modal dialog runs.
            editor->window().fireTimers();
            pressedDuringDialog = showsFrame(loadPreset, 990, 3, 2);
            return std::nullopt;
        });
    hover(174, kRow);
    EXPECT_TRUE(showsFrame(loadPreset, 990, 3, 1));
    click(174, kRow);
    EXPECT_TRUE(pressedDuringDialog);
    EXPECT_TRUE(showsFrame(loadPreset, 990, 3, 0));
    EXPECT_EQ(editor->reports, std::vector<std::string>{"1004 1"});

    // A middle click does nothing.
    click(174, kRow, platform::kMouseMiddle);
    EXPECT_EQ(editor->reports.size(), 1u);
}

TEST_F(StripFiles, ASaveThatCannotBeWrittenKeepsTheOldFile) {
    answerFileDialogs(scratch.file("no such folder/x.ozp"));
    click(kSavePresetX, kRow);
    EXPECT_FALSE(std::filesystem::exists(scratch.file("no such folder")));
    // The remembered location follows the choice all the same.
    EXPECT_STREQ(editor->getCurrentPresetFile(), "x.ozp");
}

} // namespace
