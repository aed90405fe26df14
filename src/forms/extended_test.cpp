#include "forms/extended.h"

#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <limits>

#include "forms/test_stream_builder.h"

namespace reshape {
namespace {

long double FromBytes(std::uint64_t significand, std::uint16_t signAndExponent) {
  return BytesToExtended(test::ExtendedParts(significand, signAndExponent));
}

TEST(ExtendedTest, BytesHaveTheX87Layout) {
  ExtendedBytes one = ExtendedToBytes(1.0L);
  EXPECT_EQ(one, (ExtendedBytes{0, 0, 0, 0, 0, 0, 0, 0x80, 0xFF, 0x3F}));
  EXPECT_EQ(ExtendedToBytes(-2.0L), (ExtendedBytes{0, 0, 0, 0, 0, 0, 0, 0x80, 0x00, 0xC0}));
  EXPECT_EQ(BytesToExtended(one), 1.0L);
  // Unusual patterns (an unnormal here) pass through unchanged.
  ExtendedBytes odd{1, 2, 3, 4, 5, 6, 7, 0x08, 0x34, 0x12};
  EXPECT_EQ(ExtendedToBytes(BytesToExtended(odd)), odd);
}

struct TextCase {
  long double value;
  const char* text;
};

TEST(ExtendedTest, FloatText) {
  const TextCase cases[] = {
      {0.0L, "0"},
      {0.0001L, "0.0001"},
      {0.00001L, "1E-5"},
      {1e15L, "1E15"},
      {999999999999999.0L, "999999999999999"},
      {9999999999999999.0L, "1E16"},
      {2.0L / 3.0L, "0.666666666666667"},
      {static_cast<long double>(0.1f), "0.100000001490116"},
      {1.25e-300L, "1.25E-300"},
      {std::numeric_limits<long double>::max(), "1.18973149535723E4932"},
      {std::numeric_limits<long double>::min(), "3.36210314311209E-4932"},
      {-std::numeric_limits<long double>::infinity(), "-INF"},
      {std::numeric_limits<long double>::quiet_NaN(), "NAN"},
  };
  for (const auto& c : cases) EXPECT_EQ(FloatToText(c.value), c.text) << c.text;
}

TEST(ExtendedTest, SixteenthDigitFiveRoundsUpWhereHalfEvenWouldNot) {
  // Both integers are exact in 64 bits, so the 16th digit is exactly 5 with nothing after it.
  EXPECT_EQ(FloatToText(1234567890123445.0L), "1.23456789012345E15");
  EXPECT_EQ(FloatToText(1234567890123455.0L), "1.23456789012346E15");
  EXPECT_EQ(FloatToText(1234567890123444.0L), "1.23456789012344E15");
}

TEST(ExtendedTest, ZeroExponentFieldAndZeroSignificandGiveZero) {
  EXPECT_EQ(FloatToText(std::numeric_limits<long double>::denorm_min()), "0");
  EXPECT_EQ(FloatToText(FromBytes(0x123456789ULL, 0x8000)), "0");
  EXPECT_EQ(FloatToText(FromBytes(0x8000000000000000ULL, 0x7FFF)), "INF");
  EXPECT_EQ(FloatToText(FromBytes(0xC000000000000000ULL, 0xFFFF)), "NAN");
  // An unnormal (integer bit clear) still has a value: 2^62 * 2^(16383-16383-63) = 0.5.
  EXPECT_EQ(FloatToText(FromBytes(0x4000000000000000ULL, 0x3FFF)), "0.5");
}

TEST(ExtendedTest, TextToExtendedAcceptsTheRuntimeSyntax) {
  const std::pair<const char*, long double> cases[] = {
      {"1.5", 1.5L},       {"  -2.5E-7  ", -2.5e-7L}, {"+3", 3.0L},
      {"5.", 5.0L},        {".25", 0.25L},            {"1e3", 1000.0L},
      {"1E-5000", 0.0L},   {"0.100000001490116", 0.100000001490116L},
      {"123456789012345678901234567890", 123456789012345678901234567890.0L},
  };
  for (const auto& [text, expected] : cases) {
    long double value = -99;
    ASSERT_TRUE(TextToExtended(text, value)) << text;
    EXPECT_EQ(value, expected) << text;
  }
}

TEST(ExtendedTest, TextToExtendedRejectsOtherText) {
  for (const char* text : {"", "-", ".", "1-2", "1E+", "1,5", "1.5s", "INF", "1 2", "--1", "1e5000", "\t1"}) {
    long double value = 7;
    EXPECT_FALSE(TextToExtended(text, value)) << text;
    EXPECT_EQ(value, 7) << text;
  }
}

}  // namespace
}  // namespace reshape
