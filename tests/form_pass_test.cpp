// End-to-end runs of the form pass: backups, text forms, rewritten forms, console and log.
#include <filesystem>

#include <gtest/gtest.h>

#include "e2e_harness.h"
#include "e2e_scenario.h"
#include "forms/test_stream_builder.h"

namespace reshape::e2e {
namespace {

std::string FormFile(const std::string& text) { return CompileFormText(text); }

const std::string kPanelText =
    "object Form1: TForm1\r\n"
    "  Left = 8\r\n"
    "  Caption = 'Main'\r\n"
    "  object Panel1: TOldPanel\r\n"
    "    Tag = -1\r\n"
    "  end\r\n"
    "end\r\n";

std::string Renamed(std::string text, const std::string& from, const std::string& to) {
  return text.replace(text.find(from), from.size(), to);
}

TEST(FormPassE2E, Runs) {
  const std::string original = FormFile(kPanelText);
  test::FormBytes keywords;
  keywords.Signature().Object("TForm1", "Form1").Prop("Left").Int8(1).Prop("End").Int8(5);
  keywords.Prop("Object").Int8(6).Prop("Top").Int8(2).End();
  keywords.Object("TButton", "B").Prop("End").Int8(7).End().End().End();
  const std::string keywordForm = test::FormFile("TFORM1", keywords);
  const Scenario cases[] = {
      {.name = "class rename with backup, text and log",
       .files = {{"job.scr", "RENC>toldpanel,TPanelEx\r\n"}, {"Main.dfm", original}},
       .output = "Main.dfm ...Converted\n",
       .after = {{"Main.dfb", original}, {"Main.dft", kPanelText},
                 {"Main.dfm", FormFile(Renamed(kPanelText, "TOldPanel", "TPanelEx"))},
                 {"job.LOG", "MAIN.DFM> Renamed class \"toldpanel\" to \"TPanelEx\"\r\n"}},
       .entries = {"Main.dfb", "Main.dfm", "Main.dft", "job.LOG", "job.scr"}},
      {.name = "string renames only rewrite forms unchanged",
       .files = {{"job.scr", "RENS>Main,Other\r\n"}, {"A.DFM", original}, {"A.PAS", "Main\r\n"}},
       .output = "A.PAS...Converted\nA.DFM ...No change\n",
       .after = {{"A.DFM", original}, {"A.dfb", original}, {"A.dft", kPanelText}}},
      {.name = "trailing bytes are kept only in the backup",
       .files = {{"job.scr", "RENS>x,y\r\n"}, {"A.DFM", original + "trailing"}},
       .output = "A.DFM ...No change\n",
       .after = {{"A.DFM", original}, {"A.dfb", original + "trailing"}}},
      {.name = "properties named like keywords survive unchanged",
       .files = {{"job.scr", "RENS>x,y\r\n"}, {"A.DFM", keywordForm}},
       .output = "A.DFM ...No change\n",
       .after = {{"A.DFM", keywordForm}}},
      {.name = "read-only form named",
       .files = {{"job.scr", "RENC>TOldPanel,TPanelEx\r\n"}, {"A.DFM", original}},
       .readOnly = {"A.DFM"},
       .arguments = {"job.scr", "A.DFM"},
       .exitCode = 1,
       .output = "A.DFM ..." + Report("EFOpenError", "Cannot open file A.DFM."),
       .entries = {"A.DFM", "job.scr"}},
      {.name = "directory named like a form",
       .files = {{"job.scr", "RENC>TOldPanel,TPanelEx\r\n"}},
       .directories = {"D.DFM"},
       .exitCode = 1,
       .output = "D.DFM ..." + Report("EFOpenError", "Cannot open file D.DFM.")},
      {.name = "read-only backup",
       .files = {{"job.scr", "RENC>TOldPanel,TPanelEx\r\n"}, {"A.DFM", original},
                 {"A.dfb", "old backup"}},
       .readOnly = {"A.dfb"},
       .exitCode = 1,
       .output = "A.DFM ..." + Report("EFCreateError", "Cannot create file A.dfb."),
       .after = {{"A.DFM", original}, {"A.dfb", "old backup"}}},
  };
  for (const Scenario& c : cases) RunScenario(c);
}

TEST(FormPassE2E, FailuresLeaveTheFormFileUnchanged) {
  const std::string good = FormFile(kPanelText);
  // A class name that is no identifier converts to text but cannot compile back.
  const std::string badText = Renamed(kPanelText, "TOldPanel", "9OldPanel");
  struct Case {
    std::string form;
    std::string output;
    std::string text = "<missing>";
  };
  const Case cases[] = {
      {"", Report("EInvalidImage", "Invalid stream format.")},
      {kPanelText, Report("EInvalidImage", "Invalid stream format.")},
      {good.substr(0, good.size() - 3), Report("EReadError", "Stream read error.")},
      {good.substr(0, 16) + "XXXX" + good.substr(20),
       Report("EReadError", "Invalid stream format.")},
      {Renamed(good, "TOldPanel", "9OldPanel"),
       Report("EParserError", "Identifier expected on line 4."), badText},
  };
  for (const Case& c : cases)
    RunScenario({.name = c.output.c_str(),
                 .files = {{"job.scr", "RENC>TOldPanel,TPanelEx\r\n"}, {"A.DFM", c.form},
                           {"B.DFM", good}},
                 .exitCode = 1,
                 .output = "A.DFM ..." + c.output,
                 .after = {{"A.DFM", c.form}, {"A.dfb", c.form}, {"A.dft", c.text},
                           {"B.DFM", good}, {"A.XXX", "<missing>"}}});
}

TEST(FormPassE2E, FormHeldByAReaderCannotBeOpened) {
  TempDir dir;
  dir.Write("job.scr", "RENC>TOldPanel,TPanelEx\r\n");
  dir.Write("A.DFM", FormFile(kPanelText));
  RunResult run =
      RunReshapeWhileHeld(dir / "A.DFM", HeldFile::Mode::Reading, dir.Path(), {"job.scr"});
  EXPECT_EQ(MaskAddress(run.Output),
            "A.DFM ..." + Report("EFOpenError", "Cannot open file A.DFM."));
  EXPECT_EQ(dir.Read("A.DFM"), FormFile(kPanelText));
}

TEST(FormPassE2E, SecondRunBacksUpWhatTheFirstLeft) {
  TempDir dir;
  dir.Write("job.scr", "RENC>TOldPanel,TPanelEx\r\n");
  dir.Write("A.DFM", FormFile(kPanelText));
  RunReshape(dir.Path(), {"job.scr"});
  std::string afterFirst = dir.Read("A.DFM");
  RunResult second = RunReshape(dir.Path(), {"job.scr"});
  EXPECT_EQ(second.Output, "A.DFM ...No change\n");
  EXPECT_EQ(dir.Read("A.dfb"), afterFirst);
  EXPECT_EQ(dir.Read("A.DFM"), afterFirst);
}

}  // namespace
}  // namespace reshape::e2e
