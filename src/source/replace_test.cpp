#include "source/replace.h"

#include <gtest/gtest.h>

#include <string>

namespace reshape {
namespace {

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
  // Every position nearly matches the key: checking each one fully would compare about 3 * 10^11
  // bytes here.
  const std::string key(1 << 16, 'a');
  std::string line;
  for (int i = 0; i < 160; ++i) line += key.substr(1) + "c";
  EXPECT_TRUE(ReplaceSubstring(line += key, key, "!", false, CodePage()));
  EXPECT_EQ(line.size(), 160 * key.size() + 1);
  EXPECT_EQ(line.back(), '!');
}

}  // namespace
}  // namespace reshape
