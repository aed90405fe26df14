#include "source/word_scan.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace reshape {
namespace {

struct WordsCase {
  std::string text;
  std::vector<std::string> words;
  std::vector<std::size_t> starts;
};

TEST(WordScanTest, FindsWordsAndTheirStarts) {
  const std::vector<WordsCase> cases = {
      {"", {}, {}},
      {" ;; ", {}, {}},
      {" ,.;-+/*()^=:[]", {}, {}},
      {" ,TFoo..Bar; ", {"TFoo", "Bar"}, {3, 9}},
      {"Unit1.TFoo", {"Unit1", "TFoo"}, {1, 7}},
      {"TFoo::Create", {"TFoo", "Create"}, {1, 7}},
      {"A\tB", {"A\tB"}, {1}},
      {"{TFoo} <TFoo> TFoo& 'x'", {"{TFoo}", "<TFoo>", "TFoo&", "'x'"}, {1, 8, 15, 21}},
      {"a\r\nb\\c#d\"e", {"a\r\nb\\c#d\"e"}, {1}},
      {std::string("x\0y z", 5), {std::string("x\0y", 3), "z"}, {1, 5}},
      {"\xE4\xF6 \xFF", {"\xE4\xF6", "\xFF"}, {1, 4}},
      {"x", {"x"}, {1}},
  };
  for (const WordsCase& c : cases) {
    ASSERT_EQ(CountWords(c.text, DelimiterSet), c.words.size()) << c.text;
    for (std::size_t i = 0; i < c.words.size(); ++i) {
      const auto n = static_cast<std::ptrdiff_t>(i + 1);
      std::size_t position = 0;
      EXPECT_TRUE(FindWordStart(n, c.text, DelimiterSet, position)) << c.text;
      EXPECT_EQ(position, c.starts[i]) << c.text << " word " << n;
      EXPECT_EQ(CopyWordAt(n, c.text, DelimiterSet), c.words[i]) << c.text << " word " << n;
    }
    const std::ptrdiff_t missing[] = {0, -1, static_cast<std::ptrdiff_t>(c.words.size()) + 1};
    for (std::ptrdiff_t n : missing) {
      std::size_t position = 77;
      EXPECT_FALSE(FindWordStart(n, c.text, DelimiterSet, position)) << c.text << " n=" << n;
      EXPECT_EQ(position, 77u);
      EXPECT_EQ(CopyWordAt(n, c.text, DelimiterSet), "");
    }
  }
}

TEST(WordScanTest, UsesTheDelimitersItIsGiven) {
  EXPECT_EQ(CountWords("a b,c", ","), 2u);
  EXPECT_EQ(CopyWordAt(2, "a b,c", ","), "c");
  EXPECT_EQ(CountWords("a b", ""), 1u);
  EXPECT_EQ(CopyWordAt(1, "aXXbXc", "XX"), "a");
  EXPECT_EQ(CopyWordAt(3, "aXXbXc", "X"), "c");
}

TEST(WordScanTest, CharInDelimiters) {
  for (char c : std::string(" ,.;-+/*()^=:[]")) EXPECT_TRUE(CharInDelimiters(DelimiterSet, c));
  for (char c : std::string("\t\r\n{}'\"<>&#\\_aZ0\x80\xFF"))
    EXPECT_FALSE(CharInDelimiters(DelimiterSet, c)) << static_cast<int>(c);
  EXPECT_FALSE(CharInDelimiters(std::string_view(), ' '));
  EXPECT_FALSE(CharInDelimiters(DelimiterSet, '\0'));
}

TEST(WordListTest, IndexOfFindsFirstEqualWordIgnoringCase) {
  const WordList words("a TFoo b tfoo TFooBar");
  EXPECT_EQ(words.IndexOf("TFOO"), 2u);
  EXPECT_EQ(words.IndexOf("tFoo"), 2u);
  EXPECT_EQ(words.IndexOf("TFooBa"), 0u);
  EXPECT_EQ(words.IndexOf(""), 0u);
  EXPECT_EQ(words.IndexOf("a b"), 0u);
}

TEST(WordListTest, HoldsTheUpperCasedWordsThatCopyWordAtGives) {
  const std::string lines[] = {"", " ", "a", "Unit1.TFoo::x(y)", "  uses A, b;  ",
                               std::string("\0a\tb\xE4 c", 8), "[]^=:+-*/"};
  for (const std::string& line : lines) {
    const WordList words(line);
    ASSERT_EQ(words.Count(), CountWords(line, DelimiterSet)) << line;
    for (std::size_t i = 1; i <= words.Count(); ++i) {
      std::string expected = CopyWordAt(static_cast<std::ptrdiff_t>(i), line, DelimiterSet);
      for (char& c : expected)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
      EXPECT_EQ(words.Word(i), expected) << line << " word " << i;
    }
  }
}

TEST(WordListTest, KeepsWordsOfTheLineAsBuilt) {
  std::string line = "a b";
  const WordList words(line);
  line = "changed";
  EXPECT_EQ(words.Word(2), "B");
}

}  // namespace
}  // namespace reshape
