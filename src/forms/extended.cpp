#include "forms/extended.h"

#include <bit>
#include <cstring>
#include <limits>
#include <vector>

#include "forms/decimal_to_extended.h"

namespace reshape {

static_assert(std::numeric_limits<long double>::is_iec559 &&
                  std::numeric_limits<long double>::digits == 64 &&
                  std::numeric_limits<long double>::max_exponent == 16384 &&
                  sizeof(long double) >= 10,
              "long double must be the x87 80-bit extended type");

namespace {

constexpr int kSignificantDigits = 15;
constexpr int kExponentBias = 16383;
constexpr std::uint32_t kLimbBase = 1000000000;

// A non-negative integer in base 10^9, least significant limb first; only what the exact
// decimal expansion of an extended value needs.
class DecimalBig {
 public:
  // value must not be zero.
  explicit DecimalBig(std::uint64_t value) { AppendCarry(value); }

  void MultiplyBy(std::uint32_t factor) {
    std::uint64_t carry = 0;
    for (auto& limb : limbs_) {
      std::uint64_t product = std::uint64_t{limb} * factor + carry;
      limb = static_cast<std::uint32_t>(product % kLimbBase);
      carry = product / kLimbBase;
    }
    AppendCarry(carry);
  }

  // Multiplies by base^count, in the largest steps that keep a limb product within 64 bits.
  void MultiplyByPower(std::uint32_t base, std::uint32_t stepFactor, int stepCount, int count) {
    for (; count >= stepCount; count -= stepCount) MultiplyBy(stepFactor);
    std::uint32_t rest = 1;
    for (; count > 0; --count) rest *= base;
    if (rest != 1) MultiplyBy(rest);
  }

  std::string Digits() const {
    std::string text = std::to_string(limbs_.back());
    for (auto it = limbs_.rbegin() + 1; it != limbs_.rend(); ++it) {
      char chunk[9];
      std::uint32_t limb = *it;
      for (int i = 8; i >= 0; --i) {
        chunk[i] = static_cast<char>('0' + limb % 10);
        limb /= 10;
      }
      text.append(chunk, 9);
    }
    return text;
  }

 private:
  // The limbs of what carries over the top limb.
  void AppendCarry(std::uint64_t carry) {
    for (; carry != 0; carry /= kLimbBase)
      limbs_.push_back(static_cast<std::uint32_t>(carry % kLimbBase));
  }

  std::vector<std::uint32_t> limbs_;
};

// Rounds the exact decimal digits of the value to 15 significant ones. Returns the digits
// without trailing zeros and sets exponent so that value = 0.digits x 10^exponent.
std::string RoundedDigits(std::uint64_t significand, int binaryExponent, int& exponent) {
  int shift = std::countr_zero(significand);
  significand >>= shift;
  binaryExponent += shift;
  DecimalBig big(significand);
  int decimalShift = 0;
  if (binaryExponent >= 0) {
    big.MultiplyByPower(2, 1u << 31, 31, binaryExponent);
  } else {
    // m / 2^k = m * 5^k / 10^k
    big.MultiplyByPower(5, 1220703125u, 13, -binaryExponent);
    decimalShift = binaryExponent;
  }
  std::string digits = big.Digits();
  exponent = static_cast<int>(digits.size()) + decimalShift;
  if (digits.size() > kSignificantDigits) {
    bool roundUp = digits[kSignificantDigits] >= '5';
    digits.resize(kSignificantDigits);
    if (roundUp) {
      int i = kSignificantDigits - 1;
      while (i >= 0 && digits[i] == '9') digits[i--] = '0';
      if (i >= 0) {
        ++digits[i];
      } else {
        digits.assign(1, '1');  // all nines round up to 0.1 x 10^(exponent + 1)
        ++exponent;
      }
    }
  }
  while (digits.size() > 1 && digits.back() == '0') digits.pop_back();
  return digits;
}

}  // namespace

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

  int exponent = 0;
  std::string digits = RoundedDigits(significand, exponentField - kExponentBias - 63, exponent);
  int count = static_cast<int>(digits.size());
  std::string text;
  if (negative) text += '-';
  if (exponent >= -3 && exponent <= 15) {
    if (exponent <= 0) {
      text += "0.";
      text.append(static_cast<std::size_t>(-exponent), '0');
      text += digits;
    } else if (count <= exponent) {
      text += digits;
      text.append(static_cast<std::size_t>(exponent - count), '0');
    } else {
      text.append(digits, 0, static_cast<std::size_t>(exponent));
      text += '.';
      text.append(digits, static_cast<std::size_t>(exponent));
    }
  } else {
    text += digits[0];
    if (count > 1) {
      text += '.';
      text.append(digits, 1);
    }
    text += 'E';
    text += std::to_string(exponent - 1);
  }
  return text;
}

bool TextToExtended(std::string_view text, long double& value) {
  std::size_t i = 0;
  auto skipBlanks = [&] {
    while (i < text.size() && text[i] == ' ') ++i;
  };
  auto isDigit = [&](std::size_t at) {
    return at < text.size() && text[at] >= '0' && text[at] <= '9';
  };

  skipBlanks();
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  // The digits without the "." and the power of ten they are scaled by.
  std::string digits;
  std::int64_t fractionDigits = 0;
  while (isDigit(i)) digits += text[i++];
  if (i < text.size() && text[i] == '.')
    for (++i; isDigit(i); ++fractionDigits) digits += text[i++];
  if (digits.empty()) return false;
  long exponent = 0;
  if (i < text.size() && (text[i] == 'E' || text[i] == 'e')) {
    ++i;
    bool exponentNegative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) exponentNegative = text[i++] == '-';
    if (!isDigit(i)) return false;
    for (; isDigit(i); ++i)
      if (exponent < 1000000) exponent = exponent * 10 + (text[i] - '0');
    if (exponentNegative) exponent = -exponent;
  }
  skipBlanks();
  if (i != text.size()) return false;
  long double parsed = 0;
  if (!DecimalToExtended(digits, exponent - fractionDigits, parsed)) return false;
  value = negative ? -parsed : parsed;
  return true;
}

}  // namespace reshape
