#include "forms/decimal_to_extended.h"

#include <gtest/gtest.h>

#include <string>

#include "forms/extended.h"
#include "forms/test_stream_builder.h"

namespace reshape {
namespace {

TEST(DecimalToExtendedTest, RoundsToNearestTiesToEven) {
  const std::tuple<std::string, std::int64_t, std::uint64_t, std::uint16_t> cases[] = {
      {"1", -1, 0xCCCCCCCCCCCCCCCD, 0x3FFB},
      // 2^64 + 1 lies halfway between 2^64 and 2^64 + 2: the even one wins, 2^64.
      {"18446744073709551617", 0, 0x8000000000000000, 0x403F},
      // 2^64 + 3 lies halfway between 2^64 + 2 and 2^64 + 4: the even one is 2^64 + 4.
      {"18446744073709551619", 0, 0x8000000000000002, 0x403F},
      // Just above and just below that halfway point, by digits far beyond the kept ones.
      {"18446744073709551617" + std::string(20000, '0') + "1", -20001, 0x8000000000000001, 0x403F},
      {"18446744073709551616" + std::string(20000, '9'), -20000, 0x8000000000000000, 0x403F},
      // The largest finite value, and the smallest normal and subnormal ones.
      {"118973149535723176502", 4912, 0xFFFFFFFFFFFFFFFF, 0x7FFE},
      {"33621031431120935063", -4951, 0x8000000000000000, 0x0001},
      {"36451995318824746025", -4970, 1, 0},
      // Below half the smallest subnormal value nothing is left.
      {"18", -4952, 0, 0}, {"1", -99999, 0, 0}, {"0", 99999, 0, 0},
  };
  for (const auto& [digits, exponent10, significand, signAndExponent] : cases) {
    long double value = -1;
    EXPECT_TRUE(DecimalToExtended(digits, exponent10, value)) << exponent10;
    EXPECT_EQ(ExtendedToBytes(value), test::ExtendedParts(significand, signAndExponent)) << exponent10;
  }
  for (auto [digits, exponent10] : {std::pair{"11897314953572317651", 4913}, std::pair{"1", 4933},
                                    std::pair{"1", 99999}}) {
    long double value = 7;
    EXPECT_FALSE(DecimalToExtended(digits, exponent10, value)) << digits << "e" << exponent10;
    EXPECT_EQ(value, 7);
  }
}

}  // namespace
}  // namespace reshape
