#include "base/ascii_case.h"

#include <gtest/gtest.h>

namespace reshape {
namespace {

TEST(AsciiCaseTest, OnlyLettersAToZHaveCase) {
  EXPECT_EQ(AsciiUpperCase("azAZ09{}`@[]\xE4\xF6\xFF"), "AZAZ09{}`@[]\xE4\xF6\xFF");
  EXPECT_TRUE(SameIgnoringAsciiCase("TFoo", "tfOO"));
  EXPECT_FALSE(SameIgnoringAsciiCase("TFoo", "TFoo "));
  EXPECT_FALSE(SameIgnoringAsciiCase("\xE4", "\xC4"));
  EXPECT_FALSE(SameIgnoringAsciiCase("@", "`"));
}

}  // namespace
}  // namespace reshape
