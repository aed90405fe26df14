#include "base/name_match.h"

#include <gtest/gtest.h>

#include "base/ascii_case.h"
#include "base/code_page.h"
#include "base/path.h"

namespace reshape {
namespace {

TEST(AsciiCaseTest, OnlyLettersAToZHaveCase) {
  EXPECT_EQ(AsciiUpperCase("azAZ09{}`@[]\xE4\xF6\xFF"), "AZAZ09{}`@[]\xE4\xF6\xFF");
  EXPECT_TRUE(SameIgnoringAsciiCase("TFoo", "tfOO"));
  for (auto [a, b] : {std::pair{"TFoo", "TFoo "}, {"\xE4", "\xC4"}, {"@", "`"}})
    EXPECT_FALSE(SameIgnoringAsciiCase(a, b)) << a;
}

TEST(MatchesMaskTest, WildcardsAndCase) {
  const std::tuple<const char*, const char*, bool> cases[] = {
      {"unit1.pas", "*.PAS", true},  {".PAS", "*.PAS", true},      {"unit1.pas.bak", "*.PAS", false},
      {"a.pas.pas", "*.PAS", true},  {"unit1.hpp", "*.H", false},  {"X.DFM", "?.DFM", true},
      {"XY.DFM", "?.DFM", false},    {"\xE9t\xE9.pas", "*.PAS", true}, {"", "*", true},
      {"abc", "a*b*c*", true},       {"aXbXc", "a*b*d", false},     {"PAS", "*.PAS", false},
  };
  for (const auto& [name, mask, matches] : cases) EXPECT_EQ(MatchesMask(name, mask), matches) << name << " " << mask;
  EXPECT_FALSE(MatchesMask(std::string(10000, 'a'), "*a*a*a*a*a*a*a*a*b"));  // in no exponential time
}

TEST(ListedBeforeTest, UpperCasedNamesThenRawBytes) {
  std::vector<std::string> names = {"b.pas", "_x.pas", "A.PAS", "a.pas", "\xE9.pas", "Z.PAS"};
  std::sort(names.begin(), names.end(), ListedBefore);
  // '_' sorts after the upper-case letters but before the lower-case ones would.
  EXPECT_EQ(names, (std::vector<std::string>{"A.PAS", "a.pas", "b.pas", "Z.PAS", "_x.pas", "\xE9.pas"}));
}

TEST(PathTest, SplitsAtEverySeparator) {
  // Path, name part, base name, with the extension ".dfb", temporary file name.
  const std::tuple<const char*, const char*, const char*, const char*, const char*> cases[] = {
      {"D:\\jobs\\step.one.scr", "step.one.scr", "step", "D:\\jobs\\step.one.dfb", "D:\\jobs\\step.XXX"},
      {"sub.dir\\FORM1", "FORM1", "FORM1", "sub.dir\\FORM1.dfb", "sub.dir\\FORM1.XXX"},
      {"sub.dir/FORM1", "FORM1", "FORM1", "sub.dir/FORM1.dfb", "sub.dir/FORM1.XXX"},
      {"C:name.pas", "name.pas", "name", "C:name.dfb", "C:name.XXX"},
      {"dir.v2/.hidden", ".hidden", "", "dir.v2/.dfb", "dir.v2/.XXX"},
      {"dir/", "", "", "dir/.dfb", "dir/.XXX"},
      {"\xC4\xD6.pas", "\xC4\xD6.pas", "\xC4\xD6", "\xC4\xD6.dfb", "\xC4\xD6.XXX"},
  };
  for (const auto& [path, namePart, baseName, withDfb, temp] : cases) {
    EXPECT_EQ(NamePart(path), namePart) << path;
    EXPECT_EQ(FileBaseName(path), baseName) << path;
    EXPECT_EQ(ReplaceExtension(path, ".dfb"), withDfb) << path;
    EXPECT_EQ(TempFileName(path), temp) << path;
  }
}

TEST(CodePageTest, CharsetNamesAndLeadBytes) {
  // Charset, code page, a lead byte (0: none) and a byte that leads nothing.
  const std::tuple<const char*, int, unsigned char, unsigned char> cases[] = {
      {"UTF-8", 1252, 0, 0x81}, {"SHIFT_JIS", 932, 0x81, 0xA0}, {"sjis", 932, 0xFC, 0xFD},
      {"GBK", 936, 0xFE, 0x80}, {"EUC-KR", 949, 0x81, 0xFF},    {"BIG5", 950, 0xA4, 0x40},
  };
  for (const auto& [charset, number, lead, notLead] : cases) {
    const CodePage page = CodePage::FromCharsetName(charset);
    EXPECT_EQ(std::tuple(page.Number(), page.IsDoubleByte(), page.IsLeadByte(lead), page.IsLeadByte(notLead)),
              std::tuple(number, number != 1252, lead != 0, false)) << charset;
  }
}

}  // namespace
}  // namespace reshape
