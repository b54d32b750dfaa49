// The look of what the X11 backend draws itself (pop-up menu, file dialog, message box): the
// editor's dark panels with light text, and the toolkit's typeface at the size of its labels.
#pragma once

#include <cstdint>

namespace platform::x11::look {

constexpr std::uint32_t kBackground = 0xFF2E2E2E;
constexpr std::uint32_t kPanel = 0xFF1E1E1E;
constexpr std::uint32_t kText = 0xFFE6E6E6;
constexpr std::uint32_t kDim = 0xFF9A9A9A;    // folders, the filter, grayed menu entries
constexpr std::uint32_t kMarked = 0xFF3D6A99; // the entry under the pointer, the chosen row
constexpr std::uint32_t kButton = 0xFF474747;
constexpr std::uint32_t kEdge = 0xFF5E5E5E; // outlines, separators, column rules
constexpr std::uint32_t kWarning = 0xFFE08060;
constexpr int kFont = 12; // pixels

} // namespace platform::x11::look
