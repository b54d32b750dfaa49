// HKEY_CURRENT_USER is remapped for the whole process (plug-in DLLs included) to a fresh key of its
// own, which is deleted again at the end.
#include "platform/registry_sandbox.h"

#include <string>
#include <vector>
#include <windows.h>

namespace platform {

namespace {
// The open sandboxes, innermost last: ending one maps HKEY_CURRENT_USER back to the one before.
std::vector<HKEY>& openSandboxes() {
    static std::vector<HKEY> stack;
    return stack;
}
int serial = 0;
} // namespace

struct RegistrySandbox::Impl {
    std::string path; // relative to what HKEY_CURRENT_USER meant when the sandbox began
    HKEY sandbox = nullptr;
};

RegistrySandbox::RegistrySandbox() : impl(std::make_unique<Impl>()) {
    impl->path = "Software\\OrvelTestSandbox\\" + std::to_string(GetCurrentProcessId()) + "-" +
                 std::to_string(++serial);
    RegDeleteTreeA(HKEY_CURRENT_USER, impl->path.c_str());
    if (RegCreateKeyExA(HKEY_CURRENT_USER, impl->path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                        KEY_ALL_ACCESS, nullptr, &impl->sandbox, nullptr) != ERROR_SUCCESS) {
        impl->sandbox = nullptr;
        return;
    }
    if (RegOverridePredefKey(HKEY_CURRENT_USER, impl->sandbox) != ERROR_SUCCESS) {
        RegCloseKey(impl->sandbox);
        impl->sandbox = nullptr;
        RegDeleteTreeA(HKEY_CURRENT_USER, impl->path.c_str());
        return;
    }
    openSandboxes().push_back(impl->sandbox);
}

RegistrySandbox::~RegistrySandbox() {
    if (!impl->sandbox) return;
    std::vector<HKEY>& stack = openSandboxes();
    if (!stack.empty() && stack.back() == impl->sandbox) stack.pop_back();
    RegOverridePredefKey(HKEY_CURRENT_USER, stack.empty() ? nullptr : stack.back());
    RegCloseKey(impl->sandbox);
    RegDeleteTreeA(HKEY_CURRENT_USER, impl->path.c_str());
    // The parent goes too once no other sandbox uses it.
    RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\OrvelTestSandbox");
}

bool RegistrySandbox::active() const {
    return impl->sandbox != nullptr;
}

} // namespace platform
