// The Windows registry offers the test no simple way to refuse one key or value to its own user.
#include "support/registry_faults.h"

namespace editortest {

bool blockPreferencesKey() {
    return false;
}

bool blockPreferenceValue(const char*) {
    return false;
}

} // namespace editortest
