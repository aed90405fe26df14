// The 80-bit extended float of form streams: its ten stored bytes, its text in the text form,
// and the parsing of float literals. All of it is independent of the process locale: "." is
// always the decimal separator.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace reshape {

using ExtendedBytes = std::array<std::uint8_t, 10>;

// The x87 layout: 64-bit significand with explicit integer bit, then 15-bit biased exponent
// and the sign bit. Bit patterns pass through unchanged in both directions.
ExtendedBytes ExtendedToBytes(long double value);
long double BytesToExtended(const ExtendedBytes& bytes);

// The float text: "0", "INF", "-INF", "NAN", or up to 15 significant digits (a 16th digit of 5
// or more rounds up, trailing zeros dropped) in fixed notation for numbers from 0.0001 up to
// below 10^15 (as 0.d x 10^E with -3 <= E <= 15), else as d.ddE-n / d.ddEn.
std::string FloatToText(long double value);

// Parses optional blanks, an optional sign, digits with an optional "." fraction (at least one
// digit), an optional exponent (E or e, optional sign, digits), optional blanks. The result is
// the nearest extended value; a number too small for it gives zero. False for any other text
// and for numbers too large.
bool TextToExtended(std::string_view text, long double& value);

}  // namespace reshape
