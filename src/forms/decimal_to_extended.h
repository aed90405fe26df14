// Exact conversion of a decimal number to the 80-bit extended type, correctly rounded on every
// compiler whose long double is that type. The standard library's conversions cannot be used
// for it: MinGW-w64's std::from_chars parses a long double with double precision only.
#pragma once

#include <cstdint>
#include <string_view>

namespace reshape {

// The extended value nearest to the integer written by `digits` (decimal digits only) times
// 10^exponent10, ties to even; subnormal results are kept, smaller ones give zero. False when
// the value is too large for the type.
bool DecimalToExtended(std::string_view digits, std::int64_t exponent10, long double& value);

}  // namespace reshape
