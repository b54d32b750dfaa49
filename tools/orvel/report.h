// The report of a job, as aligned text for people or as JSON for scripts.
#pragma once

#include <string>
#include <vector>

#include "tools/orvel/job.h"

namespace orvel {

std::string reportText(const Report& report);
std::string reportJson(const Report& report);
// A JSON array of reports.
std::string reportsJson(const std::vector<Report>& reports);

// JSON helpers shared with `orvel info`.
std::string jsonString(const std::string& text);
std::string jsonNumber(double value, int decimals); // null when not finite

} // namespace orvel
