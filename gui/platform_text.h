// The toolkit's typeface for what a window backend draws itself (platform/text_painter.h).
#pragma once

namespace gui::text {

// Makes the compiled-in typeface the backend's text renderer (a frame does this as it opens).
void registerWithPlatform();

} // namespace gui::text
