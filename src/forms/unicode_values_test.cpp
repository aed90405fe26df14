// 64-bit integers (tag 19) and UTF-8 strings (tag 20): their text, the failures of broken ones,
// and compilations that keep the original bytes of every value the rules leave alone.
#include <gtest/gtest.h>

#include <string>

#include "base/errors.h"
#include "forms/compiler_test_support.h"
#include "forms/form_to_text.h"
#include "forms/test_stream_builder.h"

namespace reshape {
namespace {

using test::CompileRun;
using test::ExpectFailure;
using test::FormBytes;

std::string Utf8(std::string_view bytes) {
  return FormBytes().Byte(TagUtf8String).U32(static_cast<std::uint32_t>(bytes.size())).Raw(bytes);
}

std::string Int64(std::int64_t value) {
  return FormBytes().Byte(TagInt64).U64(static_cast<std::uint64_t>(value));
}

std::string FileWith(const std::string& properties, const std::string& children = "") {
  return test::FormFile("TFORM1", FormBytes().Signature().Object("TForm1", "Form1")
                                      .Raw(properties).End().Raw(children).End());
}

// A child whose position is stored wider than it needs.
const std::string kChild =
    FormBytes().Prefix(PrefixChildPos).Int16(0).Object("TButton", "B").Prop("V").Raw(Utf8("v"))
        .End().End();

std::string PropertyText(const std::string& value) {
  const std::string text =
      FormFileToText(FileWith(FormBytes().Prop("P").Raw(value)), CodePage());
  const std::size_t head = std::string_view("object Form1: TForm1\r\n  P = ").size();
  return text.substr(head, text.size() - head - std::string_view("\r\nend\r\n").size());
}

TEST(UnicodeValuesTest, Texts) {
  const std::pair<std::string, std::string> cases[] = {
      {Int64(0), "0"},
      {Int64(-1), "-1"},
      {Int64(std::numeric_limits<std::int64_t>::min()), "-9223372036854775808"},
      {Int64(std::numeric_limits<std::int64_t>::max()), "9223372036854775807"},
      {Utf8(""), "''"},
      {Utf8("a'b\n"), "'a'#39'b'#10"},
      {Utf8("\xC3\xA9t\xC3\xA9"), "'\xE9t\xE9'"},           // U+00E9 as its byte
      {Utf8("\xE2\x82\xAC 5"), "#8364' 5'"},                 // U+20AC
      {Utf8("\xEF\xBF\xBF"), "#65535"},                      // the last unit of one
      {Utf8("\xF0\x9F\x98\x80!"), "#55357#56832'!'"},        // U+1F600 as a surrogate pair
      {Utf8("\xF4\x8F\xBF\xBF"), "#56319#57343"},            // U+10FFFF
      {Utf8(std::string(65, 'x')), "\r\n    '" + std::string(64, 'x') + "' +\r\n    'x'"},
  };
  for (const auto& [value, text] : cases) EXPECT_EQ(PropertyText(value), text) << text;
}

TEST(UnicodeValuesTest, BrokenValuesFail) {
  const std::pair<std::string, const char*> cases[] = {
      {Utf8("\xC0\x80"), "Invalid property value"},          // overlong
      {Utf8("\xC1\xBF"), "Invalid property value"},          // overlong
      {Utf8("\xE0\x9F\xBF"), "Invalid property value"},      // overlong
      {Utf8("\xF0\x8F\xBF\xBF"), "Invalid property value"},  // overlong
      {Utf8("\xED\xA0\x80"), "Invalid property value"},      // surrogate
      {Utf8("\xED\xBF\xBF"), "Invalid property value"},      // surrogate
      {Utf8("\xF4\x90\x80\x80"), "Invalid property value"},  // above U+10FFFF
      {Utf8("\xF5\x80\x80\x80"), "Invalid property value"},
      {Utf8("\xFF"), "Invalid property value"},
      {Utf8("a\x80"), "Invalid property value"},             // continuation without lead
      {Utf8("\xC3"), "Invalid property value"},              // cut at the string's end
      {Utf8("\xE2\x82"), "Invalid property value"},
      {Utf8("\xF0\x9F\x98"), "Invalid property value"},
      {Utf8("\xE2\x41\x41"), "Invalid property value"},      // cut by a plain byte
      {FormBytes().Byte(TagUtf8String).U32(0x80000000u).Raw("abc"), "Invalid property value"},
      {FormBytes().Byte(TagUtf8String).U32(0xFFFFFFFFu).Raw("abc"), "Invalid property value"},
      {FormBytes().Byte(TagUtf8String).U32(0x7FFFFFFFu).Raw("abc"), "Stream read error"},
      {FormBytes().Byte(21).U32(0), "Invalid property value"},
  };
  for (const auto& [value, message] : cases) {
    SCOPED_TRACE(testing::PrintToString(value));
    ExpectFailure<EReadError>([&] { PropertyText(value); }, message);
  }
}

TEST(UnicodeValuesTest, CutAtEveryByte) {
  const std::string stream = FormBytes().Signature().Object("T", "A").Prop("P").Raw(
      Int64(-2)).Prop("Q").Raw(Utf8("\xE2\x82\xAC")).End().End();
  for (std::size_t size = 10; size < stream.size(); ++size)
    ExpectFailure<EReadError>([&] { FormStreamToText(stream.substr(0, size), CodePage()); },
                              "Stream read error");
}

// Every value kind, with integers in wider tags than they need: a compilation from the text
// would change all of these.
std::string Mixed(std::string_view u = "U", std::string_view caption = "Caption") {
  return FormBytes()
      .Prop("S").Str("narrow").Prop("L").LStr("long").Prop("W").WStr(u"\u20ACw")
      .Prop(u).Raw(Utf8("\xE2\x82\xAC" "u")).Prop("I").Raw(Int64(1))
      .Prop("N").Int32(5).Prop("F").Double(0.1).Prop("E").Single(1.5f)
      .Prop("X").Extended(0.1L).Prop("C").Currency(12345)
      .Prop("Li").List().Int16(7).Raw(Utf8("x")).Ident("Id").End()
      .Prop("Se").Set().Short("a").Short("b").End()
      .Prop("B").Binary("\x01\x02")
      .Prop("Co").Collection()
          .Int16(3).List().Prop(caption).Raw(Utf8("\xC3\xA9")).Prop("D").Int32(1).End()
          .List().Prop("K").Byte(TagTrue).End()
      .End();
}

struct RuleCase {
  const char* script;
  std::string before;
  std::string after;
  std::size_t logLines;
  std::string children = kChild;
};

TEST(UnicodeValuesTest, ValuesKeepTheirBytes) {
  const RuleCase cases[] = {
      {"", Mixed(), Mixed(), 0},
      {"RENC>TNone,TOther\r\nDELP>None", Mixed(), Mixed(), 0},
      {"RENP>U,Text\r\nRENP>Caption,Title", Mixed(), Mixed("Text", "Title"), 2},
      {"DELP>U\r\nDELP>Co", FormBytes().Prop("A").Raw(Utf8("a")).Prop("U").Raw(Utf8("u"))
                                .Prop("Co").Collection().List().End().End(),
       FormBytes().Prop("A").Raw(Utf8("a")), 2},
      {"PSET>TForm1:U=u,Opts[oU]",
       FormBytes().Prop("Opts").Set().Short("oA").End().Prop("U").Raw(Utf8("u")).Prop("I")
           .Raw(Int64(9)),
       FormBytes().Prop("Opts").Set().Short("oA").Short("oU").End().Prop("I").Raw(Int64(9)), 1},
      {"PSET>TForm1:I=9,Opts[o9]", FormBytes().Prop("I").Raw(Int64(9)).Prop("U").Raw(Utf8("u")),
       FormBytes().Prop("U").Raw(Utf8("u")).Prop("Opts").Set().Short("o9").End(), 1},
  };
  for (const RuleCase& c : cases) {
    SCOPED_TRACE(c.script);
    CompileRun compile(c.script);
    OriginalValues originals;
    const std::string file = FileWith(c.before, c.children);
    const std::string text = FormFileToText(file, CodePage(), &originals);
    EXPECT_EQ(CompileFormFile(text, compile.rules, compile.run, &originals),
              FileWith(c.after, c.children));
    EXPECT_EQ(compile.logger.lines.size(), c.logLines);
  }
}

TEST(UnicodeValuesTest, FormsWithoutTheNewTagsNoteNoValues) {
  OriginalValues originals;
  FormFileToText(FileWith(FormBytes().Prop("N").Int32(5).Prop("W").WStr(u"w")), CodePage(),
                 &originals);
  EXPECT_TRUE(originals.spans.empty());
}

}  // namespace
}  // namespace reshape
