// orvel-contact-sheet OUTPUT.png
//
// Reads every bitmap back through the resource lookup the plug-in uses and lays them out on one PNG
// for review: a mock-up of the editor assembled from them (closed and with the info panel open), then
// each bitmap with its number, frames side by side.
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <exception>
#include <optional>
#include <string>
#include <vector>

#include <stb/stb_image.h>

#include "canvas.h"
#include "encode.h"
#include "platform/resources.h"
#include "text.h"

namespace {

using art::Color;
using art::Image;
using art::rgb;

std::uint32_t le(const unsigned char* p, int n) {
    std::uint32_t v = 0;
    for (int i = n - 1; i >= 0; --i)
        v = v << 8 | p[i];
    return v;
}

std::optional<Image> decodeDib(const platform::ResourceData& d) {
    if (!d || d.size < 40) return std::nullopt;
    const unsigned char* p = d.bytes;
    int w = static_cast<std::int32_t>(le(p + 4, 4)), h = static_cast<std::int32_t>(le(p + 8, 4));
    int bpp = le(p + 14, 2);
    bool bottomUp = h > 0;
    h = std::abs(h);
    if (bpp != 24 && bpp != 32) return std::nullopt;
    std::size_t stride = (static_cast<std::size_t>(w) * (bpp / 8) + 3) & ~std::size_t(3);
    std::size_t offset = le(p, 4);
    if (offset + stride * h > d.size) return std::nullopt;
    Image img(w, h);
    for (int y = 0; y < h; ++y) {
        const unsigned char* row = p + offset + stride * (bottomUp ? h - 1 - y : y);
        for (int x = 0; x < w; ++x) {
            const unsigned char* px = row + x * (bpp / 8);
            img.at(x, y) = rgb(px[2], px[1], px[0]);
        }
    }
    return img;
}

std::optional<Image> decodePng(const platform::ResourceData& d) {
    if (!d) return std::nullopt;
    int w, h, n;
    unsigned char* px = stbi_load_from_memory(d.bytes, static_cast<int>(d.size), &w, &h, &n, 4);
    if (!px) return std::nullopt;
    Image img(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const unsigned char* q = px + (static_cast<std::size_t>(y) * w + x) * 4;
            img.at(x, y) = rgb(q[0], q[1], q[2], q[3]);
        }
    stbi_image_free(px);
    return img;
}

struct Bitmaps {
    std::vector<std::pair<int, Image>> numbered;
    Image png158, png159;
    const Image& get(int n) const {
        for (const auto& [k, img] : numbered)
            if (k == n) return img;
        throw std::runtime_error("bitmap " + std::to_string(n) + " is missing");
    }
};

// Draws frame `frame` of a strip whose frames are `fh` rows high at (x, y); opaque or with alpha.
void drawFrame(Image& dst, const Image& src, int x, int y, int w, int fh, int frame, int srcX = 0) {
    for (int j = 0; j < fh; ++j)
        for (int i = 0; i < w; ++i)
            if (src.contains(srcX + i, frame * fh + j))
                dst.blend(x + i, y + j, src.at(srcX + i, frame * fh + j));
}

// The editor's printer: glyph cells 6 wide, the cell filled first unless the font is transparent.
void print(Image& dst, const Image& font, int x, int baseline, const std::string& text, bool highlighted,
           std::optional<Color> cell) {
    for (char ch : text) {
        int g = (ch & 0x7F) - 32 + (highlighted ? 96 : 0);
        if (g < 0 || g > 191) g = 0;
        if (cell)
            for (int j = baseline - 7; j <= baseline; ++j)
                for (int i = x; i < x + 6; ++i)
                    dst.blend(i, j, *cell);
        drawFrame(dst, font, x, baseline - 7, 5, 8, g);
        x += 6;
    }
}

int px(float db, float offset) {
    int v = static_cast<int>((db + offset) * 6 + 0.5f);
    return std::clamp(v, 0, 360);
}

Image mockup(const Bitmaps& b, bool infoOpen) {
    Image win = b.get(128);
    auto frame = [&](int n, int x, int y, int w, int fh, int f) { drawFrame(win, b.get(n), x, y, w, fh, f); };
    // Input meter in K-14 (RMS −20 and −11 dBFS, peaks −8 and −6), output meter in peak mode.
    {
        frame(132, 164, 38, 27, 367, 0);
        const int Z = 420, U = 60;
        float rms[2] = {-20, -11}, peak[2] = {-8, -6};
        int xs[2] = {150, 191};
        for (int c = 0; c < 2; ++c) {
            int r = px(rms[c], 60);
            drawFrame(win, b.get(154).crop(0, Z - r, 15, r), xs[c], 402 - r, 15, r, 0);
            drawFrame(win, b.get(129).crop(0, U, 15, 360 - r), xs[c], 42, 15, 360 - r, 0);
            int p = px(peak[c], 60);
            drawFrame(win, b.get(154).crop(0, Z - p, 15, 3), xs[c], 402 - p, 15, 3, 0);
        }
    }
    {
        frame(136, 335, 38, 27, 367, 0);
        float held[2] = {-3, 0.8f};
        int xs[2] = {320, 363};
        for (int c = 0; c < 2; ++c) {
            int h = px(held[c], 48);
            drawFrame(win, b.get(130).crop(0, 408 - h, 15, h), xs[c], 402 - h, 15, h, 0);
            drawFrame(win, b.get(155).crop(0, 48, 15, 360 - h), xs[c], 42, 15, 360 - h, 0);
        }
    }
    // Gain reduction −6 and −2.5 dB, normal scale.
    frame(167, 233, 39, 58, 153, 0);
    for (auto [x, db] : {std::pair{234, -6.0f}, std::pair{275, -2.5f}}) {
        int n = std::clamp(1 - static_cast<int>(db * 6 - 0.5f), 0, 145);
        frame(156, x, 42, 15, n, 0);
    }
    // Read-outs.
    const Image& f137 = b.get(137);
    const Image& f138 = b.get(138);
    const Color grey = rgb(79, 79, 79), plain = rgb(223, 247, 255), red = rgb(229, 53, 5);
    auto lcd = [&](int L, int B, const char* left, const char* right, bool kMode, bool over) {
        for (int j = B - 10; j < B - 1; ++j)
            for (int i = L + 1; i < L + 32; ++i)
                win.at(i, j) = grey;
        for (int j = B - 10; j < B - 1; ++j)
            for (int i = L + 61; i < L + 92; ++i)
                win.at(i, j) = over ? red : grey;
        print(win, f137, L + 17 - 3 * static_cast<int>(std::strlen(left)), B - 2, left, true, grey);
        print(win, over ? f138 : f137, L + 77 - 3 * static_cast<int>(std::strlen(right)), B - 2, right, true,
              over ? red : grey);
        if (kMode) {
            print(win, f137, L + 35, B - 2, "    ", false, plain);
            print(win, f137, L + 38, B - 2, "dBr", false, plain);
        } else {
            print(win, f137, L + 35, B - 2, "dBFS", false, plain);
        }
    };
    lcd(131, 426, "+6.0", "+8.0", true, false);
    lcd(303, 426, "-3.0", "over", false, true);
    {
        int L = 217, B = 210;
        for (int j = B - 10; j < B - 1; ++j)
            for (int i = L + 1; i < L + 32; ++i)
                win.at(i, j) = grey, win.at(i + 60, j) = grey;
        print(win, f137, L + 17 - 12, B - 2, "-6.0", true, grey);
        print(win, f137, L + 77 - 12, B - 2, "-2.5", true, grey);
        print(win, f137, L + 41, B - 2, "dB", false, plain);
    }
    // Buttons in a representative state.
    frame(139, 44, 40, 33, 19, 1);
    frame(140, 81, 40, 33, 19, 0);
    frame(141, 223, 305, 35, 56, 4);
    frame(162, 412, 40, 33, 19, 1);
    frame(163, 449, 40, 33, 19, 1);
    frame(142, 412, 78, 33, 19, 4);
    frame(143, 449, 78, 33, 19, 5);
    frame(145, 269, 341, 33, 19, 0);
    frame(144, 269, 265, 33, 19, 0);
    frame(164, 224, 265, 33, 19, 1);
    frame(165, 224, 230, 33, 19, 1);
    frame(166, 269, 230, 33, 19, 0);
    frame(160, 269, 307, 33, 19, 1);
    frame(146, 38, 121, 90, 25, 2);
    frame(149, 245, 400, 35, 35, 1);
    frame(161, 394, 368, 18, 24, 1);
    frame(161, 116, 368, 18, 24, 0);
    // Knobs at their defaults.
    frame(152, 55, 169, 50, 48, 50);
    frame(153, 56, 267, 49, 47, 61);
    frame(147, 421, 169, 48, 47, 100);
    frame(148, 421, 267, 48, 47, 100);
    frame(150, 52, 349, 56, 55, 50);
    frame(151, 417, 349, 58, 56, 50);
    // Value fields: the transparent fonts, centred as the editor centres them.
    auto field = [&](int l, int t, int r, int bot, const std::string& text, const Image& font) {
        int len = static_cast<int>(text.size());
        int x = std::max(l, l + (r - l - 6 * len) / 2);
        print(win, font, x, (t + bot) / 2 + 4, text, false, std::nullopt);
    };
    field(43, 409, 117, 427, "+0.00dB", b.png159);
    field(410, 409, 484, 427, "-6.00dB", b.png159);
    field(45, 221, 119, 239, "50.0%", b.png158);
    field(45, 319, 119, 337, "100.0ms", b.png158);
    field(411, 221, 485, 239, "off", b.png158);
    field(411, 319, 485, 337, "100.0%", b.png158);
    // Preset strip.
    frame(991, 22, 447, 17, 15, 0);
    frame(992, 39, 447, 32, 13, 1);
    frame(990, 72, 447, 17, 15, 0);
    frame(991, 104, 447, 17, 15, 2);
    frame(993, 122, 447, 44, 13, 0);
    frame(990, 166, 447, 17, 15, 1);
    frame(995, 340, 447, 30, 13, 2);
    frame(991, 388, 447, 17, 15, 0);
    frame(990, 421, 447, 17, 15, 0);
    frame(991, 452, 447, 17, 15, 0);
    frame(990, 486, 447, 17, 15, 0);
    if (infoOpen) {
        const Image& panel = b.get(157);
        for (int j = 0; j < panel.height(); ++j)
            for (int i = 0; i < panel.width(); ++i)
                win.blend(43 + i, 294 + j, panel.at(i, j), 200.0f / 255.0f);
        print(win, f137, 55, 309, "Orvel Zelmar", true, grey);
        print(win, b.png158, 200, 309, "Brickwall Limiting, Metering and Requantizing", false, std::nullopt);
        print(win, b.png158, 55, 323, "Version:", false, std::nullopt);
        print(win, b.png158, 440, 323, "1.1.9", false, std::nullopt);
        print(win, b.png158, 55, 337, "Current process latency (samples):", false, std::nullopt);
        print(win, b.png158, 470 - 18, 337, "287", false, std::nullopt);
        print(win, b.png158, 165, 351, "VST plugin technology by Steinberg", false, std::nullopt);
    }
    return win;
}

Image scaled(const Image& src, int k) {
    Image out(src.width() * k, src.height() * k);
    for (int y = 0; y < out.height(); ++y)
        for (int x = 0; x < out.width(); ++x)
            out.at(x, y) = src.at(x / k, y / k);
    return out;
}

struct Sheet {
    Image img;
    const art::Font& font;
    int x = 20, y = 20, rowH = 0;
    static constexpr int kWidth = 1600;

    void newRow() {
        x = 20;
        y += rowH + 16;
        rowH = 0;
    }
    // Places a block with a caption; wraps to a new row when it does not fit.
    void place(const std::string& caption, const Image& block) {
        if (x + block.width() > kWidth - 20 && x > 20) newRow();
        font.draw(img, x, y + 11, caption, {11, rgb(230, 232, 236), 0, art::Align::Left});
        img.paste(block, x, y + 16);
        x += std::max(block.width(), static_cast<int>(font.width(caption, {11}))) + 18;
        rowH = std::max(rowH, block.height() + 16);
    }
};

// Frames side by side, `perRow` per row, 2 px apart, on a checkerboard where there is transparency.
Image framesBlock(const Image& strip, int frames, int perRow, int scale) {
    int fh = strip.height() / frames;
    int cols = std::min(frames, perRow), rows = (frames + perRow - 1) / perRow;
    int w = strip.width() * scale, h = fh * scale;
    Image out(cols * (w + 2) - 2, rows * (h + 2) - 2, rgb(70, 70, 70));
    for (int f = 0; f < frames; ++f) {
        int ox = (f % perRow) * (w + 2), oy = (f / perRow) * (h + 2);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                bool check = ((x / 4) + (y / 4)) % 2;
                out.at(ox + x, oy + y) = check ? rgb(200, 200, 205) : rgb(150, 150, 155);
                out.blend(ox + x, oy + y, strip.at(x / scale, f * fh + y / scale));
            }
    }
    return out;
}

// A glyph strip shown as 16 × 12 characters.
Image glyphBlock(const Image& strip, int scale) {
    Image out(16 * 6 * scale, 12 * 8 * scale, rgb(120, 120, 125));
    for (int g = 0; g < 192; ++g) {
        int ox = (g % 16) * 6 * scale, oy = (g / 16) * 8 * scale;
        for (int y = 0; y < 8 * scale; ++y)
            for (int x = 0; x < 5 * scale; ++x)
                out.blend(ox + x, oy + y, strip.at(x / scale, g * 8 + y / scale));
    }
    return out;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: orvel-contact-sheet OUTPUT.png\n");
        return 2;
    }
    try {
        art::Font font(ORVEL_LABEL_FONT);
        Bitmaps b;
        struct Entry {
            int number, frames;
        };
        const std::vector<Entry> entries = {
            {128, 1},   {129, 1},   {130, 1},  {154, 1},   {155, 1},   {131, 1},   {132, 1},   {133, 1},
            {134, 1},   {135, 1},   {136, 1},  {156, 1},   {167, 2},   {157, 1},   {139, 2},   {140, 2},
            {162, 2},   {149, 2},   {144, 3},  {160, 3},   {163, 3},   {164, 3},   {165, 3},   {166, 3},
            {161, 3},   {142, 6},   {143, 7},  {145, 7},   {141, 7},   {146, 3},   {990, 3},   {991, 3},
            {992, 3},   {993, 3},   {995, 5},  {152, 101}, {153, 101}, {147, 101}, {148, 101}, {150, 101},
            {151, 101}, {137, 192}, {138, 192}};
        for (const Entry& e : entries) {
            auto img = decodeDib(platform::findBitmapResource(e.number));
            if (!img) throw std::runtime_error("bitmap " + std::to_string(e.number) + " is missing");
            b.numbered.emplace_back(e.number, *img);
        }
        auto p158 = decodePng(platform::findDataResource("bmp00158.png"));
        auto p159 = decodePng(platform::findDataResource("bmp00159.png"));
        if (!p158 || !p159) throw std::runtime_error("a PNG glyph strip is missing");
        b.png158 = *p158;
        b.png159 = *p159;

        Sheet sheet{Image(Sheet::kWidth, 4200, rgb(40, 40, 44)), font};
        sheet.place("Editor mock-up (100 %)", mockup(b, false));
        sheet.place("Info panel open (100 %)", mockup(b, true));
        sheet.newRow();
        for (const Entry& e : entries) {
            if (e.number == 128) continue;
            const Image& img = b.get(e.number);
            std::string caption = std::to_string(e.number) + "  " + std::to_string(img.width()) + "x" +
                                  std::to_string(img.height() / e.frames) +
                                  (e.frames > 1 ? " x" + std::to_string(e.frames) : "");
            if (e.frames == 192)
                sheet.place(caption, glyphBlock(img, 3));
            else if (e.frames == 101)
                sheet.place(caption, framesBlock(img, 101, 26, 1));
            else if (e.number == 157 || img.height() > 300)
                sheet.place(caption, framesBlock(img, e.frames, 8, 1));
            else
                sheet.place(caption, framesBlock(img, e.frames, 8, 2));
        }
        sheet.place("BMP00158.PNG", glyphBlock(b.png158, 3));
        sheet.place("BMP00159.PNG", glyphBlock(b.png159, 3));
        sheet.newRow();
        sheet.place("Editor mock-up (200 %)", scaled(mockup(b, false), 2));
        sheet.newRow();
        Image out = sheet.img.crop(0, 0, Sheet::kWidth, std::min(sheet.img.height(), sheet.y + 10));
        art::writeFile(argv[1], art::encodePng(out, false));
    } catch (const std::exception& e) {
        std::fprintf(stderr, "orvel-contact-sheet: %s\n", e.what());
        return 1;
    }
    return 0;
}
