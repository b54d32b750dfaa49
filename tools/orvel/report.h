// The report of a job, as aligned text for people or as JSON for scripts.
#pragma once

#include <string>
#include <vector>

#include "tools/orvel/job.h"
#include "tools/orvel/json.h"

namespace orvel {

std::string reportText(const Report& report);
JsonValue reportJson(const Report& report);

// A figure as the text report shows it: fixed decimals, "-inf" for silence, "n/a" when unknown.
std::string fixedText(double value, int decimals);
// With a sign: "+3.20", "-1.05".
std::string signedText(double value, int decimals);

} // namespace orvel
