// The geometry of the pop-up menu that the X11 backend draws: columns and breaks, separators, the
// entries a point chooses, keyboard steps, and where on a screen the menu may open.
#include <gtest/gtest.h>

#include <cctype>
#include <ostream>
#include <string>
#include <vector>

#include "platform/popup_layout.h"

using platform::PixelRect;
using platform::PopupItem;
using platform::PopupLayout;

namespace {

// 7 px per byte: easy sums in the table below.
int sevenPerByte(const std::string& text) {
    return 7 * int(text.size());
}

PopupItem entry(const char* title, int command) {
    PopupItem item;
    item.title = title;
    item.command = command;
    return item;
}
PopupItem grayed(const char* title, int command) {
    PopupItem item = entry(title, command);
    item.grayed = true;
    return item;
}
PopupItem checked(const char* title, int command) {
    PopupItem item = entry(title, command);
    item.checked = true;
    return item;
}
PopupItem breaking(PopupItem item) {
    item.columnBreak = true;
    return item;
}
PopupItem separator() {
    PopupItem item;
    item.separator = true;
    return item;
}

struct Probe {
    int x, y, index; // index -1: nothing chosen there
};

struct Column {
    int x, width;
    std::size_t first, end;
};

struct Case {
    const char* name;
    std::vector<PopupItem> items;
    std::vector<Column> columns;
    std::vector<PixelRect> rects;
    int width, height;
    std::vector<Probe> probes;
};

// Metrics: entries 18 px, separators 8 px, border 2, text padding 6 each side, check room 12, gap 1.
// A column is 6 + 12 + widest text + 6 wide.
// clang-format off
const std::vector<Case> kCases = {
    {"one column with a separator and a grayed entry",
     {entry("Load", 1), separator(), entry("Save As..", 2), grayed("Rename", 3)},
     {{2, 87, 0, 4}},                                   // widest: "Save As.." 63
     {{2, 2, 89, 20}, {2, 20, 89, 28}, {2, 28, 89, 46}, {2, 46, 89, 64}},
     91, 66,
     {{10, 5, 0}, {88, 19, 0}, {10, 22, -1}, {10, 30, 2}, {10, 50, -1},
      {1, 5, -1}, {89, 5, -1}, {10, 64, -1}, {-3, -3, -1}}},
    {"three columns from breaks, the tallest sets the height",
     {entry("A", 1), entry("Bbbbbbbb", 2), breaking(entry("C", 3)), checked("D", 4), separator(),
      entry("Eeee", 5), breaking(entry("F", 6))},
     {{2, 80, 0, 2}, {83, 52, 2, 6}, {136, 31, 6, 7}}, // widest: 56, 28, 7
     {{2, 2, 82, 20}, {2, 20, 82, 38}, {83, 2, 135, 20}, {83, 20, 135, 38}, {83, 38, 135, 46},
      {83, 46, 135, 64}, {136, 2, 167, 20}},
     169, 66,
     {{10, 10, 0}, {10, 40, -1}, {82, 10, -1}, {100, 25, 3}, {100, 40, -1}, {100, 50, 5},
      {140, 10, 6}, {140, 30, -1}}},
    {"a break on the first entry makes no empty column",
     {breaking(entry("Only", 9)), breaking(separator()), entry("Two", 8)},
     {{2, 52, 0, 1}, {55, 45, 1, 3}},
     {{2, 2, 54, 20}, {55, 2, 100, 10}, {55, 10, 100, 28}},
     102, 30,
     {{3, 3, 0}, {60, 5, -1}, {60, 15, 2}}},
    {"no entries", {}, {}, {}, 4, 4, {{0, 0, -1}, {2, 2, -1}}},
};
// clang-format on

// A failure names its case rather than dumping the case's bytes.
void PrintTo(const Case& c, std::ostream* out) {
    *out << c.name;
}

class PopupLayouts : public ::testing::TestWithParam<Case> {};

TEST_P(PopupLayouts, ColumnsRectanglesSizeAndHits) {
    const Case& c = GetParam();
    platform::PopupMetrics metrics;
    metrics.itemHeight = 18;
    metrics.separatorHeight = 8;
    metrics.border = 2;
    metrics.textPadding = 6;
    metrics.checkWidth = 12;
    metrics.columnGap = 1;
    const PopupLayout layout = platform::layoutPopup(c.items, sevenPerByte, metrics);

    ASSERT_EQ(layout.columns.size(), c.columns.size());
    for (std::size_t i = 0; i < c.columns.size(); ++i) {
        EXPECT_EQ(layout.columns[i].x, c.columns[i].x) << "column " << i;
        EXPECT_EQ(layout.columns[i].width, c.columns[i].width) << "column " << i;
        EXPECT_EQ(layout.columns[i].firstItem, c.columns[i].first) << "column " << i;
        EXPECT_EQ(layout.columns[i].endItem, c.columns[i].end) << "column " << i;
    }
    ASSERT_EQ(layout.items.size(), c.rects.size());
    for (std::size_t i = 0; i < c.rects.size(); ++i) {
        const PixelRect& r = layout.items[i];
        EXPECT_EQ((std::vector<int>{r.left, r.top, r.right, r.bottom}),
                  (std::vector<int>{c.rects[i].left, c.rects[i].top, c.rects[i].right, c.rects[i].bottom}))
            << "entry " << i;
    }
    EXPECT_EQ(layout.width, c.width);
    EXPECT_EQ(layout.height, c.height);
    for (const Probe& p : c.probes)
        EXPECT_EQ(layout.hitTest(p.x, p.y), p.index) << "at " << p.x << "," << p.y;
}

INSTANTIATE_TEST_SUITE_P(Table, PopupLayouts, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<Case>& info) {
                             std::string name;
                             for (const char* p = info.param.name; *p; ++p)
                                 if (std::isalnum(static_cast<unsigned char>(*p))) name += *p;
                             return name;
                         });

TEST(PopupLayout, ArrowKeysSkipWhatCannotBeChosenAndWrap) {
    const std::vector<PopupItem> items = {grayed("a", 1), entry("b", 2),  separator(),
                                          entry("c", 3),  grayed("d", 4), separator()};
    const PopupLayout layout = platform::layoutPopup(items, sevenPerByte);
    const struct {
        int from, step, next;
    } cases[] = {{-1, 1, 1}, {1, 1, 3},  {3, 1, 1}, {-1, -1, 3},
                 {3, -1, 1}, {1, -1, 3}, {0, 1, 1}, {99, 1, 1}};
    for (const auto& c : cases)
        EXPECT_EQ(layout.nextChoosable(c.from, c.step), c.next) << c.from << " step " << c.step;

    const PopupLayout nothing = platform::layoutPopup({grayed("x", 1), separator()}, sevenPerByte);
    EXPECT_EQ(nothing.nextChoosable(-1, 1), -1);
    EXPECT_EQ(nothing.nextChoosable(0, -1), -1);
}

TEST(PopupLayout, TheMenuStaysOnItsScreen) {
    const PixelRect screen{0, 0, 1920, 1080};
    const PixelRect second{1920, 0, 3840, 1080}; // a monitor right of the first
    const PixelRect narrow{0, 0, 300, 400};
    const struct {
        int x, y, width, height;
        PixelRect area;
        int left, top;
    } cases[] = {
        {100, 100, 200, 300, screen, 100, 100},    // fits below right of the point
        {1800, 100, 200, 300, screen, 1600, 100},  // turned to the left of the point
        {100, 900, 200, 300, screen, 100, 600},    // turned above the point
        {1900, 1000, 200, 300, screen, 1700, 700}, // both
        {1720, 780, 200, 300, screen, 1720, 780},  // exactly fits
        {150, 100, 200, 300, narrow, 100, 100},    // no room either side: pushed in
        {10, 10, 400, 500, narrow, 0, 0},          // larger than the area: top left on it
        {-20, -5, 200, 300, screen, 0, 0},         // a point off the area's top left
        {3800, 50, 200, 300, second, 3600, 50},    // on a screen that does not start at 0
        {1950, 50, 200, 300, second, 1950, 50},
    };
    for (const auto& c : cases) {
        const platform::PopupPlacement at = platform::placePopup(c.x, c.y, c.width, c.height, c.area);
        EXPECT_EQ(at.x, c.left) << c.x << "," << c.y;
        EXPECT_EQ(at.y, c.top) << c.x << "," << c.y;
    }
}

} // namespace
