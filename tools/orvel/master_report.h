// The master's part of the report: the target, each pass, the outcome; as text and as JSON.
#pragma once

#include <string>

#include "tools/orvel/json.h"
#include "tools/orvel/master_search.h"

namespace orvel {

std::string outcomeName(MasterOutcome outcome);
std::string masterText(const MasterGoal& goal, const MasterSearch& search, const std::string& subject);
JsonValue masterJson(const MasterGoal& goal, const MasterSearch& search);

} // namespace orvel
