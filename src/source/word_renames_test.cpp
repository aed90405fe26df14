#include "source/word_renames.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "source/replace.h"
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

TEST(ReplaceSubstringTest, ReplacesFirstOccurrenceIgnoringCase) {
  const std::tuple<std::string, std::string, bool, std::string, int> cases[] = {
      // The guard skips a line holding a quote, a "{" and a "(*", none before the match.
      {"abc; s := 'q'; { x } (* y *)", "abc", true, "abc; s := 'q'; { x } (* y *)", 1252},
      {"abc; s := 'q'; { x } (* y *)", "abc", false, "x; s := 'q'; { x } (* y *)", 1252},
      {"s := 'abc'; { x } (* y *)", "abc", true, "s := 'x'; { x } (* y *)", 1252},
      {"{ abc } 'q' (* *)", "abc", true, "{ x } 'q' (* *)", 1252},
      {"(* abc 'q' {", "abc", true, "(* x 'q' {", 1252},
      {"abc 'q' ( * {", "abc", true, "x 'q' ( * {", 1252},
      {"ab'c{(*", "b'c", true, "ab'c{(*", 1252},
      {"abc ABC", "aBc", true, "x ABC", 1252},
      {"aaab", "aab", true, "ax", 1252},
      {"abababac", "ababac", true, "abx", 1252},
      {std::string("q\0abc", 5), "abc", true, std::string("q\0abc", 5), 1252},
      {std::string("abc\0abc", 7), "abc", true, std::string("x\0abc", 5), 1252},
      // 0x83 leads a double-byte character whose second byte is "A" in code page 932.
      {"\x83" "AB AB", "AB", false, "\x83" "AB x", 932},
      {"\x83" "AB AB", "AB", false, "\x83x AB", 1252},
      {"\x83" "AAA", "AA", false, "\x83" "Ax", 932},
      {"\x83\x83" "A", "A", false, "\x83\x83x", 932},
      {"\x83" "B" "\x83", "\x83", false, "xB\x83", 932},
  };
  for (const auto& [before, oldText, guard, after, codePage] : cases) {
    std::string line = before;
    EXPECT_EQ(ReplaceSubstring(line, oldText, "x", guard, CodePage(codePage)), after != before) << before;
    EXPECT_EQ(line, after) << before << " / " << oldText;
  }
}

TEST(ReplaceSubstringTest, DenseNearMatchesStayLinear) {
  // Every position nearly matches the key: checking each one fully would compare about 3 * 10^11 bytes here.
  const std::string key(1 << 16, 'a');
  std::string line;
  for (int i = 0; i < 160; ++i) line += key.substr(1) + "c";
  EXPECT_TRUE(ReplaceSubstring(line += key, key, "!", false, CodePage()));
  EXPECT_EQ(line.size(), 160 * key.size() + 1);
  EXPECT_EQ(line.back(), '!');
}

}  // namespace
}  // namespace reshape
