// The C runtime on Windows knows the German locale by name; there is nothing to install.
#include "tests/support/comma_locale.h"

namespace testsupport {

bool installCommaLocale() {
    return false;
}

} // namespace testsupport
