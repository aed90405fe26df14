#include "source/word_renames.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace reshape {
namespace {

using Names = WholeWordRenames::Names;

struct RenamesCase {
  std::string line;
  std::vector<std::pair<std::string, std::string>> renames;
  std::string result;
  std::vector<std::size_t> replaced;
  Names names = Names::Words;
};

TEST(WholeWordRenamesTest, ReplacesTheFirstWholeWordOnly) {
  const std::pair<std::string, std::string> cases[] = {
      {"var A: TFoo; B: TFoo;", "var A: TBar; B: TFoo;"},
      {"x := tfoo.Create;", "x := TBar.Create;"},
      {"TFooBar TFoo2", "TFooBar TFoo2"},
      {"(TFoo)[TFoo]^TFoo", "(TBar)[TFoo]^TFoo"},
      {"TFoo::Create", "TBar::Create"},
      {"a\tTFoo {TFoo} <TFoo> TFoo& 'TFoo'", "a\tTFoo {TFoo} <TFoo> TFoo& 'TFoo'"},
      {std::string("\0TFoo", 5), std::string("\0TFoo", 5)},
      {std::string("\0 TFoo\xE4 tfoo", 12), std::string("\0 TFoo\xE4 TBar", 12)},
  };
  for (const auto& [before, after] : cases) {
    WholeWordRenames renames(std::vector<WholeWordRenames::Rename>{{"TFoo", "TBar"}});
    std::string line = before;
    renames.Apply(line);
    EXPECT_EQ(line, after) << before;
  }
}

TEST(WholeWordRenamesTest, ActsInListOrderAtEachNamesFirstPlace) {
  const std::vector<RenamesCase> cases = {
      {"TB TA", {{"TA", "X"}, {"TB", "Y"}}, "Y X", {0, 1}},
      {"TA TA", {{"ta", "X"}, {"TA", "Y"}}, "X TA", {0}},
      {"TA", {{"TA", "ta"}, {"Ta", "Z"}}, "Z", {0, 1}},
      {"TFirst", {{"TFirst", "TSecond"}, {"TSecond", "TThird"}}, "TSecond", {0}},
      {"TAx TA", {{"TA", "B"}}, "TAx B", {0}},
      // New names holding delimiters, or none at all, move the names behind them.
      {"TA TB", {{"TB", "X.Y"}, {"TA", "Q"}}, "Q X.Y", {0, 1}},
      {"TA TB TC", {{"TA", "Os.Windows"}, {"TB", "Q"}, {"TC", "R"}}, "Os.Windows Q R",
       {0, 1, 2}},
      {"TA, TB", {{"TA", ""}, {"TB", "W.B"}}, ", W.B", {0, 1}},
      {"TA TB", {{"TA", "A B C"}, {"TB", "D"}}, "A B C D", {0, 1}},
      {"a, b", {{"", "X"}, {"a,", "X"}}, "a, b", {}},
      {"uses Core.Types, Types;", {{"Types", "Old"}}, "uses Core.Types, Old;", {0},
       Names::DottedNames},
      {"uses gui.StdCtrls;", {{"Gui.StdCtrls", "StdCtrls"}}, "uses StdCtrls;", {0},
       Names::DottedNames},
      {"uses Os.Windows;", {{"Windows", "Os.Windows"}}, "uses Os.Windows;", {},
       Names::DottedNames},
      {"uses Os.Windows, Os;", {{"Os.", "X"}, {".Windows", "X"}, {"Os..Windows", "X"}},
       "uses Os.Windows, Os;", {}, Names::DottedNames},
      {"uses A, B;", {{"A", "P.A"}, {"B", "P.B"}}, "uses P.A, P.B;", {0, 1}, Names::DottedNames},
  };
  for (const RenamesCase& c : cases) {
    std::vector<WholeWordRenames::Rename> list;
    for (const auto& [oldName, newName] : c.renames) list.push_back({oldName, newName});
    WholeWordRenames renames(std::move(list), c.names);
    std::string line = c.line;
    EXPECT_EQ(renames.Apply(line), c.replaced) << c.line;
    EXPECT_EQ(line, c.result) << c.line;
    // The same object serves the next line afresh.
    line = c.line;
    renames.Apply(line);
    EXPECT_EQ(line, c.result) << c.line;
  }
}

}  // namespace
}  // namespace reshape
