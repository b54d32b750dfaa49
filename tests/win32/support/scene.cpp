#include "support/scene.h"

#include <vector>

namespace wintest {

namespace {

std::uint32_t blend(std::uint32_t a, std::uint32_t b, int t, int of) {
    auto channel = [&](int shift) {
        int x = int((a >> shift) & 0xFF), y = int((b >> shift) & 0xFF);
        return std::uint32_t(x + (y - x) * t / of) << shift;
    };
    return 0xFF000000u | channel(16) | channel(8) | channel(0);
}

// A vertical gradient with a framed panel, dashes and a caption.
CBitmap* background() {
    std::vector<std::uint32_t> pixels(std::size_t(kSceneWidth) * kSceneHeight);
    for (int y = 0; y < kSceneHeight; ++y)
        for (int x = 0; x < kSceneWidth; ++x)
            pixels[std::size_t(y) * kSceneWidth + std::size_t(x)] =
                blend(0xFF44505C, 0xFF181D24, y, kSceneHeight);
    CBitmap gradient(kSceneWidth, kSceneHeight, pixels.data());
    COffscreenContext c(kSceneWidth, kSceneHeight);
    gradient.draw(&c, CRect(0, 0, kSceneWidth, kSceneHeight));
    c.setFillColor(MakeCColor(20, 24, 30));
    c.setFrameColor(MakeCColor(96, 110, 124));
    c.drawRect(CRect(8, 8, kSceneWidth - 8, kSceneHeight - 40), kDrawFilledAndStroked);
    c.setFrameColor(MakeCColor(64, 74, 86));
    for (CCoord x = 16; x < kSceneWidth - 16; x += 7) {
        c.moveTo(CPoint(x, 24));
        c.lineTo(CPoint(x + 3, 24));
    }
    c.setFont(kNormalFontSmaller);
    c.setFontColor(MakeCColor(176, 194, 208));
    c.drawString("WINDOW SCENE", CPoint(16, 20));
    c.setFont(kNormalFont);
    c.drawString("Output -0.3 dB", CPoint(16, kSceneHeight - 16));
    return new CBitmap(kSceneWidth, kSceneHeight, c.getPixels());
}

// Frames of size x size: a disc and a pointer from 7 o'clock (frame 0) to 5 o'clock. The pointer's
// end moves along a square path so that no floating-point function is needed.
CBitmap* knobStrip(CCoord size, int frames) {
    COffscreenContext c(size, size * frames, kTransparentCColor);
    CCoord r = size / 2 - 2, cx = size / 2;
    for (int f = 0; f < frames; ++f) {
        CCoord cy = size / 2 + f * size;
        for (CCoord y = -r; y <= r; ++y)
            for (CCoord x = -r; x <= r; ++x) {
                CCoord d = x * x + y * y;
                if (d > r * r) continue;
                c.setFillColor(d > (r - 2) * (r - 2) ? MakeCColor(150, 166, 182)
                                                     : MakeCColor(60 - y, 68 - y, 80 - y));
                c.fillRect(CRect(cx + x, cy + y, cx + x + 1, cy + y + 1));
            }
        // Walk the square of half-side e from its lower left corner, up, across and down.
        CCoord e = r - 4, walk = 6 * e * f / (frames - 1), px, py;
        if (walk <= 2 * e)
            px = -e, py = e - walk;
        else if (walk <= 4 * e)
            px = -e + (walk - 2 * e), py = -e;
        else
            px = e, py = -e + (walk - 4 * e);
        c.setFrameColor(MakeCColor(255, 172, 44));
        c.moveTo(CPoint(cx, cy + 1));
        c.lineTo(CPoint(cx + px, cy + 1 + py));
    }
    return new CBitmap(size, size * frames, c.getPixels());
}

// Button looks stacked as frames: a key with a lamp of the frame's colour.
CBitmap* buttonStrip(CCoord w, CCoord h, std::initializer_list<CColor> lamps) {
    COffscreenContext c(w, h * CCoord(lamps.size()), kTransparentCColor);
    CCoord top = 0;
    for (const CColor& lamp : lamps) {
        c.setFillColor(MakeCColor(72, 82, 94));
        c.setFrameColor(MakeCColor(18, 22, 26));
        c.drawRect(CRect(0, top, w, top + h), kDrawFilledAndStroked);
        c.setFillColor(lamp);
        c.fillRect(CRect(4, top + 4, w - 4, top + 8));
        top += h;
    }
    return new CBitmap(w, top, c.getPixels());
}

} // namespace

Scene populateScene(CFrame& frame, CControlListener* listener) {
    Scene scene;
    CBitmap* back = background();
    frame.setBackground(back);
    back->forget();

    CBitmap* onOff = buttonStrip(34, 20, {MakeCColor(40, 52, 40), MakeCColor(92, 232, 112)});
    scene.power = new COnOffButton(CRect(20, 34, 54, 54), listener, 8, onOff);
    onOff->forget();
    frame.addView(scene.power);

    CBitmap* kick = buttonStrip(34, 20, {MakeCColor(52, 50, 60), MakeCColor(250, 202, 60)});
    scene.kick = new CKickButton(CRect(64, 34, 98, 54), listener, 1015, kick);
    kick->forget();
    frame.addView(scene.kick);

    CBitmap* strip = knobStrip(48, 61);
    scene.knob = new CAnimKnob(CRect(20, 64, 68, 112), listener, 3, strip);
    strip->forget();
    scene.knob->setValue(0.25f);
    frame.addView(scene.knob);

    scene.name = new CTextEdit(CRect(200, 70, 300, 86), listener, 1000, "Limiter Fast");
    scene.name->setFont(kNormalFontSmaller);
    scene.name->setFontColor(MakeCColor(36, 36, 32));
    scene.name->setBackColor(MakeCColor(189, 207, 218));
    scene.name->setFrameColor(MakeCColor(36, 36, 32));
    frame.addView(scene.name);

    scene.menu = new COptionMenu(CRect(200, 92, 300, 108), listener, 1012);
    for (const char* entry : {"Hard", "Medium", "Soft"})
        scene.menu->addEntry(entry);
    scene.menu->setCurrent(1);
    scene.menu->setFontColor(MakeCColor(255, 200, 120));
    scene.menu->setBackColor(MakeCColor(30, 34, 40));
    scene.menu->setFrameColor(MakeCColor(110, 120, 130));
    scene.menu->setHoriAlign(kLeftText);
    frame.addView(scene.menu);
    return scene;
}

std::uint64_t rgbFingerprint(const std::uint32_t* pixels, std::size_t count) {
    std::uint64_t h = 1469598103934665603ull;
    for (std::size_t i = 0; i < count; ++i)
        for (int shift : {0, 8, 16}) {
            h ^= (pixels[i] >> shift) & 0xFF;
            h *= 1099511628211ull;
        }
    return h;
}

} // namespace wintest
