#include "forms/form_compiler.h"

#include <gtest/gtest.h>

#include <string>

#include "forms/text_form_test_support.h"
#include "forms/test_stream_builder.h"
#include "base/errors.h"

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
      // A keyword followed by "=" or "." on its line is a property; text after the root's end
      // is ignored.
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

}  // namespace
}  // namespace reshape
