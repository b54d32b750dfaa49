#include "platform/popup_layout.h"

#include <algorithm>

namespace platform {

namespace {

// The entries' column spans: a break starts a column unless it stands first in one, so that no
// column is empty.
std::vector<PopupColumn> splitColumns(const std::vector<PopupItem>& items) {
    std::vector<PopupColumn> columns;
    for (std::size_t i = 0; i < items.size(); ++i) {
        if (columns.empty() || (items[i].columnBreak && columns.back().endItem > columns.back().firstItem))
            columns.push_back({0, 0, i, i});
        columns.back().endItem = i + 1;
    }
    return columns;
}

int entryHeight(const PopupItem& item, const PopupMetrics& metrics) {
    return item.separator ? metrics.separatorHeight : metrics.itemHeight;
}

// One axis of placePopup: the start of a span of `size` for a point within [low, high).
int placeOnAxis(int point, int size, int low, int high) {
    int start = point;
    if (start + size > high) start = point - size >= low ? point - size : high - size;
    return std::max(start, low);
}

} // namespace

PopupLayout layoutPopup(const std::vector<PopupItem>& items,
                        const std::function<int(const std::string&)>& textWidth,
                        const PopupMetrics& metrics) {
    PopupLayout layout;
    layout.columns = splitColumns(items);
    layout.items.resize(items.size());
    layout.choosable.resize(items.size());
    int x = metrics.border;
    int tallest = 0;
    for (PopupColumn& column : layout.columns) {
        int widestText = 0;
        for (std::size_t i = column.firstItem; i < column.endItem; ++i)
            if (!items[i].separator) widestText = std::max(widestText, textWidth(items[i].title));
        column.x = x;
        column.width = 2 * metrics.textPadding + metrics.checkWidth + widestText;
        int y = metrics.border;
        for (std::size_t i = column.firstItem; i < column.endItem; ++i) {
            const int height = entryHeight(items[i], metrics);
            layout.items[i] = {column.x, y, column.x + column.width, y + height};
            layout.choosable[i] = !items[i].separator && !items[i].grayed;
            y += height;
        }
        tallest = std::max(tallest, y - metrics.border);
        x += column.width + metrics.columnGap;
    }
    const int columnsWidth = layout.columns.empty() ? 0 : x - metrics.columnGap - metrics.border;
    layout.width = 2 * metrics.border + columnsWidth;
    layout.height = 2 * metrics.border + tallest;
    return layout;
}

int PopupLayout::hitTest(int x, int y) const {
    for (std::size_t i = 0; i < items.size(); ++i) {
        const PixelRect& r = items[i];
        if (x >= r.left && x < r.right && y >= r.top && y < r.bottom) return choosable[i] ? int(i) : -1;
    }
    return -1;
}

int PopupLayout::nextChoosable(int from, int step) const {
    const int count = int(items.size());
    if (count == 0 || (step != 1 && step != -1)) return -1;
    int index = from < 0 || from >= count ? (step > 0 ? -1 : count) : from;
    for (int tried = 0; tried < count; ++tried) {
        index = (index + step + count) % count;
        if (choosable[std::size_t(index)]) return index;
    }
    return -1;
}

PopupPlacement placePopup(int pointX, int pointY, int width, int height, const PixelRect& screen) {
    return {placeOnAxis(pointX, width, screen.left, screen.right),
            placeOnAxis(pointY, height, screen.top, screen.bottom)};
}

} // namespace platform
