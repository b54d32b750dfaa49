// The scene on the headless window: the rendering that the real window must show pixel for pixel.
#include <gtest/gtest.h>

#include "gui/image_codec.h"
#include "platform/frame_window_headless.h"
#include "support/scene.h"

using namespace wintest;

TEST(HeadlessScene, FirstPaintAndGestureHaveTheRecordedFingerprints) {
    CFrame frame(CRect(0, 0, kSceneWidth, kSceneHeight), nullptr, nullptr);
    populateScene(frame, nullptr);
    platform::HeadlessFrameWindow* window = platform::asHeadless(frame.getPlatformWindow());
    ASSERT_NE(window, nullptr);

    window->paint();
    std::uint64_t first = rgbFingerprint(window->pixels().data(), window->pixels().size());
    EXPECT_EQ(first, kFirstPaint) << std::hex << first;
    gui::writePngFile("win32_scene_first.png", window->pixels().data(), kSceneWidth, kSceneHeight,
                      kSceneWidth);

    window->wheel(kKnobX, kKnobY, kWheelDelta, 0);
    window->press(kPowerX, kPowerY, platform::kMouseLeft);
    window->release(kPowerX, kPowerY, 0);
    frame.idle();
    std::uint64_t after = rgbFingerprint(window->pixels().data(), window->pixels().size());
    EXPECT_EQ(after, kAfterGesture) << std::hex << after;
    EXPECT_NE(after, first);
    gui::writePngFile("win32_scene_gesture.png", window->pixels().data(), kSceneWidth, kSceneHeight,
                      kSceneWidth);
}
