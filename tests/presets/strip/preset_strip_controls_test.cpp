// The strip's own controls as the window shows them: the film-strip frame for hover and press, and
// the values they report for plain and special clicks.
#include <gtest/gtest.h>

#include "strip/strip_fixture.h"

using namespace presettest;

namespace {

constexpr int kRow = 453;

class StripControls : public StripTest {
protected:
    // The one frame of the strip that the rectangle shows, or -1.
    int shownFrame(const CRect& rect, std::int32_t bitmap, int frames) {
        int found = -1;
        for (int n = 0; n < frames; ++n)
            if (showsFrame(rect, bitmap, frames, n)) {
                if (found >= 0) return -2; // frames alike: the artwork cannot tell them apart
                found = n;
            }
        return found;
    }
};

TEST_F(StripControls, TheRockerShowsHoverAndPressPerHalf) {
    const CRect rocker(340, 447, 370, 460);
    platform::HeadlessFrameWindow& window = editor->window();
    EXPECT_EQ(shownFrame(rocker, 995, 5), 0);
    window.move(365, kRow, 0);
    EXPECT_EQ(shownFrame(rocker, 995, 5), 2);
    window.move(345, kRow, 0);
    EXPECT_EQ(shownFrame(rocker, 995, 5), 1);
    window.move(355, kRow, 0); // the middle column is the right half
    EXPECT_EQ(shownFrame(rocker, 995, 5), 2);

    window.press(365, kRow, platform::kMouseLeft);
    EXPECT_EQ(shownFrame(rocker, 995, 5), 4);
    window.move(345, kRow, platform::kMouseLeft); // held: nothing changes
    EXPECT_EQ(shownFrame(rocker, 995, 5), 4);
    window.move(365, kRow, platform::kMouseLeft);
    window.release(365, kRow, 0);
    window.move(365, kRow, 0); // the system's move after the capture ends
    EXPECT_EQ(shownFrame(rocker, 995, 5), 2);
    EXPECT_EQ(editor->reports, std::vector<std::string>{"1001 1"});

    window.press(345, kRow, platform::kMouseLeft);
    EXPECT_EQ(shownFrame(rocker, 995, 5), 3);
    window.release(345, kRow, 0);
    window.move(379, kRow, 0); // between the rocker and the memory buttons
    EXPECT_EQ(shownFrame(rocker, 995, 5), 0);

    // Only the left button rocks it.
    click(365, kRow, platform::kMouseRight);
    EXPECT_EQ(editor->reports.size(), 2u);
}

TEST_F(StripControls, KickButtonsShowHoverAndPressAndReportOnThePress) {
    const CRect storeA(388, 447, 405, 462);
    platform::HeadlessFrameWindow& window = editor->window();
    EXPECT_EQ(shownFrame(storeA, 991, 3), 0);
    window.move(396, kRow, 0);
    EXPECT_EQ(shownFrame(storeA, 991, 3), 1);
    window.press(396, kRow, platform::kMouseLeft | platform::kKeyControl);
    EXPECT_EQ(shownFrame(storeA, 991, 3), 2);
    EXPECT_EQ(editor->reports, std::vector<std::string>{"1015 1"});
    window.release(396, kRow, 0);
    EXPECT_EQ(editor->reports.size(), 1u); // nothing on the release
    window.move(396, kRow, 0);
    EXPECT_EQ(shownFrame(storeA, 991, 3), 1);
    window.move(379, kRow, 0);
    EXPECT_EQ(shownFrame(storeA, 991, 3), 0);

    // A right click is ignored and shows nothing.
    window.move(396, kRow, 0);
    window.press(396, kRow, platform::kMouseRight);
    EXPECT_EQ(shownFrame(storeA, 991, 3), 0); // a press ends the hover
    window.release(396, kRow, 0);
    EXPECT_EQ(editor->reports.size(), 1u);
}

TEST_F(StripControls, ADefaultButtonIgnoresASingleClickEntirely) {
    const CRect defaultPreset(122, 447, 166, 460);
    platform::HeadlessFrameWindow& window = editor->window();
    window.move(144, kRow, 0);
    EXPECT_EQ(shownFrame(defaultPreset, 993, 3), 1);
    window.press(144, kRow, platform::kMouseLeft);
    EXPECT_EQ(shownFrame(defaultPreset, 993, 3), 0); // no pressed frame; a press ends the hover
    window.release(144, kRow, 0);
    window.press(144, kRow, platform::kMouseLeft | platform::kMouseDoubleClick | platform::kKeyControl);
    EXPECT_EQ(shownFrame(defaultPreset, 993, 3), 2);
    window.release(144, kRow, platform::kKeyControl);
    EXPECT_EQ(editor->reports, std::vector<std::string>{"1014 0.5"});
}

TEST_F(StripControls, LoadButtonsReportTheRightButtonAloneAsAHalf) {
    answerFileDialogs(std::nullopt);
    struct Case {
        std::uint32_t buttons;
        const char* report; // null: not reported
    } cases[] = {
        {platform::kMouseLeft, "1002 1"},
        {platform::kMouseRight, "1002 0.5"},
        {platform::kMouseRight | platform::kKeyShift, "1002 1"},
        {platform::kMouseLeft | platform::kKeyControl, "1002 1"},
        {platform::kMouseMiddle, nullptr},
    };
    for (const Case& c : cases) {
        editor->reports.clear();
        click(80, 454, c.buttons);
        if (c.report)
            EXPECT_EQ(editor->reports, std::vector<std::string>{c.report}) << c.buttons;
        else
            EXPECT_TRUE(editor->reports.empty()) << c.buttons;
        // Back to 0 once the action has run.
        EXPECT_EQ(static_cast<CControl*>(editor->getFrame()->getView(3))->getValue(), 0.0f);
    }
}

} // namespace
