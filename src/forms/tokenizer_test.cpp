#include "forms/tokenizer.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/errors.h"

namespace reshape {
namespace {

using Token = std::pair<int, std::string>;

// The tokens of text, or the message of the failure that reading them raises.
std::vector<Token> Tokens(const std::string& text, std::size_t maxLine = Tokenizer::kMaxLineLength) {
  std::vector<Token> tokens;
  try {
    for (Tokenizer tokenizer(text, maxLine); tokenizer.Token() != TokEnd; tokenizer.Advance())
      tokens.push_back({tokenizer.Token(), std::string(tokenizer.TokenText())});
  } catch (const EParserError& e) {
    tokens.push_back({-1, e.Message()});
  }
  return tokens;
}

std::vector<Token> Failure(const char* message) { return {{-1, message}}; }

TEST(Tokenizer, TokenSequencesAndErrors) {
  const std::pair<std::string, std::vector<Token>> cases[] = {
      {"object F1: T\r\n", {{TokIdentifier, "object"}, {TokIdentifier, "F1"}, {':', ":"}, {TokIdentifier, "T"}}},
      {"_a1 = 8", {{TokIdentifier, "_a1"}, {'=', "="}, {TokInteger, "8"}}},
      {"'it''s' '' #65#66 #'x'", {{TokString, "it's"}, {TokString, ""}, {TokString, "AB"},
                                  {TokString, std::string("\0x", 2)}}},
      {"'a'#13#10'b' '\xe9\xff' #255", {{TokString, "a\r\nb"}, {TokString, "\xe9\xff"}, {TokString, "\xff"}}},
      {"'x'#8364 #256", {{TokWideString, "'x'#8364"}, {TokWideString, "#256"}}},
      {"$1F $ -5 - 5", {{TokInteger, "$1F"}, {TokInteger, "$"}, {TokInteger, "-5"}, {TokInteger, "-"},
                        {TokInteger, "5"}}},
      {"1.5 2.5E3 1-2 12s 7d 3C 12sx", {{TokFloat, "1.5"}, {TokFloat, "2.5E3"}, {TokFloat, "1-2"},
                                        {TokFloat, "12s"}, {TokFloat, "7d"}, {TokFloat, "3C"},
                                        {TokFloat, "12s"}, {TokIdentifier, "x"}}},
      {"()[]<>{},.+:\x80", {{'(', "("}, {')', ")"}, {'[', "["}, {']', "]"}, {'<', "<"}, {'>', ">"},
                            {'{', "{"}, {'}', "}"}, {',', ","}, {'.', "."}, {'+', "+"}, {':', ":"},
                            {TokIdentifier, "\x80"}}},
      {"\xc3\xa9t\xc3\xa9 _\xff" "1", {{TokIdentifier, "\xc3\xa9t\xc3\xa9"}, {TokIdentifier, "_\xff" "1"}}},
      {std::string("abc\0def", 7), {{TokIdentifier, "abc"}}},
      {"a\r\nb = 'abc\r\nc", {{TokIdentifier, "a"}, {TokIdentifier, "b"}, {'=', "="},
                              {-1, "Invalid string constant on line 2"}}},
      {"'ab\rcd'", Failure("Invalid string constant on line 1")},
      {std::string("'a\0b'", 5), Failure("Invalid string constant on line 1")},
      {"#13'", Failure("Invalid string constant on line 1")},
  };
  for (const auto& [text, tokens] : cases) EXPECT_EQ(Tokens(text), tokens) << text;
}

TEST(TextToInteger, RuntimeRule) {
  const std::tuple<std::string, bool, std::int32_t> cases[] = {
      {"+7", true, 7}, {"2147483647", true, 2147483647}, {"-2147483648", true, INT32_MIN},
      {"2147483648", false, 0}, {"-2147483649", false, 0}, {"$FFFFFFFF", true, -1},
      {"$00000000FF", true, 255}, {"$100000000", false, 0}, {"-$10", true, -16}, {"$", false, 0},
      {"", false, 0}, {"12a", false, 0}};
  for (const auto& [text, valid, expected] : cases) {
    std::int32_t value = 0;
    EXPECT_EQ(TextToInteger(text, value), valid) << text;
    EXPECT_EQ(value, expected) << text;
  }
}

// Many lines of every token kind, so that tokens meet every position of a window's end; then
// lines longer than the window.
TEST(Tokenizer, TokensAndLinesAcrossWindows) {
  std::string text;
  std::vector<Token> expected;
  for (int i = 0; i < 2000; ++i) {
    const std::string name = "Prop" + std::to_string(i), hex = {'$', static_cast<char>('0' + i % 10)};
    text.append(static_cast<std::size_t>(i % 13), ' ').append(name + " = 'a''b'#13 + 12.5s " + hex + "\r\n");
    expected.insert(expected.end(), {{TokIdentifier, name}, {'=', "="}, {TokString, "a'b\r"}, {'+', "+"},
                                     {TokFloat, "12.5s"}, {TokInteger, hex}});
  }
  ASSERT_GT(text.size(), 10 * Tokenizer::kWindowSize);
  EXPECT_EQ(Tokens(text), expected);
  expected.push_back({-1, "Invalid string constant on line 2001"});
  EXPECT_EQ(Tokens(text + "'open"), expected);
  const std::string longName(20000, 'x');
  EXPECT_EQ(Tokens("a\r\n" + longName + "\r\nb"), (std::vector<Token>{{TokIdentifier, "a"},
                                                                       {TokIdentifier, longName}, {TokIdentifier, "b"}}));
  EXPECT_EQ(Tokens(std::string(4094, 'y') + "\nz", 4094).size(), 2u);
  EXPECT_EQ(Tokens("a\n" + std::string(4095, 'y') + "\nz", 4094).back(), Token(-1, "Line too long on line 2"));
  EXPECT_EQ(Tokens("a\n" + std::string(50000, 'y') + "\n", 30000).back(), Token(-1, "Line too long on line 2"));
}

}  // namespace
}  // namespace reshape
