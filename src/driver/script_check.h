// A look over a script for the mistakes that make a run do less than its author meant, without
// running it: lines that look like commands but are ignored, malformed commands, blanks that
// stay part of a name, names a form cannot hold, commands that never act because an earlier
// one takes their place, renames that do not chain, and property rules for a class that a class
// rename takes away first.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace reshape {

// One line per problem, in script line order, each "NAME:LINE: message" without a line break;
// empty when the script has none. Lines are split as the script reader splits them.
std::vector<std::string> CheckScript(std::string_view scriptName, std::string_view scriptText);

}  // namespace reshape
