#include "platform/ole.h"

#include <ole2.h>
#include <windows.h>

namespace platform {

// S_FALSE (already initialized on this thread) raises the use count too and is balanced the same way.
bool oleInitialize() {
    return SUCCEEDED(OleInitialize(nullptr));
}
void oleUninitialize() {
    OleUninitialize();
}

} // namespace platform
