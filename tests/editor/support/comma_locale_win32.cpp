// The C runtime on Windows knows the German locale by name; there is nothing to install.
#include "support/comma_locale.h"

namespace editortest {

bool installCommaLocale() {
    return false;
}

} // namespace editortest
