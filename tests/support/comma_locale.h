// Switches the process's C locale to one whose decimal separator is a comma (German), as a host
// may do, and back to "C". Texts and typed numbers of the editor must not notice.
#pragma once

namespace testsupport {

// False when no such locale can be had on this machine (a test that needs one then fails).
bool useCommaLocale();

// The system's way of getting such a locale when none is installed; true when it set one.
bool installCommaLocale();

class CommaLocale {
public:
    CommaLocale() : active(useCommaLocale()) {}
    ~CommaLocale();
    CommaLocale(const CommaLocale&) = delete;
    CommaLocale& operator=(const CommaLocale&) = delete;
    explicit operator bool() const { return active; }

private:
    bool active;
};

} // namespace testsupport
