// The bundle's Turtle files, written from the port table, the parameter table and the factory
// presets at build time.
#pragma once

#include <string>

namespace lv2turtle {

std::string manifest();
std::string plugin();
std::string presets();

// A number as Turtle reads it back to the same float: nine significant digits, always a decimal or
// a double literal.
std::string number(float value);

} // namespace lv2turtle
