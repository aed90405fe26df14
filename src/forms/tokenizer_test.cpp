#include "forms/tokenizer.h"

#include <gtest/gtest.h>

#include <string>

#include "base/errors.h"

namespace reshape {
namespace {

// The tokens of text, each as a letter for its kind (Identifier, String, Wide string, Number,
// Float; a symbol stands for itself) and its text, then "|"; or "!" and the failure's message.
std::string Tokens(const std::string& text, std::size_t maxLine = Tokenizer::kMaxLineLength) {
  std::string tokens;
  try {
    for (Tokenizer tokenizer(text, maxLine); tokenizer.Token() != TokEnd; tokenizer.Advance()) {
      const int kind = tokenizer.Token();
      tokens += kind == TokIdentifier ? 'I' : kind == TokString ? 'S' : kind == TokWideString ? 'W'
                : kind == TokInteger ? 'N' : kind == TokFloat ? 'F' : static_cast<char>(kind);
      tokens.append(tokenizer.TokenText()) += '|';
    }
  } catch (const EParserError& e) {
    tokens += "!" + e.Message();
  }
  return tokens;
}

TEST(Tokenizer, TokenSequencesAndErrors) {
  const std::pair<std::string, std::string> cases[] = {
      {"object F1: T\r\n_a1 = 8", "Iobject|IF1|::|IT|I_a1|==|N8|"},
      {"'it''s' '' #65#66 #'x'", std::string("Sit's|S|SAB|S\0x|", 16)},
      {"'a'#13#10'b' '\xe9\xff' #255", "Sa\r\nb|S\xe9\xff|S\xff|"}, {"'x'#8364 #256", "W'x'#8364|W#256|"},
      {"$1F $ -5 - 5", "N$1F|N$|N-5|N-|N5|"}, {"1.5 2.5E3 1-2 12s 7d 3C 12sx", "F1.5|F2.5E3|F1-2|F12s|F7d|F3C|F12s|Ix|"},
      {"()[]<>{},.+:\x80", "((|))|[[|]]|<<|>>|{{|}}|,,|..|++|::|I\x80|"},
      {"\xc3\xa9t\xc3\xa9 _\xff" "1", "I\xc3\xa9t\xc3\xa9|I_\xff" "1|"}, {std::string("abc\0def", 7), "Iabc|"},
      {"a\r\nb = 'abc\r\nc", "Ia|Ib|==|!Invalid string constant on line 2"},
      {"'ab\rcd'", "!Invalid string constant on line 1"}, {std::string("'a\0b'", 5), "!Invalid string constant on line 1"},
      {"#13'", "!Invalid string constant on line 1"},
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
  std::string text, expected;
  for (int i = 0; i < 2000; ++i) {
    const std::string name = std::string("Prop").append(std::to_string(i)), hex = {'$', static_cast<char>('0' + i % 10)};
    text.append(static_cast<std::size_t>(i % 13), ' ').append(name + " = 'a''b'#13 + 12.5s " + hex + "\r\n");
    expected.append("I").append(name).append("|==|Sa'b\r|++|F12.5s|N").append(hex).append("|");
  }
  ASSERT_GT(text.size(), 10 * Tokenizer::kWindowSize);
  EXPECT_EQ(Tokens(text), expected);
  EXPECT_EQ(Tokens(text + "'open"), expected + "!Invalid string constant on line 2001");
  const std::string longName(20000, 'x');
  EXPECT_EQ(Tokens(std::string("a\r\n").append(longName).append("\r\nb")), std::string("Ia|I").append(longName).append("|Ib|"));
  EXPECT_EQ(Tokens(std::string(4094, 'y') + "\nz", 4094), std::string("I").append(4094, 'y').append("|Iz|"));
  EXPECT_EQ(Tokens(std::string("a\n").append(4095, 'y').append("\nz"), 4094), "Ia|!Line too long on line 2");
  EXPECT_EQ(Tokens(std::string("a\n").append(50000, 'y').append("\n"), 30000), "Ia|!Line too long on line 2");
}

}  // namespace
}  // namespace reshape
