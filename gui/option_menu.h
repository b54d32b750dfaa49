// The option menu: a control whose click opens a native pop-up list of entries; the chosen
// entry's index becomes the control's value and the listener is told.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "gui/param_display.h"

class CMenuItem {
public:
    enum Flags : std::int32_t {
        kNoFlags = 0,
        kDisabled = 1 << 0,
        kTitle = 1 << 1,
        kChecked = 1 << 2,
        kSeparator = 1 << 3,
    };

    explicit CMenuItem(const char* title, std::int32_t flags = kNoFlags)
        : title(title ? title : ""), flags(flags) {}

    const char* getTitle() const { return title.c_str(); }
    void setTitle(const char* t) { title = t ? t : ""; }
    bool isEnabled() const { return !(flags & kDisabled); }
    bool isChecked() const { return flags & kChecked; }
    bool isTitle() const { return flags & kTitle; }
    bool isSeparator() const { return flags & kSeparator; }
    void setEnabled(bool state) { setFlag(kDisabled, !state); }
    void setChecked(bool state) { setFlag(kChecked, state); }
    void setIsTitle(bool state) { setFlag(kTitle, state); }

private:
    void setFlag(std::int32_t flag, bool state) { flags = state ? flags | flag : flags & ~flag; }

    std::string title;
    std::int32_t flags;
};

class COptionMenu : public CParamDisplay {
public:
    // A pop-up list opens only with so few entries when entries per column are set.
    static constexpr std::int32_t kMaxEntriesForColumns = 160;

    COptionMenu(const CRect& size, CControlListener* listener, std::int32_t tag,
                CBitmap* background = nullptr, CBitmap* backgroundWhenClicked = nullptr,
                std::int32_t style = 0);

    // Inserts an entry at index (-1 appends); the title "-" adds a separator.
    bool addEntry(const char* title, std::int32_t index = -1, std::int32_t flags = CMenuItem::kNoFlags);
    bool removeEntry(std::int32_t index);
    bool removeAllEntry();
    std::int32_t getNbEntries() const { return std::int32_t(items.size()); }
    CMenuItem* getEntry(std::int32_t index) const;
    // Copies the entry's title into a buffer of at least 256 bytes.
    bool getEntry(std::int32_t index, char* title) const;
    bool setEntry(std::int32_t index, const char* title);

    // The current entry; in check style it is flagged as checked. Without countSeparator, index
    // counts only the entries that are not separators.
    bool setCurrent(std::int32_t index, bool countSeparator = true);
    std::int32_t getCurrent(char* title = nullptr, bool countSeparator = true) const;
    bool checkEntry(std::int32_t index, bool state);
    // Checks this entry and unchecks every other.
    bool checkEntryAlone(std::int32_t index);
    bool isCheckEntry(std::int32_t index) const;

    void setNbItemsPerColumn(std::int32_t count) { itemsPerColumn = count; }
    std::int32_t getNbItemsPerColumn() const { return itemsPerColumn; }

    // The index of the entry chosen at the last pop-up, -1 when nothing was chosen.
    std::int32_t getLastResult() const { return lastResult; }
    // The menu that held the last choice and the choice's index in it.
    COptionMenu* getLastItemMenu(std::int32_t& index) const {
        index = lastResult;
        return lastMenu;
    }

    // A left or right click opens the pop-up at the control's bottom-left corner (its top-left with
    // the pop-up style). Handled, no moves or release wanted.
    CMouseEventResult onMouseDown(CPoint& where, const CButtonState& buttons) override;

protected:
    std::string getDisplayText() const override;

private:
    std::int32_t positionOf(std::int32_t index, bool countSeparator) const;

    std::vector<std::unique_ptr<CMenuItem>> items;
    std::int32_t currentIndex = -1;
    std::int32_t lastResult = -1;
    COptionMenu* lastMenu = nullptr;
    std::int32_t itemsPerColumn = 0;
};
