#include "forms/extended.h"

#include <algorithm>
#include <bit>
#include <limits>
#include <vector>


namespace reshape {

namespace {

constexpr int kSignificantDigits = 15;
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

Extended Extended::FromBytes(const ExtendedBytes& bytes) {
  std::uint64_t significand = 0;
  for (int i = 7; i >= 0; --i) significand = (significand << 8) | bytes[i];
  Extended value;
  value.significand_ = significand;
  value.signAndExponent_ = static_cast<std::uint16_t>(bytes[8] | (bytes[9] << 8));
  return value;
}

ExtendedBytes Extended::Bytes() const {
  ExtendedBytes bytes;
  for (int i = 0; i < 10; ++i)
    bytes[i] =
        static_cast<std::uint8_t>((i < 8 ? significand_ : signAndExponent_) >> (8 * (i % 8)));
  return bytes;
}

Extended Extended::FromDouble(double value) {
  const auto bits = std::bit_cast<std::uint64_t>(value);
  const bool negative = (bits >> 63) != 0;
  const int exponent = static_cast<int>(bits >> 52) & 0x7FF;
  const std::uint64_t fraction = bits & ((std::uint64_t{1} << 52) - 1);
  const std::uint64_t significand = kIntegerBit | fraction << 11;
  if (exponent == 0x7FF)
    return {negative, kMaxExponent, significand | (fraction != 0 ? kIntegerBit >> 1 : 0)};
  if (exponent != 0)
    return {negative, static_cast<std::uint16_t>(exponent - 1023 + kExponentBias), significand};
  if (fraction == 0) return {negative, 0, 0};
  // A subnormal double is a normal extended value: its leading bit moves up to the integer bit.
  const int shift = std::countl_zero(fraction);
  return {negative, static_cast<std::uint16_t>(kExponentBias - 1074 + 63 - shift),
          fraction << shift};
}

Extended Extended::FromInteger(std::int64_t value) {
  const bool negative = value < 0;
  const auto bits = static_cast<std::uint64_t>(value);
  const std::uint64_t magnitude = negative ? 0 - bits : bits;
  if (magnitude == 0) return {};
  const int shift = std::countl_zero(magnitude);
  return {negative, static_cast<std::uint16_t>(63 - shift + kExponentBias), magnitude << shift};
}

bool Extended::MagnitudeAtMost(const Extended& limit) const {
  if (Exponent() != limit.Exponent()) return Exponent() < limit.Exponent();
  return significand_ <= limit.significand_;
}

std::int64_t Extended::RoundToInteger() const {
  const int exponent = Exponent() - kExponentBias;
  std::uint64_t magnitude = 0;
  if (exponent >= 63) {
    magnitude = kIntegerBit;  // beyond the range either way
  } else if (exponent >= -1) {
    const int shift = 63 - exponent;  // 1 to 64
    magnitude = shift == 64 ? 0 : significand_ >> shift;
    magnitude += (significand_ >> (shift - 1)) & 1;
  }
  if (!Negative()) return static_cast<std::int64_t>(std::min(magnitude, kIntegerBit - 1));
  if (magnitude >= kIntegerBit) return std::numeric_limits<std::int64_t>::min();
  return -static_cast<std::int64_t>(magnitude);
}

std::string FloatToText(const Extended& value) {
  const std::uint64_t significand = value.Significand();
  const bool negative = value.Negative();
  const int exponentField = value.Exponent();
  if (exponentField == Extended::kMaxExponent) {
    if ((significand << 1) != 0) return "NAN";
    return negative ? "-INF" : "INF";
  }
  if (exponentField == 0 || significand == 0) return "0";

  int exponent = 0;
  std::string digits =
      RoundedDigits(significand, exponentField - Extended::kExponentBias - 63, exponent);
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

}  // namespace reshape
