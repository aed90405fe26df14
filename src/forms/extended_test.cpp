#include "forms/extended.h"

#include <gtest/gtest.h>

#include <limits>
#include <string>

#include "forms/decimal_to_extended.h"
#include "forms/test_stream_builder.h"

namespace reshape {
namespace {

long double FromBytes(std::uint64_t significand, std::uint16_t signAndExponent) {
  return BytesToExtended(test::ExtendedParts(significand, signAndExponent));
}

TEST(ExtendedTest, BytesAndText) {
  EXPECT_EQ(ExtendedToBytes(-2.0L), (ExtendedBytes{0, 0, 0, 0, 0, 0, 0, 0x80, 0x00, 0xC0}));
  // Unusual patterns (an unnormal here) pass through unchanged.
  ExtendedBytes odd{1, 2, 3, 4, 5, 6, 7, 0x08, 0x34, 0x12};
  EXPECT_EQ(ExtendedToBytes(BytesToExtended(odd)), odd);
  const std::pair<long double, const char*> cases[] = {
      {0.0L, "0"}, {0.0001L, "0.0001"}, {0.00001L, "1E-5"}, {1e15L, "1E15"}, {999999999999999.0L, "999999999999999"},
      {9999999999999999.0L, "1E16"}, {2.0L / 3.0L, "0.666666666666667"}, {1.25e-300L, "1.25E-300"},
      {std::numeric_limits<long double>::max(), "1.18973149535723E4932"}, {-1.0L / 0.0L, "-INF"},
      // The 16th digit exactly 5 rounds up, where half-even would not.
      {1234567890123445.0L, "1.23456789012345E15"}, {1234567890123455.0L, "1.23456789012346E15"},
      // A zero exponent field or significand gives zero; an unnormal still has a value.
      {std::numeric_limits<long double>::denorm_min(), "0"}, {FromBytes(0x123456789ULL, 0x8000), "0"},
      {FromBytes(0x8000000000000000ULL, 0x7FFF), "INF"}, {FromBytes(0xC000000000000000ULL, 0xFFFF), "NAN"},
      {FromBytes(0x8000000000000000ULL, 0x3FFF), "1"}, {FromBytes(0x4000000000000000ULL, 0x3FFF), "0.5"},
  };
  for (const auto& [value, text] : cases) EXPECT_EQ(FloatToText(value), text) << text;
}

TEST(ExtendedTest, TextToExtendedTakesTheRuntimeSyntax) {
  const std::pair<const char*, long double> cases[] = {
      {"  -2.5E-7  ", -2.5e-7L}, {"+3", 3.0L}, {"5.", 5.0L}, {".25", 0.25L}, {"1e3", 1000.0L}, {"1E-5000", 0.0L},
      {"123456789012345678901234567890", 123456789012345678901234567890.0L},
  };
  for (const auto& [text, expected] : cases) {
    long double value = -99;
    EXPECT_TRUE(TextToExtended(text, value)) << text;
    EXPECT_EQ(value, expected) << text;
  }
  for (const char* text : {"", "-", ".", "1-2", "1E+", "1,5", "1.5s", "INF", "1 2", "--1", "1e5000", "\t1"}) {
    long double value = 7;
    EXPECT_FALSE(TextToExtended(text, value)) << text;
    EXPECT_EQ(value, 7) << text;
  }
}

// Decimal digits times a power of ten, rounded to nearest, ties to even.
TEST(ExtendedTest, DecimalToExtended) {
  const std::tuple<std::string, std::int64_t, std::uint64_t, std::uint16_t> cases[] = {
      {"1", -1, 0xCCCCCCCCCCCCCCCD, 0x3FFB},
      // 2^64 + 1 and 2^64 + 3 lie halfway: the even neighbours 2^64 and 2^64 + 4 win.
      {"18446744073709551617", 0, 0x8000000000000000, 0x403F}, {"18446744073709551619", 0, 0x8000000000000002, 0x403F},
      // Just above and just below that halfway point, by digits far beyond the kept ones.
      {"18446744073709551617" + std::string(20000, '0') + "1", -20001, 0x8000000000000001, 0x403F},
      {"18446744073709551616" + std::string(20000, '9'), -20000, 0x8000000000000000, 0x403F},
      // The largest finite value, the smallest normal and subnormal ones, and below half of that.
      {"118973149535723176502", 4912, 0xFFFFFFFFFFFFFFFF, 0x7FFE}, {"33621031431120935063", -4951, 1ULL << 63, 1},
      {"36451995318824746025", -4970, 1, 0}, {"18", -4952, 0, 0}, {"1", -99999, 0, 0}, {"0", 99999, 0, 0},
  };
  for (const auto& [digits, exponent10, significand, signAndExponent] : cases) {
    long double value = -1;
    EXPECT_TRUE(DecimalToExtended(digits, exponent10, value)) << exponent10;
    EXPECT_EQ(ExtendedToBytes(value), test::ExtendedParts(significand, signAndExponent)) << exponent10;
  }
  for (auto [digits, exponent10] : {std::pair{"11897314953572317651", 4913}, std::pair{"1", 4933}}) {
    long double value = 7;
    EXPECT_FALSE(DecimalToExtended(digits, exponent10, value)) << exponent10;
    EXPECT_EQ(value, 7);
  }
}

}  // namespace
}  // namespace reshape
