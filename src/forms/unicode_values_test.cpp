// 64-bit integers (tag 19) and UTF-8 strings (tag 20): their text, the failures of broken ones,
// and compilations that keep the original bytes of every value the rules leave alone.
#include <gtest/gtest.h>

#include <limits>
#include <string>

#include "base/errors.h"
#include "forms/text_form_test_support.h"
#include "forms/form_to_text.h"
#include "forms/test_stream_builder.h"

namespace reshape {
namespace {

using test::FormBytes;

std::string Utf8(std::string_view bytes) {
  return FormBytes().Byte(TagUtf8String).U32(static_cast<std::uint32_t>(bytes.size())).Raw(bytes);
}

std::string Int64(std::int64_t value) {
  return FormBytes().Byte(TagInt64).U64(static_cast<std::uint64_t>(value));
}

// Form1 with the properties and, after them, the children.
std::string FileWith(const std::string& properties, const std::string& children = "") {
  return test::FormFile("TFORM1", FormBytes().Signature().Object("TForm1", "Form1")
                                      .Raw(properties).End().Raw(children).End());
}

std::string PropertyText(const std::string& value) {
  const std::string text = FormFileToText(FileWith(FormBytes().Prop("P").Raw(value)), CodePage());
  const std::size_t head = std::string_view("object Form1: TForm1\r\n  P = ").size();
  return text.substr(head, text.size() - head - std::string_view("\r\nend\r\n").size());
}

TEST(UnicodeValuesTest, TextsAndFailures) {
  const std::pair<std::string, std::string> cases[] = {
      {Int64(std::numeric_limits<std::int64_t>::min()), "-9223372036854775808"},
      {Utf8("a'\xC3\xA9\n"), "'a'#39'\xE9'#10"},
      {Utf8("\xE2\x82\xACx\xF0\x9F\x98\x80"), "#8364'x'#55357#56832"},  // U+20AC, U+1F600
      {Utf8("\xF4\x8F\xBF\xBF"), "#56319#57343"},                          // U+10FFFF
      // Overlong forms, a surrogate, above U+10FFFF, a continuation without lead, cut sequences.
      {Utf8("\xC0\x80"), ""}, {Utf8("\xE0\x9F\xBF"), ""}, {Utf8("\xF0\x8F\xBF\xBF"), ""},
      {Utf8("\xED\xA0\x80"), ""}, {Utf8("\xF4\x90\x80\x80"), ""}, {Utf8("a\x80"), ""},
      {Utf8("\xE2\x82"), ""}, {Utf8("\xC3\xC3"), ""},
      {FormBytes().Byte(TagUtf8String).U32(0x80000000u), ""},
  };
  for (const auto& [value, text] : cases) {
    if (text.empty()) {
      test::ExpectFailure<EReadError>([&] { PropertyText(value); }, "Invalid property value");
    } else {
      EXPECT_EQ(PropertyText(value), text) << text;
    }
  }
  // A stream cut anywhere.
  const std::string stream = FormBytes().Signature().Object("T", "A").Prop("P").Raw(Int64(-2))
                                 .Prop("Q").Raw(Utf8("\xE2\x82\xAC")).End().End();
  for (std::size_t size = 10; size < stream.size(); ++size)
    test::ExpectFailure<EReadError>(
        [&] { FormStreamToText(stream.substr(0, size), CodePage()); }, "Stream read error");
}

// Every value kind, with numbers in wider tags than they need, a long string, and a child
// position: a compilation from the text would change all of these.
std::string Mixed(std::string_view u = "U", std::string_view caption = "Caption") {
  return FormBytes()
      .Prop("S").Str("narrow").Prop("L").LStr(std::string(70, 'l')).Prop("W").WStr(u"\u20ACw")
      .Prop(u).Raw(Utf8("\xE2\x82\xAC" "u")).Prop("I").Raw(Int64(1)).Prop("N").Int32(5)
      .Prop("F").Double(0.1).Prop("E").Single(1.5f).Prop("C").Currency(12345)
      .Prop("Li").List().Int16(7).Raw(Utf8("x")).Ident("Id").End()
      .Prop("Se").Set().Short("a").End().Prop("B").Binary("\x01\x02")
      .Prop("Co").Collection()
          .Int16(3).List().Prop(caption).Raw(Utf8("\xC3\xA9")).Prop("D").Int32(1).End()
      .End();
}

const std::string kChild =
    FormBytes().Prefix(PrefixChildPos).Int16(0).Object("TButton", "B").End().End();

TEST(UnicodeValuesTest, ValuesKeepTheirBytes) {
  const std::tuple<const char*, std::string, std::string> cases[] = {
      {"RENC>TNone,TOther\r\nDELP>None", Mixed(), Mixed()},
      {"RENP>U,Text\r\nRENP>Caption,Title", Mixed(), Mixed("Text", "Title")},
      {"DELP>U\r\nDELP>Co", FormBytes().Prop("U").Raw(Utf8("u")).Prop("Co").Collection().End(),
       ""},
      {"PSET>TForm1:U=u,Opts[oU]",
       FormBytes().Prop("Opts").Set().Short("oA").End().Prop("U").Raw(Utf8("u")),
       FormBytes().Prop("Opts").Set().Short("oA").Short("oU").End()},
      {"PSET>TForm1:I=9,Opts[o9]", FormBytes().Prop("I").Raw(Int64(9)),
       FormBytes().Prop("Opts").Set().Short("o9").End()},
  };
  for (const auto& [script, before, after] : cases) {
    test::CompileRun compile(script);
    OriginalValues originals;
    const std::string file = FileWith(before, kChild);  // the originals refer to it
    const std::string text = FormFileToText(file, CodePage(), &originals);
    EXPECT_EQ(CompileFormFile(text, compile.rules, compile.run, &originals),
              FileWith(after, kChild)) << script;
  }
}

}  // namespace
}  // namespace reshape
