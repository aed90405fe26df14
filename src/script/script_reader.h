// Turns the text of a script into the ordered command list, and names the files that are
// derived from a script or file name. Loading the script file is the driver's business.
#pragma once

#include <string>
#include <string_view>

#include "script/command.h"

namespace reshape {

// The commands of a script text, in line order; throws EAssertionFailed at the first malformed
// command line, and for a text in UTF-16. Lines break at CR, LF or CR LF; a NUL byte ends the
// text; a UTF-8 byte-order mark at its start is skipped.
CommandList ParseScript(std::string_view scriptText);

// The change log's name for a script: its base name and ".LOG", with no directory.
std::string LogFileNameFor(std::string_view scriptFileName);

}  // namespace reshape
