// The preset and bank record codec against byte images written out by hand, field by field.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "presets/factory_presets.h"
#include "presets/preset_records.h"

using namespace presets;

namespace {

std::uint32_t floatBits(float v) {
    std::uint32_t bits;
    std::memcpy(&bits, &v, 4);
    return bits;
}

// Independent of the host's byte order: the images are built with shifts.
void putLittle(std::vector<std::uint8_t>& out, std::uint32_t v) {
    for (int i = 0; i < 4; ++i)
        out.push_back(std::uint8_t(v >> (8 * i)));
}
void putBig(std::vector<std::uint8_t>& out, std::uint32_t v) {
    for (int i = 3; i >= 0; --i)
        out.push_back(std::uint8_t(v >> (8 * i)));
}

PresetSlot factorySlot(int k) {
    PresetSlot slot{};
    std::memcpy(slot.name, kFactoryPresets[k].name, std::strlen(kFactoryPresets[k].name));
    std::memcpy(slot.values, kFactoryPresets[k].values, sizeof(slot.values));
    return slot;
}

// A slot whose values are all distinct and not symmetric under byte reversal.
PresetSlot oddSlot() {
    PresetSlot slot{};
    std::memcpy(slot.name, "ABCDEFGHIJKLMNOPQRSTUVWX", kNameLength); // exactly 24, no terminator
    for (int i = 0; i < 26; ++i)
        slot.values[i] = 0.01f + 0.037f * float(i);
    return slot;
}

std::vector<std::uint8_t> handPreset(const PresetSlot& slot, bool bigEndian, char type = '!') {
    std::vector<std::uint8_t> out;
    (bigEndian ? putBig : putLittle)(out, 0x4F727A6Cu);
    out.push_back(std::uint8_t(type));
    out.insert(out.end(), slot.name, slot.name + kNameLength);
    for (float v : slot.values)
        (bigEndian ? putBig : putLittle)(out, floatBits(v));
    return out;
}

bool sameSlot(const PresetSlot& a, const PresetSlot& b) {
    return std::memcmp(&a, &b, sizeof(PresetSlot)) == 0;
}

PresetSlot reversedValues(PresetSlot slot) {
    for (float& v : slot.values) {
        std::uint8_t b[4];
        std::memcpy(b, &v, 4);
        swapBytes32(b);
        std::memcpy(&v, b, 4);
    }
    return slot;
}

} // namespace

TEST(PresetRecord, IsTheLittleEndianImageOfTheSlot) {
    for (const PresetSlot& slot : {factorySlot(10), oddSlot()}) {
        PresetRecord record;
        record.fill(0xEE);
        buildPresetRecord(slot, record);
        const std::vector<std::uint8_t> expected = handPreset(slot, false);
        ASSERT_EQ(expected.size(), 133u);
        EXPECT_EQ(std::vector<std::uint8_t>(record.begin(), record.end()), expected);
        EXPECT_EQ(record[0], 0x6C);
        EXPECT_EQ(record[1], 0x7A);
        EXPECT_EQ(record[2], 0x72);
        EXPECT_EQ(record[3], 0x4F);
        EXPECT_EQ(record[4], 0x21);
    }
}

TEST(PresetRecord, RoundTripsEveryFactorySlotAndAFullLengthName) {
    std::vector<PresetSlot> slots;
    for (int k = 0; k < kNumSlots; ++k)
        slots.push_back(factorySlot(k));
    slots.push_back(oddSlot());
    for (const PresetSlot& slot : slots) {
        PresetRecord record;
        buildPresetRecord(slot, record);
        PresetSlot back;
        std::memset(&back, 0x55, sizeof(back));
        ASSERT_TRUE(applyPresetRecord(record, false, back));
        EXPECT_TRUE(sameSlot(back, slot)) << std::string(slot.name, kNameLength);
    }
}

TEST(PresetRecord, ByteOrderFollowsTheMagicAndTheReversedFlagForcesTheOpposite) {
    const PresetSlot slot = oddSlot();
    struct Case {
        bool bigEndianImage;
        bool reversed;
        bool expectSwappedValues;
    } cases[] = {
        {false, false, false},
        {false, true, true},
        {true, false, false}, // "Orzl" in byte order: the reader swaps back
        {true, true, true},   // the two reversals cancel: values as stored
    };
    for (const Case& c : cases) {
        const std::vector<std::uint8_t> image = handPreset(slot, c.bigEndianImage);
        PresetSlot back{};
        ASSERT_TRUE(
            applyPresetRecord(std::span<const std::uint8_t, 133>(image.data(), 133), c.reversed, back));
        const PresetSlot expected = c.expectSwappedValues ? reversedValues(slot) : slot;
        EXPECT_TRUE(sameSlot(back, expected))
            << "big-endian " << c.bigEndianImage << " reversed " << c.reversed;
        EXPECT_EQ(std::memcmp(back.name, slot.name, kNameLength), 0) << "names are never swapped";
    }
}

TEST(PresetRecord, RejectsWrongMagicOrTypeAndLeavesTheSlotAlone) {
    const PresetSlot original = factorySlot(3);
    std::vector<std::vector<std::uint8_t>> bad;
    bad.push_back(std::vector<std::uint8_t>(133, 0)); // an unreadable file: zero buffer
    bad.push_back(handPreset(oddSlot(), false, '7')); // bank type
    bad.push_back(handPreset(oddSlot(), true, 'x'));  // good big-endian magic, bad type
    std::vector<std::uint8_t> magic = handPreset(oddSlot(), false);
    magic[1] ^= 0x01;
    bad.push_back(magic);
    for (const auto& image : bad) {
        PresetSlot slot = original;
        EXPECT_FALSE(applyPresetRecord(std::span<const std::uint8_t, 133>(image.data(), 133), false, slot));
        EXPECT_TRUE(sameSlot(slot, original));
    }
}

TEST(BankRecord, HoldsTheFactoryTableAsLittleEndianSlotImages) {
    std::array<PresetSlot, kBankSlotCount> slots;
    for (int k = 0; k < kBankSlotCount; ++k)
        slots[k] = factorySlot(k);
    BankRecord record;
    buildBankRecord(slots, record);

    std::vector<std::uint8_t> expected;
    putLittle(expected, 0x4F727A6Cu);
    expected.push_back('7');
    for (int k = 0; k < kBankSlotCount; ++k) {
        const std::vector<std::uint8_t> one = handPreset(slots[k], false);
        expected.insert(expected.end(), one.begin() + 5, one.end());
    }
    ASSERT_EQ(expected.size(), 3077u);
    EXPECT_EQ(std::vector<std::uint8_t>(record.begin(), record.end()), expected);
    EXPECT_EQ(std::memcmp(record.data() + 5 + 128 * 10, "CD Master 3 [recon]", 20), 0);
}

TEST(BankRecord, RoundTripsAndReadsABigEndianBank) {
    std::array<PresetSlot, kBankSlotCount> slots;
    for (int k = 0; k < kBankSlotCount; ++k)
        slots[k] = factorySlot(k);
    slots[7] = oddSlot();

    BankRecord record;
    buildBankRecord(slots, record);
    std::array<PresetSlot, kBankSlotCount> back{};
    ASSERT_TRUE(applyBankRecord(record, false, back));
    for (int k = 0; k < kBankSlotCount; ++k)
        EXPECT_TRUE(sameSlot(back[k], slots[k])) << "slot " << k;

    std::vector<std::uint8_t> big;
    putBig(big, 0x4F727A6Cu);
    big.push_back('7');
    for (const PresetSlot& s : slots) {
        const std::vector<std::uint8_t> one = handPreset(s, true);
        big.insert(big.end(), one.begin() + 5, one.end());
    }
    std::array<PresetSlot, kBankSlotCount> fromBig{};
    ASSERT_TRUE(applyBankRecord(std::span<const std::uint8_t, 3077>(big.data(), 3077), false, fromBig));
    for (int k = 0; k < kBankSlotCount; ++k)
        EXPECT_TRUE(sameSlot(fromBig[k], slots[k])) << "slot " << k;
    ASSERT_TRUE(applyBankRecord(std::span<const std::uint8_t, 3077>(big.data(), 3077), true, fromBig));
    EXPECT_TRUE(sameSlot(fromBig[7], reversedValues(slots[7])));
}

TEST(BankRecord, RejectsAPresetImageAndLeavesEverySlotAlone) {
    std::array<PresetSlot, kBankSlotCount> slots;
    for (int k = 0; k < kBankSlotCount; ++k)
        slots[k] = factorySlot(k);
    const auto original = slots;

    // A preset file read into a zero-filled bank-sized buffer, as a loader does.
    BankRecord fromPresetFile{};
    const std::vector<std::uint8_t> preset = handPreset(oddSlot(), false);
    std::copy(preset.begin(), preset.end(), fromPresetFile.begin());
    EXPECT_FALSE(applyBankRecord(fromPresetFile, false, slots));
    BankRecord zeros{};
    EXPECT_FALSE(applyBankRecord(zeros, false, slots));
    for (int k = 0; k < kBankSlotCount; ++k)
        EXPECT_TRUE(sameSlot(slots[k], original[k]));
}
