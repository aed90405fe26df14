#include "forms/tokenizer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "forms/test_stream_builder.h"
#include "base/errors.h"

namespace reshape {
namespace {

using test::ExpectFailure;

struct Token {
  TokenKind kind;
  std::string text;
  bool operator==(const Token&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Token& token) {
  return out << "{" << int(token.kind) << ", \"" << token.text << "\"}";
}

std::vector<Token> Tokens(const std::string& text) {
  Tokenizer parser(text);
  std::vector<Token> tokens;
  for (;; parser.Advance()) {
    tokens.push_back({parser.Token(), std::string(parser.TokenText())});
    if (parser.Token() == TokEnd) break;
  }
  return tokens;
}

// The message of the EParserError that reading all tokens of text raises.
std::string ParseError(const std::string& text, std::size_t maxLine = Tokenizer::kMaxLineLength) {
  try {
    Tokenizer parser(text, maxLine);
    while (parser.Token() != TokEnd) parser.Advance();
  } catch (const EParserError& e) {
    return e.Message();
  }
  return "no error";
}

struct TokenCase {
  const char* name;
  std::string text;
  std::vector<Token> tokens;
};

const TokenKind kEq = '=';

TEST(Tokenizer, TokenSequences) {
  const TokenCase cases[] = {
      {"Empty", "", {}},
      {"OnlyBlanks", " \t\r\n\x01\x1f ", {}},
      {"Header",
       "object Form1: TForm1\r\n",
       {{TokIdentifier, "object"}, {TokIdentifier, "Form1"}, {':', ":"},
        {TokIdentifier, "TForm1"}}},
      {"IdentifierChars", "_a1 B_2c", {{TokIdentifier, "_a1"}, {TokIdentifier, "B_2c"}}},
      {"Property", "Left = 8", {{TokIdentifier, "Left"}, {kEq, "="}, {TokInteger, "8"}}},
      {"DoubledQuote", "'it''s'", {{TokString, "it's"}}},
      {"EmptyString", "''", {{TokString, ""}}},
      {"Codes", "#65#66", {{TokString, "AB"}}},
      {"CodeWithoutDigits", "#'x'", {{TokString, std::string("\0x", 2)}}},
      {"Mixed", "'a'#13#10'b'", {{TokString, "a\r\nb"}}},
      {"ApostropheCode", "'It'#39's'", {{TokString, "It's"}}},
      {"HighBytesInQuotes", "'\xe9\xff'", {{TokString, "\xe9\xff"}}},
      {"Code255", "#255", {{TokString, "\xff"}}},
      {"BlankEndsLiteral", "'a' 'b'", {{TokString, "a"}, {TokString, "b"}}},
      {"WideKeepsSource", "'x'#8364", {{TokWideString, "'x'#8364"}}},
      {"Hex", "$1F $", {{TokInteger, "$1F"}, {TokInteger, "$"}}},
      {"Negative", "-5", {{TokInteger, "-5"}}},
      {"LoneMinus", "- 5", {{TokInteger, "-"}, {TokInteger, "5"}}},
      {"Floats",
       "1.5 2.5E3 1e3 1-2 12s 7d 3C",
       {{TokFloat, "1.5"}, {TokFloat, "2.5E3"}, {TokFloat, "1e3"}, {TokFloat, "1-2"},
        {TokFloat, "12s"}, {TokFloat, "7d"}, {TokFloat, "3C"}}},
      {"SuffixThenIdentifier", "12sx", {{TokFloat, "12s"}, {TokIdentifier, "x"}}},
      {"MinusInf", "-INF", {{TokInteger, "-"}, {TokIdentifier, "INF"}}},
      {"Punctuation",
       "()[]<>{},.+:",
       {{'(', "("}, {')', ")"}, {'[', "["}, {']', "]"}, {'<', "<"}, {'>', ">"},
        {'{', "{"}, {'}', "}"}, {',', ","}, {'.', "."}, {'+', "+"}, {':', ":"}}},
      {"HighByteIsPunctuation", "\x80\xff", {{0x80, "\x80"}, {0xff, "\xff"}}},
      {"DotsAreSeparateTokens",
       "Font.Name",
       {{TokIdentifier, "Font"}, {'.', "."}, {TokIdentifier, "Name"}}},
      {"ZeroByteEndsText", std::string("abc\0def", 7), {{TokIdentifier, "abc"}}},
      {"NoFinalLineBreak", "end", {{TokIdentifier, "end"}}},
  };
  for (const auto& c : cases) {
    std::vector<Token> expected = c.tokens;
    expected.push_back({TokEnd, ""});
    EXPECT_EQ(Tokens(c.text), expected) << c.name;
  }
}

TEST(Tokenizer, EndOfTextStaysCurrent) {
  const std::string stream("x");
  Tokenizer parser(stream);
  EXPECT_EQ(parser.Advance(), TokEnd);
  EXPECT_EQ(parser.Advance(), TokEnd);
  EXPECT_EQ(parser.TokenText(), "");
}

TEST(Tokenizer, WideLiteralDecodesUnits) {
  // Quoted bytes are zero-extended; codes are taken modulo 65536.
  const std::pair<const char*, std::u16string> cases[] = {
      {"'a\xe9'#8364#65601''''", {u'a', 0xe9, 0x20ac, 65, u'\''}}, {"#256", {char16_t{256}}}};
  for (const auto& [text, units] : cases) {
    Tokenizer parser(text);
    EXPECT_EQ(parser.Token(), TokWideString) << text;
    EXPECT_EQ(parser.WideText(), units) << text;
  }
}

struct ErrorCase {
  const char* name;
  std::string text;
  std::string message;
};

TEST(Tokenizer, ScannerErrors) {
  const ErrorCase cases[] = {
      {"OpenQuoteAtLineEnd", "a\r\nb = 'abc\r\nc", "Invalid string constant on line 2"},
      {"OpenQuoteAtEnd", "\n\n'abc", "Invalid string constant on line 3"},
      {"LineFeedInQuote", "'ab\ncd'", "Invalid string constant on line 1"},
      {"ZeroInQuote", std::string("'a\0b'", 5), "Invalid string constant on line 1"},
      {"OpenAfterCode", "#13'", "Invalid string constant on line 1"},
  };
  for (const auto& c : cases) EXPECT_EQ(ParseError(c.text), c.message) << c.name;
}

TEST(Tokenizer, ExpectMessages) {
  const std::string stream("\n\n\nx");
  Tokenizer parser(stream);
  parser.Expect(TokIdentifier);
  const std::pair<TokenKind, const char*> cases[] = {
      {TokString, "String expected on line 4"},  {TokWideString, "String expected on line 4"},
      {TokInteger, "Number expected on line 4"}, {TokFloat, "Number expected on line 4"},
      {'=', "''='' expected on line 4"}};
  for (const auto& c : cases)
    ExpectFailure<EParserError>([&] { parser.Expect(c.first); }, c.second);
  ExpectFailure<EParserError>([&] { parser.ExpectKeyword("OBJECT"); }, "OBJECT expected on line 4");
  EXPECT_TRUE(parser.IsKeyword("X"));
  EXPECT_FALSE(parser.IsKeyword("xy"));
  parser.Advance();
  ExpectFailure<EParserError>([&] { parser.Expect(TokIdentifier); },
                              "Identifier expected on line 4");
  EXPECT_FALSE(parser.IsKeyword(""));
}

struct IntegerCase {
  std::string text;
  bool valid;
  std::int32_t value;
};

TEST(TextToInteger, RuntimeRule) {
  const IntegerCase cases[] = {
      {"0", true, 0},
      {"-5", true, -5},
      {"+7", true, 7},
      {"2147483647", true, 2147483647},
      {"-2147483648", true, INT32_MIN},
      {"2147483648", false, 0},
      {"-2147483649", false, 0},
      {"99999999999999999999999", false, 0},
      {"$1F", true, 31},
      {"$ff", true, 255},
      {"$7FFFFFFF", true, 2147483647},
      {"$FFFFFFFF", true, -1},
      {"$00000000FF", true, 255},
      {"$100000000", false, 0},
      {"-$10", true, -16},
      {"$", false, 0},
      {"-", false, 0},
      {"", false, 0},
      {"1.5", false, 0},
      {"12a", false, 0},
  };
  for (const auto& c : cases) {
    std::int32_t value = 0;
    EXPECT_EQ(TextToInteger(c.text, value), c.valid) << c.text;
    if (c.valid) {
      EXPECT_EQ(value, c.value) << c.text;
    }
  }
}

TEST(Tokenizer, TokenAsNumber) {
  const std::string stream("$1F 99999999999 - 2.5E3 7d 0.100000001490116s 15000c 1-2");
  Tokenizer parser(stream);
  EXPECT_EQ(parser.TokenAsInteger(), 31);
  parser.Advance();
  ExpectFailure<EConvertError>([&] { parser.TokenAsInteger(); },
                               "'99999999999' is not a valid integer value");
  parser.Advance();
  EXPECT_THROW(parser.TokenAsInteger(), EConvertError);
  const std::pair<long double, char> floats[] = {
      {2500.0L, 0}, {7.0L, 'd'}, {0.100000001490116L, 's'}, {15000.0L, 'c'}};
  for (const auto& [value, suffix] : floats) {
    parser.Advance();
    EXPECT_EQ(parser.TokenAsFloat(), value);
    EXPECT_EQ(parser.FloatSuffix(), suffix);
  }
  parser.Advance();
  EXPECT_EQ(parser.FloatSuffix(), 0);
  ExpectFailure<EConvertError>([&] { parser.TokenAsFloat(); },
                               "'1-2' is not a valid floating point value");
}

TEST(Tokenizer, ReadDottedIdentifier) {
  const std::string stream("Form1.Button1.Font x Form1 .Button1");
  Tokenizer parser(stream);
  EXPECT_EQ(parser.ReadDottedIdentifier(), "Form1.Button1.Font");
  EXPECT_EQ(parser.Advance(), TokIdentifier);
  EXPECT_EQ(parser.TokenText(), "x");
  parser.Advance();
  EXPECT_EQ(parser.ReadDottedIdentifier(), "Form1");
  EXPECT_EQ(parser.Advance(), '.');
  for (const char* text : {"a.1", "a.", "a. b", "5"}) {
    Tokenizer badParser(text);
    ExpectFailure<EParserError>([&] { badParser.ReadDottedIdentifier(); },
                                "Identifier expected on line 1");
  }
}

std::string HexBlock(const std::string& text, std::string* after = nullptr) {
  Tokenizer parser(text);
  EXPECT_EQ(parser.Token(), '{');
  std::string bytes;
  parser.ReadHexBlock(&bytes);
  EXPECT_EQ(parser.Token(), '}');
  if (after) *after = std::string(parser.TokenText()) + std::to_string(parser.Line());
  parser.Advance();
  if (after) *after += parser.TokenText();
  return bytes;
}

TEST(Tokenizer, ReadHexBlock) {
  EXPECT_EQ(HexBlock("{0A1B 2C}"), "\x0a\x1b\x2c");
  EXPECT_EQ(HexBlock("{}"), "");
  EXPECT_EQ(HexBlock("{ ff00 }"), std::string("\xff\x00", 2));
  std::string after;
  EXPECT_EQ(HexBlock("{\r\n  0001\r\n  abCD}\r\nNext", &after), std::string("\x00\x01\xab\xcd", 4));
  EXPECT_EQ(after, "}3Next");
}

TEST(Tokenizer, ReadHexBlockLongerThanOneChunk) {
  std::string data;
  std::string text = "{";
  for (int line = 0; line < 300; ++line) {
    text += "\r\n  ";
    for (int i = 0; i < 32; ++i) {
      auto byte = static_cast<unsigned char>(line * 7 + i);
      data += static_cast<char>(byte);
      const char* digits = "0123456789ABCDEF";
      text += digits[byte >> 4];
      text += digits[byte & 15];
    }
  }
  text += "}";
  std::string after;
  EXPECT_EQ(HexBlock(text, &after), data);
  EXPECT_EQ(after, "}301");
}

TEST(Tokenizer, ReadHexBlockErrors) {
  const ErrorCase cases[] = {
      {"OddDigit", "{0A1}", "Invalid binary value on line 1"},
      {"OddBeforeBlank", "{0A1 B2}", "Invalid binary value on line 1"},
      {"NotHex", "{\n00\n0G}", "Invalid binary value on line 3"},
      {"EndOfText", "{\n0011\n", "Invalid binary value on line 3"},
      {"ZeroByte", std::string("{00\0}", 5), "Invalid binary value on line 1"},
  };
  for (const auto& c : cases) {
    Tokenizer parser(c.text);
    std::string bytes;
    ExpectFailure<EParserError>([&] { parser.ReadHexBlock(&bytes); }, c.message);
  }
}

TEST(Tokenizer, IsFollowedDirectlyBy) {
  const std::string stream("-INF -inf -INFO - INF -INF");
  Tokenizer parser(stream);
  for (bool followed : {true, false, false, false, true}) {
    EXPECT_EQ(parser.IsFollowedDirectlyBy("INF"), followed);
    parser.Advance();
    parser.Advance();
  }
}

// Many lines of every token kind, so that tokens meet every position of the window's end.
std::string ManyLines(int lines, std::vector<Token>& expected) {
  std::string text;
  for (int i = 0; i < lines; ++i) {
    std::string name = "Prop" + std::to_string(i);
    std::string pad(static_cast<std::size_t>(i % 13), ' ');
    text += pad + name + " = 'a''b'#13 + 12.5s $" + std::to_string(i % 10) + " {0A}\r\n";
    expected.insert(expected.end(), {{TokIdentifier, name},
                                     {'=', "="},
                                     {TokString, "a'b\r"},
                                     {'+', "+"},
                                     {TokFloat, "12.5s"},
                                     {TokInteger, "$" + std::to_string(i % 10)},
                                     {'{', "{"},
                                     {TokInteger, "0"},
                                     {TokIdentifier, "A"},
                                     {'}', "}"}});
  }
  expected.push_back({TokEnd, ""});
  return text;
}

TEST(Tokenizer, TokensSurviveWindowRefills) {
  std::vector<Token> expected;
  std::string text = ManyLines(2000, expected);
  ASSERT_GT(text.size(), 10 * Tokenizer::kWindowSize);
  EXPECT_EQ(Tokens(text), expected);
}

TEST(Tokenizer, LineCountAcrossWindows) {
  std::vector<Token> expected;
  std::string text = ManyLines(1000, expected) + "'open";
  EXPECT_EQ(ParseError(text), "Invalid string constant on line 1001");
}

TEST(Tokenizer, LongLineGrowsTheWindow) {
  std::string longName(20000, 'x');
  std::string text = "a\r\n" + longName + "\r\nb";
  EXPECT_EQ(Tokens(text), (std::vector<Token>{{TokIdentifier, "a"},
                                              {TokIdentifier, longName},
                                              {TokIdentifier, "b"},
                                              {TokEnd, ""}}));
  // Lines just below the normal window size need no growth, lines beyond the limit fail.
  EXPECT_EQ(ParseError(std::string(4094, 'y') + "\nz", 4094), "no error");
  EXPECT_EQ(ParseError("a\n" + std::string(4095, 'y') + "\nz", 4094), "Line too long on line 2");
  EXPECT_EQ(ParseError("a\n" + std::string(50000, 'y') + "\n", 30000), "Line too long on line 2");
}

TEST(Tokenizer, LongSetLineWithinLimit) {
  std::string set = "[";
  for (int i = 0; i < 2000; ++i) set += (i ? ", e" : "e") + std::to_string(i);
  set += "]";
  auto tokens = Tokens("S = " + set + "\r\nT = 1\r\n");
  ASSERT_EQ(tokens.size(), 2 + 1 + 2000 * 2 + 3 + 1);
  EXPECT_EQ(tokens[tokens.size() - 4].text, "T");
}

}  // namespace
}  // namespace reshape
