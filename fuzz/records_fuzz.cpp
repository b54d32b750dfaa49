// The preset and bank record codec on any bytes, read the way the file loader reads a file: at most
// the record's size, the missing rest zero. Byte 0 of the input is the "endian-reversed" choice; the
// rest is the file. A record is either rejected with the slots untouched, or decoded into exactly the
// bytes a reader written straight from the layout expects, and then survives a build-and-apply round
// trip bit for bit.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "presets/preset_records.h"

using namespace presets;

namespace {

void check(bool condition) {
    if (!condition) std::abort();
}

// Any slot content, so that an untouched slot is told apart from a written one.
void fillPattern(PresetSlot* slots, int count) {
    auto* bytes = reinterpret_cast<std::uint8_t*>(slots);
    for (std::size_t i = 0; i < sizeof(PresetSlot) * std::size_t(count); ++i)
        bytes[i] = std::uint8_t(0xC3 ^ (i * 7));
}

// The magic read as a little-endian word (this build runs on little-endian machines only, as the
// plug-in does): native order, the other order, or not a record.
int byteOrder(const std::uint8_t* data) {
    const std::uint32_t m = std::uint32_t(data[0]) | std::uint32_t(data[1]) << 8 |
                            std::uint32_t(data[2]) << 16 | std::uint32_t(data[3]) << 24;
    if (m == kRecordMagic) return 0;
    if (m == 0x6C7A724Fu) return 1;
    return -1;
}

// What slot image k of a record must decode to, from the layout alone.
void expectSlot(const std::uint8_t* image, bool swap, const PresetSlot& slot) {
    check(std::memcmp(slot.name, image, kNameLength) == 0);
    for (int v = 0; v < 26; ++v) {
        const std::uint8_t* b = image + kNameLength + 4 * v;
        const std::uint8_t ordered[4] = {swap ? b[3] : b[0], swap ? b[2] : b[1], swap ? b[1] : b[2],
                                         swap ? b[0] : b[3]};
        check(std::memcmp(&slot.values[v], ordered, 4) == 0);
    }
}

template <std::size_t Size> std::vector<std::uint8_t> asFile(const std::uint8_t* data, std::size_t size) {
    std::vector<std::uint8_t> record(Size, 0);
    std::memcpy(record.data(), data, size < Size ? size : Size);
    return record;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const bool reversed = data[0] & 1;
    ++data;
    --size;

    // One preset.
    {
        const std::vector<std::uint8_t> file = asFile<kPresetRecordSize>(data, size);
        PresetSlot slot, before;
        fillPattern(&slot, 1);
        before = slot;
        const bool accepted = applyPresetRecord(
            std::span<const std::uint8_t, kPresetRecordSize>(file.data(), kPresetRecordSize), reversed, slot);
        const int order = byteOrder(file.data());
        check(accepted == (order >= 0 && file[4] == kPresetRecordType));
        if (!accepted) {
            check(std::memcmp(&slot, &before, sizeof(slot)) == 0);
        } else {
            expectSlot(file.data() + kRecordHeaderSize, (order == 1) != reversed, slot);
            PresetRecord rebuilt;
            buildPresetRecord(slot, rebuilt);
            check(byteOrder(rebuilt.data()) == 0 && rebuilt[4] == kPresetRecordType);
            PresetSlot again;
            check(applyPresetRecord(rebuilt, false, again));
            check(std::memcmp(&again, &slot, sizeof(slot)) == 0);
        }
    }

    // One bank.
    {
        const std::vector<std::uint8_t> file = asFile<kBankRecordSize>(data, size);
        PresetSlot slots[kBankSlotCount], before[kBankSlotCount];
        fillPattern(slots, kBankSlotCount);
        std::memcpy(before, slots, sizeof(slots));
        const bool accepted = applyBankRecord(
            std::span<const std::uint8_t, kBankRecordSize>(file.data(), kBankRecordSize), reversed, slots);
        const int order = byteOrder(file.data());
        check(accepted == (order >= 0 && file[4] == kBankRecordType));
        if (!accepted) {
            check(std::memcmp(slots, before, sizeof(slots)) == 0);
        } else {
            for (int k = 0; k < kBankSlotCount; ++k)
                expectSlot(file.data() + kRecordHeaderSize + k * kSlotImageSize, (order == 1) != reversed,
                           slots[k]);
            BankRecord rebuilt;
            buildBankRecord(slots, rebuilt);
            PresetSlot again[kBankSlotCount];
            check(applyBankRecord(rebuilt, false, again));
            check(std::memcmp(again, slots, sizeof(slots)) == 0);
        }
    }
    return 0;
}
