// The frame window where the plug-in has no display backend (Linux until one exists): the system
// gives no window, so the editor does not open and the host shows its own controls instead.
#include "platform/frame_window.h"

namespace platform {

std::unique_ptr<FrameWindow> FrameWindow::create(void*, int, int, FrameWindowClient&) {
    return nullptr;
}

} // namespace platform
