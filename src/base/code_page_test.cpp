#include "base/code_page.h"

#include <gtest/gtest.h>

namespace reshape {
namespace {

TEST(CodePageTest, CharsetNamesAndLeadBytes) {
  // Charset, code page, a lead byte (0: none) and a byte that leads nothing.
  const std::tuple<const char*, int, unsigned char, unsigned char> cases[] = {
      {"UTF-8", 1252, 0, 0x81}, {"SHIFT_JIS", 932, 0x81, 0xA0}, {"sjis", 932, 0xFC, 0xFD},
      {"GBK", 936, 0xFE, 0x80}, {"EUC-KR", 949, 0x81, 0xFF},    {"BIG5", 950, 0xA4, 0x40},
  };
  for (const auto& [charset, number, lead, notLead] : cases) {
    const CodePage page = CodePage::FromCharsetName(charset);
    EXPECT_EQ(page.Number(), number) << charset;
    EXPECT_EQ(page.IsDoubleByte(), number != 1252) << charset;
    EXPECT_EQ(page.IsLeadByte(lead), lead != 0) << charset;
    EXPECT_FALSE(page.IsLeadByte(notLead)) << charset;
  }
}

}  // namespace
}  // namespace reshape
