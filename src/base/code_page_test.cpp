#include "base/code_page.h"

#include <gtest/gtest.h>

namespace reshape {
namespace {

TEST(CodePageTest, CharsetNamesAndLeadBytes) {
  struct Case {
    const char* charset;
    int number;
    unsigned char lead;
    unsigned char notLead;
  };
  const Case cases[] = {
      {"UTF-8", 1252, 0, 0x81},       {"ISO-8859-1", 1252, 0, 0xE0},
      {"SHIFT_JIS", 932, 0x81, 0xA0}, {"sjis", 932, 0xFC, 0xFD},
      {"GBK", 936, 0xFE, 0x80},       {"EUC-KR", 949, 0x81, 0xFF},
      {"BIG5", 950, 0xA4, 0x40},
  };
  for (const Case& c : cases) {
    CodePage page = CodePage::FromCharsetName(c.charset);
    EXPECT_EQ(page.Number(), c.number) << c.charset;
    EXPECT_EQ(page.IsDoubleByte(), c.number != 1252) << c.charset;
    if (c.lead != 0) {
      EXPECT_TRUE(page.IsLeadByte(c.lead)) << c.charset;
    }
    EXPECT_FALSE(page.IsLeadByte(c.notLead)) << c.charset;
  }
}

}  // namespace
}  // namespace reshape
