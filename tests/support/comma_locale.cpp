#include "tests/support/comma_locale.h"

#include <clocale>
#include <initializer_list>

namespace testsupport {

namespace {

bool commaNow() {
    const std::lconv* conventions = std::localeconv();
    return conventions && conventions->decimal_point && conventions->decimal_point[0] == ',';
}

bool trySet(const char* name) {
    return std::setlocale(LC_ALL, name) && commaNow();
}

} // namespace

bool useCommaLocale() {
    for (const char* name : {"de_DE.UTF-8", "de_DE.utf8", "de_DE", "German_Germany.1252", "German"})
        if (trySet(name)) return true;
    return installCommaLocale() && commaNow();
}

CommaLocale::~CommaLocale() {
    std::setlocale(LC_ALL, "C");
}

} // namespace testsupport
