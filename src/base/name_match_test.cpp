#include "base/name_match.h"

#include <gtest/gtest.h>

namespace reshape {
namespace {

TEST(MatchesMaskTest, WildcardsAndCase) {
  struct Case {
    const char* name;
    const char* mask;
    bool matches;
  };
  const Case cases[] = {
      {"unit1.pas", "*.PAS", true},   {"UNIT1.PAS", "*.PAS", true},
      {".PAS", "*.PAS", true},        {"unit1.pas.bak", "*.PAS", false},
      {"a.pas.pas", "*.PAS", true},   {"unit1.h", "*.H", true},
      {"unit1.hpp", "*.H", false},    {"unit1.hpp", "*.HPP", true},
      {"X.DFM", "?.DFM", true},       {"XY.DFM", "?.DFM", false},
      {"form1.Dfm", "*.DFM", true},   {"\xE9t\xE9.pas", "*.PAS", true},
      {"", "*", true},                {"abc", "a*b*c*", true},
      {"aXbXc", "a*b*d", false},
  };
  for (const Case& c : cases)
    EXPECT_EQ(MatchesMask(c.name, c.mask), c.matches) << c.name << " " << c.mask;
}

TEST(MatchesMaskTest, ManyStarsStayFast) {
  std::string name(10000, 'a');
  EXPECT_FALSE(MatchesMask(name, "*a*a*a*a*a*a*a*a*b"));
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
