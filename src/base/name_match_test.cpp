#include "base/name_match.h"

#include <gtest/gtest.h>

#include "base/ascii_case.h"

namespace reshape {
namespace {

TEST(AsciiCaseTest, OnlyLettersAToZHaveCase) {
  EXPECT_EQ(AsciiUpperCase("azAZ09{}`@[]\xE4\xF6\xFF"), "AZAZ09{}`@[]\xE4\xF6\xFF");
  EXPECT_TRUE(SameIgnoringAsciiCase("TFoo", "tfOO"));
  EXPECT_FALSE(SameIgnoringAsciiCase("TFoo", "TFoo "));
  EXPECT_FALSE(SameIgnoringAsciiCase("\xE4", "\xC4"));
  EXPECT_FALSE(SameIgnoringAsciiCase("@", "`"));
}

TEST(MatchesMaskTest, WildcardsAndCase) {
  const std::tuple<const char*, const char*, bool> cases[] = {
      {"unit1.pas", "*.PAS", true},  {".PAS", "*.PAS", true},      {"unit1.pas.bak", "*.PAS", false},
      {"a.pas.pas", "*.PAS", true},  {"unit1.hpp", "*.H", false},  {"X.DFM", "?.DFM", true},
      {"XY.DFM", "?.DFM", false},    {"\xE9t\xE9.pas", "*.PAS", true}, {"", "*", true},
      {"abc", "a*b*c*", true},       {"aXbXc", "a*b*d", false},
  };
  for (const auto& [name, mask, matches] : cases) EXPECT_EQ(MatchesMask(name, mask), matches) << name << " " << mask;
  EXPECT_FALSE(MatchesMask(std::string(10000, 'a'), "*a*a*a*a*a*a*a*a*b"));  // in no exponential time
}

TEST(SortDirectoryEntriesTest, UpperCasedNamesThenRawBytes) {
  std::vector<DirEntry> entries = {{"b.pas"}, {"_x.pas"}, {"A.PAS"}, {"a.pas"}, {"\xE9.pas"}, {"Z.PAS"}};
  SortDirectoryEntries(entries);
  std::vector<std::string> names;
  for (const DirEntry& entry : entries) names.push_back(entry.Name);
  // '_' sorts after the upper-case letters but before the lower-case ones would.
  EXPECT_EQ(names, (std::vector<std::string>{"A.PAS", "a.pas", "b.pas", "Z.PAS", "_x.pas", "\xE9.pas"}));
}

}  // namespace
}  // namespace reshape
