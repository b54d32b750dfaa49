#include "tests/editor/support/controls_fixture.h"

#include <cstdio>

#include "editor/mode_button.h"
#include "engine/parameters.h"
#include "host/vst_keys.h"

namespace controlstest {

std::string valueText(float v) {
    char text[32];
    std::snprintf(text, sizeof text, "%.9g", double(v));
    return text;
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

void RecordingPrefs::storeMeteringPrefs() {
    journal.add("store");
}

void RecordingPrefs::setMeterTypeStep(int k) {
    journal.add("type " + std::to_string(k));
    if (mirror) mirror->setMeterType(engine::centre(k, 2));
}

void RecordingPrefs::setScaleStep(int k) {
    journal.add("scale " + std::to_string(k));
    if (mirror) mirror->setScale(engine::centre(k, 3));
}

EditorWindow::EditorWindow() {
    frame = new CFrame(CRect(0, 0, 524, 462), nullptr, &editor);
    window = platform::asHeadless(frame->getPlatformWindow());
}

EditorWindow::~EditorWindow() {
    delete frame;
    platform::headless::reset();
}

int EditorWindow::click(CCoord x, CCoord y, CButtonState buttons) {
    int result = press(x, y, buttons);
    release(x, y, buttons & ~(kLButton | kMButton | kRButton));
    return result;
}

std::int32_t EditorWindow::key(unsigned char virt, unsigned char modifier) {
    vst::VstKeyCode code{};
    code.virt = virt;
    code.modifier = modifier;
    gui::KeyEvent key = vst::keyEventOf(code);
    return frame->onKeyDown(key);
}

std::uint32_t EditorWindow::paintedPixel(CCoord x, CCoord y) {
    frame->idle();
    window->paint();
    return window->pixel(int(x), int(y));
}

int EditorWindow::shownFrame(CCoord x, CCoord y) {
    std::uint32_t p = paintedPixel(x, y);
    if ((p & 0xFFFF0000u) != 0xFF100000u) return -1;
    return int(p & 0xFFFFu) - 1;
}

CBitmap* stripBitmap(CCoord width, CCoord frameHeight, int frames) {
    std::vector<std::uint32_t> pixels;
    for (int k = 0; k < frames; ++k)
        pixels.insert(pixels.end(), std::size_t(width) * std::size_t(frameHeight), frameColour(k));
    return new CBitmap(width, frameHeight * frames, pixels.data());
}

CBitmap* solidBitmap(CCoord width, CCoord height, std::uint32_t argb) {
    std::vector<std::uint32_t> pixels(std::size_t(width) * std::size_t(height), argb);
    return new CBitmap(width, height, pixels.data());
}

} // namespace controlstest
