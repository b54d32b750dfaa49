// The controls' frame layouts against the real artwork: every look a control can pick lies inside
// its bitmap, and the bitmap holds no look the control cannot reach.
#include <gtest/gtest.h>

#include "editor/calib_button.h"
#include "editor/mode_button.h"
#include "editor/my_knob.h"
#include "gui/bitmap.h"

TEST(ControlArtwork, BitmapsHoldExactlyTheFramesTheControlsDraw) {
    struct Case {
        int bitmap;
        CCoord width, frameHeight; // width (0: any) and height of one look
        int frames;                // looks the control picks from
    };
    const Case cases[] = {
        {139, 33, 19, 2},
        {162, 33, 19, 2},
        {149, 35, 35, 2},
        {140, 33, 19, 2},
        {144, 33, 19, 3},
        {160, 33, 19, 3},
        {163, 33, 19, 3},
        {164, 33, 19, 3},
        {165, 33, 19, 3},
        {166, 33, 19, 3},
        {161, 18, 24, 3},
        {142, 33, 19, 6},
        {143, 33, 19, 7},
        {145, 33, CCalibButton::kFrameHeight, 7},
        {141, 35, 56, 7},
        {146, 90, 25, 3},
        {152, 0, 48, CMyKnob::kFrames},
        {153, 0, 47, CMyKnob::kFrames},
        {147, 0, 47, CMyKnob::kFrames},
        {148, 0, 47, CMyKnob::kFrames},
        {150, 0, 55, CMyKnob::kFrames},
        {151, 0, 56, CMyKnob::kFrames},
    };
    for (const Case& c : cases) {
        CBitmap bitmap(c.bitmap);
        ASSERT_TRUE(bitmap.isLoaded()) << c.bitmap;
        if (c.width) {
            EXPECT_EQ(bitmap.getWidth(), c.width) << c.bitmap;
        }
        EXPECT_EQ(bitmap.getHeight(), c.frameHeight * c.frames) << c.bitmap;
    }
    EXPECT_EQ(CModeButton::kBandHeight, 19);
}
