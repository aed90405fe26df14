#include "source/word_renames.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "source/word_scan.h"

namespace reshape {
namespace {

TEST(WordScanTest, FindsWordsAndDottedNames) {
  const std::tuple<std::string, std::vector<std::string>, std::vector<std::string>> cases[] = {
      {" ,.;-+/*()^=:[]", {}, {}},
      {"uses Core.Types, Types;", {"uses", "Core", "Types", "Types"}, {"uses", "Core.Types", "Types"}},
      {"a.b.c. d .e f..g", {"a", "b", "c", "d", "e", "f", "g"}, {"a.b.c", "d", "e", "f", "g"}},
      {"{A}\t<B>&'x'#\\\"", {"{A}\t<B>&'x'#\\\""}, {"{A}\t<B>&'x'#\\\""}},
      {std::string("x\0y z\xE4", 6), {std::string("x\0y", 3), "z\xE4"}, {std::string("x\0y", 3), "z\xE4"}},
      // Words across the 16- and 64-byte blocks of the scan.
      {std::string(70, 'a') + " b:c", {std::string(70, 'a'), "b", "c"}, {std::string(70, 'a'), "b", "c"}},
  };
  for (const auto& [text, words, dottedNames] : cases) {
    std::vector<std::string> found[2];
    auto into = [&](int at) {
      return [&, at](std::size_t start, std::size_t length) { return found[at].push_back(text.substr(start, length)), true; };
    };
    ScanSourceWords(text, into(0));
    ScanSourceDottedNames(text, into(1));
    EXPECT_EQ(found[0], words) << text;
    EXPECT_EQ(found[1], dottedNames) << text;
  }
}

using Names = WholeWordRenames::Names;

TEST(WholeWordRenamesTest, ActsInListOrderAtEachNamesFirstWholeWord) {
  const std::tuple<std::string, std::vector<WholeWordRenames::Rename>, std::string, std::vector<std::size_t>, Names>
      cases[] = {
          {"var A: TFoo; B: TFoo;", {{"TFoo", "TBar"}}, "var A: TBar; B: TFoo;", {0}, Names::Words},
          {"TFooBar x := tfoo.Create;", {{"TFoo", "TBar"}}, "TFooBar x := TBar.Create;", {0}, Names::Words},
          {"(TFoo)[TFoo]", {{"TFoo", "TBar"}}, "(TBar)[TFoo]", {0}, Names::Words},
          {"a\tTFoo {TFoo} <TFoo> TFoo& 'TFoo'", {{"TFoo", "X"}}, "a\tTFoo {TFoo} <TFoo> TFoo& 'TFoo'", {}, Names::Words},
          {std::string("\0 TFoo\xE4 tfoo", 12), {{"TFoo", "TBar"}}, std::string("\0 TFoo\xE4 TBar", 12), {0}, Names::Words},
          {"TB TA", {{"TA", "X"}, {"TB", "Y"}}, "Y X", {0, 1}, Names::Words},
          {"TA TA", {{"ta", "X"}, {"TA", "Y"}}, "X TA", {0}, Names::Words},
          {"TA", {{"TA", "ta"}, {"Ta", "Z"}}, "Z", {0, 1}, Names::Words},
          {"TFirst", {{"TFirst", "TSecond"}, {"TSecond", "TThird"}}, "TSecond", {0}, Names::Words},
          // New names holding delimiters, or none at all, move the names behind them.
          {"TA TB TC", {{"TA", "Os.Windows"}, {"TB", "Q"}, {"TC", "R"}}, "Os.Windows Q R", {0, 1, 2}, Names::Words},
          {"TA, TB", {{"TA", ""}, {"TB", "W.B"}}, ", W.B", {0, 1}, Names::Words},
          {"TA TB", {{"TA", "A B C"}, {"TB", "D"}}, "A B C D", {0, 1}, Names::Words},
          {"a, b", {{"", "X"}, {"a,", "X"}}, "a, b", {}, Names::Words},
          {"uses Core.Types, Types;", {{"Types", "Old"}}, "uses Core.Types, Old;", {0}, Names::DottedNames},
          {"uses gui.StdCtrls;", {{"Gui.StdCtrls", "StdCtrls"}}, "uses StdCtrls;", {0}, Names::DottedNames},
          {"uses Os.Windows, Os;", {{"Windows", "X"}, {"Os.", "X"}, {".Windows", "X"}, {"Os..Windows", "X"}},
           "uses Os.Windows, Os;", {}, Names::DottedNames},
          {"uses A, B;", {{"A", "P.A"}, {"B", "P.B"}}, "uses P.A, P.B;", {0, 1}, Names::DottedNames},
      };
  for (const auto& [before, list, after, replaced, names] : cases) {
    WholeWordRenames renames(list, names);
    // The same object serves the next line afresh.
    for (int round = 0; round < 2; ++round) {
      std::string line = before;
      EXPECT_EQ(renames.Apply(line), replaced) << before;
      EXPECT_EQ(line, after) << before;
    }
  }
}

}  // namespace
}  // namespace reshape
