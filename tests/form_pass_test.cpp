// End-to-end runs of the form pass: backups, text forms, replaced forms, console and log.
#include <filesystem>
#include <map>

#include <gtest/gtest.h>

#include "e2e_harness.h"
#include "e2e_scenario.h"

namespace reshape::e2e {
namespace {

const std::string kText =
    "object Form1: TForm1\r\n  Caption = 'Main'\r\n  object Panel1: TOldPanel\r\n  end\r\nend\r\n";
const std::string kForm = CompileFormText(kText);
const char* kRename = "RENC>toldpanel,TPanelEx\r\n";

std::string Renamed(std::string text, const std::string& from, const std::string& to) {
  return text.replace(text.find(from), from.size(), to);
}

TEST(FormPassE2E, Runs) {
  const std::string notCompiling = Renamed(kText, "TOldPanel", "9OldPanel");
  const Scenario cases[] = {
      {.name = "class rename with backup, text and log",
       .files = {{"job.scr", kRename}, {"Main.dfm", kForm}},
       .output = "Main.dfm ...Converted\n",
       .after = {{"Main.dfb", kForm}, {"Main.dft", kText},
                 {"Main.dfm", CompileFormText(Renamed(kText, "TOldPanel", "TPanelEx"))},
                 {"job.LOG", "MAIN.DFM> Renamed class \"toldpanel\" to \"TPanelEx\"\r\n"}},
       .entries = {"Main.dfb", "Main.dfm", "Main.dft", "job.LOG", "job.scr"}},
      {.name = "string renames only: forms come back unchanged, with their side files",
       .files = {{"job.scr", "RENS>Main,Other\r\n"}, {"A.DFM", kForm}, {"A.PAS", "Main\r\n"}},
       .output = "A.PAS...Converted\nA.DFM ...No change\n",
       .after = {{"A.DFM", kForm}, {"A.dfb", kForm}, {"A.dft", kText}}},
      {.name = "trailing bytes are kept only in the backup",
       .files = {{"job.scr", "RENS>x,y\r\n"}, {"A.DFM", kForm + "trailing"}},
       .output = "A.DFM ...No change\n",
       .after = {{"A.DFM", kForm}, {"A.dfb", kForm + "trailing"}}},
      {.name = "read-only form named",
       .files = {{"job.scr", kRename}, {"A.DFM", kForm}},
       .readOnly = {"A.DFM"},
       .arguments = {"job.scr", "A.DFM"},
       .exitCode = 1,
       .output = "A.DFM ..." + Report("EFOpenError", "Cannot open file A.DFM."),
       .entries = {"A.DFM", "job.scr"}},
      {.name = "directory named like a form",
       .files = {{"job.scr", kRename}},
       .directories = {"D.DFM"},
       .exitCode = 1,
       .output = "D.DFM ..." + Report("EFOpenError", "Cannot open file D.DFM.")},
      {.name = "read-only backup",
       .files = {{"job.scr", kRename}, {"A.DFM", kForm}, {"A.dfb", "old backup"}},
       .readOnly = {"A.dfb"},
       .exitCode = 1,
       .output = "A.DFM ..." + Report("EFCreateError", "Cannot create file A.dfb."),
       .after = {{"A.DFM", kForm}, {"A.dfb", "old backup"}, {"A.dft", "<missing>"}}},
      // Both side files are in place before the form is replaced; a failed file logs nothing.
      {.name = "side file that cannot be written leaves the form",
       .files = {{"job.scr", kRename}, {"A.DFM", kForm}},
       .directories = {"A.dft"},
       .exitCode = 1,
       .output = "A.DFM ..." + Report("EFCreateError", "Cannot create file A.dft."),
       .after = {{"A.DFM", kForm}},
       .entries = {"A.DFM", "A.dfb", "A.dft", "job.scr"}},
      {.name = "not a form: backup only, later forms untouched",
       .files = {{"job.scr", kRename}, {"A.DFM", "Caption = 1\r\n"}, {"B.DFM", kForm}},
       .exitCode = 1,
       .output = "A.DFM ..." + Report("EInvalidImage", "Invalid stream format."),
       .after = {{"A.dfb", "Caption = 1\r\n"}, {"A.dft", "<missing>"}, {"B.DFM", kForm}},
       .entries = {"A.DFM", "A.dfb", "B.DFM", "job.scr"}},
      {.name = "text that does not compile is kept, the form stays",
       .files = {{"job.scr", kRename}, {"A.DFM", Renamed(kForm, "TOldPanel", "9OldPanel")}},
       .exitCode = 1,
       .output = "A.DFM ..." + Report("EParserError", "Identifier expected on line 3."),
       .after = {{"A.DFM", Renamed(kForm, "TOldPanel", "9OldPanel")}, {"A.dft", notCompiling}},
       .entries = {"A.DFM", "A.dfb", "A.dft", "job.scr"}},
  };
  for (const Scenario& c : cases) RunScenario(c);
}

TEST(FormPassE2E, FormHeldByAReaderCannotBeOpened) {
  TempDir dir;
  dir.Write("job.scr", kRename);
  dir.Write("A.DFM", kForm);
  RunResult run = RunReshapeWhileHeld(dir / "A.DFM", HeldFile::Mode::Reading, dir.Path(), {"job.scr"});
  EXPECT_EQ(MaskAddress(run.Output), "A.DFM ..." + Report("EFOpenError", "Cannot open file A.DFM."));
  EXPECT_EQ(dir.Read("A.DFM"), kForm);
}

// Build tools look at modification times: a run that changes no byte must not touch them.
TEST(FormPassE2E, UnchangedFilesKeepTheirModificationTimeAndASecondRunBacksUpTheFirst) {
  TempDir dir;
  dir.Write("job.scr", "RENC>TOther,TNew\r\n");
  dir.Write("A.DFM", kForm);
  dir.Write("A.PAS", "TOld\r\n");
  // Times are compared as the file system stores them: it may round what was set.
  const auto old = std::filesystem::file_time_type::clock::now() - std::chrono::hours(48);
  std::map<std::string, std::filesystem::file_time_type> before;
  for (const char* name : {"A.DFM", "A.PAS"}) {
    std::filesystem::last_write_time(dir / name, old);
    before[name] = std::filesystem::last_write_time(dir / name);
  }
  EXPECT_EQ(RunReshape(dir.Path(), {"job.scr"}).Output, "A.PAS...No change\nA.DFM ...No change\n");
  for (const char* name : {"A.DFM", "A.PAS"})
    EXPECT_EQ(std::filesystem::last_write_time(dir / name), before[name]) << name;
  EXPECT_TRUE(dir.Exists("A.dfb") && dir.Exists("A.dft"));
  // A second run backs up what the first left.
  dir.Write("job.scr", kRename);
  RunReshape(dir.Path(), {"job.scr"});
  std::string afterFirst = dir.Read("A.DFM");
  EXPECT_EQ(RunReshape(dir.Path(), {"job.scr"}).Output, "A.PAS...No change\nA.DFM ...No change\n");
  EXPECT_EQ(dir.Read("A.dfb"), afterFirst);
}

}  // namespace
}  // namespace reshape::e2e
