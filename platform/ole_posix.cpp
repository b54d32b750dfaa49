#include "platform/ole.h"

namespace platform {

// Nothing to initialize where there is no OLE.
bool oleInitialize() {
    return false;
}
void oleUninitialize() {}

} // namespace platform
