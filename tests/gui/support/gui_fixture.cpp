#include "support/gui_fixture.h"

#include <cstdio>

namespace guitest {

std::string pointText(const CPoint& p) {
    return std::to_string(p.x) + "," + std::to_string(p.y);
}

namespace {

std::string event(const char* kind, const std::string& name, const CPoint& p, CButtonState b) {
    return std::string(kind) + " " + name + " " + pointText(p) + " b=" + std::to_string(b);
}

std::string valueText(float v) {
    char text[32];
    std::snprintf(text, sizeof text, "%g", double(v));
    return text;
}

} // namespace

CMouseEventResult ProbeView::onMouseDown(CPoint& where, const CButtonState& buttons) {
    journal.add(event("down", name, where, buttons));
    return downResult;
}

CMouseEventResult ProbeView::onMouseUp(CPoint& where, const CButtonState& buttons) {
    journal.add(event("up", name, where, buttons));
    return kMouseEventHandled;
}

CMouseEventResult ProbeView::onMouseMoved(CPoint& where, const CButtonState& buttons) {
    journal.add(event("move", name, where, buttons));
    return moveResult;
}

CMouseEventResult ProbeView::onMouseEntered(CPoint& where, const CButtonState& buttons) {
    journal.add(event("enter", name, where, buttons));
    return kMouseEventHandled;
}

CMouseEventResult ProbeView::onMouseExited(CPoint& where, const CButtonState& buttons) {
    journal.add(event("exit", name, where, buttons));
    return kMouseEventHandled;
}

bool ProbeView::onWheel(const CPoint& where, const float& distance, const CButtonState& buttons) {
    journal.add("wheel " + name + " " + pointText(where) + " d=" + valueText(distance) +
                " b=" + std::to_string(buttons));
    return wheelResult;
}

std::int32_t ProbeView::onKeyDown(gui::KeyEvent& key) {
    journal.add("key " + name + " " + std::to_string(int(key.key)));
    return keyResult;
}

CMessageResult ProbeContainer::notify(CView* sender, const char* message) {
    auto* probe = dynamic_cast<ProbeView*>(sender);
    journal.add(std::string("notify ") + name + " " + message + (probe ? " " + probe->name : ""));
    return answer;
}

void RecordingListener::controlChanged(CControl* control) {
    journal.add("changed " + std::to_string(control->getTag()) + " " + valueText(control->getValue()));
}

void RecordingListener::controlBeginEdit(CControl* control) {
    journal.add("begin " + std::to_string(control->getTag()));
}

void RecordingListener::controlEndEdit(CControl* control) {
    journal.add("end " + std::to_string(control->getTag()));
}

std::int32_t RecordingListener::controlModifierClicked(CControl* control, CButtonState buttons) {
    journal.add("modifier " + std::to_string(control->getTag()) + " b=" + std::to_string(buttons));
    return acceptModifierClick;
}

FrameFixture::FrameFixture(CRect size) {
    frame = new CFrame(size, nullptr, &editor);
    headless = platform::asHeadless(frame->getPlatformWindow());
}

FrameFixture::~FrameFixture() {
    delete frame;
    platform::headless::reset();
}

void FrameFixture::click(CCoord x, CCoord y, CButtonState buttons) {
    press(x, y, buttons);
    release(x, y, buttons & ~(kLButton | kMButton | kRButton));
}

std::uint32_t FrameFixture::paintedPixel(CCoord x, CCoord y) {
    headless->paint();
    return headless->pixel(x, y);
}

CBitmap* solidBitmap(CCoord width, CCoord height, std::uint32_t argb) {
    std::vector<std::uint32_t> pixels(std::size_t(width) * std::size_t(height), argb);
    return new CBitmap(width, height, pixels.data());
}

CBitmap* stripBitmap(CCoord width, CCoord frameHeight, const std::vector<std::uint32_t>& colours) {
    std::vector<std::uint32_t> pixels;
    for (std::uint32_t c : colours)
        pixels.insert(pixels.end(), std::size_t(width) * std::size_t(frameHeight), c);
    return new CBitmap(width, frameHeight * CCoord(colours.size()), pixels.data());
}

namespace {

void put16(std::vector<unsigned char>& out, std::uint32_t v) {
    out.push_back(std::uint8_t(v)), out.push_back(std::uint8_t(v >> 8));
}
void put32(std::vector<unsigned char>& out, std::uint32_t v) {
    put16(out, v & 0xFFFF), put16(out, v >> 16);
}

} // namespace

std::vector<unsigned char> makeDib(int width, int height, int bits, const std::vector<std::uint32_t>& pixels,
                                   const std::vector<std::uint32_t>& palette, bool topDown) {
    std::vector<unsigned char> out;
    std::size_t stride = ((std::size_t(width) * std::size_t(bits) + 31) / 32) * 4;
    put32(out, 40);
    put32(out, std::uint32_t(width));
    put32(out, std::uint32_t(topDown ? -height : height));
    put16(out, 1);
    put16(out, std::uint32_t(bits));
    put32(out, 0); // uncompressed
    put32(out, std::uint32_t(stride * std::size_t(height)));
    put32(out, 2835), put32(out, 2835);
    put32(out, std::uint32_t(palette.size()));
    put32(out, 0);
    for (std::uint32_t c : palette)
        put32(out, c & 0xFFFFFF);
    for (int row = 0; row < height; ++row) {
        int y = topDown ? row : height - 1 - row;
        std::vector<unsigned char> line;
        for (int x = 0; x < width; ++x) {
            std::uint32_t p = pixels[std::size_t(y) * std::size_t(width) + std::size_t(x)];
            if (bits == 8) line.push_back(std::uint8_t(p));
            if (bits == 24)
                line.push_back(std::uint8_t(p)), line.push_back(std::uint8_t(p >> 8)),
                    line.push_back(std::uint8_t(p >> 16));
            if (bits == 32) put32(line, p);
        }
        line.resize(stride, 0);
        out.insert(out.end(), line.begin(), line.end());
    }
    return out;
}

std::uint64_t fingerprint(const std::uint32_t* pixels, std::size_t count) {
    std::uint64_t h = 1469598103934665603ull;
    for (std::size_t i = 0; i < count; ++i)
        for (int k = 0; k < 4; ++k) {
            h ^= (pixels[i] >> (8 * k)) & 0xFF;
            h *= 1099511628211ull;
        }
    return h;
}

} // namespace guitest
