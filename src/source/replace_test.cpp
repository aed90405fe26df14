#include "source/replace.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "base/ascii_case.h"

namespace reshape {
namespace {

struct SubstringCase {
  std::string line;
  std::string oldText;
  std::string newText;
  bool guard;
  std::string result;
};

TEST(ReplaceSubstringTest, ReplacesFirstOccurrenceIgnoringCase) {
  const std::vector<SubstringCase> cases = {
      {"s := 'abc';", "abc", "xyz", true, "s := 'xyz';"},
      {"abc; s := 'q'; { x } (* y *)", "abc", "xyz", true, "abc; s := 'q'; { x } (* y *)"},
      {"s := 'abc'; { x } (* y *)", "abc", "xyz", true, "s := 'xyz'; { x } (* y *)"},
      {"abc; s := 'q'; { x } (* y *)", "abc", "xyz", false, "xyz; s := 'q'; { x } (* y *)"},
      {"{ abc } 'q' (* *)", "abc", "xyz", true, "{ xyz } 'q' (* *)"},
      {"(* abc *) 'q' { }", "abc", "xyz", true, "(* xyz *) 'q' { }"},
      {"abc 'q' {", "abc", "xyz", true, "xyz 'q' {"},
      {"abc 'q' ( *", "abc", "xyz", true, "xyz 'q' ( *"},
      {"'abc{(*", "abc", "xyz", true, "'xyz{(*"},
      {"{abc'(*", "abc", "xyz", true, "{xyz'(*"},
      {"(*abc'{", "abc", "xyz", true, "(*xyz'{"},
      {"abc(*'{", "abc", "xyz", true, "abc(*'{"},
      {"ab'c{(*", "b'c", "xyz", true, "ab'c{(*"},
      {"abc abc", "abc", "xyz", true, "xyz abc"},
      {"TMainForm", "Form", "Dialog", true, "TMainDialog"},
      {"ABC", "abc", "x", true, "x"},
      {"abc", "", "x", true, "abc"},
      {"", "abc", "x", true, ""},
      {"ab", "abc", "x", true, "ab"},
      {"aaab", "aab", "X", true, "aX"},
      {"abababac", "ababac", "X", true, "abX"},
      {"Pkg50 pkg50", "Pkg50", "", false, " pkg50"},
      {"\xE4\xC4", "\xC4", "x", true, "\xE4x"},
      {std::string("q\0abc", 5), "abc", "x", true, std::string("q\0abc", 5)},
      {std::string("abc\0abc", 7), "abc", "x", true, std::string("x\0abc", 5)},
      {std::string("ab\0c", 4), std::string("b\0c", 3), "x", true, std::string("ab\0c", 4)},
  };
  for (const SubstringCase& c : cases) {
    std::string line = c.line;
    const bool replaced = ReplaceSubstring(line, c.oldText, c.newText, c.guard, CodePage());
    EXPECT_EQ(line, c.result) << c.line << " / " << c.oldText;
    EXPECT_EQ(replaced, c.result != c.line) << c.line << " / " << c.oldText;
  }
}

struct CodePageCase {
  std::string line;
  std::string oldText;
  int codePage;
  std::string result;
};

TEST(ReplaceSubstringTest, PassesOverMatchesOnSecondByteOfDoubleByteCharacter) {
  const std::vector<CodePageCase> cases = {
      // 0x83 leads a Shift_JIS character whose second byte is "A".
      {"\x83" "AB AB", "AB", 932, "\x83" "AB x"},
      {"\x83" "AB AB", "AB", 1252, "\x83x AB"},
      {"\x83" "A\x83" "A", "A", 932, "\x83" "A\x83" "A"},
      // The occurrence after a rejected one may overlap it.
      {"\x83" "AAA", "AA", 932, "\x83" "Ax"},
      {"\x83\x83" "A", "A", 932, "\x83\x83" "x"},
      {"\x83" "A" "\x83\x83" "A", "A", 936, "\x83" "A" "\x83\x83" "x"},
      {"\x81" "A", "A", 936, "\x81" "A"},
      {"\xFE" "A", "A", 949, "\xFE" "A"},
      {"\xA4" "A", "A", 950, "\xA4" "A"},
      {"\x83" "B" "\x83", "\x83", 932, "xB\x83"},
      {"B\x83\x83", "\x83", 932, "Bx\x83"},
      {"a\x83", "\x83", 932, "ax"},
  };
  for (const CodePageCase& c : cases) {
    std::string line = c.line;
    ReplaceSubstring(line, c.oldText, "x", false, CodePage(c.codePage));
    EXPECT_EQ(line, c.result) << c.line << " cp " << c.codePage;
  }
}

TEST(ReplaceSubstringTest, LongKeyOverLongLineStaysLinear) {
  // Almost-matches everywhere: a naive search would compare about 10^11 bytes here.
  const std::string key = std::string(1 << 16, 'a') + "b";
  std::string line(10 << 20, 'a');
  line += "b";
  EXPECT_TRUE(ReplaceSubstring(line, key, "!", false, CodePage()));
  EXPECT_EQ(line.size(), (10u << 20) - (1u << 16) + 1);
  EXPECT_EQ(line.back(), '!');
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

// The replacements done the plain way, one word or one position at a time, to check the fast
// ones against on random lines.
bool PlainReplaceSubstring(std::string& line, std::string_view oldText, std::string_view newText,
                           bool guard, CodePage codePage) {
  const std::string upperLine = AsciiUpperCase(line.substr(0, line.find('\0')));
  const std::string key = AsciiUpperCase(oldText);
  if (key.empty()) return false;
  for (std::size_t p = 0; p + key.size() <= upperLine.size(); ++p) {
    if (upperLine.compare(p, key.size(), key) != 0) continue;
    std::size_t c = 0;
    while (c < p) c += codePage.IsLeadByte(static_cast<unsigned char>(line[c])) ? 2 : 1;
    if (c != p) continue;
    if (guard) {
      auto at = [&line](const char* marker) { return line.find(marker); };
      const std::size_t q = at("'"), b = at("{"), k = at("(*");
      if (q != std::string::npos && b != std::string::npos && k != std::string::npos &&
          q >= p && b >= p && k >= p)
        return false;
    }
    line = line.substr(0, p) + std::string(newText) + line.substr(p + key.size());
    return true;
  }
  return false;
}

// Random lines over a small alphabet, so that words repeat and matches are frequent.
class RandomText {
 public:
  std::string Make(std::size_t maxLength, std::string_view alphabet) {
    std::string text(std::uniform_int_distribution<std::size_t>(0, maxLength)(random_), ' ');
    std::uniform_int_distribution<std::size_t> pick(0, alphabet.size() - 1);
    for (char& c : text) c = alphabet[pick(random_)];
    return text;
  }

 private:
  std::mt19937 random_{20240611};
};

TEST(ReplaceSubstringTest, AgreesWithPositionByPositionSearch) {
  RandomText random;
  const std::string_view lineBytes = std::string_view("aAb'{(*\x83\0", 9);
  int replaced = 0;
  for (int codePage : {1252, 932}) {
    for (int round = 0; round < 5000; ++round) {
      std::string line = random.Make(30, lineBytes);
      std::string plain = line;
      const std::string original = line;
      const std::string oldText = random.Make(4, std::string_view("aAb\x83(", 5));
      const bool guard = round % 2 == 0;
      const bool plainResult =
          PlainReplaceSubstring(plain, oldText, "#", guard, CodePage(codePage));
      ASSERT_EQ(ReplaceSubstring(line, oldText, "#", guard, CodePage(codePage)), plainResult)
          << original << " / " << oldText;
      ASSERT_EQ(line, plain) << original << " / " << oldText;
      replaced += plainResult ? 1 : 0;
    }
  }
  EXPECT_GT(replaced, 1000);
}

}  // namespace
}  // namespace reshape
