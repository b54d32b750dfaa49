#include "presets/preset_system_editor.h"

#include <algorithm>
#include <cstring>
#include <span>
#include <string>

#include "gui/bitmap.h"
#include "gui/file_selector.h"
#include "gui/font.h"
#include "gui/option_menu.h"
#include "platform/file_ops.h"
#include "platform/registry.h"
#include "presets/preset_strip_controls.h"
#include "presets/preset_system_effect.h"

using presets::kBankRecordSize;
using presets::kNameLength;
using presets::kNumSlots;
using presets::kPresetRecordSize;
using presets::menuEntryOfSlot;
using presets::PresetSlot;

namespace {

// Resource numbers of the strip's film strips.
constexpr std::int32_t kBackgroundBitmap = 128;
constexpr std::int32_t kLoadBitmap = 990;
constexpr std::int32_t kSaveBitmap = 991;
constexpr std::int32_t kDefaultBankBitmap = 992;
constexpr std::int32_t kDefaultPresetBitmap = 993;
constexpr std::int32_t kRockerBitmap = 995;

constexpr int kMenuEntriesPerColumn = 10;

// A slot's name as a C string: its 24-byte field and a terminator.
struct SlotName {
    char text[kNameLength + 1] = {};
    explicit SlotName(const PresetSlot& slot) { std::memcpy(text, slot.name, kNameLength); }
    explicit SlotName(const char* name) {
        if (name) std::strncpy(text, name, kNameLength);
    }
};

// Copies text into a buffer of capacity bytes, cut to fit, always terminated.
void copyCut(char* out, std::size_t capacity, const char* text, std::size_t length) {
    if (capacity == 0) return;
    length = std::min(length, capacity - 1);
    std::memmove(out, text, length);
    out[length] = 0;
}

// Film strip bitmaps: the editor's reference is dropped once the control holds its own.
struct BitmapRef {
    CBitmap* bitmap;
    explicit BitmapRef(std::int32_t id) : bitmap(new CBitmap(id)) {}
    ~BitmapRef() { bitmap->forget(); }
    CCoord frameHeight(int frames) const { return bitmap->getHeight() / frames; }
};

// The file type of the selector for a kind of record.
vst::VstFileType fileType(bool bank) {
    vst::VstFileType type{};
    std::strcpy(type.name, bank ? "Orvel Bank" : "Orvel Preset");
    std::strcpy(type.dosType, bank ? "ozb" : "ozp");
    return type;
}

} // namespace

CPresetSystemEditor::CPresetSystemEditor(AudioEffect* effect)
    : AEffGUIEditor(effect), presetSystem(dynamic_cast<CPresetSystemEffect*>(effect)) {
    const std::string directory = platform::currentDirectory();
    copyCut(currentDirectory, sizeof(currentDirectory), directory.c_str(), directory.size());
    currentBankFile[0] = 0;
    currentPresetFile[0] = 0;
}

CPresetSystemEditor::~CPresetSystemEditor() {
    // The timer's tick calls this object: it must not outlive it.
    if (idleTimer && frame && frame->getPlatformWindow()) frame->getPlatformWindow()->stopTimer(idleTimer);
    idleTimer = 0;
    saveRememberedPaths();
}

// ------------------------------------------------------------------------------ open and close

bool CPresetSystemEditor::open(void* window) {
    if (!frame || !presetSystem) return false;
    systemWindow = window;

    nameRect = CRect(194, 447, 318, 461);
    menuRect = CRect(320, 448, 333, 460);
    rockerRect = CRect(340, 447, 370, 460);
    loadBankRect = CRect(72, 447, 89, 462);
    saveBankRect = CRect(22, 447, 39, 462);
    defaultBankRect = CRect(39, 447, 71, 460);
    loadPresetRect = CRect(166, 447, 183, 462);
    savePresetRect = CRect(104, 447, 121, 462);
    defaultPresetRect = CRect(122, 447, 166, 460);
    recallARect = CRect(421, 447, 438, 462);
    storeARect = CRect(388, 447, 405, 462);
    recallBRect = CRect(486, 447, 503, 462);
    storeBRect = CRect(452, 447, 469, 462);

    const int current = presetSystem->getCurrentPresetIndex();
    const PresetSlot* currentSlot = presetSystem->presetSlot(current);
    {
        BitmapRef background(kBackgroundBitmap);
        const SlotName name = currentSlot ? SlotName(*currentSlot) : SlotName("");
        nameField = new CPSTextEdit(nameRect, this, presets::kTagName, name.text, background.bitmap);
        nameField->setBackOffset(CPoint(nameRect.left, nameRect.top));
        nameField->setFontColor(MakeCColor(36, 36, 32));
        nameField->setBackColor(MakeCColor(189, 207, 218));
        nameField->setFrameColor(MakeCColor(36, 36, 32));
        nameField->setFont(kNormalFontSmaller);
        nameField->setHoriAlign(kCenterText);
        frame->addView(nameField);
    }

    presetMenu =
        new COptionMenu(menuRect, this, presets::kTagMenu, nullptr, nullptr, kCheckStyle | kNoDrawStyle);
    for (int k = 0; k < kNumSlots; ++k) {
        if (k == 1) presetMenu->addEntry("-");
        // Added blank and titled afterwards: a preset named "-" is an entry, not a separator.
        presetMenu->addEntry("");
        const PresetSlot* slot = presetSystem->presetSlot(k);
        presetMenu->setEntry(menuEntryOfSlot(k), slot ? SlotName(*slot).text : "");
    }
    presetMenu->setNbItemsPerColumn(kMenuEntriesPerColumn);
    const std::int32_t entry = menuEntryOfSlot(current);
    presetMenu->setValue(float(entry));
    presetMenu->checkEntryAlone(entry);
    presetMenu->setCurrent(entry);
    frame->addView(presetMenu);

    {
        BitmapRef strip(kRockerBitmap);
        rocker = new CPSRockerSwitch(rockerRect, this, presets::kTagRocker, strip.frameHeight(5),
                                     strip.bitmap, CPoint(0, 0), kHorizontal);
        frame->addView(rocker);
    }
    {
        BitmapRef load(kLoadBitmap), save(kSaveBitmap), defaultBank(kDefaultBankBitmap),
            defaultPreset(kDefaultPresetBitmap);
        auto loadSave = [&](const CRect& r, std::int32_t tag, const BitmapRef& b) {
            auto* button = new CSaveLoadButton(r, this, tag, b.frameHeight(3), b.bitmap);
            frame->addView(button);
            return button;
        };
        auto kick = [&](const CRect& r, std::int32_t tag, const BitmapRef& b, bool needsDoubleClick) {
            auto* button =
                new CPSKickButton(r, this, tag, b.frameHeight(3), b.bitmap, CPoint(0, 0), needsDoubleClick);
            frame->addView(button);
            return button;
        };
        loadBankButton = loadSave(loadBankRect, presets::kTagLoadBank, load);
        saveBankButton = loadSave(saveBankRect, presets::kTagSaveBank, save);
        defaultBankButton = kick(defaultBankRect, presets::kTagDefaultBank, defaultBank, true);
        loadPresetButton = loadSave(loadPresetRect, presets::kTagLoadPreset, load);
        savePresetButton = loadSave(savePresetRect, presets::kTagSavePreset, save);
        defaultPresetButton = kick(defaultPresetRect, presets::kTagDefaultPreset, defaultPreset, true);
        recallAButton = kick(recallARect, presets::kTagRecallA, load, false);
        storeAButton = kick(storeARect, presets::kTagStoreA, save, false);
        recallBButton = kick(recallBRect, presets::kTagRecallB, load, false);
        storeBButton = kick(storeBRect, presets::kTagStoreB, save, false);
    }

    if (platform::FrameWindow* window = frame->getPlatformWindow())
        idleTimer = window->startTimer(presets::kIdleTimerInterval, [this] { idle(); });
    return true;
}

void CPresetSystemEditor::close() {
    if (idleTimer && frame && frame->getPlatformWindow()) frame->getPlatformWindow()->stopTimer(idleTimer);
    idleTimer = 0;
    nameField = nullptr;
    presetMenu = nullptr;
    rocker = nullptr;
    loadBankButton = saveBankButton = loadPresetButton = savePresetButton = nullptr;
    defaultBankButton = defaultPresetButton = nullptr;
    recallAButton = storeAButton = recallBButton = storeBButton = nullptr;
}

void CPresetSystemEditor::idle() {
    AEffGUIEditor::idle();
}

// ---------------------------------------------------------------------------------------- events

void CPresetSystemEditor::showName(const char* name) {
    if (nameField) nameField->setText(name);
    if (presetMenu) {
        presetMenu->setEntry(presetMenu->getCurrent(), name);
        presetMenu->setEntry(0, name);
    }
}

void CPresetSystemEditor::controlChanged(CControl* control) {
    if (!presetSystem || !control) return;
    const float value = control->getValue();
    switch (control->getTag()) {
    case presets::kTagName: {
        const SlotName name(static_cast<CTextEdit*>(control)->getText());
        showName(name.text);
        presetSystem->renamePreset(name.text);
        break;
    }
    case presets::kTagRocker: {
        int c = presetSystem->getCurrentPresetIndex();
        if (value > 0.0f)
            c = std::min(c + 1, kNumSlots - 1);
        else if (value < 0.0f)
            c = std::max(c - 1, 0);
        else
            break;
        if (presetMenu) {
            const std::int32_t entry = menuEntryOfSlot(c);
            presetMenu->checkEntryAlone(entry);
            presetMenu->setCurrent(entry);
            presetMenu->setValue(float(entry));
        }
        const PresetSlot* slot = presetSystem->presetSlot(c);
        if (!slot) break;
        const SlotName name(*slot);
        if (nameField) nameField->setText(name.text);
        if (presetMenu) presetMenu->setEntry(0, name.text);
        presetSystem->selectPreset(c);
        presetSystem->renamePreset(name.text);
        break;
    }
    case presets::kTagMenu: {
        auto* menu = static_cast<COptionMenu*>(control);
        const std::int32_t chosen = std::int32_t(value);
        CMenuItem* item = menu->getEntry(chosen);
        if (!item || item->isSeparator()) break;
        // The separator sits between slot 0 and slot 1.
        const int slot = chosen == 0 ? 0 : chosen - 1;
        const SlotName title(item->getTitle());
        presetSystem->selectPreset(slot);
        presetSystem->renamePreset(title.text);
        menu->setCurrent(menuEntryOfSlot(slot));
        if (nameField) nameField->setText(title.text);
        menu->setEntry(0, title.text);
        break;
    }
    case presets::kTagLoadBank:
        loadBankFile(value == 0.5f);
        break;
    case presets::kTagSaveBank:
        saveBankFile();
        break;
    case presets::kTagLoadPreset:
        loadPresetFile(value == 0.5f);
        break;
    case presets::kTagSavePreset:
        savePresetFile();
        break;
    case presets::kTagDefaultBank:
        if (value < 0.75f)
            clearDefaultBank();
        else
            storeDefaultBank();
        break;
    case presets::kTagDefaultPreset:
        if (value < 0.75f)
            clearDefaultPreset();
        else
            storeDefaultPreset();
        break;
    case presets::kTagStoreA:
        storeMemo(Memo::A);
        break;
    case presets::kTagStoreB:
        storeMemo(Memo::B);
        break;
    case presets::kTagRecallA:
        recallMemo(Memo::A);
        break;
    case presets::kTagRecallB:
        recallMemo(Memo::B);
        break;
    default:
        break;
    }
}

void CPresetSystemEditor::presetNameChanged(const char* name) {
    if (!name) return;
    showName(SlotName(name).text);
}

void CPresetSystemEditor::loadUserDefaults() {
    loadDefaultBank();
    loadDefaultPreset();
    loadRememberedPaths();
}

// --------------------------------------------------------------------------------------- records

void CPresetSystemEditor::buildPresetRecord(std::uint8_t* out) {
    if (!presetSystem) return;
    const PresetSlot* slot = presetSystem->presetSlot(presetSystem->getCurrentPresetIndex());
    if (!slot) return;
    presets::buildPresetRecord(*slot, std::span<std::uint8_t, kPresetRecordSize>(out, kPresetRecordSize));
}

void CPresetSystemEditor::applyPresetRecord(const std::uint8_t* data, bool reversed) {
    if (!presetSystem) return;
    const int k = presetSystem->getCurrentPresetIndex();
    PresetSlot* slot = presetSystem->presetSlot(k);
    if (!slot) return;
    if (!presets::applyPresetRecord(std::span<const std::uint8_t, kPresetRecordSize>(data, kPresetRecordSize),
                                    reversed, *slot))
        return;
    const SlotName name(*slot);
    showName(name.text);
    presetSystem->renamePreset(name.text);
    presetSystem->selectPreset(k);
}

void CPresetSystemEditor::buildBankRecord(std::uint8_t* out) {
    if (!presetSystem) return;
    const PresetSlot* slots = presetSystem->presetSlot(0);
    if (!slots) return;
    presets::buildBankRecord(std::span<const PresetSlot, presets::kBankSlotCount>(slots, kNumSlots),
                             std::span<std::uint8_t, kBankRecordSize>(out, kBankRecordSize));
}

void CPresetSystemEditor::applyBankRecord(const std::uint8_t* data, bool reversed) {
    if (!presetSystem) return;
    PresetSlot* slots = presetSystem->presetSlot(0);
    if (!slots) return;
    // Slot 0 becomes current before the record is examined, so even a rejected bank leaves it so.
    presetSystem->selectPreset(0);
    if (!presets::applyBankRecord(std::span<const std::uint8_t, kBankRecordSize>(data, kBankRecordSize),
                                  reversed, std::span<PresetSlot, presets::kBankSlotCount>(slots, kNumSlots)))
        return;
    if (presetMenu) {
        for (int k = 0; k < kNumSlots; ++k)
            presetMenu->setEntry(menuEntryOfSlot(k), SlotName(slots[k]).text);
        presetMenu->checkEntryAlone(0);
        presetMenu->setValue(0.0f);
        presetMenu->setCurrent(0);
    }
    if (nameField) nameField->setText(SlotName(slots[0]).text);
    presetSystem->selectPreset(0);
}

// -------------------------------------------------------------------------------------- registry

void CPresetSystemEditor::storeRecord(const char* valueName, bool bank) {
    presets::BankRecord buffer{};
    const std::size_t size = bank ? kBankRecordSize : kPresetRecordSize;
    if (bank)
        buildBankRecord(buffer.data());
    else
        buildPresetRecord(buffer.data());
    platform::RegistryKey key;
    if (!key.create(presets::kRegistryKey)) return;
    key.write(valueName, platform::kRegistryBinary, buffer.data(), size);
}

void CPresetSystemEditor::recallRecord(const char* valueName, bool bank) {
    // A missing or oversized value leaves the buffer zero, which the apply step rejects.
    presets::BankRecord buffer{};
    const std::size_t size = bank ? kBankRecordSize : kPresetRecordSize;
    {
        platform::RegistryKey key;
        if (key.open(presets::kRegistryKey, platform::RegistryKey::Access::Read))
            key.read(valueName, buffer.data(), size);
    }
    if (bank)
        applyBankRecord(buffer.data(), false);
    else
        applyPresetRecord(buffer.data(), false);
}

void CPresetSystemEditor::clearValue(const char* valueName) {
    platform::RegistryKey key;
    if (key.open(presets::kRegistryKey, platform::RegistryKey::Access::Write)) key.remove(valueName);
}

void CPresetSystemEditor::storeDefaultPreset() {
    storeRecord(presets::kDefaultPresetValue, false);
}

void CPresetSystemEditor::clearDefaultPreset() {
    clearValue(presets::kDefaultPresetValue);
}

void CPresetSystemEditor::loadDefaultPreset() {
    recallRecord(presets::kDefaultPresetValue, false);
}

void CPresetSystemEditor::storeDefaultBank() {
    storeRecord(presets::kDefaultBankValue, true);
}

void CPresetSystemEditor::clearDefaultBank() {
    clearValue(presets::kDefaultBankValue);
}

void CPresetSystemEditor::loadDefaultBank() {
    recallRecord(presets::kDefaultBankValue, true);
}

void CPresetSystemEditor::storeMemo(Memo memo) {
    storeRecord(memo == Memo::A ? presets::kMemoAValue : presets::kMemoBValue, false);
}

void CPresetSystemEditor::recallMemo(Memo memo) {
    recallRecord(memo == Memo::A ? presets::kMemoAValue : presets::kMemoBValue, false);
}

void CPresetSystemEditor::saveRememberedPaths() {
    platform::RegistryKey key;
    if (!key.create(presets::kRegistryKey)) return;
    for (auto [name, text] : {std::pair{presets::kCurrDirValue, currentDirectory},
                              std::pair{presets::kCurrBankValue, currentBankFile},
                              std::pair{presets::kCurrPresetValue, currentPresetFile}})
        key.write(name, platform::kRegistryString, text, std::strlen(text) + 1);
}

void CPresetSystemEditor::loadRememberedPaths() {
    platform::RegistryKey key;
    if (!key.open(presets::kRegistryKey, platform::RegistryKey::Access::Read)) return;
    auto readString = [&key](const char* name, char* out, std::size_t capacity) {
        // Read aside first: a stored string need not carry its terminator, and a missing value
        // leaves the remembered one as it was.
        std::string buffer(capacity, '\0');
        platform::RegistryValueInfo info;
        if (key.read(name, buffer.data(), capacity, &info) != platform::RegistryRead::Ok) return;
        copyCut(out, capacity, buffer.data(), strnlen(buffer.data(), std::min(info.size, capacity)));
    };
    readString(presets::kCurrDirValue, currentDirectory, sizeof(currentDirectory));
    readString(presets::kCurrBankValue, currentBankFile, sizeof(currentBankFile));
    readString(presets::kCurrPresetValue, currentPresetFile, sizeof(currentPresetFile));
}

// ----------------------------------------------------------------------------------------- files

void CPresetSystemEditor::splitPath(const char* path, char* directory, std::size_t directoryCapacity,
                                    char* fileName, std::size_t fileNameCapacity) {
    if (!path) return;
    const char* separator = nullptr;
    for (const char* p = path; *p; ++p)
        if (*p == '/' || *p == '\\') separator = p;
    if (!separator) {
        copyCut(fileName, fileNameCapacity, path, std::strlen(path));
        return;
    }
    copyCut(directory, directoryCapacity, path, std::size_t(separator - path) + 1);
    copyCut(fileName, fileNameCapacity, separator + 1, std::strlen(separator + 1));
}

namespace {

// Runs the file selector; true with the chosen full path in path (a 1024-byte buffer).
bool choosePath(CFrame* frame, bool bank, bool save, const char* title, char* directory, char* path) {
    vst::VstFileType type = fileType(bank);
    vst::VstFileSelect request{};
    request.command = save ? vst::kVstFileSave : vst::kVstFileLoad;
    request.type = vst::kVstFileType;
    request.nbFileTypes = 1;
    request.fileTypes = &type;
    copyCut(request.title, sizeof(request.title), title, std::strlen(title));
    request.initialPath = directory;
    request.returnPath = path;
    request.sizeReturnPath = std::int32_t(presets::kDirectoryCapacity);
    path[0] = 0;
    CFileSelector selector(frame);
    return selector.run(&request) > 0 && path[0] != 0;
}

} // namespace

void CPresetSystemEditor::loadFile(bool bank, bool reversed) {
    if (!frame) return;
    std::string title = bank ? "Load bank" : "Load preset";
    if (reversed) title += " (endian-reversed)";
    char path[presets::kDirectoryCapacity];
    if (!choosePath(frame, bank, false, title.c_str(), currentDirectory, path)) return;
    splitPath(path, currentDirectory, sizeof(currentDirectory), bank ? currentBankFile : currentPresetFile,
              bank ? sizeof(currentBankFile) : sizeof(currentPresetFile));

    // Missing bytes stay zero; a file that cannot be read fails the magic test and changes nothing.
    presets::BankRecord buffer{};
    const std::size_t size = bank ? kBankRecordSize : kPresetRecordSize;
    platform::readFileBytes(path, buffer.data(), size);
    if (bank)
        applyBankRecord(buffer.data(), reversed);
    else
        applyPresetRecord(buffer.data(), reversed);
}

void CPresetSystemEditor::saveFile(bool bank) {
    if (!frame) return;
    char path[presets::kDirectoryCapacity];
    if (!choosePath(frame, bank, true, bank ? "Save bank" : "Save preset", currentDirectory, path)) return;
    splitPath(path, currentDirectory, sizeof(currentDirectory), bank ? currentBankFile : currentPresetFile,
              bank ? sizeof(currentBankFile) : sizeof(currentPresetFile));

    presets::BankRecord buffer{};
    const std::size_t size = bank ? kBankRecordSize : kPresetRecordSize;
    if (bank)
        buildBankRecord(buffer.data());
    else
        buildPresetRecord(buffer.data());
    platform::writeFileBytes(path, buffer.data(), size);
}

void CPresetSystemEditor::loadPresetFile(bool reversed) {
    loadFile(false, reversed);
}

void CPresetSystemEditor::savePresetFile() {
    saveFile(false);
}

void CPresetSystemEditor::loadBankFile(bool reversed) {
    loadFile(true, reversed);
}

void CPresetSystemEditor::saveBankFile() {
    saveFile(true);
}
