#include "strip/strip_fixture.h"

#include <gtest/gtest.h>

#include <sstream>

namespace presettest {

namespace {
int parentWindow; // any address: the headless window has no parent
} // namespace

StripEditor::StripEditor(gui::EditorHost* host, presets::PresetStore* store)
    : CPresetSystemEditor(host, store) {
    rect = CRect(0, 0, 524, 462);
}

bool StripEditor::open(void* parent) {
    frame = new CFrame(CRect(0, 0, 524, 462), parent, this);
    return CPresetSystemEditor::open(parent);
}

void StripEditor::close() {
    CPresetSystemEditor::close();
    delete frame;
    frame = nullptr;
    CFrameEditor::close();
}

void StripEditor::idle() {
    ++idles;
    CPresetSystemEditor::idle();
}

void StripEditor::controlChanged(CControl* control) {
    std::ostringstream line;
    line << control->getTag() << " " << control->getValue();
    reports.push_back(line.str());
    CPresetSystemEditor::controlChanged(control);
}

platform::HeadlessFrameWindow& StripEditor::window() const {
    return *platform::asHeadless(frame->getPlatformWindow());
}

void StripTest::SetUp() {
    ASSERT_TRUE(sandbox.active());
    platform::headless::reset();
    editor = attachStrip<StripEditor>(effect.get());
    ASSERT_TRUE(editor->open(&parentWindow));
    effect->log.clear();
}

void StripTest::TearDown() {
    if (editor->getFrame()) editor->close();
    platform::headless::reset();
}

void StripTest::click(int x, int y, std::uint32_t buttons) {
    editor->window().press(x, y, buttons);
    // The release reports the buttons still held: the modifier keys only.
    editor->window().release(x, y,
                             buttons & ~std::uint32_t(platform::kMouseLeft | platform::kMouseMiddle |
                                                      platform::kMouseRight | platform::kMouseDoubleClick));
}

void StripTest::doubleClick(int x, int y, std::uint32_t modifiers) {
    click(x, y, platform::kMouseLeft | modifiers);
    click(x, y, platform::kMouseLeft | platform::kMouseDoubleClick | modifiers);
}

void StripTest::answerFileDialogs(std::optional<std::string> path) {
    platform::headless::setFileDialogScript([this, path](const platform::FileDialogRequest& request) {
        dialogs.push_back(request);
        return path;
    });
}

void StripTest::answerPopups(int command) {
    platform::headless::setPopupScript(
        [this, command](const std::vector<platform::PopupItem>& items, int, int, bool) {
            popups.push_back(items);
            return command;
        });
}

bool StripTest::showsFrame(const CRect& r, std::int32_t bitmapId, int frames, int n) {
    editor->getFrame()->idle();
    CBitmap strip(bitmapId);
    const CCoord height = strip.getHeight() / frames;
    for (CCoord y = r.top; y < r.bottom; ++y)
        for (CCoord x = r.left; x < r.right; ++x)
            if (editor->getFrame()->getSurfacePixel(x, y) !=
                strip.getPixel(x - r.left, y - r.top + n * height))
                return false;
    return true;
}

std::string StripTest::menuTitle(int entry) const {
    CMenuItem* item = editor->getPresetMenu()->getEntry(entry);
    return item ? item->getTitle() : "(none)";
}

std::string StripTest::fieldText() const {
    return editor->getNameField()->getText();
}

} // namespace presettest
