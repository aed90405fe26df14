// End-to-end runs of the script reader and the source, unit and project passes.
#include <filesystem>

#include <gtest/gtest.h>

#include "e2e_harness.h"
#include "e2e_scenario.h"

namespace reshape::e2e {
namespace {

const std::string kRenamed = "A.PAS> Renamed class \"TFoo\" to \"TBar\"\r\n";

std::string SyntaxError(const std::string& format, int line) {
  return Report("EAssertionFailed", "Syntax error: " + format +
                                        " (N:\\Builds\\Common\\Reshape, line " +
                                        std::to_string(line) + ").");
}

TEST(ScriptE2E, ScriptsThatRunNothing) {
  const Scenario cases[] = {
      {.name = "missing comma",
       .files = {{"job.scr", "RENC>TA,TB\r\nRENC>TFoo\r\n"}, {"A.PAS", "TA\r\n"}},
       .exitCode = 1,
       .output = SyntaxError("RENC>TOldClassName,TNewClassName", 137),
       .after = {{"A.PAS", "TA\r\n"}, {"job.LOG", "<missing>"}}},
      {.name = "no commands",
       .files = {{"job.scr", "just text\r\n\r\nRENC\r\n RENC>A,B\r\n"}, {"A.PAS", "A\n"}},
       .after = {{"A.PAS", "A\n"}}},
  };
  for (const Scenario& c : cases) RunScenario(c);
}

TEST(ScriptE2E, DefaultScriptIsFoundBesideTheExecutable) {
  TempDir dir;
  std::filesystem::create_directory(dir / "bin");
  std::filesystem::create_directory(dir / "work");
  std::string executable = dir / ("bin/" + ModuleName());
  std::filesystem::copy_file(ReshapeExecutable(), executable);

  RunResult missing = RunReshape(dir / "work", {}, executable);
  EXPECT_EQ(missing.ExitCode, 1);
  EXPECT_EQ(MaskAddress(missing.Output),
            Report("EFOpenError", "Cannot open file " + (dir / "bin/RESHAPE.SCR") + "."));

  dir.Write("bin/RESHAPE.SCR", "RENC>TFoo,TBar\r\n");
  dir.Write("work/A.PAS", "x: TFoo;\r\n");
  RunResult run = RunReshape(dir / "work", {}, executable);
  EXPECT_EQ(run.ExitCode, 0);
  EXPECT_EQ(run.Output, "A.PAS...Converted\n");
  EXPECT_EQ(dir.Read("work/A.PAS"), "x: TBar;\r\n");
  EXPECT_EQ(dir.Read("work/RESHAPE.LOG"), "A.PAS> Renamed class \"TFoo\" to \"TBar\"\r\n");
}

TEST(InformationE2E, HelpAndVersion) {
  TempDir dir;
  for (const char* option : {"--help", "-h", "--version"}) {
    RunResult run = RunReshape(dir.Path(), {option});
    EXPECT_EQ(run.ExitCode, 0);
    EXPECT_TRUE(run.Output.starts_with(option[2] == 'v' ? "reshape " : "Usage: reshape [SCRIPT [FILE...]]\n"));
  }
}

TEST(SourcePassE2E, Runs) {
  const std::string renc = "RENC>TFoo,TBar\r\n";
  const Scenario cases[] = {
      {.name = "masks in order, progress, log and files",
       .files = {{"job.scr", renc + "RENS>abc,xyz\r\n"}, {"D.H", std::string("\xEF\xBB\xBF\0class TFoo;\r\n\x1Atail TFoo", 27)},
                 {"B.CPP", "TFoo::TFoo() {}\n"}, {"C.HPP", "nothing here"}, {"notes.txt", "TFoo"},
                 {"a.pas", "var A: tfoo; B: TFoo;\r\ns := 'abc';\r\nTFooBar\r\n"},
                 {"E.INC", "{$IFDEF X}TFoo{$ENDIF}\r\n"}, {"F.DPR", "Application.CreateForm(TFoo, Foo);\r\n"}},
       .output = "a.pas...Converted\nB.CPP...Converted\nC.HPP...No change\nD.H...Converted\n"
                 "F.DPR...Converted\nE.INC...Converted\n",
       .after = {{"a.pas", "var A: TBar; B: TBar;\r\ns := 'xyz';\r\nTFooBar\r\n"},
                 {"B.CPP", "TBar::TBar() {}\n"}, {"C.HPP", "nothing here"},
                 {"D.H", std::string("\xEF\xBB\xBF\0class TBar;\r\n\x1Atail TFoo", 27)}, {"notes.txt", "TFoo"}, {"a.XXX", "<missing>"},
                 {"E.INC", "{$IFDEF X}TBar{$ENDIF}\r\n"}, {"F.DPR", "Application.CreateForm(TBar, Foo);\r\n"},
                 {"job.LOG", kRenamed + kRenamed + "A.PAS> Renamed string \"abc\" to \"xyz\"\r\n"
                             "B.CPP> Renamed class \"TFoo\" to \"TBar\"\r\n"
                             "B.CPP> Renamed class \"TFoo\" to \"TBar\"\r\n"
                             "D.H> Renamed class \"TFoo\" to \"TBar\"\r\n"
                             "F.DPR> Renamed class \"TFoo\" to \"TBar\"\r\n"
                             "E.INC> Renamed class \"TFoo\" to \"TBar\"\r\n"}}},
      {.name = "UTF-16 files left as they are in every pass",
       .files = {{"job.scr", renc + "RENU>Old,New\r\n"},
                 {"W.PAS", std::string("\xFF\xFEu\0n\0i\0t\0 \0O\0l\0d\0", 18)}},
       .output = "W.PAS...UTF-16, not converted\nW.PAS...UTF-16, not converted\n",
       .after = {{"W.PAS", std::string("\xFF\xFEu\0n\0i\0t\0 \0O\0l\0d\0", 18)},
                 {"job.LOG", "<missing>"}}},
      {.name = "named files in command line order, only for matching passes",
       .files = {{"job.scr", "RENU>Old,New\r\nPKGR>Old,New\r\n"}, {"A.PAS", "uses Old;\r\n"},
                 {"B.PAS", "uses Other;\r\n"}, {"P.BPR", "Old.bpl\r\n"}, {"F.DFM", "uses Old;\r\n"},
                 {"C.PAS", "uses Old;\r\n"}},
       .arguments = {"job.scr", "B.PAS", "F.DFM", "A.PAS", "P.BPR", "B.PAS"},
       .output = "B.PAS...No change\nA.PAS...Converted\nB.PAS...No change\nP.BPR...Converted\n",
       .after = {{"F.DFM", "uses Old;\r\n"}, {"C.PAS", "uses Old;\r\n"},
                 {"P.BPR", "New.bpl\r\n"}}},
      {.name = "searched directory named like a source file",
       .files = {{"job.scr", renc}, {"Z.PAS", "TFoo\r\n"}},
       .directories = {"OLD.PAS"},
       .exitCode = 1,
       .output = "OLD.PAS..." + Report("EInOutError", "File access denied."),
       .after = {{"Z.PAS", "TFoo\r\n"}}},
  };
  for (const Scenario& c : cases) RunScenario(c);
}

TEST(PassesE2E, EachPassRunsForItsKindsOfCommandWithItsMasksInOrder) {
  const std::string source =
      "A.PAS...No change\nB.CPP...No change\nC.HPP...No change\nD.H...No change\n"
      "H.DPR...No change\nI.INC...No change\n";
  const std::string unit = "A.PAS...No change\nE.DPK...No change\nH.DPR...No change\nI.INC...No change\n"
                           "B.CPP...No change\nC.HPP...No change\nD.H...No change\n";
  const std::string form = "F.DFM ...No change\n";
  const std::string project =
      "G.BPR...No change\nJ.BPK...No change\nK.DPROJ...No change\nL.CBPROJ...No change\nE.DPK...No change\n";
  const std::pair<std::string, std::string> cases[] = {
      {"RENC>TNone,TX\r\n", source + form},
      {"RENU>None,X\r\n", unit},
      {"PKGR>none,x\r\n", project},
      {"RENP>None,X\r\n", form},
      {"PSET>TNone:P=V,S[E]\r\n", form},
      {"PKGR>none,x\r\nDELP>None\r\nRENU>None,X\r\nRENS>none,x\r\n",
       source + unit + form + project},
  };
  Tree files = {{"F.DFM", CompileFormText("object F: TF\r\nend\r\n")}};
  for (const char* name : {"G.BPR", "E.DPK", "D.H", "C.HPP", "B.CPP", "A.PAS", "notes.txt", "H.DPR", "I.INC",
                            "J.BPK", "K.DPROJ", "L.CBPROJ"})
    files[name] = "text\r\n";
  for (const auto& [script, output] : cases) {
    files["job.scr"] = script;
    RunScenario({.name = script.c_str(), .files = files, .output = output,
                 .after = {{"job.LOG", "<missing>"}}});
  }
}

TEST(SourcePassE2E, FailuresEndTheRunAndLeaveTheFileUnchanged) {
  const std::pair<std::string, std::string> cases[] = {
      {"RO.PAS", "RO.PAS..." + Report("EInOutError", "File access denied.")},
      {"NONE.PAS", "NONE.PAS..." + Report("EInOutError", "File not found.")},
      {"DIR.PAS", "DIR.PAS..." + Report("EInOutError", "File access denied.")},
  };
  for (const auto& [named, output] : cases)
    RunScenario({.name = named.c_str(),
                 .files = {{"job.scr", "RENC>TFoo,TBar\r\n"}, {"RO.PAS", "x\n"},
                           {"A.PAS", "TFoo\n"}},
                 .directories = {"DIR.PAS"},
                 .readOnly = {"RO.PAS"},
                 .arguments = {"job.scr", named, "A.PAS"},
                 .exitCode = 1,
                 .output = output,
                 .after = {{"RO.PAS", "x\n"}, {"A.PAS", "TFoo\n"}},
                 .entries = {"A.PAS", "DIR.PAS", "RO.PAS", "job.scr"}});
}

TEST(ChangeLogE2E, AppendsAndCutsAtAnEndOfTextMarkInTheLast128Bytes) {
  const std::string a200(200, 'a'), b127(127, 'b');
  const std::pair<std::string, std::string> cases[] = {
      {"\x1A" + a200, "\x1A" + a200 + kRenamed},  // before the last 128 bytes
      {a200 + "\x1A" + b127, a200 + kRenamed},     // the first of the last 128 bytes
      {"OLD> line\r\n\x1A" "garbage", "OLD> line\r\n" + kRenamed},
  };
  for (const auto& [before, after] : cases)
    RunScenario({.files = {{"job.scr", "RENC>TFoo,TBar\r\n"}, {"job.LOG", before},
                           {"A.PAS", "TFoo\r\n"}},
                 .output = "A.PAS...Converted\n",
                 .after = {{"job.LOG", after}}});
}

TEST(ChangeLogE2E, UnwritableLogEndsTheRunWithTheFileUnchanged) {
  TempDir dir;
  dir.Write("job.scr", "RENC>TFoo,TBar\r\n");
  dir.Write("A.PAS", "TFoo\r\n");
  dir.Write("job.LOG", "");
  dir.SetReadOnly("job.LOG");
  RunResult readOnly = RunReshape(dir.Path(), {"job.scr"});
  EXPECT_EQ(readOnly.ExitCode, 1);
  EXPECT_EQ(MaskAddress(readOnly.Output),
            "A.PAS..." + Report("EInOutError", "File access denied."));
  EXPECT_EQ(dir.Read("A.PAS"), "TFoo\r\n");
  dir.SetReadOnly("job.LOG", false);

  RunResult locked =
      RunReshapeWhileHeld(dir / "job.LOG", HeldFile::Mode::Exclusive, dir.Path(), {"job.scr"});
  EXPECT_EQ(locked.ExitCode, 1);
  EXPECT_EQ(MaskAddress(locked.Output), "A.PAS..." + Report("EInOutError", "I/O error 32."));
  EXPECT_EQ(dir.Read("A.PAS"), "TFoo\r\n");
  EXPECT_EQ(dir.List(), (std::vector<std::string>{"A.PAS", "job.LOG", "job.scr"}));
}

}  // namespace
}  // namespace reshape::e2e
