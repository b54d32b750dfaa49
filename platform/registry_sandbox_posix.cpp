// The folder store follows $XDG_CONFIG_HOME, which a plug-in in the same process reads on every
// key it opens: a sandbox is a fresh temporary folder put into that variable.
#include "platform/registry_sandbox.h"

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>

namespace platform {

struct RegistrySandbox::Impl {
    std::string folder;
    std::optional<std::string> previous;
};

RegistrySandbox::RegistrySandbox() : impl(std::make_unique<Impl>()) {
    const char* tmp = std::getenv("TMPDIR");
    std::string pattern = std::string(tmp && tmp[0] == '/' ? tmp : "/tmp") + "/orvel-registry-XXXXXX";
    if (!::mkdtemp(pattern.data())) return;
    impl->folder = pattern;
    if (const char* config = std::getenv("XDG_CONFIG_HOME")) impl->previous = config;
    ::setenv("XDG_CONFIG_HOME", impl->folder.c_str(), 1);
}

RegistrySandbox::~RegistrySandbox() {
    if (impl->folder.empty()) return;
    if (impl->previous)
        ::setenv("XDG_CONFIG_HOME", impl->previous->c_str(), 1);
    else
        ::unsetenv("XDG_CONFIG_HOME");
    std::error_code ignored;
    std::filesystem::remove_all(impl->folder, ignored);
}

bool RegistrySandbox::active() const {
    return !impl->folder.empty();
}

} // namespace platform
