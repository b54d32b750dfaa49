// For tests: gives the calling process, and every plug-in it loads, an empty settings store of its
// own for the sandbox's lifetime, so that no test sees another's stored state or the user's own.
// Sandboxes nest; destroy them in reverse order of creation. Not part of the plug-in.
#pragma once

#include <memory>

namespace platform {

class RegistrySandbox {
public:
    RegistrySandbox();
    ~RegistrySandbox();
    RegistrySandbox(const RegistrySandbox&) = delete;
    RegistrySandbox& operator=(const RegistrySandbox&) = delete;

    bool active() const;

private:
    struct Impl;
    std::unique_ptr<Impl> impl;
};

} // namespace platform
