#include "gui/option_menu.h"

#include <cstring>

#include "gui/frame.h"
#include "platform/native_dialogs.h"

COptionMenu::COptionMenu(const CRect& size, CControlListener* listener, std::int32_t tag, CBitmap* background,
                         CBitmap*, std::int32_t style)
    : CParamDisplay(size, listener, tag, background, style) {}

bool COptionMenu::addEntry(const char* title, std::int32_t index, std::int32_t flags) {
    auto item = title && std::strcmp(title, "-") == 0 ? std::make_unique<CMenuItem>("", CMenuItem::kSeparator)
                                                      : std::make_unique<CMenuItem>(title, flags);
    if (index < 0 || index >= getNbEntries()) {
        items.push_back(std::move(item));
    } else {
        items.insert(items.begin() + index, std::move(item));
        if (currentIndex >= index) ++currentIndex;
    }
    return true;
}

bool COptionMenu::removeEntry(std::int32_t index) {
    if (index < 0 || index >= getNbEntries()) return false;
    items.erase(items.begin() + index);
    if (currentIndex == index)
        currentIndex = -1;
    else if (currentIndex > index)
        --currentIndex;
    return true;
}

bool COptionMenu::removeAllEntry() {
    items.clear();
    currentIndex = -1;
    return true;
}

CMenuItem* COptionMenu::getEntry(std::int32_t index) const {
    return index >= 0 && index < getNbEntries() ? items[std::size_t(index)].get() : nullptr;
}

bool COptionMenu::getEntry(std::int32_t index, char* title) const {
    CMenuItem* item = getEntry(index);
    if (!item || !title) return false;
    std::size_t n = std::min<std::size_t>(std::strlen(item->getTitle()), 255);
    std::memcpy(title, item->getTitle(), n);
    title[n] = 0;
    return true;
}

bool COptionMenu::setEntry(std::int32_t index, const char* title) {
    CMenuItem* item = getEntry(index);
    if (!item || item->isSeparator()) return false;
    item->setTitle(title);
    if (index == currentIndex) setDirty();
    return true;
}

std::int32_t COptionMenu::positionOf(std::int32_t index, bool countSeparator) const {
    if (countSeparator) return index >= 0 && index < getNbEntries() ? index : -1;
    for (std::int32_t i = 0, k = 0; i < getNbEntries(); ++i) {
        if (items[std::size_t(i)]->isSeparator()) continue;
        if (k++ == index) return i;
    }
    return -1;
}

bool COptionMenu::setCurrent(std::int32_t index, bool countSeparator) {
    std::int32_t position = positionOf(index, countSeparator);
    if (position < 0) return false;
    currentIndex = position;
    if (style & kCheckStyle) items[std::size_t(position)]->setChecked(true);
    setDirty();
    return true;
}

std::int32_t COptionMenu::getCurrent(char* title, bool countSeparator) const {
    if (title) {
        if (!getEntry(currentIndex, title)) *title = 0;
    }
    if (countSeparator || currentIndex < 0) return currentIndex;
    std::int32_t k = 0;
    for (std::int32_t i = 0; i < currentIndex; ++i)
        if (!items[std::size_t(i)]->isSeparator()) ++k;
    return k;
}

bool COptionMenu::checkEntry(std::int32_t index, bool state) {
    CMenuItem* item = getEntry(index);
    if (!item || item->isSeparator()) return false;
    item->setChecked(state);
    return true;
}

bool COptionMenu::checkEntryAlone(std::int32_t index) {
    if (!getEntry(index)) return false;
    for (std::int32_t i = 0; i < getNbEntries(); ++i)
        items[std::size_t(i)]->setChecked(i == index);
    return true;
}

bool COptionMenu::isCheckEntry(std::int32_t index) const {
    CMenuItem* item = getEntry(index);
    return item && item->isChecked();
}

std::string COptionMenu::getDisplayText() const {
    CMenuItem* item = getEntry(currentIndex);
    return item ? item->getTitle() : "";
}

CMouseEventResult COptionMenu::onMouseDown(CPoint&, const CButtonState& buttons) {
    if (!(buttons & (kLButton | kRButton))) return kMouseEventNotHandled;
    lastResult = -1;
    lastMenu = nullptr;

    CFrame* frame = getFrame();
    CCoord screenX = 0, screenY = 0;
    if (frame) frame->getPosition(screenX, screenY);
    CRect r = size;
    localToFrame(r);
    int x = screenX + r.left;
    int y = screenY + ((style & kPopupStyle) ? r.top : r.bottom);

    std::int32_t count = getNbEntries();
    bool columns = count < kMaxEntriesForColumns && itemsPerColumn > 0;
    std::vector<platform::PopupItem> popup;
    popup.reserve(std::size_t(count));
    for (std::int32_t i = 0; i < count; ++i) {
        const CMenuItem& item = *items[std::size_t(i)];
        platform::PopupItem p;
        p.command = i;
        p.separator = item.isSeparator();
        p.title = item.getTitle();
        p.grayed = !item.isEnabled() || item.isTitle();
        p.checked = item.isChecked() &&
                    ((style & kMultipleCheckStyle) || ((style & kCheckStyle) && i == currentIndex));
        p.columnBreak = columns && i > 0 && i % itemsPerColumn == 0;
        popup.push_back(std::move(p));
    }
    int chosen = platform::trackPopupMenu(frame ? frame->getPlatformWindow() : nullptr, popup, x, y,
                                          (buttons & kRButton) != 0);
    if (chosen >= 0 && chosen < count && !items[std::size_t(chosen)]->isSeparator()) {
        lastResult = chosen;
        lastMenu = this;
        setValue(float(chosen));
        if (listener) listener->controlChanged(this);
    }
    if (frame) frame->setFocusView(nullptr);
    setDirty();
    return kMouseDownEventHandledButDontNeedMovedOrUpEvents;
}
