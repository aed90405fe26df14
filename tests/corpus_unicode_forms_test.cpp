// Binary forms of newer IDEs from the real-world corpus (skipped when it is absent): forms that
// hold UTF-8 strings come back byte for byte when no rule matches, and with renamed, deleted
// and set-converted properties their text changes by exactly those edits. The form damaged by a
// tab-to-blank conversion fails and stays.
#include <gtest/gtest.h>

#include <map>

#include "corpus_files.h"
#include "e2e_harness.h"
#include "forms/form_to_text.h"

namespace reshape::e2e {
namespace {

constexpr const char* kDamaged = "ExFF2SimplePlannerU1.dfm";
constexpr const char* kDamagedName = "zz_damaged.dfm";  // last in the run, which stops at it

std::vector<std::string> TextLines(const std::string& form) { return Lines(FormFileToText(form, CodePage())); }

// The script's edits made on the lines: every Caption renamed to Heading, every Font.Height
// deleted, and the root's own Font.Charset turned into an element of its Font.Style.
std::vector<std::string> Edited(const std::vector<std::string>& lines, std::string& script) {
  std::vector<std::string> out;
  for (std::string line : lines) {
    const std::size_t at = std::min(line.find_first_not_of(' '), line.size());
    const std::string name = line.substr(at, line.find(" = ", at) - at);
    if (at == 2 && name == "Font.Charset")
      script = "RENP>Caption,Heading\r\nDELP>Font.Height\r\nPSET>" + lines[0].substr(lines[0].rfind(' ') + 1) +
               ":Font.Charset=" + line.substr(17) + ",Font.Style[fsX]\r\n";
    if (name == "Font.Height" || (at == 2 && name == "Font.Charset")) continue;
    if (name == "Caption") line.replace(at, 7, "Heading");
    if (at == 2 && name == "Font.Style") line.insert(line.size() - 1, line.ends_with("[]") ? "fsX" : ", fsX");
    out.push_back(line);
  }
  return out;
}

TEST(CorpusUnicodeForms, NoMatchingRuleKeepsEveryByteAndRulesEditOnlyTheirProperties) {
  // The forms by flat file name, in the order a run takes them.
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
