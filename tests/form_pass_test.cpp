// End-to-end runs of the form pass: backups, text forms (edited in place), replaced forms, console
// and log.
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

// A text form, edited in place.
const std::string kTextForm =
    "\xEF\xBB\xBFobject Form1: TForm1\n  Caption = 'Main'\n  object P: TOldPanel\n    Ctl3D = False\n  end\nend";
const std::string kMigrated =
    Renamed(Renamed(kTextForm, "TOldPanel", "TPanelEx"), "Ctl3D = False", "Options = [poFlat]");
const std::string kUtf16("o\0b\0j\0e\0c\0t\0", 12);
const char* kTextScript = "RENC>TOldPanel,TPanelEx\r\nPSET>TPanelEx:Ctl3D=False,Options[poFlat]\r\n";

TEST(FormPassE2E, Runs) {
  const std::string notCompiling = Renamed(kText, "Panel1", "9anel1");
  const Scenario cases[] = {
      {.name = "class rename with backup, text and log",
       .files = {{"job.scr", kRename}, {"Main.dfm", kForm}},
       .output = "Main.dfm ...Converted\n",
       .after = {{"Main.dfb", kForm}, {"Main.dft", kText},
                 {"Main.dfm", CompileFormText(Renamed(kText, "TOldPanel", "TPanelEx"))},
                 {"job.LOG", "MAIN.DFM> Renamed class \"toldpanel\" to \"TPanelEx\"\r\n"}},
       .entries = {"Main.dfb", "Main.dfm", "Main.dft", "job.LOG", "job.scr"}},
      {.name = "a rule fires: trailing bytes stay, the backup is renewed",
       .files = {{"job.scr", kRename}, {"A.DFM", kForm + "trailing"}, {"A.dfb", "old"}},
       .output = "A.DFM ...Converted\n",
       .after = {{"A.DFM", CompileFormText(Renamed(kText, "TOldPanel", "TPanelEx")) + "trailing"},
                 {"A.dfb", kForm + "trailing"}}},
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
       .files = {{"job.scr", kRename}, {"A.DFM", Renamed(kForm, "Panel1", "9anel1")}},
       .exitCode = 1,
       .output = "A.DFM ..." + Report("EParserError", "Identifier expected on line 3."),
       .after = {{"A.DFM", Renamed(kForm, "Panel1", "9anel1")}, {"A.dft", notCompiling}},
       .entries = {"A.DFM", "A.dfb", "A.dft", "job.scr"}},
      {.name = "no rule can act: not compiled, so a text that would not compile does not fail",
       .files = {{"job.scr", kRename}, {"A.DFM", Renamed(kForm, "TOldPanel", "9OldPanel")}},
       .output = "A.DFM ...No change\n",
       .after = {{"A.DFM", Renamed(kForm, "TOldPanel", "9OldPanel")},
                 {"A.dft", Renamed(kText, "TOldPanel", "9OldPanel")}},
       .entries = {"A.DFM", "A.dfb", "A.dft", "job.scr"}},
      {.name = "edited in place, byte copy, no text side file",
       .files = {{"job.scr", kTextScript}, {"A.dfm", kTextForm}},
       .output = "A.dfm ...Converted\n",
       .after = {{"A.dfm", kMigrated}, {"A.dfb", kTextForm},
                 {"job.LOG", "A.DFM> Renamed class \"TOldPanel\" to \"TPanelEx\"\r\n"
                             "A.DFM> Converted propertry \"TPanelEx.Ctl3D = False\" to "
                             "\"TPanelEx.Options[poFlat]\"\r\n"}},
       .entries = {"A.dfb", "A.dfm", "job.LOG", "job.scr"}},
      {.name = "a text that does not read stays, without log",
       .files = {{"job.scr", kTextScript}, {"A.dfm", kTextForm + "\nobject"}, {"B.dfm", "inline"}},
       .exitCode = 1,
       .output = "A.dfm ...Converted\nB.dfm ..." + Report("EParserError", "Identifier expected on line 1."),
       .after = {{"B.dfm", "inline"}, {"B.dfb", "inline"}, {"B.dft", "<missing>"}}},
      // UTF-16, with a byte-order mark of either order or without one: no side file, no failure.
      {.name = "UTF-16 forms stay as they are",
       .files = {{"job.scr", kRename}, {"A.DFM", "\xFF\xFE" + kUtf16}, {"B.DFM", "\xFE\xFF" + kUtf16},
                 {"C.DFM", kUtf16}, {"D.DFM", kForm}},
       .output = "A.DFM ...UTF-16, not converted\nB.DFM ...UTF-16, not converted\n"
                 "C.DFM ...UTF-16, not converted\nD.DFM ...Converted\n",
       .after = {{"A.DFM", "\xFF\xFE" + kUtf16}, {"C.DFM", kUtf16}},
       .entries = {"A.DFM", "B.DFM", "C.DFM", "D.DFM", "D.dfb", "D.dft", "job.LOG", "job.scr"}},
      {.name = "UTF-16 form named",
       .files = {{"job.scr", kRename}, {"W.DFM", kUtf16.substr(1) + '\0'}},
       .arguments = {"job.scr", "W.DFM"},
       .output = "W.DFM ...UTF-16, not converted\n",
       .entries = {"W.DFM", "job.scr"}},
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

// Build tools look at modification times: a run that changes no byte must not touch them, nor
// replace the file (a binary form, a text form, a source).
TEST(FormPassE2E, UnchangedFilesKeepTheirModificationTimeAndTheirBackup) {
  TempDir dir;
  dir.Write("job.scr", "RENC>TOther,TNew\r\n");
  dir.Write("A.DFM", kForm);
  dir.Write("A.PAS", "TOld\r\n");
  dir.Write("T.dfm", "object T: TText\nend");
  // Times are compared as the file system stores them: it may round what was set.
  const auto old = std::filesystem::file_time_type::clock::now() - std::chrono::hours(48);
  std::map<std::string, std::filesystem::file_time_type> before;
  for (const char* name : {"A.DFM", "A.PAS", "T.dfm"}) {
    std::filesystem::last_write_time(dir / name, old);
    before[name] = std::filesystem::last_write_time(dir / name);
  }
  const std::string noChange = "A.PAS...No change\nA.DFM ...No change\nT.dfm ...No change\n";
  EXPECT_EQ(RunReshape(dir.Path(), {"job.scr"}).Output, noChange);
  for (const char* name : {"A.DFM", "A.PAS", "T.dfm"})
    EXPECT_EQ(std::filesystem::last_write_time(dir / name), before[name]) << name;
  EXPECT_EQ(dir.List(), (std::vector<std::string>{"A.DFM", "A.PAS", "A.dfb", "A.dft", "T.dfb", "T.dfm", "job.scr"}));
  // A run that changes nothing keeps the backup that the last run that changed it made.
  dir.Write("job.scr", kRename);
  RunReshape(dir.Path(), {"job.scr"});
  EXPECT_EQ(RunReshape(dir.Path(), {"job.scr"}).Output, noChange);
  EXPECT_EQ(dir.Read("A.dfb"), kForm);
}

}  // namespace
}  // namespace reshape::e2e
