// Binary forms of newer IDEs from the real-world corpus (skipped when it is absent): forms that
// hold UTF-8 strings come back byte for byte when no rule matches, and with renamed, deleted
// and set-converted properties their text changes by exactly those edits. The form damaged by a
// tab-to-blank conversion fails and stays.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "corpus_files.h"
#include "e2e_harness.h"
#include "forms/form_to_text.h"

namespace reshape::e2e {
namespace {

constexpr const char* kDamaged = "ExFF2SimplePlannerU1.dfm";
// Last in the run, which stops at it.
constexpr const char* kDamagedName = "zz_damaged.dfm";

// The corpus's forms of newer IDEs by flat file name, in the order a run takes them.
std::vector<std::pair<std::string, std::string>> UnicodeForms() {
  std::vector<std::pair<std::string, std::string>> forms;
  const std::filesystem::path dir = CorpusDir() / "binary-unsupported";
  if (std::filesystem::is_directory(dir))
    for (const auto& path : FilesUnder(dir))
      forms.emplace_back(path.filename() == kDamaged
                             ? kDamagedName
                             : path.parent_path().filename().string() + "_" +
                                   path.filename().string(),
                         ReadWholeFile(path));
  std::sort(forms.begin(), forms.end());
  return forms;
}

std::vector<std::string> TextLines(const std::string& form) {
  const std::string text = FormFileToText(form, CodePage());
  std::vector<std::string> lines;
  for (std::size_t start = 0, end; start < text.size(); start = end + 2) {
    end = std::min(text.find("\r\n", start), text.size());
    lines.push_back(text.substr(start, end - start));
  }
  return lines;
}

// The script's edits made on the lines: every Caption renamed to Heading, every Font.Height
// deleted, and the root's own Font.Charset turned into an element of its Font.Style.
std::vector<std::string> Edited(std::vector<std::string> lines, std::string& script) {
  std::vector<std::string> out;
  for (const std::string& line : lines)
    if (line.starts_with("  Font.Charset = "))
      script = "RENP>Caption,Heading\r\nDELP>Font.Height\r\nPSET>" +
               lines[0].substr(lines[0].rfind(' ') + 1) + ":Font.Charset=" + line.substr(17) +
               ",Font.Style[fsX]\r\n";
  for (std::string line : lines) {
    const std::size_t at = std::min(line.find_first_not_of(' '), line.size());
    const std::string name = line.substr(at, line.find(" = ", at) - at);
    if (name == "Font.Height" || (at == 2 && name == "Font.Charset")) continue;
    if (name == "Caption") line.replace(at, 7, "Heading");
    if (at == 2 && name == "Font.Style")
      line.insert(line.size() - 1, line.ends_with("[]") ? "fsX" : ", fsX");
    out.push_back(line);
  }
  return out;
}

TEST(CorpusUnicodeForms, NoMatchingRuleKeepsEveryByteAndRulesEditOnlyTheirProperties) {
  const auto forms = UnicodeForms();
  if (forms.empty()) GTEST_SKIP() << "no corpus";
  TempDir dir;
  dir.Write("job.scr", "RENC>TNoSuchClass,TOther\r\nRENP>NoSuch,Other\r\n");
  std::string expected;
  for (const auto& [name, bytes] : forms) {
    dir.Write(name, bytes);
    expected += name + (name == kDamagedName ? " ..." : " ...No change\n");
  }
  RunResult run = RunReshape(dir.Path(), {"job.scr"});
  EXPECT_EQ(MaskAddress(run.Output), expected + Report("EReadError", "Invalid property value."));
  for (const auto& [name, bytes] : forms) EXPECT_EQ(dir.Read(name), bytes) << name;

  for (const auto& [name, bytes] : forms) {
    if (name == kDamagedName) continue;
    std::string script;
    const std::vector<std::string> edited = Edited(TextLines(bytes), script);
    TempDir one;
    one.Write("job.scr", script);
    one.Write("A.dfm", bytes);
    EXPECT_EQ(RunReshape(one.Path(), {"job.scr"}).Output, "A.dfm ...Converted\n") << name;
    EXPECT_EQ(TextLines(one.Read("A.dfm")), edited) << name;
  }
}

}  // namespace
}  // namespace reshape::e2e
