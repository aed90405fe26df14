#include "forms/form_to_text.h"

#include <gtest/gtest.h>

#include <limits>

#include "forms/test_stream_builder.h"
#include "base/errors.h"

namespace reshape {
namespace {

using test::ExpectFailure;
using test::FormBytes;

const std::string kHead = "object Form1: TForm1\r\n  P = ";
const std::string kTail = "\r\nend\r\n";

std::string ToText(const std::string& stream, CodePage codePage = CodePage()) {
  return FormStreamToText(stream, codePage);
}

// The root Form1: TForm1 with the single property P holding value.
std::string WithValue(const std::string& value) {
  return FormBytes().Signature().Object("TForm1", "Form1").Prop("P").Raw(value).End().End();
}

// The text of the value of P, as it stands between "P = " and the line end of the property.
std::string ValueText(const std::string& value, CodePage codePage = CodePage()) {
  std::string text = ToText(WithValue(value), codePage);
  EXPECT_EQ(text.substr(0, kHead.size()), kHead);
  EXPECT_EQ(text.substr(text.size() - kTail.size()), kTail);
  return text.substr(kHead.size(), text.size() - kHead.size() - kTail.size());
}

std::string Hex(int from, int count) {
  static const char* kDigits = "0123456789ABCDEF";
  std::string hex;
  for (int i = 0; i < count; ++i) {
    hex += kDigits[((from + i) & 0xFF) >> 4];
    hex += kDigits[(from + i) & 15];
  }
  return hex;
}

std::string Bytes(int from, int count) {
  std::string bytes;
  for (int i = 0; i < count; ++i) bytes += static_cast<char>(from + i);
  return bytes;
}

struct ValueCase {
  std::string value;
  std::string text;
  int codePage = 0;  // 0: the default one
};

TEST(FormToTextTest, ValueTexts) {
  const std::string x64(64, 'x'), x63(63, 'x');
  const ValueCase cases[] = {
      {FormBytes().Int8(-1), "-1"},
      {FormBytes().Extended(-std::numeric_limits<long double>::infinity()), "-INF"},
      {FormBytes().Single(0.1f), "0.100000001490116s"},
      {FormBytes().Currency(15000), "15000c"},
      {FormBytes().Double(2.0 / 3.0), "0.666666666666667d"},
      {FormBytes().Byte(TagNull), "Null"},
      {FormBytes().Set().Short("fsBold").Short("fsItalic").Short("x").End(),
       "[fsBold, fsItalic, x]"},
      {FormBytes().Str("a\r\nb"), "'a'#13#10'b'"},
      {FormBytes().Str(std::string("\0\x1F ", 3)), "#0#31' '"},
      {FormBytes().Str("C\xE9g\x7F"), "'C\xE9g\x7F'"},
      {FormBytes().WStr(u"\u20AC"), "#8364"},
      {FormBytes().WStr(u"It's \u00E9"), "'It'#39's \xE9'"},
      {FormBytes().WStr(u"a\u0100\uFFFF"), "'a'#256#65535"},
      {FormBytes().Binary(Bytes(0, 31)), "{" + Hex(0, 31) + "}"},
      // Strings over 64 bytes continue on lines of their own.
      {FormBytes().Str(x64), "'" + x64 + "'"},
      {FormBytes().Str(x64 + "y"), "\r\n    '" + x64 + "' +\r\n    'y'"},
      {FormBytes().List().Str(x64 + "qqqqqq").End(),
       "(\r\n    \r\n      '" + x64 + "' +\r\n      'qqqqqq')"},
      // A double-byte character that would start at index 63 moves whole to the next line.
      {FormBytes().Str(x63 + "\x82\xA0" "bc"), "\r\n    '" + x63 + "' +\r\n    '\x82\xA0" "bc'",
       932},
      {FormBytes().Str(x63 + "\x82\xA0" "bc"), "\r\n    '" + x63 + "\x82' +\r\n    '\xA0" "bc'",
       1252},
      // 0x82 0x82 is one character, so index 64 begins a character and the cut stays at 64.
      {FormBytes().Str(x63.substr(1) + "\x82\x82\x82\xA0"),
       "\r\n    '" + x63.substr(1) + "\x82\x82' +\r\n    '\x82\xA0'", 932},
      {FormBytes().Binary(Bytes(0, 32)), "{\r\n    " + Hex(0, 32) + "}"},
      {FormBytes().Binary(Bytes(200, 33)),
       "{\r\n    " + Hex(200, 32) + "\r\n    " + Hex(232, 1) + "}"},
      {FormBytes().List().Str("a").Int8(1).List().Ident("x").End().Set().Short("s").End().End(),
       "(\r\n    'a'\r\n    1\r\n    (\r\n      x)\r\n    [s])"},
      {FormBytes().Collection().List().Prop("Width").Int8(10).End().Int8(3).List()
           .Prop("Caption").Str("A").Prop("Items").Collection().List().End().End().End().End(),
       "<\r\n    item\r\n      Width = 10\r\n    end\r\n    item [3]\r\n      Caption = 'A'\r\n"
       "      Items = <\r\n        item\r\n        end>\r\n    end>"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(ValueText(c.value, c.codePage ? CodePage(c.codePage) : CodePage()), c.text) << c.text;
}

TEST(FormToTextTest, ObjectTree) {
  std::string stream = FormBytes()
                           .Signature()
                           .Object("TForm1", "Form1").Prop("Left").Int8(8)
                           .Prop("Caption").Str("Main").End()
                           .Object("TButton", "Button1").Prop("Tag").Int8(-1).End().End()
                           .Object("TPanel").Prop("Font.Style").Set().End().End()
                           .Object("TLabel", "L").End().End()
                           .End()  // children of TPanel
                           .End();
  EXPECT_EQ(ToText(stream),
            "object Form1: TForm1\r\n"
            "  Left = 8\r\n"
            "  Caption = 'Main'\r\n"
            "  object Button1: TButton\r\n"
            "    Tag = -1\r\n"
            "  end\r\n"
            "  object TPanel\r\n"
            "    Font.Style = []\r\n"
            "    object L: TLabel\r\n"
            "    end\r\n"
            "  end\r\n"
            "end\r\n");
}

TEST(FormToTextTest, HeaderVariants) {
  struct Case {
    std::string prefix;
    std::string header;
  };
  const Case cases[] = {
      {"", "object Form1: TForm1"},
      {FormBytes().Prefix(3).Int8(2), "inherited Form1: TForm1 [2]"},
      {FormBytes().Prefix(PrefixChildPos).Int8(0), "object Form1: TForm1 [0]"},
      {FormBytes().Prefix(PrefixInline), "inline Form1: TForm1"},
      {FormBytes().Prefix(PrefixInline | PrefixInherited), "inherited Form1: TForm1"},
      {FormBytes().Prefix(8), "object Form1: TForm1"},
  };
  for (const auto& c : cases) {
    std::string stream =
        FormBytes().Signature().Raw(c.prefix).Object("TForm1", "Form1").End().End();
    EXPECT_EQ(ToText(stream), c.header + "\r\nend\r\n");
  }
  EXPECT_EQ(ToText(FormBytes().Signature().Object("TForm1").End().End()),
            "object TForm1\r\nend\r\n");
}

TEST(FormToTextTest, FormFileSkipsTheHeaderAndIgnoresWhatFollowsTheRoot) {
  std::string stream = FormBytes().Signature().Object("TForm1", "F").End().End().Raw("junk");
  EXPECT_EQ(FormFileToText(test::FormFile("TFORM1", stream), CodePage()),
            "object F: TForm1\r\nend\r\n");
  std::size_t consumed = 0;
  FormStreamToText(stream, CodePage(), &consumed);
  EXPECT_EQ(consumed, stream.size() - 4);
  ExpectFailure<EInvalidImage>([&] { FormFileToText("object F: TForm1\r\nend\r\n", CodePage()); },
                               "Invalid stream format");
  ExpectFailure<EReadError>([] { ToText("TPF1\x06TForm1\x00\x00\x00"); }, "Invalid stream format");
}

TEST(FormToTextTest, MalformedValuesFail) {
  struct Case {
    const char* what;
    std::string value;
    const char* message;
  };
  const Case cases[] = {
      {"tag 21", FormBytes().Byte(21).Str("x"), "Invalid property value"},
      {"tag 0x86", FormBytes().Byte(0x86).Short("x"), "Invalid property value"},
      {"item without list", FormBytes().Collection().Byte(TagTrue).End().End(),
       "Invalid property value"},
      {"binary 2e9", FormBytes().Byte(TagBinary).U32(2000000000u).Raw(std::string(100, 'b')),
       "Stream read error"},
      {"long string 2e9",
       FormBytes().Byte(TagLongString).U32(2000000000u).Raw(std::string(100, 'b')),
       "Stream read error"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    ExpectFailure<EReadError>([&] { ToText(WithValue(c.value)); }, c.message);
  }
  // A stream that ends inside a count or a number.
  for (const std::string& cut : {std::string("\x12\x01\x00\x00", 4), std::string("\x0A\x05\0\0", 4),
                                 std::string("\x04\x01\x02\x03", 4)}) {
    std::string stream = FormBytes().Signature().Object("T", "A").Prop("P").Raw(cut);
    ExpectFailure<EReadError>([&] { ToText(stream); }, "Stream read error");
  }
  std::string hugeBinary = FormBytes().Byte(TagBinary).U32(0x80000000u).Raw(std::string(100, 'b'));
  ExpectFailure<EReadError>([&] { ToText(WithValue(hugeBinary)); }, "Invalid property value");
}

std::string NestedLists(int depth) {
  FormBytes value;
  for (int i = 0; i < depth; ++i) value.List();
  for (int i = 0; i < depth; ++i) value.End();
  return WithValue(value);
}

std::string NestedObjects(int depth) {
  FormBytes stream;
  stream.Signature();
  for (int i = 0; i < depth; ++i) stream.Object("T").End();
  for (int i = 0; i < depth; ++i) stream.End();
  return stream;
}

std::string NestedCollections(int depth) {
  FormBytes value;
  for (int i = 0; i < depth; ++i) value.Collection().List().Prop("C");
  value.Int8(0);
  for (int i = 0; i < depth; ++i) value.End().End();
  return WithValue(value);
}

TEST(FormToTextTest, NestingIsBoundedAt256Levels) {
  // The root object is the first level.
  EXPECT_NO_THROW(ToText(NestedLists(255)));
  EXPECT_NO_THROW(ToText(NestedObjects(256)));
  ExpectFailure<EReadError>([] { ToText(NestedLists(256)); }, "Nesting too deep");
  ExpectFailure<EReadError>([] { ToText(NestedObjects(257)); }, "Nesting too deep");
  EXPECT_NO_THROW(ToText(NestedCollections(255)));
  ExpectFailure<EReadError>([] { ToText(NestedCollections(256)); }, "Nesting too deep");
  ExpectFailure<EReadError>([] { ToText(NestedObjects(100000)); }, "Nesting too deep");
}


}  // namespace
}  // namespace reshape
