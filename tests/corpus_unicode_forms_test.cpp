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

namespace fs = std::filesystem;

constexpr const char* kDamaged = "ExFF2SimplePlannerU1.dfm";
constexpr const char* kElement = "fsCorpusTest";

// The corpus's forms of newer IDEs, the damaged one left out, under flat file names.
std::vector<std::pair<std::string, std::string>> UnicodeForms() {
  std::vector<std::pair<std::string, std::string>> forms;
  const fs::path dir = CorpusDir() / "binary-unsupported";
  if (!fs::is_directory(dir)) return forms;
  for (const fs::path& path : FilesUnder(dir)) {
    if (path.filename() == kDamaged) continue;
    forms.emplace_back(path.parent_path().filename().string() + "_" + path.filename().string(),
                       ReadWholeFile(path));
  }
  return forms;
}

std::string Text(const std::string& form) { return FormFileToText(form, CodePage()); }

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  for (std::size_t start = 0, end; start < text.size(); start = end + 2) {
    end = std::min(text.find("\r\n", start), text.size());
    lines.push_back(text.substr(start, end - start));
  }
  return lines;
}

std::string Joined(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) text += line + "\r\n";
  return text;
}

std::size_t Indent(const std::string& line) { return line.find_first_not_of(' '); }

// The script's edits made on the lines of the text form: every Caption renamed to Heading,
// every Font.Height deleted, and the root's own Font.Charset turned into an element of its
// Font.Style. rootClass and charset receive the root's class and its Font.Charset value.
std::string Edited(const std::string& text, std::string& rootClass, std::string& charset) {
  std::vector<std::string> lines = Lines(text), out;
  rootClass = lines[0].substr(lines[0].rfind(' ') + 1);
  for (const std::string& line : lines)
    if (line.starts_with("  Font.Charset = ")) charset = line.substr(17);
  for (std::string line : lines) {
    const std::size_t at = std::min(Indent(line), line.size());
    const std::string name = line.substr(at, line.find(" = ", at) - at);
    if (name == "Font.Height" || (at == 2 && name == "Font.Charset")) continue;
    if (name == "Caption") line.replace(at, 7, "Heading");
    if (at == 2 && name == "Font.Style")
      line.insert(line.size() - 1, std::string(line.ends_with("[]") ? "" : ", ") + kElement);
    out.push_back(line);
  }
  return Joined(out);
}

TEST(CorpusUnicodeForms, NoMatchingRuleKeepsEveryByte) {
  const auto forms = UnicodeForms();
  if (forms.empty()) GTEST_SKIP() << "no corpus";
  TempDir dir;
  dir.Write("job.scr", "RENC>TNoSuchClass,TOther\r\nRENP>NoSuch,Other\r\n");
  std::string expected;
  for (const auto& [name, bytes] : forms) dir.Write(name, bytes);
  for (const std::string& name : dir.List())
    if (name.ends_with(".dfm") || name.ends_with(".DFM")) expected += name + " ...No change\n";
  RunResult run = RunReshape(dir.Path(), {"job.scr"});
  EXPECT_EQ(run.ExitCode, 0);
  EXPECT_EQ(run.Output, expected);
  for (const auto& [name, bytes] : forms) EXPECT_EQ(dir.Read(name), bytes) << name;
}

TEST(CorpusUnicodeForms, RulesEditOnlyTheirProperties) {
  for (const auto& [name, bytes] : UnicodeForms()) {
    SCOPED_TRACE(name);
    std::string rootClass, charset;
    const std::string expected = Edited(Text(bytes), rootClass, charset);
    ASSERT_FALSE(charset.empty());
    TempDir dir;
    dir.Write("job.scr", "RENP>Caption,Heading\r\nDELP>Font.Height\r\nPSET>" + rootClass +
                             ":Font.Charset=" + charset + ",Font.Style[" + kElement + "]\r\n");
    dir.Write("A.dfm", bytes);
    RunResult run = RunReshape(dir.Path(), {"job.scr"});
    EXPECT_EQ(run.ExitCode, 0);
    EXPECT_EQ(run.Output, "A.dfm ...Converted\n");
    EXPECT_EQ(Text(dir.Read("A.dfm")), expected);
  }
}

TEST(CorpusUnicodeForms, DamagedFormFailsAndStays) {
  std::vector<fs::path> damaged;
  const fs::path dir = CorpusDir() / "binary-unsupported";
  if (fs::is_directory(dir))
    for (const fs::path& path : FilesUnder(dir))
      if (path.filename() == kDamaged) damaged.push_back(path);
  if (damaged.empty()) GTEST_SKIP() << "no corpus";
  const std::string bytes = ReadWholeFile(damaged[0]);
  TempDir run;
  run.Write("job.scr", "RENP>Caption,Heading\r\n");
  run.Write("A.dfm", bytes);
  RunResult result = RunReshape(run.Path(), {"job.scr"});
  EXPECT_EQ(result.ExitCode, 1);
  EXPECT_EQ(MaskAddress(result.Output),
            "A.dfm ..." + Report("EReadError", "Invalid property value."));
  EXPECT_EQ(run.Read("A.dfm"), bytes);
}

}  // namespace
}  // namespace reshape::e2e
