// The real-world corpus, each test skipped when its folder is absent: binary forms through their
// text and back, text forms edited in place, and binary forms of newer IDEs through the program.
#include <gtest/gtest.h>

#include <map>
#include <regex>

#include "base/ascii_case.h"
#include "corpus_files.h"
#include "e2e_harness.h"
#include "forms/form_compiler.h"
#include "forms/form_to_text.h"
#include "forms/resource_header.h"
#include "forms/test_text_forms.h"

namespace reshape::e2e {
namespace {

std::string ToText(const std::string& formFile) {
  // The stream ends with the root: nothing of the file is left unread.
  std::size_t headerSize = SkipResourceHeader(formFile), consumed = 0;
  std::string text = FormStreamToText(formFile.substr(headerSize), CodePage(), &consumed);
  EXPECT_EQ(headerSize + consumed, formFile.size());
  return text;
}

// Text forms as the IDE wrote them come back line for line from their compiled form, but for
// floats and characters written as codes, which it spelled in more than one way.
TEST(CorpusRoundTrip, TextFormsComeBackAsTheIdeWroteThem) {
  const auto files = CorpusFiles("text");
  if (files.empty()) GTEST_SKIP() << "no corpus at " << CorpusDir();
  const std::regex spelledOtherwise(R"(#\d|\d\.\d|\d[dc]$)");
  for (const auto& path : files) {
    SCOPED_TRACE(path.string());
    const std::string text(test::WithoutByteOrderMark(ReadWholeFile(path)));
    const std::vector<std::string> before = Lines(text), after = Lines(ToText(CompileFormText(text)));
    ASSERT_EQ(before.size(), after.size());
    for (std::size_t i = 0; i < before.size(); ++i)
      if (before[i] != after[i] && !std::regex_search(before[i], spelledOtherwise))
        ADD_FAILURE() << "line " << i + 1 << ":\n  " << before[i] << "\n  " << after[i];
  }
}

constexpr std::string_view kNoMatch = "RENC>TNoSuchClass,TOther\nRENP>NoSuchProp,Other\n"
                                      "DELP>TNoSuch:Left\nPSET>TNoSuch:Left=0,S[e]\n";

// The root object's class in a text form whose root is named.
std::string RootClass(std::string_view text) {
  const std::size_t start = text.find_first_not_of(' ', text.find(':') + 1);
  return std::string(text.substr(start, text.find_first_of(" \r\n[", start) - start));
}

// Rules for the classes and properties that real forms use most, and for the root's class.
std::string ScriptFor(std::string_view text) {
  const std::string root = RootClass(text);
  return "RENC>TButton,TNewButton\nRENC>TLabel,TNewLabel\nRENP>Font.Name,Font.Face\n"
         "RENP>TNewButton:Caption,Text\nDELP>OldCreateOrder\nDELP>TextHeight\n"
         "PSET>TNewLabel:Transparent=True,Options[loTransparent]\nPSET>TNewLabel:AutoSize=False,Options[loFixed]\n"
         "PSET>TPanel:BevelOuter=bvNone,Bevels[bvNoOuter]\nPSET>" + root + ":Scaled=False,Font.Style[fsScaled]\n"
         "PSET>" + root + ":KeyPreview=True,Font.Style[fsBold]\n"
         "PSET>" + root + ":Position=poScreenCenter,Placement[plCenter]\n";
}

// Every line that names nothing of the script (none of these words) is found, unchanged, in order, in the result.
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

// A script that matches nothing leaves every byte; scripts that rename, delete and convert give
// the form of the binary way and change only the lines they name.
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

// Every binary form of the corpus, the projects' trees included.
std::vector<std::filesystem::path> BinaryForms() {
  std::vector<std::filesystem::path> forms;
  for (const char* folder : {"binary", "binary-unsupported", "trees"})
    for (const auto& path : CorpusFiles(folder))
      if (AsciiUpperCase(path.extension().string()) == ".DFM" && !IsTextForm(ReadWholeFile(path)))
        forms.push_back(path);
  return forms;
}

// The form read with its text and written back with the rules of script, values no rule
// changes in their original bytes.
std::string Migrated(const std::string& form, std::string_view script) {
  test::CompileRun run(script);
  return ConvertFormFile(form, run.rules, run.run);
}

constexpr const char* kDamaged = "ExFF2SimplePlannerU1.dfm";
constexpr const char* kDamagedName = "zz_damaged.dfm";  // last in the run, which stops at it

std::vector<std::string> TextLines(const std::string& form) { return Lines(FormFileToText(form, CodePage())); }

// The edits of kEdits made on the lines: every Caption renamed to Heading, every Font.Height deleted.
constexpr const char* kEdits = "RENP>Caption,Heading\r\nDELP>Font.Height\r\n";
std::vector<std::string> Edited(const std::vector<std::string>& lines) {
  std::vector<std::string> out;
  for (std::string line : lines) {
    const std::size_t at = std::min(line.find_first_not_of(' '), line.size());
    if (line.substr(at).starts_with("Caption = ")) line.replace(at, 7, "Heading");
    if (!line.substr(at).starts_with("Font.Height = ")) out.push_back(line);
  }
  return out;
}

// Without rules, and with rules that fire nowhere, a form comes back byte for byte. With rules,
// only what they change differs: renamed and renamed back, it is the form again; its text
// changes by exactly the edits of kEdits.
TEST(CorpusRoundTrip, UntouchedValuesKeepTheirBytes) {
  int forms = 0;
  for (const auto& path : BinaryForms()) {
    if (path.filename() == kDamaged) continue;
    SCOPED_TRACE(path.string());
    ++forms;
    const std::string original = ReadWholeFile(path), root = RootClass(FormFileToText(original, CodePage()));
    for (const std::string& script : {std::string(), std::string(kNoMatch), "PSET>" + root + ":Left=-7,S[e]\n"})
      EXPECT_TRUE(Migrated(original, script) == original) << script;
    const std::string renamed = Migrated(original, "RENC>" + root + ",TRenamedRoot\nRENP>Caption,Renamed\n");
    EXPECT_TRUE(renamed != original);
    EXPECT_TRUE(Migrated(renamed, "RENC>TRenamedRoot," + root + "\nRENP>Renamed,Caption\n") == original);
    EXPECT_EQ(TextLines(Migrated(original, kEdits)), Edited(TextLines(original)));
  }
  if (forms == 0) GTEST_SKIP() << "no corpus at " << CorpusDir();
}

// Forms holding UTF-8 strings come back byte for byte when no rule matches; with rules their text
// changes by exactly those edits. The form damaged by a tab-to-blank conversion fails and stays.
TEST(CorpusUnicodeForms, NoMatchingRuleKeepsEveryByteAndRulesEditOnlyTheirProperties) {
  std::map<std::string, std::string> forms;
  for (const auto& path : CorpusFiles("binary-unsupported"))
    forms[path.filename() == kDamaged ? kDamagedName : path.parent_path().filename().string() + "_" +
                                                           path.filename().string()] = ReadWholeFile(path);
  if (forms.empty()) GTEST_SKIP() << "no corpus";
  TempDir dir;
  dir.Write("job.scr", "RENC>TNoSuchClass,TOther\r\nRENP>NoSuch,Other\r\n");
  std::string expected;
  for (const auto& [name, bytes] : forms) {
    dir.Write(name, bytes);
    expected += name + (name == kDamagedName ? " ..." : " ...No change\n");
  }
  EXPECT_EQ(MaskAddress(RunReshape(dir.Path(), {"job.scr"}).Output), expected + Report("EReadError", "Invalid property value."));
  for (const auto& [name, bytes] : forms) {
    EXPECT_EQ(dir.Read(name), bytes) << name;
    if (name == kDamagedName) continue;
    TempDir one;
    one.Write("job.scr", kEdits);
    one.Write("A.dfm", bytes);
    EXPECT_EQ(RunReshape(one.Path(), {"job.scr"}).Output, "A.dfm ...Converted\n") << name;
    EXPECT_EQ(TextLines(one.Read("A.dfm")), Edited(TextLines(bytes))) << name;
  }
}

}  // namespace
}  // namespace reshape::e2e
