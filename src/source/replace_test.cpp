#include "source/replace.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace reshape {
namespace {

struct SubstringCase {
  std::string line;
  std::string oldText;
  bool guard;
  std::string result;
  int codePage = 1252;
};

TEST(ReplaceSubstringTest, ReplacesFirstOccurrenceIgnoringCase) {
  const std::vector<SubstringCase> cases = {
      {"s := 'abc';", "abc", true, "s := 'x';"},
      {"abc; s := 'q'; { x } (* y *)", "abc", true, "abc; s := 'q'; { x } (* y *)"},
      {"abc; s := 'q'; { x } (* y *)", "abc", false, "x; s := 'q'; { x } (* y *)"},
      {"s := 'abc'; { x } (* y *)", "abc", true, "s := 'x'; { x } (* y *)"},
      {"{ abc } 'q' (* *)", "abc", true, "{ x } 'q' (* *)"},
      {"abc 'q' ( *", "abc", true, "x 'q' ( *"},
      {"abc(*'{", "abc", true, "abc(*'{"},
      {"ab'c{(*", "b'c", true, "ab'c{(*"},
      {"abc ABC", "aBc", true, "x ABC"},
      {"aaab", "aab", true, "ax"},
      {"abababac", "ababac", true, "abx"},
      {std::string("q\0abc", 5), "abc", true, std::string("q\0abc", 5)},
      {std::string("abc\0abc", 7), "abc", true, std::string("x\0abc", 5)},
      // 0x83 leads a double-byte character whose second byte is "A" in code page 932.
      {"\x83" "AB AB", "AB", false, "\x83" "AB x", 932},
      {"\x83" "AB AB", "AB", false, "\x83x AB", 1252},
      {"\x83" "AAA", "AA", false, "\x83" "Ax", 932},
      {"\x83\x83" "A", "A", false, "\x83\x83x", 932},
      {"\x83" "B" "\x83", "\x83", false, "xB\x83", 932},
  };
  for (const SubstringCase& c : cases) {
    std::string line = c.line;
    const bool replaced = ReplaceSubstring(line, c.oldText, "x", c.guard, CodePage(c.codePage));
    EXPECT_EQ(line, c.result) << c.line << " / " << c.oldText;
    EXPECT_EQ(replaced, c.result != c.line) << c.line << " / " << c.oldText;
  }
}

TEST(ReplaceSubstringTest, DenseNearMatchesStayLinear) {
  // Every position nearly matches the key: checking each one fully would compare about 3 * 10^11
  // bytes here.
  const std::string key(1 << 16, 'a');
  const std::string nearMatch = std::string((1 << 16) - 1, 'a') + "c";
  std::string line;
  for (int i = 0; i < 160; ++i) line += nearMatch;
  line += key;
  const std::size_t expectedSize = line.size() - key.size() + 1;
  EXPECT_TRUE(ReplaceSubstring(line, key, "!", false, CodePage()));
  EXPECT_EQ(line.size(), expectedSize);
  EXPECT_EQ(line.back(), '!');
}

}  // namespace
}  // namespace reshape
