// Pieces the two Win32 window files share: the module that owns the window class and the colouring
// of an entry field, which its parent (the frame window) is asked for.
#pragma once

#include <windows.h>

namespace platform::win32 {

// The module this code is linked into (the plug-in DLL, or a test program).
HMODULE ownModule();

// Answers WM_CTLCOLOREDIT for `control` if it is one of our entry fields: sets its text and
// background colours on dc and returns its brush; null when the control is not ours.
HBRUSH entryFieldColours(HWND control, HDC dc);

} // namespace platform::win32
