#include "gui/frame_editor.h"

#include "gui/standard_controls.h"
#include "gui/tick_source.h"
#include "platform/ole.h"

std::int32_t CFrameEditor::knobMode = kCircularMode;

namespace {

constexpr std::uint32_t kPumpInterval = 100; // ms between two pump passes
constexpr std::uint32_t kEarlySleep = 4;     // ms slept by an early call
constexpr std::int32_t kEarlyTolerance = 50; // ms: an early call this close to the schedule still pumps

} // namespace

CFrameEditor::CFrameEditor(gui::EditorHost* host) : host(host), nextPumpTicks(gui::ticks()) {
    oleInitialized = platform::oleInitialize();
}

CFrameEditor::~CFrameEditor() {
    delete frame;
    frame = nullptr;
    if (oleInitialized) platform::oleUninitialize();
}

bool CFrameEditor::open(void* parentWindow) {
    systemWindow = parentWindow;
    return false;
}

bool CFrameEditor::onKeyDown(gui::KeyEvent& key) {
    return frame && frame->onKeyDown(key) == 1;
}

bool CFrameEditor::onKeyUp(gui::KeyEvent& key) {
    return frame && frame->onKeyUp(key) == 1;
}

void CFrameEditor::idle() {
    if (inIdleStuff || !frame) return;
    frame->idle();
}

void CFrameEditor::close() {
    delete frame;
    frame = nullptr;
    systemWindow = nullptr;
}

void CFrameEditor::doIdleStuff() {
    std::uint32_t now = gui::ticks();
    if (std::int32_t(nextPumpTicks - now) > 0) {
        gui::sleepTicks(kEarlySleep);
        now = gui::ticks();
        if (std::int32_t(nextPumpTicks - now) > kEarlyTolerance) return;
    }
    nextPumpTicks = now + kPumpInterval;
    idle();
    if (frame) frame->dispatchPendingPaints();
    inIdleStuff = true;
    if (host) host->idleHost();
    inIdleStuff = false;
}

void CFrameEditor::beginEdit(std::int32_t index) {
    if (host) host->beginEdit(index);
}

void CFrameEditor::endEdit(std::int32_t index) {
    if (host) host->endEdit(index);
}
