// The 80-bit extended float of form streams: the value type that holds its ten stored bytes,
// and its text in the text form (decimal_to_extended.h parses float literals). Nothing here uses
// the host's floating point, so every processor gives the same bits. All of it is independent of
// the process locale: "." is always the decimal separator.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace reshape {

// The stored layout, little-endian: 64-bit significand with explicit integer bit, then the
// 15-bit exponent (biased by 16383) and the sign bit in the top bit of the last byte.
using ExtendedBytes = std::array<std::uint8_t, 10>;

// One extended value. Every bit pattern is one (unnormals, pseudo-denormals and NaN payloads
// included) and passes through unchanged; equality compares the bits.
class Extended {
 public:
  static constexpr int kExponentBias = 16383;
  static constexpr std::uint16_t kMaxExponent = 0x7FFF;
  static constexpr std::uint64_t kIntegerBit = std::uint64_t{1} << 63;

  constexpr Extended() = default;  // +0
  constexpr Extended(bool negative, std::uint16_t exponent, std::uint64_t significand)
      : significand_(significand),
        signAndExponent_(
            static_cast<std::uint16_t>((negative ? 0x8000 : 0) | (exponent & kMaxExponent))) {}

  static Extended FromBytes(const ExtendedBytes& bytes);
  ExtendedBytes Bytes() const;
  // Exact conversions: every double (so every float) and every 64-bit integer is an extended
  // value; a NaN keeps its payload and becomes quiet.
  static Extended FromDouble(double value);
  static Extended FromInteger(std::int64_t value);
  static constexpr Extended Infinity(bool negative = false) {
    return {negative, kMaxExponent, kIntegerBit};
  }
  static constexpr Extended QuietNaN() {
    return {false, kMaxExponent, kIntegerBit | kIntegerBit >> 1};
  }

  constexpr bool Negative() const { return (signAndExponent_ & 0x8000) != 0; }
  constexpr std::uint16_t Exponent() const { return signAndExponent_ & kMaxExponent; }
  constexpr std::uint64_t Significand() const { return significand_; }
  constexpr Extended operator-() const { return {!Negative(), Exponent(), significand_}; }
  bool operator==(const Extended&) const = default;

  // |this| <= |limit|, for numbers and infinities in normal form.
  bool MagnitudeAtMost(const Extended& limit) const;
  // The nearest integer, halves away from zero, clamped to the 64-bit range; not for NaN.
  std::int64_t RoundToInteger() const;

 private:
  std::uint64_t significand_ = 0;
  std::uint16_t signAndExponent_ = 0;
};

// The float text: "0", "INF", "-INF", "NAN", or up to 15 significant digits (a 16th digit of 5
// or more rounds up, trailing zeros dropped) in fixed notation for numbers from 0.0001 up to
// below 10^15 (as 0.d x 10^E with -3 <= E <= 15), else as d.ddE-n / d.ddEn. A zero exponent
// field gives "0"; an unnormal number is printed by its bits.
std::string FloatToText(const Extended& value);


}  // namespace reshape
