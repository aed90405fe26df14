// The compiler and the tokenizer it reads with.
#include "forms/form_compiler.h"

#include <gtest/gtest.h>

#include <string>

#include "base/errors.h"
#include "forms/test_stream_builder.h"
#include "forms/text_form_test_support.h"
#include "forms/tokenizer.h"

namespace reshape {
namespace {

using test::CompileRun;
using test::FormBytes;

FormBytes Root(std::string_view className = "", std::string_view name = "", int flags = 0) {
  FormBytes bytes;
  bytes.Signature();
  if (flags) bytes.Prefix(static_cast<std::uint8_t>(flags));
  return className.empty() ? bytes : bytes.Object(className, name);
}

// The compiled stream of a root A: T with the one property P holding the value's text.
std::string CompileValueText(const std::string& value) {
  return CompileRun().Compile("object A: T\r\n  P = " + value + "\r\nend\r\n");
}

struct ValueCase {
  std::string text;
  std::string bytes;
};

TEST(CompileForm, HeadersAndObjects) {
  const ValueCase cases[] = {
      {"OBJECT TForm1 End", Root("TForm1").End().End()},
      // A position of 0 is kept: it orders the child first; -1 is none.
      {"object B: TButton [0] end", Root("", "", PrefixChildPos).Int8(0).Object("TButton", "B").End().End()},
      {"object B: TButton [-1] end", Root("TButton", "B").End().End()},
      {"INLINE F: TF [$100] end",
       Root("", "", PrefixInline | PrefixChildPos).Int16(256).Object("TF", "F").End().End()},
      // A keyword followed by "=" or "." on its line is a property; text after the root's end is ignored.
      {"object F: TF\r\n  Inline = 5\r\n  inline.X = 1\r\n  inline Frame1: TFrame1\r\n    End = True\r\n"
       "  end\r\n  inherited B: TB\r\n  end\r\nend\r\n= 6 'unterminated",
       Root("TF", "F").Prop("Inline").Int8(5).Prop("inline.X").Int8(1).End()
           .Prefix(PrefixInline).Object("TFrame1", "Frame1").Prop("End").Byte(TagTrue).End().End()
           .Prefix(PrefixInherited).Object("TB", "B").End().End().End()},
  };
  for (const auto& c : cases) EXPECT_EQ(CompileRun().Compile(c.text), c.bytes) << c.text;
}

TEST(CompileForm, HeaderNamedAfterTheRenamedRoot) {
  CompileRun run("RENC>TForm1,TMainForm");
  EXPECT_EQ(CompileFormFile("object Form1: TFORM1\r\nend\r\n", run.rules, run.run),
            test::FormFile("TMAINFORM", Root("TMainForm", "Form1").End().End()));
}

TEST(CompileForm, Errors) {
  const ValueCase cases[] = {
      {"", "OBJECT expected on line 1"}, {"object 5", "Identifier expected on line 1"},
      {"object A [x] end", "Number expected on line 1"}, {"object A [1 end", "'']'' expected on line 1"},
      {"object A\r\n  P 5\r\nend", "''='' expected on line 2"}, {"object A\r\n  P.5 = 1", "Identifier expected on line 2"},
      {"object A\r\n  P = 'a' +\r\n 5\r\nend", "String expected on line 3"},
      {"object A\r\n  P = <x>\r\nend", "item expected on line 2"},
      {"object A\r\n  P = {0A1}\r\nend", "Invalid binary value on line 2"},
      {"object A\r\n  P = {0A1 B2}", "Invalid binary value on line 2"},
      {"object A\r\n  P = {\n00\n0G}", "Invalid binary value on line 4"},
      {"object A\r\n  P = {\n0011\n", "Invalid binary value on line 4"},
      {std::string("object A\r\n  P = {00\0}", 21), "Invalid binary value on line 2"},
      // Null is stored as the byte that ends a list, so no list can hold it.
      {"object A\r\n  P = (\r\n    1\r\n    null)\r\nend", "Invalid property value on line 4"},
      {"object A\r\n  P = 1\r\n  object B: T\r\n  end\r\n", "OBJECT expected on line 5"},
      // A blank before the dot ends the identifier; the dot then starts the next property.
      {"object A\r\n  P = Form1\r\n .Button1\r\nend", "Identifier expected on line 3"},
  };
  for (const auto& c : cases)
    test::ExpectFailure<EParserError>([&] { CompileRun().Compile(c.text); }, c.bytes);
  for (const auto& [value, message] : {std::pair{"1E30c", "'1E30' is not a valid floating point value"},
                                       std::pair{"-INFO", "'-' is not a valid integer value"}})
    test::ExpectFailure<EConvertError>([&] { CompileValueText(value); }, message);
  test::ExpectFailure<EConvertError>([] { CompileRun().Compile("object A [99999999999] end"); },
                                     "'99999999999' is not a valid integer value");
}

std::string Nested(int depth, const std::string& open, const std::string& close, const std::string& middle = "") {
  std::string text;
  for (int i = 0; i < depth; ++i) text += open;
  text += middle;
  for (int i = 0; i < depth; ++i) text += close;
  return text;
}

TEST(CompileForm, NestingUpTo256Levels) {
  // The root is level 1, each object, list and collection one more.
  EXPECT_NO_THROW(CompileRun().Compile(Nested(256, "object T\n", "end\n")));
  EXPECT_NO_THROW(CompileValueText(Nested(255, "<item P = ", " end>", "1")));
  test::ExpectFailure<EParserError>([] { CompileRun().Compile(Nested(257, "object T\n", "end\n")); },
                                    "Nesting too deep on line 257");
  test::ExpectFailure<EParserError>([] { CompileValueText(Nested(1, "(", ")", Nested(255, "<item P = ", " end>", "1"))); },
                                    "Nesting too deep on line 2");
}

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
