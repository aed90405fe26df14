// The two informational command lines: "--help" (or "-h") and "--version".
#pragma once

#include <string_view>

#include "driver/console.h"

namespace reshape {

// Prints usage or the version when the single argument asks for it; false for any other text.
bool HandleInformationOption(std::string_view argument, Console& console);

}  // namespace reshape
