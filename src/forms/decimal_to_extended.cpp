#include "forms/decimal_to_extended.h"

#include <algorithm>
#include <bit>
#include <compare>
#include <string>
#include <vector>

#include "forms/extended.h"

namespace reshape {

namespace {

// Also the largest unbiased exponent.
constexpr std::int64_t kExponentBias = Extended::kExponentBias;
// The smallest power of two a significand unit can stand for (subnormal numbers).
constexpr std::int64_t kMinUnitExponent = 1 - kExponentBias - 63;
// Every number halfway between two extended values has fewer significant digits than this,
// so digits beyond it only matter as "more than nothing".
constexpr std::size_t kMaxDigits = 12000;
// Decimal exponents of the leading digit beyond which the value surely overflows or
// surely rounds to zero.
constexpr std::int64_t kMaxLead = 4932;
constexpr std::int64_t kMinLead = -4952;
constexpr std::uint64_t kTopBit = std::uint64_t{1} << 63;

// A non-negative integer in base 2^32, least significant limb first, no leading zero limbs.
class BigBinary {
 public:
  explicit BigBinary(std::uint64_t value) {
    for (; value != 0; value >>= 32) limbs_.push_back(static_cast<std::uint32_t>(value));
  }

  bool IsZero() const { return limbs_.empty(); }

  std::int64_t BitLength() const {
    if (limbs_.empty()) return 0;
    return static_cast<std::int64_t>(limbs_.size() - 1) * 32 + std::bit_width(limbs_.back());
  }

  void MultiplyAdd(std::uint32_t factor, std::uint32_t addend) {
    std::uint64_t carry = addend;
    for (std::uint32_t& limb : limbs_) {
      std::uint64_t product = std::uint64_t{limb} * factor + carry;
      limb = static_cast<std::uint32_t>(product);
      carry = product >> 32;
    }
    if (carry != 0) limbs_.push_back(static_cast<std::uint32_t>(carry));
  }

  // Multiplies by base^count, in the largest steps that fit a limb.
  void MultiplyByPower(std::uint32_t base, std::int64_t count) {
    while (count > 0) {
      std::uint32_t factor = 1;
      for (; count > 0 && factor <= UINT32_MAX / base; --count) factor *= base;
      MultiplyAdd(factor, 0);
    }
  }

  void ShiftLeft(std::int64_t bits) {
    if (limbs_.empty() || bits == 0) return;
    auto whole = static_cast<std::size_t>(bits / 32);
    int part = static_cast<int>(bits % 32);
    if (part != 0) {
      std::uint32_t carry = 0;
      for (std::uint32_t& limb : limbs_) {
        std::uint32_t next = limb >> (32 - part);
        limb = (limb << part) | carry;
        carry = next;
      }
      if (carry != 0) limbs_.push_back(carry);
    }
    limbs_.insert(limbs_.begin(), whole, 0);
  }

  std::strong_ordering operator<=>(const BigBinary& other) const {
    if (limbs_.size() != other.limbs_.size()) return limbs_.size() <=> other.limbs_.size();
    return std::lexicographical_compare_three_way(limbs_.rbegin(), limbs_.rend(),
                                                  other.limbs_.rbegin(), other.limbs_.rend());
  }

  // Requires *this >= other.
  void Subtract(const BigBinary& other) {
    std::int64_t borrow = 0;
    for (std::size_t i = 0; i < limbs_.size(); ++i) {
      std::int64_t difference = std::int64_t{limbs_[i]} - borrow -
                                (i < other.limbs_.size() ? std::int64_t{other.limbs_[i]} : 0);
      borrow = difference < 0 ? 1 : 0;
      limbs_[i] = static_cast<std::uint32_t>(difference + (borrow << 32));
    }
    Trim();
  }

 private:
  void Trim() {
    while (!limbs_.empty() && limbs_.back() == 0) limbs_.pop_back();
  }

  std::vector<std::uint32_t> limbs_;
};

}  // namespace

bool DecimalToExtended(std::string_view digits, std::int64_t exponent10, Extended& value) {
  // Without leading and trailing zeros; lead is the decimal exponent of the first digit.
  digits.remove_prefix(std::min(digits.find_first_not_of('0'), digits.size()));
  const std::size_t end = digits.find_last_not_of('0') + 1;
  exponent10 += static_cast<std::int64_t>(digits.size() - end);
  digits = digits.substr(0, end);
  const std::int64_t lead = exponent10 + static_cast<std::int64_t>(digits.size()) - 1;
  if (digits.empty() || lead < kMinLead) {
    value = Extended();
    return true;
  }
  if (lead > kMaxLead) return false;

  // value = numerator / denominator. Digits past the limit are not all zero (trailing zeros
  // are gone): one "1" digit stands for them, which keeps the value on the same side of every
  // rounding boundary.
  BigBinary numerator(0), denominator(1);
  const std::string_view kept = digits.substr(0, kMaxDigits);
  for (std::size_t i = 0; i < kept.size(); i += 9) {
    std::uint32_t factor = 1, addend = 0;
    for (char c : kept.substr(i, 9)) {
      factor *= 10;
      addend = addend * 10 + static_cast<std::uint32_t>(c - '0');
    }
    numerator.MultiplyAdd(factor, addend);
  }
  if (kept.size() < digits.size()) {
    numerator.MultiplyAdd(10, 1);
    exponent10 += static_cast<std::int64_t>(digits.size() - kMaxDigits) - 1;
  }
  numerator.MultiplyByPower(10, std::max<std::int64_t>(exponent10, 0));
  denominator.MultiplyByPower(10, std::max<std::int64_t>(-exponent10, 0));

  // The quotient is scaled by 2^-unitExponent into [2^63, 2^64), or less where the result is
  // subnormal. The long division doubles the remainder instead of halving the divisor, which
  // starts 64 bits up.
  std::int64_t unitExponent =
      std::max(numerator.BitLength() - denominator.BitLength() - 64, kMinUnitExponent);
  numerator.ShiftLeft(std::max<std::int64_t>(-unitExponent, 0));
  denominator.ShiftLeft(std::max<std::int64_t>(unitExponent, 0) + 64);
  if (numerator >= denominator) {  // a quotient of 65 bits
    denominator.ShiftLeft(1);
    ++unitExponent;
  }
  std::uint64_t quotient = 0;
  for (int bit = 63; bit >= 0; --bit) {
    numerator.ShiftLeft(1);
    if (numerator >= denominator) {
      numerator.Subtract(denominator);
      quotient |= std::uint64_t{1} << bit;
    }
  }

  // numerator now holds 2^64 times the remainder; round to nearest, ties to even.
  numerator.ShiftLeft(1);
  const auto comparison = numerator <=> denominator;
  if ((comparison > 0 || (comparison == 0 && (quotient & 1) != 0)) && ++quotient == 0) {
    quotient = kTopBit;
    ++unitExponent;
  }

  const bool normal = (quotient & kTopBit) != 0;
  if (normal && unitExponent + 63 > kExponentBias) return false;
  const auto exponentField =
      static_cast<std::uint16_t>(normal ? unitExponent + 63 + kExponentBias : 0);
  value = Extended(false, exponentField, quotient);
  return true;
}

bool TextToExtended(std::string_view text, Extended& value) {
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
  Extended parsed;
  if (!DecimalToExtended(digits, exponent - fractionDigits, parsed)) return false;
  value = negative ? -parsed : parsed;
  return true;
}

}  // namespace reshape
