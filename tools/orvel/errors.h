// The two kinds of failure orvel reports: a wrong command line (exit code 2) and everything else that
// stops a job (exit code 1). Each carries the one message shown on stderr.
#pragma once

#include <stdexcept>

namespace orvel {

struct Error : std::runtime_error {
    using std::runtime_error::runtime_error;
};

struct UsageError : Error {
    using Error::Error;
};

} // namespace orvel
