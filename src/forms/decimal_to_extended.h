// Exact conversions between decimal numbers and the 80-bit extended type, correctly rounded on
// every compiler whose long double is that type. The standard library's conversions cannot be
// used for it: MinGW-w64's std::from_chars parses a long double with double precision only.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace reshape {

// The extended value nearest to the integer written by `digits` (decimal digits only) times
// 10^exponent10, ties to even; subnormal results are kept, smaller ones give zero. False when
// the value is too large for the type.
bool DecimalToExtended(std::string_view digits, std::int64_t exponent10, long double& value);

// All decimal digits of significand x 2^exponent2 (significand not zero), without leading
// zeros; exponent10 receives the power of ten they are to be multiplied by.
std::string ExactDecimalDigits(std::uint64_t significand, int exponent2, int& exponent10);

}  // namespace reshape
