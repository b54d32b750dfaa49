// OLE for the calling thread (needed by drag and drop on Windows). Every successful initialize is
// balanced by one uninitialize on the same thread.
#pragma once

namespace platform {

// True when the thread's OLE use count was raised and must be released with oleUninitialize.
bool oleInitialize();
void oleUninitialize();

} // namespace platform
