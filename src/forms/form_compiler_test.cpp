#include "forms/form_compiler.h"

#include <gtest/gtest.h>

#include <limits>
#include <string>

#include "forms/compiler_test_support.h"
#include "forms/test_stream_builder.h"
#include "base/errors.h"

namespace reshape {
namespace {

using test::CompileRun;
using test::FormBytes;

FormBytes Root(std::string_view className, std::string_view name = "") {
  FormBytes bytes;
  bytes.Signature().Object(className, name);
  return bytes;
}

// A root whose header begins with a prefix byte of these flags.
FormBytes Prefixed(std::uint8_t flags) {
  FormBytes bytes;
  bytes.Signature().Prefix(flags);
  return bytes;
}

// The compiled stream of a root A: T with the one property P holding the value's text.
std::string CompileValueText(const std::string& value) {
  return CompileRun().Compile("object A: T\r\n  P = " + value + "\r\nend\r\n");
}

std::string WithValue(const FormBytes& value) {
  return FormBytes().Signature().Object("T", "A").Prop("P").Raw(value.Bytes()).End().End();
}

struct ValueCase {
  std::string text;
  std::string bytes;
};

TEST(CompileForm, Headers) {
  const ValueCase cases[] = {
      {"OBJECT TForm1 End", Root("TForm1").End().End()},
      {"inherited Panel1: TPanel end",
       Prefixed(PrefixInherited).Object("TPanel", "Panel1").End().End()},
      // A position of 0 is kept: it orders the child first.
      {"object B: TButton [0] end",
       Prefixed(PrefixChildPos).Int8(0).Object("TButton", "B").End().End()},
      {"object B: TButton [-1] end", Root("TButton", "B").End().End()},
      {"object B: TButton [$100] end",
       Prefixed(PrefixChildPos).Int16(256).Object("TButton", "B").End().End()},
      {"INLINE F: TF [2] end",
       Prefixed(PrefixInline | PrefixChildPos).Int8(2).Object("TF", "F").End().End()},
  };
  for (const auto& c : cases) EXPECT_EQ(CompileRun().Compile(c.text), c.bytes) << c.text;
}

TEST(CompileForm, Objects) {
  const ValueCase cases[] = {
      {"object Form1: TForm1\r\nend\r\n", Root("TForm1", "Form1").End().End()},
      {"object Form1: TForm1\r\n  Left = 8\r\n  object Button1: TButton\r\n    Tag = -1\r\n"
       "  end\r\n  inherited Panel1: TPanel\r\n  end\r\nend\r\n",
       Root("TForm1", "Form1").Prop("Left").Int8(8).End()
           .Object("TButton", "Button1").Prop("Tag").Int8(-1).End().End()
           .Prefix(PrefixInherited).Object("TPanel", "Panel1").End().End().End()},
      // A keyword followed by "=" or "." on its line is a property.
      {"object F: TF\r\n  Inline = 5\r\n  inline.X = 1\r\n  inline Frame1: TFrame1\r\n"
       "    Inline = True\r\n  end\r\n  object B: TB\r\n  end\r\nend\r\n",
       Root("TF", "F").Prop("Inline").Int8(5).Prop("inline.X").Int8(1).End()
           .Prefix(PrefixInline).Object("TFrame1", "Frame1").Prop("Inline").Byte(TagTrue).End()
           .End().Object("TB", "B").End().End().End()},
      {"object F: TF\r\n  End = 5\r\n  C = <\r\n    item\r\n      end = 3\r\n    end>\r\nend\r\n= 6",
       Root("TF", "F").Prop("End").Int8(5).Prop("C").Collection().List().Prop("end").Int8(3).End()
           .End().End().End()},
      // Text after the root's end is ignored.
      {"object T end 'unterminated", Root("T").End().End()},
  };
  for (const auto& c : cases) EXPECT_EQ(CompileRun().Compile(c.text), c.bytes) << c.text;
}

constexpr long double kInf = std::numeric_limits<long double>::infinity();
constexpr long double kNaN = std::numeric_limits<long double>::quiet_NaN();

TEST(CompileForm, Values) {
  const ValueCase cases[] = {
      // Integers
      {"8", FormBytes().Int8(8)}, {"-1", FormBytes().Int8(-1)}, {"127", FormBytes().Int8(127)},
      {"128", FormBytes().Int16(128)}, {"-32769", FormBytes().Int32(-32769)},
      {"2147483647", FormBytes().Int32(2147483647)},
      {"$FFFFFFFF", FormBytes().Int8(-1)},
      // Whole numbers beyond 32 bits were floats written without a fraction.
      {"2147483648", FormBytes().Extended(2147483648.0L)},
      {"123456789012345678901234567890", FormBytes().Extended(123456789012345678901234567890.0L)},
      // Floats
      {"1.5s", FormBytes().Extended(1.5L)}, {"-INF", FormBytes().Extended(-kInf)},
      {"0.100000001490116s", FormBytes().Extended(0.100000001490116L)},
      // A currency literal holds the stored integer, the amount times 10000.
      {"15000c", FormBytes().Currency(15000)},
      {"9.22337203685478E18c", FormBytes().Currency(std::numeric_limits<std::int64_t>::max())},
      {"-9.22337203685478E18c", FormBytes().Currency(std::numeric_limits<std::int64_t>::min())},
      // Single and double values carry their letter behind these words too.
      {"INFs", FormBytes().Extended(kInf)}, {"INFd", FormBytes().Extended(kInf)},
      {"NANs", FormBytes().Extended(kNaN)}, {"NANd", FormBytes().Extended(kNaN)},
      // Strings
      {"'abc' + 'def'", FormBytes().Str("abcdef")},
      {"'" + std::string(255, 'x') + "'", FormBytes().Str(std::string(255, 'x'))},
      {"'" + std::string(200, 'x') + "' + '" + std::string(56, 'y') + "'",
       FormBytes().LStr(std::string(200, 'x') + std::string(56, 'y'))},
      // Any part above 255 makes the whole expression a wide string.
      {"#8364", FormBytes().WStr(u"\u20ac")},
      {"'a\xe9' + #8364 + 'b'", FormBytes().WStr(u"a\u00e9\u20acb")},
      {"'\xe9'#233", FormBytes().Str("\xe9\xe9")},
      // Identifiers
      {"Form1.Button1", FormBytes().Ident("Form1.Button1")}, {"true", FormBytes().Byte(TagTrue)},
      {"FALSE", FormBytes().Byte(TagFalse)}, {"NIL", FormBytes().Byte(TagNil)},
      {"null", FormBytes().Byte(TagNull)}, {"'It'#39's'", FormBytes().Str("It's")},
      // Only the exact words the text form writes for floats are floats.
      {"Inf", FormBytes().Ident("Inf")}, {"INF.X", FormBytes().Ident("INF.X")},
      {"INFc", FormBytes().Ident("INFc")}, {"NANS", FormBytes().Ident("NANS")},
      // Structures
      {"[]", FormBytes().Set().End()},
      {"[fsBold, fsItalic]", FormBytes().Set().Short("fsBold").Short("fsItalic").End()},
      {"(\r\n  1\r\n  'a'\r\n  (2))",
       FormBytes().List().Int8(1).Str("a").List().Int8(2).End().End()},
      {"<>", FormBytes().Collection().End()},
      {"<\r\n  item\r\n    A = 1\r\n  end\r\n  item [0]\r\n  end\r\n  item [-1]\r\n"
       "  end\r\n  item [3]\r\n    B.C = <>\r\n  end>",
       FormBytes().Collection().List().Prop("A").Int8(1).End().Int8(0).List().End().List().End()
           .Int8(3).List().Prop("B.C").Collection().End().End().End()},
      {"{}", FormBytes().Binary("")}, {"{0A1B\r\n  ff}", FormBytes().Binary("\x0a\x1b\xff")},
  };
  for (const auto& c : cases)
    EXPECT_EQ(CompileValueText(c.text), WithValue(FormBytes().Raw(c.bytes))) << c.text;
}

TEST(CompileForm, ClassRenameFirstMatchOnlyLoggedOnce) {
  CompileRun run("RENC>TFoo,TBar\r\nRENC>TForm1,TMainForm\r\nRENC>tform1,TOther\r\nRENC>TMainForm,TThird");
  EXPECT_EQ(run.Compile("object Form1: TFORM1\r\n  object Foo1: TFoo\r\n  end\r\n  object B: TFoo2\r\n"
                        "  end\r\nend\r\n"),
            Root("TMainForm", "Form1").End().Object("TBar", "Foo1").End().End()
                .Object("TFoo2", "B").End().End().End().Bytes());
  EXPECT_EQ(run.logger.lines, (std::vector<std::string>{"Form1.dfm> Renamed class \"TForm1\" to \"TMainForm\"",
                                                         "Form1.dfm> Renamed class \"TFoo\" to \"TBar\""}));
}

TEST(CompileFormFile, WritesHeaderNamedAfterRenamedRoot) {
  CompileRun run("RENC>TForm1,TMainForm");
  std::string stream = Root("TMainForm", "Form1").Prop("Left").Int8(8).End().End();
  EXPECT_EQ(CompileFormFile("object Form1: TForm1\r\n  Left = 8\r\nend\r\n", run.rules, run.run),
            test::FormFile("TMAINFORM", stream));
}

using ErrorCase = ValueCase;

TEST(CompileForm, SyntaxErrors) {
  const ErrorCase cases[] = {
      {"", "OBJECT expected on line 1"},
      {"object 5", "Identifier expected on line 1"},
      {"object A [x] end", "Number expected on line 1"},
      {"object A [1 end", "'']'' expected on line 1"},
      {"object A\r\n  P 5\r\nend", "''='' expected on line 2"},
      {"object A\r\n  P.5 = 1\r\nend", "Identifier expected on line 2"},
      {"object A\r\n  P = )\r\nend", "Invalid property value on line 2"},
      {"object A\r\n  P = Form1.1\r\nend", "Identifier expected on line 2"},
      {"object A\r\n  P = \r\n", "Invalid property value on line 3"},
      {"object A\r\n  P = 'a' +\r\n 5\r\nend", "String expected on line 3"},
      {"object A\r\n  P = <x>\r\nend", "item expected on line 2"},
      // Null is stored as the byte that ends a list, so no list can hold it.
      {"object A\r\n  P = (\r\n    1\r\n    null)\r\nend", "Invalid property value on line 4"},
      {"object A\r\n  P = ((Null))\r\nend", "Invalid property value on line 2"},
      {"object A\r\n  P = 1\r\n  object B: T\r\n  end\r\n", "OBJECT expected on line 5"},
      // A blank before the dot ends the identifier; the dot then starts the next property.
      {"object A\r\n  P = Form1\r\n .Button1\r\nend", "Identifier expected on line 3"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    test::ExpectFailure<EParserError>([&] { CompileRun().Compile(c.text); }, c.bytes);
  }
}

TEST(CompileForm, NumberConversionErrorsCarryNoLine) {
  const ErrorCase cases[] = {
      {"1-2", "'1-2' is not a valid floating point value"},
      {"1E30c", "'1E30' is not a valid floating point value"},
      {"-inf", "'-' is not a valid integer value"},
      {"-INFO", "'-' is not a valid integer value"},
  };
  for (const auto& c : cases)
    test::ExpectFailure<EConvertError>([&] { CompileValueText(c.text); }, c.bytes);
  test::ExpectFailure<EConvertError>([] { CompileRun().Compile("object A [99999999999] end"); },
                                     "'99999999999' is not a valid integer value");
}

std::string Nested(int depth, const std::string& open, const std::string& close,
                   const std::string& middle = "") {
  std::string text;
  for (int i = 0; i < depth; ++i) text += open;
  text += middle;
  for (int i = 0; i < depth; ++i) text += close;
  return text;
}

TEST(CompileForm, NestingUpTo256Levels) {
  // The root is level 1, each object, list and collection one more.
  EXPECT_NO_THROW(CompileRun().Compile(Nested(256, "object T\n", "end\n")));
  EXPECT_NO_THROW(CompileValueText(Nested(255, "(", ")")));
  EXPECT_NO_THROW(CompileValueText(Nested(255, "<item P = ", " end>", "1")));
  test::ExpectFailure<EParserError>(
      [] { CompileRun().Compile(Nested(257, "object T\n", "end\n")); },
      "Nesting too deep on line 257");
  test::ExpectFailure<EParserError>([] { CompileValueText(Nested(256, "(", ")")); },
                                    "Nesting too deep on line 2");
  test::ExpectFailure<EParserError>(
      [] { CompileValueText("(" + Nested(255, "<item P = ", " end>", "1") + ")"); },
      "Nesting too deep on line 2");
}

}  // namespace
}  // namespace reshape
