// What "--help" and "--version" print; the usage also follows a command line that cannot be read.
#pragma once

#include <string>
#include <string_view>

namespace reshape {

std::string_view UsageText();
std::string VersionText();

}  // namespace reshape
