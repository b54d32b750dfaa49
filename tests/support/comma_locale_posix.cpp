// glibc without a compiled German locale: compile one into a private folder from the locale
// sources, if the machine has them, and let setlocale look there.
#include <clocale>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "tests/support/comma_locale.h"

namespace testsupport {

bool installCommaLocale() {
    if (!std::filesystem::exists("/usr/share/i18n/locales/de_DE")) return false;
    std::error_code error;
    const std::filesystem::path folder =
        std::filesystem::temp_directory_path(error) / "orvel-editor-tests-locales";
    const std::string target = (folder / "de_DE.UTF-8").string();
    if (!std::filesystem::exists(target)) {
        std::filesystem::create_directories(folder, error);
        const std::string command = "localedef -i de_DE -f UTF-8 '" + target + "' >/dev/null 2>&1";
        if (std::system(command.c_str()) != 0 && !std::filesystem::exists(target)) return false;
    }
    ::setenv("LOCPATH", folder.c_str(), 1);
    return std::setlocale(LC_ALL, "de_DE.UTF-8") != nullptr;
}

} // namespace testsupport
