// A small demo frame with standard controls, rendered headlessly to gui_demo.png in the working
// directory. Its fingerprint is the same on every system: the toolkit draws every pixel itself.
#include <gtest/gtest.h>

#include <cstdio>

#include "gui/image_codec.h"
#include "support/gui_fixture.h"

using namespace guitest;

namespace {

constexpr double kPi = 3.14159265358979323846;

// sin by its series, so that the artwork does not depend on the system's mathematics library.
double seriesSin(double x) {
    while (x > kPi)
        x -= 2 * kPi;
    while (x < -kPi)
        x += 2 * kPi;
    double term = x, sum = x;
    for (int n = 1; n < 12; ++n) {
        term = -term * x * x / double((2 * n) * (2 * n + 1));
        sum += term;
    }
    return sum;
}
double seriesCos(double x) {
    return seriesSin(x + kPi / 2);
}
CCoord roundToPixel(double v) {
    return CCoord(v >= 0 ? v + 0.5 : v - 0.5);
}

std::uint32_t mix(std::uint32_t a, std::uint32_t b, int t, int of) {
    auto ch = [&](int s) {
        int x = int((a >> s) & 0xFF), y = int((b >> s) & 0xFF);
        return std::uint32_t(x + (y - x) * t / of) << s;
    };
    return 0xFF000000u | ch(16) | ch(8) | ch(0);
}

// The window background: a vertical gradient with a darker panel and engraved lines.
CBitmap* backgroundBitmap(CCoord w, CCoord h) {
    std::vector<std::uint32_t> pixels(std::size_t(w * h));
    for (CCoord y = 0; y < h; ++y)
        for (CCoord x = 0; x < w; ++x)
            pixels[std::size_t(y * w + x)] = mix(0xFF3A4450, 0xFF1C2128, y, h);
    auto* bitmap = new CBitmap(w, h, pixels.data());
    COffscreenContext c(w, h);
    bitmap->draw(&c, CRect(0, 0, w, h));
    c.setFillColor(MakeCColor(18, 22, 27));
    c.setFrameColor(MakeCColor(90, 104, 118));
    c.drawRect(CRect(8, 8, w - 8, h - 44), kDrawFilledAndStroked);
    c.setFrameColor(MakeCColor(60, 70, 80));
    for (CCoord x = 16; x < w - 16; x += 8) {
        c.moveTo(CPoint(x, 22));
        c.lineTo(CPoint(x + 4, 22));
    }
    c.setFont(kNormalFontSmaller);
    c.setFontColor(MakeCColor(170, 190, 205));
    c.drawString("ORVEL GUI TOOLKIT", CPoint(16, 19));
    bitmap->forget();
    return new CBitmap(w, h, c.getPixels());
}

// A film strip of n knob frames, each size x size: a disc with a ring and a pointer.
CBitmap* knobStrip(CCoord size, int frames) {
    COffscreenContext c(size, size * frames, kTransparentCColor);
    CCoord r = size / 2 - 2, cx = size / 2, cy0 = size / 2;
    for (int f = 0; f < frames; ++f) {
        CCoord cy = cy0 + f * size;
        for (CCoord y = -r; y <= r; ++y)
            for (CCoord x = -r; x <= r; ++x) {
                CCoord d = x * x + y * y;
                if (d > r * r) continue;
                c.setFillColor(d > (r - 2) * (r - 2) ? MakeCColor(150, 165, 180)
                                                     : MakeCColor(58 - y, 66 - y, 76 - y));
                c.fillRect(CRect(cx + x, cy + y, cx + x + 1, cy + y + 1));
            }
        double angle = 225.0 - 270.0 * f / (frames - 1);
        double a = angle * kPi / 180.0;
        c.setFrameColor(MakeCColor(255, 170, 40));
        c.moveTo(CPoint(cx, cy + 1));
        c.lineTo(
            CPoint(cx + roundToPixel((r - 3) * seriesCos(a)), cy + 1 - roundToPixel((r - 3) * seriesSin(a))));
    }
    return new CBitmap(size, size * frames, c.getPixels());
}

// Film strip of button looks: each frame a rounded key with a lamp of the given colour.
CBitmap* buttonStrip(CCoord w, CCoord h, const std::vector<CColor>& lamps) {
    COffscreenContext c(w, h * CCoord(lamps.size()), kTransparentCColor);
    for (std::size_t i = 0; i < lamps.size(); ++i) {
        CCoord top = CCoord(i) * h;
        c.setFillColor(MakeCColor(70, 80, 92));
        c.setFrameColor(MakeCColor(20, 24, 28));
        c.drawRect(CRect(0, top, w, top + h), kDrawFilledAndStroked);
        c.setFillColor(lamps[i]);
        c.fillRect(CRect(4, top + 4, w - 4, top + 8));
    }
    return new CBitmap(w, h * CCoord(lamps.size()), c.getPixels());
}

// A picture drawn alpha-blended, as an information panel over the editor.
class Overlay : public CView {
public:
    Overlay(const CRect& r, CBitmap* picture) : CView(r) { setBackground(picture); }
    void draw(CDrawContext* context) override {
        background->drawAlphaBlend(context, size, CPoint(0, 0), 200);
        context->setFont(kNormalFontSmaller);
        context->setFontColor(kWhiteCColor);
        context->drawString("latency 287 samples", CRect(size.left, size.top, size.right, size.bottom),
                            kCenterText);
        setDirty(false);
    }
};

} // namespace

TEST(Demo, AFrameOfStandardControlsRendersHeadlesslyToAPng) {
    FrameFixture f(CRect(0, 0, 320, 200));
    CBitmap* background = backgroundBitmap(320, 200);
    f->setBackground(background);
    background->forget();

    CBitmap* onOff = buttonStrip(34, 20, {MakeCColor(40, 50, 40), MakeCColor(90, 230, 110)});
    auto* power = new COnOffButton(CRect(20, 34, 54, 54), nullptr, 8, onOff);
    onOff->forget();
    power->setValue(1);
    f->addView(power);

    CBitmap* kickStrip = buttonStrip(34, 20, {MakeCColor(50, 50, 60), MakeCColor(250, 200, 60)});
    f->addView(new CKickButton(CRect(60, 34, 94, 54), nullptr, 1015, kickStrip));
    kickStrip->forget();

    CBitmap* rockerStrip =
        buttonStrip(40, 20, {MakeCColor(230, 90, 60), MakeCColor(60, 60, 70), MakeCColor(60, 160, 230)});
    auto* rocker = new CRockerSwitch(CRect(100, 34, 140, 54), nullptr, 1001, rockerStrip);
    rockerStrip->forget();
    f->addView(rocker);

    CBitmap* strip = knobStrip(48, 101);
    for (int k = 0; k < 3; ++k) {
        auto* knob = new CAnimKnob(CRect(20 + k * 60, 64, 68 + k * 60, 112), nullptr, k, strip);
        knob->setValue(0.2f + 0.3f * float(k));
        f->addView(knob);
    }
    strip->forget();

    auto* name = new CTextEdit(CRect(200, 70, 300, 86), nullptr, 1000, "Limiter Fast");
    name->setFont(kNormalFontSmaller);
    name->setFontColor(MakeCColor(36, 36, 32));
    name->setBackColor(MakeCColor(189, 207, 218));
    name->setFrameColor(MakeCColor(36, 36, 32));
    f->addView(name);

    auto* menu = new COptionMenu(CRect(200, 92, 300, 108), nullptr, 1012);
    for (const char* entry : {"Hard", "Medium", "Soft"})
        menu->addEntry(entry);
    menu->setCurrent(2);
    menu->setFontColor(MakeCColor(255, 200, 120));
    menu->setBackColor(MakeCColor(30, 34, 40));
    menu->setFrameColor(MakeCColor(110, 120, 130));
    menu->setHoriAlign(kLeftText);
    f->addView(menu);

    std::vector<std::uint32_t> glow(60 * 24);
    for (int y = 0; y < 24; ++y)
        for (int x = 0; x < 60; ++x) {
            int d = std::abs(x - 30) + std::abs(y - 12) * 2;
            glow[std::size_t(y * 60 + x)] = std::uint32_t(std::max(0, 255 - d * 6)) << 24 | 0x40C0FF;
        }
    std::vector<unsigned char> glowPng = gui::encodePng(glow.data(), 60, 24, 60);
    CBitmap* glowBitmap = CBitmap::fromImageFile(glowPng.data(), glowPng.size());
    auto* lamp = new CView(CRect(240, 34, 300, 58));
    lamp->setBackground(glowBitmap);
    glowBitmap->forget();
    f->addView(lamp);

    CBitmap* panel = solidBitmap(280, 24, 0xFF0A1A2A);
    f->addView(new Overlay(CRect(20, 166, 300, 190), panel));
    panel->forget();

    // Everything drawn, then a gesture: the middle knob turned by the wheel and redrawn at idle.
    f.window().paint();
    f.window().wheel(140, 88, 240, 0);
    f->idle();
    f.press(130, 44);
    f->idle();

    const std::vector<std::uint32_t>& shown = f.window().pixels();
    ASSERT_TRUE(gui::writePngFile("gui_demo.png", shown.data(), 320, 200, 320));
    std::FILE* file = std::fopen("gui_demo.png", "rb");
    ASSERT_NE(file, nullptr);
    std::fclose(file);

    EXPECT_EQ(f.window().pixel(25, 40), 0xFF5AE66Eu);  // the power lamp, on
    EXPECT_EQ(f.window().pixel(125, 40), 0xFF3CA0E6u); // the rocker held on its right half
    std::uint64_t print = fingerprint(shown.data(), shown.size());
    EXPECT_EQ(print, 0x013f40f2b05f186full) << std::hex << print;
    f.release(130, 44);
}
