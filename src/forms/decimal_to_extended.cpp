#include "forms/decimal_to_extended.h"

#include <algorithm>
#include <bit>
#include <string>
#include <vector>

#include "forms/extended.h"

namespace reshape {

namespace {

constexpr int kExponentBias = 16383;
constexpr std::int64_t kMaxUnbiased = 16383;
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
  explicit BigBinary(std::uint32_t value) {
    if (value != 0) limbs_.push_back(value);
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
    Trim();
  }

  void MultiplyByPowerOfTen(std::int64_t count) {
    for (; count >= 9; count -= 9) MultiplyAdd(1000000000u, 0);
    std::uint32_t rest = 1;
    for (; count > 0; --count) rest *= 10;
    if (rest != 1) MultiplyAdd(rest, 0);
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

  void ShiftRightOne() {
    for (std::size_t i = 0; i < limbs_.size(); ++i) {
      std::uint32_t high = i + 1 < limbs_.size() ? limbs_[i + 1] << 31 : 0;
      limbs_[i] = (limbs_[i] >> 1) | high;
    }
    Trim();
  }

  int Compare(const BigBinary& other) const {
    if (limbs_.size() != other.limbs_.size()) return limbs_.size() < other.limbs_.size() ? -1 : 1;
    for (std::size_t i = limbs_.size(); i-- > 0;)
      if (limbs_[i] != other.limbs_[i]) return limbs_[i] < other.limbs_[i] ? -1 : 1;
    return 0;
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

BigBinary FromDigits(std::string_view digits) {
  BigBinary value(0);
  for (std::size_t i = 0; i < digits.size(); i += 9) {
    std::uint32_t factor = 1, addend = 0;
    for (char c : digits.substr(i, 9)) {
      factor *= 10;
      addend = addend * 10 + static_cast<std::uint32_t>(c - '0');
    }
    value.MultiplyAdd(factor, addend);
  }
  return value;
}

long double FromParts(std::uint64_t significand, int exponentField) {
  ExtendedBytes bytes;
  for (int i = 0; i < 8; ++i) bytes[i] = static_cast<std::uint8_t>(significand >> (8 * i));
  bytes[8] = static_cast<std::uint8_t>(exponentField);
  bytes[9] = static_cast<std::uint8_t>(exponentField >> 8);
  return BytesToExtended(bytes);
}

}  // namespace

bool DecimalToExtended(std::string_view digits, std::int64_t exponent10, long double& value) {
  std::size_t first = digits.find_first_not_of('0');
  if (first == std::string_view::npos) {
    value = 0;
    return true;
  }
  digits.remove_prefix(first);
  std::size_t last = digits.find_last_not_of('0');
  exponent10 += static_cast<std::int64_t>(digits.size() - 1 - last);
  digits = digits.substr(0, last + 1);

  std::int64_t lead = exponent10 + static_cast<std::int64_t>(digits.size()) - 1;
  if (lead > kMaxLead) return false;
  if (lead < kMinLead) {
    value = 0;
    return true;
  }
  // Digits past the limit are not all zero (trailing zeros are gone): one "1" digit stands
  // for them, which keeps the value on the same side of every rounding boundary.
  std::string kept;
  if (digits.size() > kMaxDigits) {
    exponent10 += static_cast<std::int64_t>(digits.size() - kMaxDigits) - 1;
    kept.assign(digits.substr(0, kMaxDigits));
    kept += '1';
    digits = kept;
  }

  // value = numerator / denominator; the quotient is scaled by 2^-unitExponent into
  // [2^63, 2^65), or less where the result is subnormal.
  BigBinary numerator = FromDigits(digits);
  BigBinary denominator(1);
  if (exponent10 >= 0)
    numerator.MultiplyByPowerOfTen(exponent10);
  else
    denominator.MultiplyByPowerOfTen(-exponent10);
  std::int64_t unitExponent =
      std::max(numerator.BitLength() - denominator.BitLength() - 64, kMinUnitExponent);
  if (unitExponent < 0)
    numerator.ShiftLeft(-unitExponent);
  else
    denominator.ShiftLeft(unitExponent);

  BigBinary divisor = denominator;
  divisor.ShiftLeft(64);
  bool above64Bits = numerator.Compare(divisor) >= 0;
  if (above64Bits) numerator.Subtract(divisor);
  std::uint64_t quotient = 0;
  for (int bit = 63; bit >= 0; --bit) {
    divisor.ShiftRightOne();
    if (numerator.Compare(divisor) >= 0) {
      numerator.Subtract(divisor);
      quotient |= std::uint64_t{1} << bit;
    }
  }

  // numerator now holds the remainder; round to nearest, ties to even.
  bool roundUp = false;
  if (above64Bits) {
    bool half = (quotient & 1) != 0;
    quotient = (quotient >> 1) | kTopBit;
    ++unitExponent;
    roundUp = half && (!numerator.IsZero() || (quotient & 1) != 0);
  } else {
    numerator.ShiftLeft(1);
    int comparison = numerator.Compare(denominator);
    roundUp = comparison > 0 || (comparison == 0 && (quotient & 1) != 0);
  }
  if (roundUp && ++quotient == 0) {
    quotient = kTopBit;
    ++unitExponent;
  }

  if ((quotient & kTopBit) == 0) {
    value = FromParts(quotient, 0);
    return true;
  }
  if (unitExponent + 63 > kMaxUnbiased) return false;
  value = FromParts(quotient, static_cast<int>(unitExponent + 63 + kExponentBias));
  return true;
}

}  // namespace reshape
