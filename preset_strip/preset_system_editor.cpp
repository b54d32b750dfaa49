#include "preset_strip/preset_system_editor.h"

#include <algorithm>
#include <cstring>
#include <string>

#include "gui/bitmap.h"
#include "gui/file_selector.h"
#include "gui/font.h"
#include "gui/option_menu.h"
#include "preset_strip/preset_strip_controls.h"
#include "presets/factory_presets.h"

using presets::kNameLength;
using presets::kNumSlots;
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

// The kind of file the selector offers for a kind of record.
gui::FileType fileType(bool bank) {
    return bank ? gui::FileType{"Orvel Bank", "ozb"} : gui::FileType{"Orvel Preset", "ozp"};
}

} // namespace

CPresetSystemEditor::CPresetSystemEditor(gui::EditorHost* host, presets::PresetStore* store)
    : CFrameEditor(host), store(store) {}

CPresetSystemEditor::~CPresetSystemEditor() {
    // The timer's tick calls this object: it must not outlive it.
    if (idleTimer && frame && frame->getPlatformWindow()) frame->getPlatformWindow()->stopTimer(idleTimer);
    idleTimer = 0;
    paths.save();
}

// ------------------------------------------------------------------------------ open and close

bool CPresetSystemEditor::open(void* window) {
    if (!frame || !store) return false;
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

    const int current = store->getCurrentPresetIndex();
    const PresetSlot* currentSlot = store->presetSlot(current);
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
        const PresetSlot* slot = store->presetSlot(k);
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
    CFrameEditor::idle();
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
    if (!store || !control) return;
    const float value = control->getValue();
    switch (control->getTag()) {
    case presets::kTagName: {
        const SlotName name(static_cast<CTextEdit*>(control)->getText());
        showName(name.text);
        store->renamePreset(name.text);
        break;
    }
    case presets::kTagRocker: {
        int c = store->getCurrentPresetIndex();
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
        const PresetSlot* slot = store->presetSlot(c);
        if (!slot) break;
        const SlotName name(*slot);
        if (nameField) nameField->setText(name.text);
        if (presetMenu) presetMenu->setEntry(0, name.text);
        store->selectPreset(c);
        store->renamePreset(name.text);
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
        store->selectPreset(slot);
        store->renamePreset(title.text);
        menu->setCurrent(menuEntryOfSlot(slot));
        if (nameField) nameField->setText(title.text);
        menu->setEntry(0, title.text);
        break;
    }
    case presets::kTagLoadBank:
        loadBankFile(presets::recordOrderOf(value) == presets::RecordOrder::Reversed);
        break;
    case presets::kTagSaveBank:
        saveBankFile();
        break;
    case presets::kTagLoadPreset:
        loadPresetFile(presets::recordOrderOf(value) == presets::RecordOrder::Reversed);
        break;
    case presets::kTagSavePreset:
        savePresetFile();
        break;
    case presets::kTagDefaultBank:
        if (presets::defaultActionOf(value) == presets::DefaultAction::Clear)
            store->clearDefaultBank();
        else
            store->storeDefaultBank();
        break;
    case presets::kTagDefaultPreset:
        if (presets::defaultActionOf(value) == presets::DefaultAction::Clear)
            store->clearDefaultPreset();
        else
            store->storeDefaultPreset();
        break;
    case presets::kTagStoreA:
        store->storeMemo(presets::Memo::A);
        break;
    case presets::kTagStoreB:
        store->storeMemo(presets::Memo::B);
        break;
    case presets::kTagRecallA:
        recallMemo(presets::Memo::A);
        break;
    case presets::kTagRecallB:
        recallMemo(presets::Memo::B);
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
    paths.load();
}

// ------------------------------------------------------------------------ the store, then showing

void CPresetSystemEditor::showCurrentPreset() {
    if (const PresetSlot* slot = store->presetSlot(store->getCurrentPresetIndex()))
        showName(SlotName(*slot).text);
}

void CPresetSystemEditor::showBank() {
    const PresetSlot* slots = store->presetSlot(0);
    if (!slots) return;
    if (presetMenu) {
        for (int k = 0; k < kNumSlots; ++k)
            presetMenu->setEntry(menuEntryOfSlot(k), SlotName(slots[k]).text);
        presetMenu->checkEntryAlone(0);
        presetMenu->setValue(0.0f);
        presetMenu->setCurrent(0);
    }
    if (nameField) nameField->setText(SlotName(slots[0]).text);
}

void CPresetSystemEditor::applyPresetRecord(const std::uint8_t* data, bool reversed) {
    if (store && store->applyPresetRecord(data, reversed)) showCurrentPreset();
}

void CPresetSystemEditor::applyBankRecord(const std::uint8_t* data, bool reversed) {
    if (store && store->applyBankRecord(data, reversed)) showBank();
}

void CPresetSystemEditor::loadDefaultPreset() {
    if (store && store->loadDefaultPreset()) showCurrentPreset();
}

void CPresetSystemEditor::loadDefaultBank() {
    if (store && store->loadDefaultBank()) showBank();
}

void CPresetSystemEditor::recallMemo(presets::Memo memo) {
    if (store && store->recallMemo(memo)) showCurrentPreset();
}

// ----------------------------------------------------------------------------------------- files

bool CPresetSystemEditor::choosePath(bool bank, bool save, const char* title, char* path) {
    gui::FileRequest request;
    request.mode = save ? gui::FileRequest::Mode::Save : gui::FileRequest::Mode::Open;
    request.title = title;
    request.folder = paths.directory();
    request.types = {fileType(bank)};
    if (save) request.defaultExtension = fileType(bank).extension;
    CFileSelector selector(frame);
    if (!selector.run(request)) return false;
    copyCut(path, presets::kDirectoryCapacity, request.resultPath.data(), request.resultPath.size());
    return path[0] != 0;
}

void CPresetSystemEditor::loadFile(bool bank, bool reversed) {
    if (!frame) return;
    std::string title = bank ? "Load bank" : "Load preset";
    if (reversed) title += " (endian-reversed)";
    char path[presets::kDirectoryCapacity];
    if (!choosePath(bank, false, title.c_str(), path)) return;
    paths.remember(path, bank);
    if (!store) return;
    const bool applied = bank ? store->loadBankFile(path, reversed) : store->loadPresetFile(path, reversed);
    if (!applied) return;
    if (bank)
        showBank();
    else
        showCurrentPreset();
}

void CPresetSystemEditor::saveFile(bool bank) {
    if (!frame) return;
    char path[presets::kDirectoryCapacity];
    if (!choosePath(bank, true, bank ? "Save bank" : "Save preset", path)) return;
    paths.remember(path, bank);
    if (!store) return;
    if (bank)
        store->saveBankFile(path);
    else
        store->savePresetFile(path);
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
