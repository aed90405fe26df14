// End-to-end runs of the form pass: backups, text forms, rewritten forms, console and log.
#include <filesystem>

#include <gtest/gtest.h>

#include "e2e_harness.h"
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

TEST(FormPassE2E, ClassRenameWithBackupTextAndLog) {
  TempDir dir;
  std::string original = FormFile(kPanelText);
  dir.Write("job.scr", "RENC>toldpanel,TPanelEx\r\n");
  dir.Write("Main.dfm", original);
  RunResult run = RunReshape(dir.Path(), {"job.scr"});
  EXPECT_EQ(run.ExitCode, 0);
  EXPECT_EQ(run.Output, "Main.dfm ...Converted\n");
  EXPECT_EQ(dir.Read("Main.dfb"), original);
  EXPECT_EQ(dir.Read("Main.dft"), kPanelText);
  std::string renamed = kPanelText;
  renamed.replace(renamed.find("TOldPanel"), 9, "TPanelEx");
  EXPECT_EQ(dir.Read("Main.dfm"), FormFile(renamed));
  EXPECT_EQ(dir.Read("job.LOG"), "MAIN.DFM> Renamed class \"toldpanel\" to \"TPanelEx\"\r\n");
  EXPECT_EQ(dir.List(), (std::vector<std::string>{"Main.dfb", "Main.dfm", "Main.dft", "job.LOG", "job.scr"}));
}

TEST(FormPassE2E, RootRenameChangesTheResourceName) {
  TempDir dir;
  dir.Write("job.scr", "RENC>TForm1,TMainForm\r\n");
  dir.Write("F.DFM", FormFile(kPanelText));
  RunResult run = RunReshape(dir.Path(), {"job.scr"});
  EXPECT_EQ(run.Output, "F.DFM ...Converted\n");
  EXPECT_EQ(dir.Read("F.DFM").substr(0, 15), std::string("\xFF\x0A\x00TMAINFORM\x00\x30\x10", 15));
}

TEST(FormPassE2E, StringRenamesOnlyRewriteFormsUnchanged) {
  TempDir dir;
  std::string original = FormFile(kPanelText);
  dir.Write("job.scr", "RENS>Main,Other\r\n");
  dir.Write("A.DFM", original);
  dir.Write("A.PAS", "Main\r\n");
  RunResult run = RunReshape(dir.Path(), {"job.scr"});
  EXPECT_EQ(run.ExitCode, 0);
  EXPECT_EQ(run.Output, "A.PAS...Converted\nA.DFM ...No change\n");
  EXPECT_EQ(dir.Read("A.DFM"), original);
  EXPECT_EQ(dir.Read("A.dfb"), original);
  EXPECT_EQ(dir.Read("A.dft"), kPanelText);
}

TEST(FormPassE2E, FailuresLeaveTheFormFileUnchanged) {
  std::string good = FormFile(kPanelText);
  // A class name that is no identifier converts to text but cannot compile back.
  std::string badClass = good;
  badClass.replace(badClass.find("TOldPanel"), 9, "9OldPanel");
  struct Case {
    const char* name;
    std::string form;
    std::string expected;
    bool backup;
    bool text;
  };
  const Case cases[] = {
      {"empty", "", Report("EInvalidImage", "Invalid stream format."), true, false},
      {"text instead of binary", kPanelText, Report("EInvalidImage", "Invalid stream format."), true, false},
      {"truncated", good.substr(0, good.size() - 3), Report("EReadError", "Stream read error."), true, false},
      {"no signature", good.substr(0, 16) + "XXXX" + good.substr(20),
       Report("EReadError", "Invalid stream format."), true, false},
      {"does not compile", badClass, Report("EParserError", "Identifier expected on line 4."), true, true},
  };
  for (const Case& c : cases) {
    TempDir dir;
    dir.Write("job.scr", "RENC>TOldPanel,TPanelEx\r\n");
    dir.Write("A.DFM", c.form);
    dir.Write("B.DFM", good);
    RunResult run = RunReshape(dir.Path(), {"job.scr"});
    EXPECT_EQ(run.ExitCode, 1) << c.name;
    EXPECT_EQ(MaskAddress(run.Output), "A.DFM ..." + c.expected) << c.name;
    EXPECT_EQ(dir.Read("A.DFM"), c.form) << c.name;
    EXPECT_EQ(dir.Exists("A.dfb"), c.backup) << c.name;
    if (c.backup) {
      EXPECT_EQ(dir.Read("A.dfb"), c.form) << c.name;
    }
    EXPECT_EQ(dir.Exists("A.dft"), c.text) << c.name;
    EXPECT_EQ(dir.Read("B.DFM"), good) << c.name;
    EXPECT_FALSE(dir.Exists("A.XXX")) << c.name;
  }
}

TEST(FormPassE2E, FormThatCannotBeOpenedOrBackedUp) {
  std::string good = FormFile(kPanelText);
  {
    TempDir dir;
    dir.Write("job.scr", "RENC>TOldPanel,TPanelEx\r\n");
    dir.Write("A.DFM", good);
    dir.SetReadOnly("A.DFM");
    RunResult run = RunReshape(dir.Path(), {"job.scr", "A.DFM"});
    EXPECT_EQ(MaskAddress(run.Output), "A.DFM ..." + Report("EFOpenError", "Cannot open file A.DFM."));
    EXPECT_EQ(dir.List(), (std::vector<std::string>{"A.DFM", "job.scr"}));
  }
  {
    TempDir dir;
    dir.Write("job.scr", "RENC>TOldPanel,TPanelEx\r\n");
    dir.Write("A.DFM", good);
    RunResult run;
    {
      HeldFile held(dir / "A.DFM", HeldFile::Mode::Reading);
      run = RunReshape(dir.Path(), {"job.scr"});
    }
    EXPECT_EQ(MaskAddress(run.Output), "A.DFM ..." + Report("EFOpenError", "Cannot open file A.DFM."));
    EXPECT_EQ(dir.Read("A.DFM"), good);
  }
  {
    TempDir dir;
    dir.Write("job.scr", "RENC>TOldPanel,TPanelEx\r\n");
    std::filesystem::create_directory(dir / "D.DFM");
    RunResult run = RunReshape(dir.Path(), {"job.scr"});
    EXPECT_EQ(MaskAddress(run.Output), "D.DFM ..." + Report("EFOpenError", "Cannot open file D.DFM."));
  }
  {
    TempDir dir;
    dir.Write("job.scr", "RENC>TOldPanel,TPanelEx\r\n");
    dir.Write("A.DFM", good);
    dir.Write("A.dfb", "old backup");
    dir.SetReadOnly("A.dfb");
    RunResult run = RunReshape(dir.Path(), {"job.scr"});
    EXPECT_EQ(MaskAddress(run.Output), "A.DFM ..." + Report("EFCreateError", "Cannot create file A.dfb."));
    EXPECT_EQ(dir.Read("A.DFM"), good);
    EXPECT_EQ(dir.Read("A.dfb"), "old backup");
  }
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

TEST(FormPassE2E, TrailingBytesAreKeptOnlyInTheBackup) {
  TempDir dir;
  std::string good = FormFile(kPanelText);
  dir.Write("job.scr", "RENS>x,y\r\n");
  dir.Write("A.DFM", good + "trailing");
  RunResult run = RunReshape(dir.Path(), {"job.scr"});
  EXPECT_EQ(run.Output, "A.DFM ...No change\n");
  EXPECT_EQ(dir.Read("A.DFM"), good);
  EXPECT_EQ(dir.Read("A.dfb"), good + "trailing");
}

TEST(FormPassE2E, PropertiesNamedLikeKeywordsSurviveUnchanged) {
  test::FormBytes stream;
  stream.Signature().Object("TForm1", "Form1").Prop("Left").Int8(1).Prop("End").Int8(5);
  stream.Prop("Object").Int8(6).Prop("Top").Int8(2).End();
  stream.Object("TButton", "B").Prop("End").Int8(7).End().End().End();
  std::string form = test::FormFile("TFORM1", stream);
  TempDir dir;
  dir.Write("job.scr", "RENS>x,y\r\n");
  dir.Write("A.DFM", form);
  RunResult run = RunReshape(dir.Path(), {"job.scr"});
  EXPECT_EQ(run.ExitCode, 0);
  EXPECT_EQ(run.Output, "A.DFM ...No change\n");
  EXPECT_EQ(dir.Read("A.DFM"), form);
}

}  // namespace
}  // namespace reshape::e2e
