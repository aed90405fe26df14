// Exact conversion of a decimal number, and of a float literal of the text form, to the 80-bit
// extended type, correctly rounded, in integer arithmetic only: no standard library conversion
// parses to this type on every processor (a long double is 64, 80 or 128 bits wide depending on
// the target).
#pragma once

#include <cstdint>
#include <string_view>

#include "forms/extended.h"

namespace reshape {

// The extended value nearest to the integer written by `digits` (decimal digits only) times
// 10^exponent10, ties to even; subnormal results are kept, smaller ones give zero. False when
// the value is too large for the type.
bool DecimalToExtended(std::string_view digits, std::int64_t exponent10, Extended& value);

// Parses optional blanks, an optional sign, digits with an optional "." fraction (at least one
// digit), an optional exponent (E or e, optional sign, digits), optional blanks. The result is
// the nearest extended value; a number too small for it gives zero. False for any other text
// and for numbers too large.
bool TextToExtended(std::string_view text, Extended& value);

}  // namespace reshape
