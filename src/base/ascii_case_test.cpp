#include "base/ascii_case.h"

#include <gtest/gtest.h>

namespace reshape {
namespace {

TEST(AsciiCaseTest, ChangesOnlyLettersAToZ) {
  EXPECT_EQ(AsciiUpperCase("azAZ09{}`@[]\xE4\xF6\xFF"), "AZAZ09{}`@[]\xE4\xF6\xFF");
  for (int b = 0; b < 256; ++b) {
    char c = static_cast<char>(b);
    char expected = (b >= 'a' && b <= 'z') ? static_cast<char>(b - 32) : c;
    EXPECT_EQ(AsciiUpper(c), expected) << b;
  }
}

TEST(AsciiCaseTest, ComparesIgnoringLetterCaseOnly) {
  EXPECT_TRUE(SameIgnoringAsciiCase("TFoo", "tfOO"));
  EXPECT_FALSE(SameIgnoringAsciiCase("TFoo", "TFoo "));
  EXPECT_FALSE(SameIgnoringAsciiCase("\xE4", "\xC4"));
  EXPECT_FALSE(SameIgnoringAsciiCase("@", "`"));
}

}  // namespace
}  // namespace reshape
