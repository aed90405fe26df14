// Migrates the text form files of the real-world corpus in place: a script that matches nothing
// leaves every byte, and scripts that rename, delete and convert give the same form as the
// binary way and change only the lines they name.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "base/ascii_case.h"
#include "corpus_files.h"
#include "forms/text_form_test_support.h"

namespace reshape {
namespace {

namespace fs = std::filesystem;

constexpr std::string_view kNoMatch = "RENC>TNoSuchClass,TOther\nRENP>NoSuchProp,Other\n"
                                      "DELP>TNoSuch:Left\nPSET>TNoSuch:Left=0,S[e]\n";

// Rules for the classes and properties that real forms use most, and for the root's class.
std::string ScriptFor(std::string_view text) {
  std::string root;
  if (std::size_t colon = text.find(':'); colon != std::string_view::npos) {
    std::size_t start = text.find_first_not_of(' ', colon + 1);
    std::size_t end = text.find_first_of(" \r\n[", start);
    root = std::string(text.substr(start, end - start));
  }
  return "RENC>TButton,TNewButton\nRENC>TLabel,TNewLabel\nRENP>Font.Name,Font.Face\n"
         "RENP>TNewButton:Caption,Text\nDELP>OldCreateOrder\nDELP>TextHeight\n"
         "PSET>TNewLabel:Transparent=True,Options[loTransparent]\n"
         "PSET>TNewLabel:AutoSize=False,Options[loFixed]\n"
         "PSET>TPanel:BevelOuter=bvNone,Bevels[bvNoOuter]\n"
         "PSET>" + root + ":Scaled=False,Font.Style[fsScaled]\n"
         "PSET>" + root + ":KeyPreview=True,Font.Style[fsBold]\n"
         "PSET>" + root + ":Position=poScreenCenter,Placement[plCenter]\n";
}

// The words that the script's rules name: a line without any of them must stay as it is.
const char* const kNamed[] = {"TButton", "TLabel", "Font.", "Caption", "OldCreateOrder",
                              "TextHeight", "Transparent", "AutoSize", "BevelOuter", "Scaled",
                              "KeyPreview", "Position", "end", "object", "inline", "inherited",
                              "Options", "Bevels", "Placement"};

std::vector<std::string> Lines(std::string_view text) {
  std::vector<std::string> lines;
  for (std::size_t start = 0; start < text.size();) {
    std::size_t end = text.find_first_of("\r\n", start);
    end = end == std::string_view::npos ? text.size() : end + 1;
    if (end < text.size() && text[end - 1] == '\r' && text[end] == '\n') ++end;
    lines.emplace_back(text.substr(start, end - start));
    start = end;
  }
  return lines;
}

bool NamesARule(const std::string& line) {
  const std::string upper = AsciiUpperCase(line);
  for (const char* word : kNamed)
    if (upper.find(AsciiUpperCase(word)) != std::string::npos) return true;
  return false;
}

// Every line that names nothing of the script is found, unchanged, in order, in the result.
std::string UntouchedLinesStay(std::string_view original, std::string_view migrated) {
  const std::vector<std::string> before = Lines(original), after = Lines(migrated);
  std::size_t at = 0;
  for (const std::string& line : before) {
    if (NamesARule(line)) continue;
    while (at < after.size() && after[at] != line) ++at;
    if (at == after.size()) return "lost or changed: " + line;
  }
  return "";
}

TEST(CorpusTextFormsTest, MigratesInPlaceAsTheBinaryWayDoes) {
  const fs::path dir = e2e::CorpusDir() / "text";
  if (!fs::is_directory(dir)) GTEST_SKIP() << "no corpus at " << dir;
  int forms = 0, unchanged = 0, consistent = 0, migrated = 0;
  for (const fs::path& path : e2e::FilesUnder(dir)) {
    SCOPED_TRACE(path.string());
    const std::string text = e2e::ReadWholeFile(path);
    ASSERT_TRUE(IsTextForm(text));
    ++forms;
    const test::TextFormRun none = test::EditTextFormRun(text, ParseScript(kNoMatch));
    EXPECT_EQ(none.failure, "");
    EXPECT_TRUE(none.text == text && none.log.empty());
    unchanged += none.text == text;

    const CommandList commands = ParseScript(ScriptFor(text));
    const test::TextFormRun run = test::EditTextFormRun(text, commands);
    EXPECT_EQ(run.failure, "");
    EXPECT_EQ(test::CheckConsistency(text, commands), "");
    EXPECT_EQ(UntouchedLinesStay(text, run.text), "");
    consistent += test::CheckConsistency(text, commands).empty();
    migrated += run.text != text;
  }
  EXPECT_GT(forms, 0);
  std::cout << forms << " text forms: " << unchanged << " unchanged by a script matching nothing, "
            << consistent << " consistent with the binary way, " << migrated << " migrated\n";
}

}  // namespace
}  // namespace reshape
