// The geometry of a pop-up menu that the X11 backend draws itself: columns, each entry's rectangle,
// the menu's size, which entry a point chooses, and where on the screen the menu may stand. Nothing
// here draws; text is measured by the caller's font through a function.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

#include "platform/frame_window.h"
#include "platform/native_dialogs.h"

namespace platform {

struct PopupMetrics {
    int itemHeight = 18;     // [px] an entry with a title
    int separatorHeight = 7; // [px] a separator line's entry
    int border = 2;          // [px] frame around the whole menu, every side
    int textPadding = 6;     // [px] left and right of an entry's check room and text
    int checkWidth = 14;     // [px] room for the check mark left of the text, in every entry
    int columnGap = 1;       // [px] between columns, where a column rule is drawn
};

struct PopupColumn {
    int x = 0, width = 0;                   // [px] in menu coordinates
    std::size_t firstItem = 0, endItem = 0; // the column's entries: [firstItem, endItem)
};

struct PopupLayout {
    std::vector<PopupColumn> columns;
    std::vector<PixelRect> items; // one per entry, in menu coordinates (0, 0 at the top left)
    std::vector<bool> choosable;  // one per entry: neither a separator nor grayed
    int width = 0, height = 0;    // [px] the whole menu with its border

    // The entry under a point in menu coordinates, -1 when the point is on no entry or on one that
    // cannot be chosen (a separator, a grayed entry), so that releasing there chooses nothing.
    int hitTest(int x, int y) const;
    // The next entry that can be chosen from `from` in steps of +1 (down) or -1 (up), wrapping
    // round, for the arrow keys; from -1 the first (or last) one. -1 when none can be chosen.
    int nextChoosable(int from, int step) const;
};

// Lays the entries out top to bottom in columns, a new column at each entry with columnBreak. Each
// column is as wide as its widest title plus the check room and padding, so that the check marks
// of one column line up whether or not any entry is checked.
PopupLayout layoutPopup(const std::vector<PopupItem>& items,
                        const std::function<int(const std::string&)>& textWidth,
                        const PopupMetrics& metrics = {});

struct PopupPlacement {
    int x = 0, y = 0; // [px] top left of the menu on the screen
};

// Where a menu of the given size opens for a point on a screen area: at the point, below and to
// the right; turned to the left of / above the point where it would leave the area there (as system
// menus do, so that the pointer stays at a corner of the menu); pushed inside the area when neither
// side has room. A menu larger than the area keeps its top left corner on it.
PopupPlacement placePopup(int pointX, int pointY, int width, int height, const PixelRect& screen);

} // namespace platform
