// Migrates the text form files of the real-world corpus in place: a script that matches nothing
// leaves every byte, and scripts that rename, delete and convert give the same form as the
// binary way and change only the lines they name.
#include <gtest/gtest.h>

#include "base/ascii_case.h"
#include "corpus_files.h"
#include "forms/text_form_test_support.h"

namespace reshape::e2e {
namespace {

constexpr std::string_view kNoMatch = "RENC>TNoSuchClass,TOther\nRENP>NoSuchProp,Other\n"
                                      "DELP>TNoSuch:Left\nPSET>TNoSuch:Left=0,S[e]\n";

// Rules for the classes and properties that real forms use most, and for the root's class.
std::string ScriptFor(std::string_view text) {
  const std::size_t start = text.find_first_not_of(' ', text.find(':') + 1);
  const std::string root(text.substr(start, text.find_first_of(" \r\n[", start) - start));
  return "RENC>TButton,TNewButton\nRENC>TLabel,TNewLabel\nRENP>Font.Name,Font.Face\n"
         "RENP>TNewButton:Caption,Text\nDELP>OldCreateOrder\nDELP>TextHeight\n"
         "PSET>TNewLabel:Transparent=True,Options[loTransparent]\nPSET>TNewLabel:AutoSize=False,Options[loFixed]\n"
         "PSET>TPanel:BevelOuter=bvNone,Bevels[bvNoOuter]\nPSET>" + root + ":Scaled=False,Font.Style[fsScaled]\n"
         "PSET>" + root + ":KeyPreview=True,Font.Style[fsBold]\n"
         "PSET>" + root + ":Position=poScreenCenter,Placement[plCenter]\n";
}

// Every line that names nothing of the script (none of these words) is found, unchanged, in
// order, in the result.
std::string UntouchedLinesStay(std::string_view original, std::string_view migrated) {
  const std::vector<std::string> after = Lines(migrated);
  std::size_t at = 0;
  for (const std::string& line : Lines(original)) {
    const std::string upper = AsciiUpperCase(line);
    bool named = false;
    for (const char* word : {"TBUTTON", "TLABEL", "FONT.", "CAPTION", "OLDCREATEORDER", "TEXTHEIGHT",
                             "TRANSPARENT", "AUTOSIZE", "BEVELOUTER", "SCALED", "KEYPREVIEW", "POSITION",
                             "END", "OBJECT", "INLINE", "INHERITED", "OPTIONS", "BEVELS", "PLACEMENT"})
      named = named || upper.find(word) != std::string::npos;
    if (named) continue;
    while (at < after.size() && after[at] != line) ++at;
    if (at == after.size()) return "lost or changed: " + line;
  }
  return "";
}

TEST(CorpusTextFormsTest, MigratesInPlaceAsTheBinaryWayDoes) {
  const auto files = CorpusFiles("text");
  if (files.empty()) GTEST_SKIP() << "no corpus at " << CorpusDir();
  int migrated = 0;
  for (const auto& path : files) {
    SCOPED_TRACE(path.string());
    const std::string text = ReadWholeFile(path);
    ASSERT_TRUE(IsTextForm(text));
    const test::TextFormRun none = test::EditTextFormRun(text, ParseScript(kNoMatch));
    EXPECT_EQ(none.failure, "");
    EXPECT_TRUE(none.text == text && none.log.empty());
    const CommandList commands = ParseScript(ScriptFor(text));
    const test::TextFormRun run = test::EditTextFormRun(text, commands);
    EXPECT_EQ(run.failure, "");
    EXPECT_EQ(test::CheckConsistency(text, commands), "");
    EXPECT_EQ(UntouchedLinesStay(text, run.text), "");
    migrated += run.text != text;
  }
  EXPECT_GT(migrated, 0);
}

}  // namespace
}  // namespace reshape::e2e
