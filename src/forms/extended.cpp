#include "forms/extended.h"

#include <algorithm>
#include <cstring>
#include <limits>

#include "forms/decimal_to_extended.h"

namespace reshape {

static_assert(std::numeric_limits<long double>::is_iec559 &&
                  std::numeric_limits<long double>::digits == 64 &&
                  std::numeric_limits<long double>::max_exponent == 16384 &&
                  sizeof(long double) >= 10,
              "long double must be the x87 80-bit extended type");

constexpr int kSignificantDigits = 15;
constexpr int kExponentBias = 16383;

ExtendedBytes ExtendedToBytes(long double value) {
  ExtendedBytes bytes;
  std::memcpy(bytes.data(), &value, bytes.size());
  return bytes;
}

long double BytesToExtended(const ExtendedBytes& bytes) {
  long double value = 0;
  std::memcpy(&value, bytes.data(), bytes.size());
  return value;
}

std::string FloatToText(long double value) {
  const ExtendedBytes bytes = ExtendedToBytes(value);
  std::uint64_t significand = 0;
  for (int i = 7; i >= 0; --i) significand = (significand << 8) | bytes[i];
  const bool negative = (bytes[9] & 0x80) != 0;
  const int exponentField = (bytes[8] | (bytes[9] << 8)) & 0x7FFF;
  if (exponentField == 0x7FFF) {
    if ((significand << 1) != 0) return "NAN";
    return negative ? "-INF" : "INF";
  }
  if (exponentField == 0 || significand == 0) return "0";

  // value = 0.digits x 10^exponent, with at most 15 significant digits.
  int exponent = 0;
  std::string digits =
      ExactDecimalDigits(significand, exponentField - kExponentBias - 63, exponent);
  exponent += static_cast<int>(digits.size());
  if (digits.size() > kSignificantDigits) {
    const bool roundUp = digits[kSignificantDigits] >= '5';
    digits = std::to_string(std::stoull(digits.substr(0, kSignificantDigits)) + roundUp);
    exponent += static_cast<int>(digits.size()) - kSignificantDigits;  // all nines: 10^15
  }
  digits.erase(digits.find_last_not_of('0') + 1);
  const std::string sign = negative ? "-" : "";
  if (exponent < -3 || exponent > 15) {
    if (digits.size() > 1) digits.insert(1, 1, '.');
    return sign + digits + 'E' + std::to_string(exponent - 1);
  }
  if (exponent <= 0) digits.insert(0, static_cast<std::size_t>(1 - exponent), '0');
  const auto point = static_cast<std::size_t>(std::max(exponent, 1));
  if (digits.size() > point)
    digits.insert(point, 1, '.');
  else
    digits.resize(point, '0');
  return sign + digits;
}

bool TextToExtended(std::string_view text, long double& value) {
  std::size_t i = std::min(text.find_first_not_of(' '), text.size());
  // The next byte, consumed, when it is one of bytes; else 0.
  auto take = [&](std::string_view bytes) {
    return i < text.size() && bytes.find(text[i]) != std::string_view::npos ? text[i++] : '\0';
  };
  constexpr std::string_view kDigits = "0123456789";

  const bool negative = take("+-") == '-';
  // The digits without the "." and the power of ten they are scaled by.
  std::string digits;
  std::int64_t fractionDigits = 0;
  while (char c = take(kDigits)) digits += c;
  if (take("."))
    for (; char c = take(kDigits); ++fractionDigits) digits += c;
  if (digits.empty()) return false;
  long exponent = 0;
  if (take("Ee")) {
    const bool exponentNegative = take("+-") == '-';
    const std::size_t exponentAt = i;
    while (char c = take(kDigits))
      if (exponent < 1000000) exponent = exponent * 10 + (c - '0');
    if (i == exponentAt) return false;
    if (exponentNegative) exponent = -exponent;
  }
  long double parsed = 0;
  if (text.find_first_not_of(' ', i) != std::string_view::npos ||
      !DecimalToExtended(digits, exponent - fractionDigits, parsed))
    return false;
  value = negative ? -parsed : parsed;
  return true;
}

}  // namespace reshape
