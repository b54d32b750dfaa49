// The frame's window shows the toolkit's rendering: the same pixels as the headless window, after
// the first paint, after a gesture redrawn at idle and after the system asks for a repaint.
#include <gtest/gtest.h>

#include "support/host_window.h"
#include "support/scene.h"

using namespace wintest;

namespace {

struct SceneWindow : WindowFrame {
    SceneWindow() : WindowFrame(CRect(0, 0, kSceneWidth, kSceneHeight)) { populateScene(*frame, nullptr); }
    const std::uint32_t* drawn() const { return frame->getSurfacePixels(); }
    std::uint64_t fingerprint(const std::vector<std::uint32_t>& pixels) const {
        return rgbFingerprint(pixels.data(), pixels.size());
    }
};

} // namespace

TEST(Win32Painting, TheWindowShowsTheHeadlessRenderingPixelForPixel) {
    SceneWindow w;
    ASSERT_NE(w.hwnd, nullptr);
    std::vector<std::uint32_t> shown = w.shown();
    EXPECT_EQ(pictureDifference(shown, w.drawn(), kSceneWidth, kSceneHeight), "");
    EXPECT_EQ(w.fingerprint(shown), kFirstPaint) << std::hex << w.fingerprint(shown);

    // The gesture as the system delivers it: a wheel message at a screen point, then a click.
    post(w.hwnd, WM_MOUSEWHEEL, MAKEWPARAM(0, kWheelDelta), screenPointOf(w.hwnd, kKnobX, kKnobY));
    post(w.hwnd, WM_LBUTTONDOWN, MK_LBUTTON, point(kPowerX, kPowerY));
    post(w.hwnd, WM_LBUTTONUP, 0, point(kPowerX, kPowerY));
    shown = w.shown();
    EXPECT_EQ(pictureDifference(shown, w.drawn(), kSceneWidth, kSceneHeight), "");
    EXPECT_EQ(w.fingerprint(shown), kAfterGesture) << std::hex << w.fingerprint(shown);

    // What the X server shows at the window's place, and what the window prints on request.
    int x = 0, y = 0;
    w->getPlatformWindow()->screenOrigin(x, y);
    EXPECT_EQ(
        pictureDifference(readScreen(x, y, kSceneWidth, kSceneHeight), w.drawn(), kSceneWidth, kSceneHeight),
        "");
    EXPECT_EQ(pictureDifference(printWindow(w.hwnd, kSceneWidth, kSceneHeight), w.drawn(), kSceneWidth,
                                kSceneHeight),
              "");
}

TEST(Win32Painting, ASystemRepaintRestoresEveryPixelWithoutErasing) {
    SceneWindow w;
    w.shown();
    // Something else draws over the window; the system then asks for the whole window again.
    HDC dc = GetDC(w.hwnd);
    RECT all{0, 0, kSceneWidth, kSceneHeight};
    FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    EXPECT_EQ(SendMessageA(w.hwnd, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0), 1);
    ReleaseDC(w.hwnd, dc);
    RedrawWindow(w.hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    pump(20);
    EXPECT_EQ(pictureDifference(readWindow(w.hwnd, kSceneWidth, kSceneHeight), w.drawn(), kSceneWidth,
                                kSceneHeight),
              "");

    // Part of it: only that part is asked for, and the rest stays as it was.
    RECT part{100, 50, 180, 120};
    dc = GetDC(w.hwnd);
    FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    ReleaseDC(w.hwnd, dc);
    RedrawWindow(w.hwnd, &part, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    pump(20);
    std::vector<std::uint32_t> shown = readWindow(w.hwnd, kSceneWidth, kSceneHeight);
    for (int y = 0; y < kSceneHeight; ++y)
        for (int x = 0; x < kSceneWidth; ++x) {
            bool inside = x >= part.left && x < part.right && y >= part.top && y < part.bottom;
            std::uint32_t expected = inside ? w.drawn()[y * kSceneWidth + x] & 0xFFFFFF : 0;
            ASSERT_EQ(shown[std::size_t(y * kSceneWidth + x)], expected) << x << "," << y;
        }
}
