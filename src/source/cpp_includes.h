// The units a C++ source names, as the unit pass reads them: each line is read alone.
//
// Lines that name a unit (blanks are the bytes 0x00-0x20 other than CR and LF):
// - an include line: its first non-blank byte is "#", then optional blanks, "include",
//   optional blanks, and "<PATH>" or "\"PATH\"" where PATH's last part (after its last "/"
//   or "\") is NAME.hpp ("hpp" in any letter case): NAME is the unit;
// - "#pragma link \"NAME\"" or "#pragma link \"NAME.obj\"" (blanks as above).
// An include line inside a comment counts as any other.
#pragma once

#include <cstddef>
#include <functional>
#include <string_view>

#include "base/code_page.h"

namespace reshape {

// Calls visit(start, length) for the NAME of each such line of text, in text order, from
// `from` on, up to the first line that starts at or after `limit`.
void FindIncludedUnits(std::string_view text, std::size_t from, CodePage codePage,
                       std::size_t limit,
                       const std::function<void(std::size_t start, std::size_t length)>& visit);

}  // namespace reshape
