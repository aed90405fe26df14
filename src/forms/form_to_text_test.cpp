// Binary forms to text: values, objects, form files and their resource headers, the failures
// of broken streams; 64-bit integers (tag 19) and UTF-8 strings (tag 20); the original bytes
// that a compilation keeps where the rules leave them alone.
#include "forms/form_to_text.h"

#include <gtest/gtest.h>

#include <limits>
#include <string>

#include "base/errors.h"
#include "forms/decimal_to_extended.h"
#include "forms/extended.h"
#include "forms/resource_header.h"
#include "forms/test_stream_builder.h"
#include "forms/test_text_forms.h"

namespace reshape {
namespace {

using test::ExpectFailure;
using test::FormBytes;
using namespace std::string_view_literals;

std::string ToText(const std::string& stream) { return FormStreamToText(stream, CodePage()); }

std::string WithValue(const std::string& value) {
  return FormBytes().Signature().Object("TForm1", "Form1").Prop("P").Raw(value).End().End();
}

std::string Utf8(std::string_view bytes) {
  return FormBytes().Byte(TagUtf8String).U32(static_cast<std::uint32_t>(bytes.size())).Raw(bytes);
}
std::string Int64(std::int64_t value) { return FormBytes().Byte(TagInt64).U64(static_cast<std::uint64_t>(value)); }

enum Way { kBoth, kToText, kCompile };

struct ValueCase {
  std::string bytes, text;
  Way way = kBoth;
  int codePage = 1252;
};

TEST(FormToTextTest, ValueBytesAndTexts) {
  using B = FormBytes;
  const std::string x64(64, 'x'), x63(63, 'x'), x255(255, 'x');
  const ValueCase cases[] = {
      {B().Int8(-1), "-1"}, {B().Int8(127), "127"}, {B().Int16(128), "128"}, {B().Int32(-32769), "-32769"},
      {B().Int8(-1), "$FFFFFFFF", kCompile}, {B().Extended(Extended::Infinity(true)), "-INF"},
      // Whole numbers beyond 32 bits were floats written without a fraction.
      {B().Extended(Extended::FromInteger(2147483648)), "2147483648"}, {B().Extended(Extended::FromDouble(1.5)), "1.5s", kCompile},
      {B().Extended(Extended::Infinity()), "INFd", kCompile}, {B().Extended(Extended::QuietNaN()), "NANs", kCompile},
      {B().Single(0.1f), "0.100000001490116s", kToText}, {B().Double(2.0 / 3.0), "0.666666666666667d", kToText},
      // A currency literal holds the stored integer, the amount times 10000.
      {B().Currency(15000), "15000c"},
      {B().Currency(std::numeric_limits<std::int64_t>::min()), "-9.22337203685478E18c", kCompile},
      {B().Byte(TagNull), "Null"}, {B().Byte(TagNull), "null", kCompile}, {B().Byte(TagTrue), "true", kCompile},
      {B().Byte(TagFalse), "FALSE", kCompile}, {B().Byte(TagNil), "NIL", kCompile},
      // Only the exact words the text form writes for floats are floats.
      {B().Ident("Inf"), "Inf"}, {B().Ident("INF.X"), "INF.X"}, {B().Ident("INFc"), "INFc"},
      {Int64(std::numeric_limits<std::int64_t>::min()), "-9223372036854775808", kToText},
      {Utf8("a'\xC3\xA9\n"), "'a'#39'\xE9'#10", kToText},
      {Utf8("\xE2\x82\xACx\xF0\x9F\x98\x80\xF4\x8F\xBF\xBF"), "#8364'x'#55357#56832#56319#57343", kToText},
      {B().Str(std::string("a\r\0\x1F C\xE9g\x7F", 9)), "'a'#13#0#31' C\xE9g\x7F'"},
      {B().WStr(u"It's \u00E9\u0100\uFFFF"), "'It'#39's \xE9'#256#65535"},
      // Any part above 255 makes the whole expression a wide string; over 255 bytes, a long one.
      {B().WStr(u"a\u00e9\u20ac"), "'a\xe9' + #8364", kCompile}, {B().Str(x255), "'" + x255 + "'", kCompile},
      {B().LStr(x255 + "y"), "'" + x255 + "' + 'y'", kCompile},
      // Strings over 64 bytes continue on lines of their own.
      {B().Str(x64), "'" + x64 + "'"},
      // A double-byte character that would start at index 63 moves whole to the next line; 0x82
      // 0x82 is one character, so index 64 begins a character and the cut stays at 64.
      {B().Str(x63 + "\x82\xA0" "bc"), "\r\n    '" + x63 + "' +\r\n    '\x82\xA0" "bc'", kToText, 932},
      {B().Str(x63 + "\x82\xA0" "bc"), "\r\n    '" + x63 + "\x82' +\r\n    '\xA0" "bc'"},
      {B().Str(x63.substr(1) + "\x82\x82\x82\xA0"), "\r\n    '" + x63.substr(1) + "\x82\x82' +\r\n    '\x82\xA0'",
       kToText, 932},
      {B().Binary("\x0a\xff"), "{0A\r\n ff}", kCompile},
      {B().Collection().List().Prop("W").Int8(10).End().Int8(3).List().Prop("I").Collection().List().End().End()
           .End().End(),
       "<\r\n    item\r\n      W = 10\r\n    end\r\n    item [3]\r\n      I = <\r\n        item\r\n        end>\r\n    end>"},
      {B().Collection().List().End().List().Prop("B.C").Collection().End().End().End(),
       "<item [-1] end item B.C = <> end>", kCompile},
  };
  for (const auto& [value, text, way, codePage] : cases) {
    const std::string form = "object Form1: TForm1\r\n  P = " + text + "\r\nend\r\n";
    EXPECT_EQ(way == kCompile ? form : FormStreamToText(WithValue(value), CodePage(codePage)), form);
    EXPECT_EQ(way == kToText ? WithValue(value) : test::CompileRun().Compile(form), WithValue(value)) << text;
  }
}

TEST(FormToTextTest, FormFilesAndTheirHeaders) {
  std::string stream = FormBytes().Signature().Object("TForm1", "F").End().End().Raw("junk");
  EXPECT_EQ(FormFileToText(test::FormFile("TFORM1", stream), CodePage()), "object F: TForm1\r\nend\r\n");
  std::size_t consumed = 0;
  FormStreamToText(stream, CodePage(), &consumed);
  EXPECT_EQ(consumed, stream.size() - 4);
  ExpectFailure("EReadError", [] { ToText("TPF1\x06TForm1\x00\x00\x00"); }, "Invalid stream format");
  // Flags and size are not checked; an unterminated name ends after 256 bytes.
  EXPECT_EQ(SkipResourceHeader(FormBytes().Byte(0xFF).U16(10).Raw("A").Byte(0).U16(0).U32(999).Raw("TPF0").Bytes()), 11u);
  EXPECT_EQ(SkipResourceHeader(test::FormFile(std::string(255, 'N'), "TPF0")), 265u);
  EXPECT_EQ(SkipResourceHeader(test::FormFile(std::string(300, 'N'), "TPF0")), 266u);
  EXPECT_EQ(SkipResourceHeader(std::string("\xFF\x0A\x00" "ABC", 6)), 6u);
  for (std::string bytes : {std::string("object Form1: TForm1\r\nend\r\n"), std::string(),
                            std::string("\xFF\x0B\x00X\0", 5), std::string("\xFF\x0A\x01X\0", 5),
                            std::string("\xFE\x0A\x00X\0", 5)})
    ExpectFailure("EInvalidImage", [&] { FormFileToText(bytes, CodePage()); }, "Invalid stream format");
  // A header names the root class upper-cased.
  for (const auto& [name, flags, upper] : {std::tuple<std::string, int, std::string>{"TMain_x\xE9", 0, "TMAIN_X\xE9"},
                                           {"TFrame1", 1, "TFRAME1"}, {std::string(239, 'c'), 6, std::string(239, 'C')}}) {
    FormBytes bytes;
    bytes.Signature();
    if (flags) bytes.Prefix(static_cast<std::uint8_t>(flags));
    if (flags & PrefixChildPos) bytes.Int16(1000);
    stream = bytes.Object(name, "Form1").End().End().Bytes();
    EXPECT_EQ(ResourceHeader(stream) + stream, test::FormFile(upper, stream)) << upper;
  }
  for (std::uint8_t length : {4, 10})
    ExpectFailure("EReadError", [&] { ResourceHeader(FormBytes().Signature().Byte(length).Raw("TFo").Bytes()); },
                              "Stream read error");
}

TEST(FormToTextTest, MalformedValuesFail) {
  const std::pair<std::string, const char*> cases[] = {
      {FormBytes().Byte(21).Str("x"), "Invalid property value"},
      {FormBytes().Collection().Byte(TagTrue).End().End(), "Invalid property value"},
      {FormBytes().Byte(TagBinary).U32(0x80000000u).Raw(std::string(100, 'b')), "Invalid property value"},
      {FormBytes().Byte(TagUtf8String).U32(0x80000000u), "Invalid property value"},
      {FormBytes().Byte(TagBinary).U32(0x7FFFFFFFu).Raw(std::string(100, 'b')), "Stream read error"},
      {FormBytes().Byte(TagLongString).U32(2000000000u).Raw(std::string(100, 'b')), "Stream read error"},
      {std::string("\x12\x01\x00\x00", 4), "Stream read error"},  // the stream ends in a count
  };
  for (const auto& c : cases) ExpectFailure("EReadError", [&] { ToText(WithValue(c.first)); }, c.second);
  // Overlong forms, a surrogate, above U+10FFFF, a continuation without lead, cut sequences.
  for (const char* utf8 : {"\xC0\x80", "\xE0\x9F\xBF", "\xF0\x8F\xBF\xBF", "\xED\xA0\x80", "\xF4\x90\x80\x80",
                           "a\x80", "\xE2\x82", "\xC3\xC3"})
    ExpectFailure("EReadError", [&] { ToText(WithValue(Utf8(utf8))); }, "Invalid property value");
  // A stream cut anywhere.
  const std::string stream = FormBytes().Signature().Object("T", "A").Prop("P").Raw(Int64(-2)).Prop("Q")
                                 .Raw(Utf8("\xE2\x82\xAC")).End().End();
  for (std::size_t size = 10; size < stream.size(); ++size)
    ExpectFailure("EReadError", [&] { ToText(stream.substr(0, size)); }, "Stream read error");
}

// Every value kind, with numbers in wider tags than they need, a long string, and a child
// position: a compilation from the text would change all of these.
std::string Mixed(std::string_view u = "U", std::string_view caption = "Caption") {
  return FormBytes().Prop("S").Str("narrow").Prop("L").LStr(std::string(70, 'l')).Prop("W").WStr(u"\u20ACw")
      .Prop(u).Raw(Utf8("\xE2\x82\xAC" "u")).Prop("I").Raw(Int64(1)).Prop("N").Int32(5).Prop("F").Double(0.1)
      .Prop("E").Single(1.5f).Prop("C").Currency(12345).Prop("Li").List().Int16(7).Raw(Utf8("x")).Ident("Id").End()
      .Prop("Se").Set().Short("a").End().Prop("B").Binary("\x01\x02").Prop("Co").Collection()
      .Int16(3).List().Prop(caption).Raw(Utf8("\xC3\xA9")).Prop("D").Int32(1).End().End();
}

std::string FileWith(const std::string& properties, std::string_view childPrefix = "\xF2\x03\0\0"sv) {
  return test::FormFile("TFORM1", FormBytes().Signature().Object("TForm1", "Form1").Raw(properties).End()
                                      .Raw(childPrefix).Object("TButton", "B").End().End().End());
}

TEST(FormToTextTest, CompilationKeepsOriginalValues) {
  const std::tuple<const char*, std::string, std::string> cases[] = {
      {"RENP>U,Text\r\nRENP>Caption,Title", Mixed(), Mixed("Text", "Title")},
      {"DELP>U\r\nDELP>Co\r\nPSET>TForm1:V=u,Opts[oU]\r\nPSET>TForm1:I=9,Opts[o9]",
       FormBytes().Prop("U").Raw(Utf8("u")).Prop("Co").Collection().End().Prop("Opts").Set().Short("oA").End()
           .Prop("V").Raw(Utf8("u")).Prop("I").Raw(Int64(9)),
       FormBytes().Prop("Opts").Set().Short("oA").Short("oU").Short("o9").End()},
  };
  for (const auto& [script, before, after] : cases) {
    test::CompileRun compile(script);
    EXPECT_EQ(ConvertFormFile(FileWith(before), compile.rules, compile.run), FileWith(after)) << script;
  }
  // Prefix flags that the text does not say, a prefix without flags, a wide child position.
  for (std::string_view prefix : {"\xF8"sv, "\xF0"sv, "\xFA\x04\x07\0\0\0"sv}) {
    test::CompileRun compile("RENP>P,Q");
    EXPECT_EQ(ConvertFormFile(FileWith(FormBytes().Prop("P").Int8(1), prefix), compile.rules, compile.run),
              FileWith(FormBytes().Prop("Q").Int8(1), prefix));
  }
}

// Once a rule may act, a binary form whose text form would not read back fails as that text.
TEST(FormToTextTest, FormsWhoseTextDoesNotReadBackFailAsTheirText) {
  using B = FormBytes;
  const std::pair<std::string, const char*> cases[] = {
      {B().Signature().Object("1T").End().End(), "Identifier expected on line 1"},
      {B().Signature().Object("T", "a b").End().End(), "''='' expected on line 1"},
      {B().Signature().Object("T").Prop("A B").Int8(1).End().End(), "''='' expected on line 2"},
      {B().Signature().Object("T").Prop("P").Ident("x y").End().End(), "''='' expected on line 3"},
      {B().Signature().Object("T").Prop("P").List().Ident("Null").End().End().End(), "Invalid property value on line 3"},
      {B().Signature().Object("T").Prop("P").Set().Short("a-b").End().End().End(), "'','' expected on line 2"},
  };
  test::CompileRun compile("RENP>P,Q");
  for (const auto& [stream, message] : cases) {
    const std::string file = test::FormFile("T", stream);
    ExpectFailure("EParserError", [&] { ConvertFormFile(file, compile.rules, compile.run); }, message);
  }
  const std::string readable = B().Signature().Object("T").Prop("P").Ident("x.y").Prop("S").Set().Short("a").End().End().End();
  EXPECT_NO_THROW(ConvertFormFile(test::FormFile("T", readable), compile.rules, compile.run));
}

// Objects, lists and collections nested to a depth, the root object being the first level.
std::string Nested(int depth, int kind) {
  FormBytes value;
  value.Signature().Object("T");
  if (kind != 0) value.Prop("P");
  for (int i = 1; i < depth; ++i) kind == 0 ? value.End().Object("T") : kind == 1 ? value.List() : value.Collection().List().Prop("C");
  if (kind == 2) value.Int8(0);
  for (int i = 1; i < depth; ++i) kind == 2 ? value.End().End() : value.End();
  return value.End().End();
}

TEST(FormToTextTest, NestingIsBoundedAt256Levels) {
  for (int kind : {0, 1, 2}) {
    EXPECT_NO_THROW(ToText(Nested(256, kind))) << kind;
    ExpectFailure("EReadError", [&] { ToText(Nested(257, kind)); }, "Nesting too deep");
  }
  ExpectFailure("EReadError", [] { ToText(Nested(100000, 0)); }, "Nesting too deep");
}

Extended FromBytes(std::uint64_t significand, std::uint16_t signAndExponent) {
  return Extended::FromBytes(test::ExtendedParts(significand, signAndExponent));
}

TEST(ExtendedTest, BytesAndText) {
  EXPECT_EQ(Extended::FromInteger(-2).Bytes(), (ExtendedBytes{0, 0, 0, 0, 0, 0, 0, 0x80, 0x00, 0xC0}));
  // Unusual patterns (an unnormal here) pass through unchanged.
  ExtendedBytes odd{1, 2, 3, 4, 5, 6, 7, 0x08, 0x34, 0x12};
  EXPECT_EQ(Extended::FromBytes(odd).Bytes(), odd);
  const std::pair<Extended, const char*> cases[] = {
      {Extended(), "0"}, {FromBytes(0xD1B71758E219652C, 0x3FF1), "0.0001"}, {FromBytes(0xA7C5AC471B478423, 0x3FEE), "1E-5"},
      {Extended::FromInteger(1000000000000000), "1E15"}, {Extended::FromInteger(999999999999999), "999999999999999"},
      {Extended::FromInteger(9999999999999999), "1E16"}, {FromBytes(0xAAAAAAAAAAAAAAAB, 0x3FFE), "0.666666666666667"},
      {FromBytes(0xD64D3D9DB981787D, 0x3C1A), "1.25E-300"}, {FromBytes(~0ULL, 0x7FFE), "1.18973149535723E4932"},
      {Extended::Infinity(true), "-INF"}, {Extended::FromInteger(INT64_MIN), "-9.22337203685478E18"},
      // The 16th digit exactly 5 rounds up, where half-even would not.
      {Extended::FromInteger(1234567890123445), "1.23456789012345E15"},
      {Extended::FromInteger(1234567890123455), "1.23456789012346E15"},
      // Doubles and singles convert exactly: a subnormal double is a normal extended value.
      {Extended::FromDouble(0.1f), "0.100000001490116"}, {Extended::FromDouble(4.9406564584124654e-324), "4.94065645841247E-324"},
      {Extended::FromDouble(-std::numeric_limits<double>::infinity()), "-INF"}, {Extended::FromDouble(std::numeric_limits<double>::signaling_NaN()), "NAN"},
      // A zero exponent field or significand gives zero; an unnormal still has a value.
      {FromBytes(1, 0), "0"}, {FromBytes(0x123456789ULL, 0x8000), "0"},
      {FromBytes(0x8000000000000000ULL, 0x7FFF), "INF"}, {FromBytes(0xC000000000000000ULL, 0xFFFF), "NAN"},
      {FromBytes(0x8000000000000000ULL, 0x3FFF), "1"}, {FromBytes(0x4000000000000000ULL, 0x3FFF), "0.5"},
  };
  for (const auto& [value, text] : cases) EXPECT_EQ(FloatToText(value), text) << text;
}

// Rounding of currency texts: halves away from zero, clamped to the 64-bit range.
TEST(ExtendedTest, RoundToInteger) {
  const std::pair<Extended, std::int64_t> cases[] = {
      {Extended::FromDouble(0.5), 1}, {Extended::FromDouble(-0.5), -1}, {Extended::FromDouble(0.49999999999999994), 0},
      {Extended::FromDouble(-2.5), -3}, {FromBytes(~0ULL, 0x403D), INT64_MAX}, {FromBytes(~0ULL, 0xC03D), INT64_MIN},
      {Extended::FromDouble(1e300), INT64_MAX}, {Extended::FromDouble(-1e300), INT64_MIN}, {FromBytes(1, 0), 0},
  };
  for (const auto& [value, expected] : cases) EXPECT_EQ(value.RoundToInteger(), expected) << FloatToText(value);
}

TEST(ExtendedTest, TextToExtendedTakesTheRuntimeSyntax) {
  const Extended kRejected = FromBytes(7, 7);
  const std::pair<const char*, Extended> cases[] = {
      {"  -2.5E-7  ", FromBytes(0x8637BD05AF6C69B6, 0xBFE9)}, {"+3", Extended::FromInteger(3)}, {"5.", Extended::FromInteger(5)},
      {".25", FromBytes(1ULL << 63, 0x3FFD)}, {"1e3", Extended::FromInteger(1000)}, {"1E-5000", Extended()},
      {"-0", -Extended()}, {"123456789012345678901234567890", FromBytes(0xC77487FB61B9F077, 0x405F)},
      {"", kRejected}, {"-", kRejected}, {".", kRejected}, {"1-2", kRejected}, {"1E+", kRejected}, {"1,5", kRejected},
      {"1.5s", kRejected}, {"INF", kRejected}, {"1 2", kRejected}, {"--1", kRejected}, {"1e5000", kRejected}, {"\t1", kRejected},
  };
  for (const auto& [text, expected] : cases) {  // a rejected text leaves the value as it was
    Extended value = kRejected;
    EXPECT_EQ(std::pair(TextToExtended(text, value), value), std::pair(expected != kRejected, expected)) << text;
  }
}

// Decimal digits times a power of ten, rounded to nearest, ties to even.
TEST(ExtendedTest, DecimalToExtended) {
  const std::tuple<std::string, std::int64_t, std::uint64_t, std::uint16_t> cases[] = {
      {"1", -1, 0xCCCCCCCCCCCCCCCD, 0x3FFB},
      // 2^64 + 1 and 2^64 + 3 lie halfway: the even neighbours 2^64 and 2^64 + 4 win.
      {"18446744073709551617", 0, 0x8000000000000000, 0x403F}, {"18446744073709551619", 0, 0x8000000000000002, 0x403F},
      // Just above and just below that halfway point, by digits far beyond the kept ones.
      {"18446744073709551617" + std::string(20000, '0') + "1", -20001, 0x8000000000000001, 0x403F},
      {"18446744073709551616" + std::string(20000, '9'), -20000, 0x8000000000000000, 0x403F},
      // The largest finite value, the smallest normal and subnormal ones, and below half of that.
      {"118973149535723176502", 4912, 0xFFFFFFFFFFFFFFFF, 0x7FFE}, {"33621031431120935063", -4951, 1ULL << 63, 1},
      {"36451995318824746025", -4970, 1, 0}, {"18", -4952, 0, 0}, {"1", -99999, 0, 0}, {"0", 99999, 0, 0},
  };
  for (const auto& [digits, exponent10, significand, signAndExponent] : cases) {
    Extended value = Extended::Infinity();
    EXPECT_TRUE(DecimalToExtended(digits, exponent10, value)) << exponent10;
    EXPECT_EQ(value.Bytes(), test::ExtendedParts(significand, signAndExponent)) << exponent10;
  }
  for (auto [digits, exponent10] : {std::pair{"11897314953572317651", 4913}, std::pair{"1", 4933}}) {
    Extended value = Extended::FromInteger(7);
    EXPECT_FALSE(DecimalToExtended(digits, exponent10, value)) << exponent10;
    EXPECT_EQ(value, Extended::FromInteger(7));
  }
}

}  // namespace
}  // namespace reshape
