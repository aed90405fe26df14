// End-to-end runs of the script reader and the source, unit and project passes.
#include <filesystem>

#include <gtest/gtest.h>

#include "e2e_harness.h"

namespace reshape::e2e {
namespace {

TEST(ScriptE2E, FailuresBeforeAnyPass) {
  struct Case {
    const char* name;
    std::string script;
    std::string expected;
  };
  const Case cases[] = {
      {"missing comma", "RENC>TA,TB\r\nRENC>TFoo\r\n",
       Report("EAssertionFailed",
              "Syntax error: RENC>TOldClassName,TNewClassName (N:\\Builds\\Common\\Reshape, line 137).")},
      {"pset without bracket", "PSET>TPanel:Ctl3D=False,Options[poFlat\n",
       Report("EAssertionFailed",
              "Syntax error: PSET>TSomeClassName:OldPropName=PropValue,SetName[NewPropSetValue] "
              "(N:\\Builds\\Common\\Reshape, line 167).")},
      {"renp", "renp>Caption\n",
       Report("EAssertionFailed",
              "Syntax error: RENP>TSomeClass.OldPropName,NewPropName (N:\\Builds\\Common\\Reshape, line 143).")},
  };
  for (const Case& c : cases) {
    TempDir dir;
    dir.Write("job.scr", c.script);
    dir.Write("A.PAS", "TA\r\n");
    RunResult run = RunReshape(dir.Path(), {"job.scr"});
    EXPECT_EQ(run.ExitCode, 1) << c.name;
    EXPECT_EQ(MaskAddress(run.Output), c.expected) << c.name;
    EXPECT_EQ(dir.Read("A.PAS"), "TA\r\n") << c.name;
    EXPECT_FALSE(dir.Exists("job.LOG")) << c.name;
  }
}

TEST(ScriptE2E, MissingScriptNamesThePathThatWasOpened) {
  TempDir dir;
  RunResult run = RunReshape(dir.Path(), {"none.scr"});
  EXPECT_EQ(run.ExitCode, 1);
  EXPECT_EQ(MaskAddress(run.Output), Report("EFOpenError", "Cannot open file none.scr."));
}

TEST(ScriptE2E, DefaultScriptIsFoundBesideTheExecutable) {
  TempDir dir;
  std::filesystem::create_directory(dir / "bin");
  std::filesystem::create_directory(dir / "work");
  std::string executable = dir / ("bin/" + ModuleName());
  std::filesystem::copy_file(ReshapeExecutable(), executable);

  RunResult missing = RunReshape(dir / "work", {}, {}, executable);
  EXPECT_EQ(missing.ExitCode, 1);
  EXPECT_EQ(MaskAddress(missing.Output),
            Report("EFOpenError", "Cannot open file " + (dir / "bin/RESHAPE.SCR") + "."));

  dir.Write("bin/RESHAPE.SCR", "RENC>TFoo,TBar\r\n");
  dir.Write("work/A.PAS", "x: TFoo;\r\n");
  RunResult run = RunReshape(dir / "work", {}, {}, executable);
  EXPECT_EQ(run.ExitCode, 0);
  EXPECT_EQ(run.Output, "A.PAS...Converted\n");
  EXPECT_EQ(dir.Read("work/A.PAS"), "x: TBar;\r\n");
  EXPECT_EQ(dir.Read("work/RESHAPE.LOG"), "A.PAS> Renamed class \"TFoo\" to \"TBar\"\r\n");
}

TEST(ScriptE2E, EmptyCommandListRunsNothing) {
  const std::vector<std::string> scripts = {"", "just text\r\n\r\nRENC\r\n RENC>A,B\r\n",
                                            std::string("\0RENC>A,B", 9)};
  for (const std::string& script : scripts) {
    TempDir dir;
    dir.Write("job.scr", script);
    dir.Write("A.PAS", "A\n");
    RunResult run = RunReshape(dir.Path(), {"job.scr"});
    EXPECT_EQ(run.ExitCode, 0);
    EXPECT_EQ(run.Output, "");
    EXPECT_EQ(dir.Read("A.PAS"), "A\n");
  }
}

TEST(InformationE2E, HelpAndVersion) {
  TempDir dir;
  for (const char* option : {"--help", "-h"}) {
    RunResult run = RunReshape(dir.Path(), {option});
    EXPECT_EQ(run.ExitCode, 0);
    EXPECT_EQ(run.Output.rfind("Usage: reshape [SCRIPT [FILE...]]\n", 0), 0u);
  }
  RunResult version = RunReshape(dir.Path(), {"--version"});
  EXPECT_EQ(version.ExitCode, 0);
  EXPECT_EQ(version.Output.rfind("reshape ", 0), 0u);
}

TEST(SourcePassE2E, MasksInOrderWithProgressLogAndFiles) {
  TempDir dir;
  dir.Write("job.scr", "RENC>TFoo,TBar\r\nRENS>abc,xyz\r\n");
  dir.Write("D.H", "class TFoo;\r\n");
  dir.Write("B.CPP", "TFoo::TFoo() {}\n");
  dir.Write("a.pas", "var A: tfoo; B: TFoo;\r\ns := 'abc';\r\nTFooBar\r\n");
  dir.Write("C.HPP", "nothing here");
  dir.Write("notes.txt", "TFoo");
  RunResult run = RunReshape(dir.Path(), {"job.scr"});
  EXPECT_EQ(run.ExitCode, 0);
  EXPECT_EQ(run.Output,
            "a.pas...Converted\nB.CPP...Converted\nC.HPP...No change\nD.H...Converted\n");
  EXPECT_EQ(dir.Read("a.pas"), "var A: TBar; B: TFoo;\r\ns := 'xyz';\r\nTFooBar\r\n");
  EXPECT_EQ(dir.Read("B.CPP"), "TBar::TFoo() {}\n\r\n");
  EXPECT_EQ(dir.Read("C.HPP"), "nothing here\r\n");
  EXPECT_EQ(dir.Read("D.H"), "class TBar;\r\n");
  EXPECT_EQ(dir.Read("notes.txt"), "TFoo");
  EXPECT_EQ(dir.Read("job.LOG"),
            "A.PAS> Renamed class \"TFoo\" to \"TBar\"\r\n"
            "A.PAS> Renamed string \"abc\" to \"xyz\"\r\n"
            "B.CPP> Renamed class \"TFoo\" to \"TBar\"\r\n"
            "D.H> Renamed class \"TFoo\" to \"TBar\"\r\n");
  EXPECT_FALSE(dir.Exists("a.XXX"));
}

TEST(PassesE2E, EachPassRunsForItsKindsOfCommandWithItsMasksInOrder) {
  const std::string source =
      "A.PAS...No change\nB.CPP...No change\nC.HPP...No change\nD.H...No change\n";
  const std::string unit = "A.PAS...No change\nE.DPK...No change\n";
  const std::string form = "F.DFM ...No change\n";
  const std::string project = "G.BPR...No change\n";
  struct Case {
    std::string script;
    std::string expected;
  };
  const Case cases[] = {
      {"RENC>TNone,TX\r\n", source + form},
      {"RENS>none,x\r\n", source + form},
      {"RENU>None,X\r\n", unit},
      {"PKGR>none,x\r\n", project},
      {"RENP>None,X\r\n", form},
      {"DELP>None\r\n", form},
      {"PSET>TNone:P=V,S[E]\r\n", form},
      {"PKGR>none,x\r\nDELP>None\r\nRENU>None,X\r\nRENS>none,x\r\n",
       source + unit + form + project},
  };
  for (const Case& c : cases) {
    TempDir dir;
    dir.Write("job.scr", c.script);
    for (const char* name : {"G.BPR", "E.DPK", "D.H", "C.HPP", "B.CPP", "A.PAS", "notes.txt"})
      dir.Write(name, "text\r\n");
    dir.Write("F.DFM", CompileFormText("object F: TF\r\nend\r\n"));
    RunResult run = RunReshape(dir.Path(), {"job.scr"});
    EXPECT_EQ(run.ExitCode, 0) << c.script;
    EXPECT_EQ(run.Output, c.expected) << c.script;
    EXPECT_FALSE(dir.Exists("job.LOG")) << c.script;
  }
}

TEST(SourcePassE2E, BytesAreKeptExactly) {
  struct Case {
    const char* name;
    std::string before;
    std::string after;
  };
  const Case cases[] = {
      {"nul and high bytes", std::string("\0\xE9 TFoo \xFF", 9) + "\r\n",
       std::string("\0\xE9 TBar \xFF", 9) + "\r\n"},
      {"cr only", "TFoo\rTFoo\r", "TBar\r\nTBar\r\n"},
      {"cr cr lf", "TFoo\r\r\nx", "TBar\r\n\r\nx\r\n"},
      {"eof mark at end is dropped", "TFoo\r\n\x1A", "TBar\r\n"},
      {"bytes after eof mark are kept", "TFoo\r\n\x1Atail TFoo\r\n", "TBar\r\n\x1Atail TFoo\r\n"},
      {"empty file", "", ""},
  };
  for (const Case& c : cases) {
    TempDir dir;
    dir.Write("job.scr", "RENC>TFoo,TBar\r\n");
    dir.Write("A.PAS", c.before);
    RunResult run = RunReshape(dir.Path(), {"job.scr"});
    EXPECT_EQ(run.ExitCode, 0) << c.name;
    EXPECT_EQ(dir.Read("A.PAS"), c.after) << c.name;
  }
}

TEST(SourcePassE2E, ReadOnlyFilesAreReportedByEachPassAndKept) {
  TempDir dir;
  dir.Write("job.scr", "RENC>TFoo,TBar\r\nRENU>Old,New\r\n");
  dir.Write("A.PAS", "unit Old; TFoo\r\n");
  dir.Write("OLD.PAS", "unit Old; TFoo\r\n");
  dir.SetReadOnly("OLD.PAS");
  RunResult run = RunReshape(dir.Path(), {"job.scr"});
  EXPECT_EQ(run.ExitCode, 0);
  EXPECT_EQ(run.Output,
            "OLD.PAS is read only\nA.PAS...Converted\n"
            "OLD.PAS is read only\nA.PAS...Converted\n");
  EXPECT_EQ(dir.Read("A.PAS"), "unit New; TBar\r\n");
  EXPECT_EQ(dir.Read("OLD.PAS"), "unit Old; TFoo\r\n");
}

TEST(SourcePassE2E, NamedFilesInCommandLineOrderOnlyForMatchingPasses) {
  TempDir dir;
  dir.Write("job.scr", "RENU>Old,New\r\nPKGR>Old,New\r\n");
  dir.Write("A.PAS", "uses Old;\r\n");
  dir.Write("B.PAS", "uses Other;\r\n");
  dir.Write("P.BPR", "Old.bpl\r\n");
  dir.Write("F.DFM", "uses Old;\r\n");
  dir.Write("C.PAS", "uses Old;\r\n");
  RunResult run = RunReshape(dir.Path(), {"job.scr", "B.PAS", "F.DFM", "A.PAS", "P.BPR", "B.PAS"});
  EXPECT_EQ(run.ExitCode, 0);
  EXPECT_EQ(run.Output,
            "B.PAS...No change\nA.PAS...Converted\nB.PAS...No change\nP.BPR...Converted\n");
  EXPECT_EQ(dir.Read("F.DFM"), "uses Old;\r\n");
  EXPECT_EQ(dir.Read("C.PAS"), "uses Old;\r\n");
  EXPECT_EQ(dir.Read("P.BPR"), "New.bpl\r\n");
}

TEST(SourcePassE2E, NamedFileWithDirectoryIsLoggedAsTyped) {
  TempDir dir;
  std::filesystem::create_directory(dir / "src");
  dir.Write("job.scr", "RENC>TFoo,TBar\r\n");
  dir.Write("src/unit1.pas", "TFoo\r\n");
  dir.Write("my \xE9 file.pas", "TFoo\r\n");
  RunResult run = RunReshape(dir.Path(), {"job.scr", "src/unit1.pas", "my \xE9 file.pas"});
  EXPECT_EQ(run.ExitCode, 0);
  EXPECT_EQ(run.Output, "src/unit1.pas...Converted\nmy \xE9 file.pas...Converted\n");
  EXPECT_EQ(dir.Read("job.LOG"),
            "SRC/UNIT1.PAS> Renamed class \"TFoo\" to \"TBar\"\r\n"
            "MY \xE9 FILE.PAS> Renamed class \"TFoo\" to \"TBar\"\r\n");
  EXPECT_FALSE(dir.Exists("src/unit1.XXX"));
}

TEST(SourcePassE2E, FailuresEndTheRunAndLeaveTheFileUnchanged) {
  struct Case {
    const char* name;
    std::vector<std::string> arguments;
    std::string expected;
  };
  const Case cases[] = {
      {"read-only named file", {"job.scr", "RO.PAS", "A.PAS"},
       "RO.PAS..." + Report("EInOutError", "File access denied.")},
      {"missing named file", {"job.scr", "NONE.PAS", "A.PAS"},
       "NONE.PAS..." + Report("EInOutError", "File not found.")},
      {"directory named like a source file", {"job.scr", "DIR.PAS", "A.PAS"},
       "DIR.PAS..." + Report("EInOutError", "File access denied.")},
  };
  for (const Case& c : cases) {
    TempDir dir;
    dir.Write("job.scr", "RENC>TFoo,TBar\r\n");
    dir.Write("RO.PAS", "TFoo\n");
    dir.SetReadOnly("RO.PAS");
    dir.Write("A.PAS", "TFoo\n");
    std::filesystem::create_directory(dir / "DIR.PAS");
    RunResult run = RunReshape(dir.Path(), c.arguments);
    EXPECT_EQ(run.ExitCode, 1) << c.name;
    EXPECT_EQ(MaskAddress(run.Output), c.expected) << c.name;
    EXPECT_EQ(dir.Read("RO.PAS"), "TFoo\n") << c.name;
    EXPECT_EQ(dir.Read("A.PAS"), "TFoo\n") << c.name;
    EXPECT_EQ(dir.List(), (std::vector<std::string>{"A.PAS", "DIR.PAS", "RO.PAS", "job.scr"}))
        << c.name;
  }
}

TEST(SourcePassE2E, SearchedDirectoryNamedLikeASourceFileFails) {
  TempDir dir;
  dir.Write("job.scr", "RENC>TFoo,TBar\r\n");
  std::filesystem::create_directory(dir / "OLD.PAS");
  dir.Write("Z.PAS", "TFoo\r\n");
  RunResult run = RunReshape(dir.Path(), {"job.scr"});
  EXPECT_EQ(run.ExitCode, 1);
  EXPECT_EQ(MaskAddress(run.Output), "OLD.PAS..." + Report("EInOutError", "File access denied."));
  EXPECT_EQ(dir.Read("Z.PAS"), "TFoo\r\n");
}

TEST(ChangeLogE2E, AppendsAndCutsAtEndOfTextMark) {
  TempDir dir;
  dir.Write("job.scr", "RENC>TFoo,TBar\r\n");
  dir.Write("job.LOG", "OLD> line\r\n\x1A" "garbage");
  dir.Write("A.PAS", "TFoo\r\n");
  RunResult run = RunReshape(dir.Path(), {"job.scr"});
  EXPECT_EQ(run.ExitCode, 0);
  EXPECT_EQ(dir.Read("job.LOG"), "OLD> line\r\nA.PAS> Renamed class \"TFoo\" to \"TBar\"\r\n");
  dir.Write("A.PAS", "TFoo\r\n");
  RunReshape(dir.Path(), {"job.scr"});
  EXPECT_EQ(dir.Read("job.LOG"),
            "OLD> line\r\nA.PAS> Renamed class \"TFoo\" to \"TBar\"\r\n"
            "A.PAS> Renamed class \"TFoo\" to \"TBar\"\r\n");
}

TEST(ChangeLogE2E, EndOfTextMarkCountsOnlyInTheLast128Bytes) {
  const std::string line = "A.PAS> Renamed class \"TFoo\" to \"TBar\"\r\n";
  const std::string a200(200, 'a'), b127(127, 'b');
  struct Case {
    const char* name;
    std::string before;
    std::string after;
  };
  const Case cases[] = {
      {"mark before the last 128 bytes", "\x1A" + a200, "\x1A" + a200 + line},
      {"mark is the first of the last 128 bytes", a200 + "\x1A" + b127, a200 + line},
      {"first of two marks", a200 + "b\x1A" "c\x1A" "d", a200 + "b" + line},
      {"log of the mark alone", "\x1A", line},
  };
  for (const Case& c : cases) {
    TempDir dir;
    dir.Write("job.scr", "RENC>TFoo,TBar\r\n");
    dir.Write("job.LOG", c.before);
    dir.Write("A.PAS", "TFoo\r\n");
    RunResult run = RunReshape(dir.Path(), {"job.scr"});
    EXPECT_EQ(run.ExitCode, 0) << c.name;
    EXPECT_EQ(dir.Read("job.LOG"), c.after) << c.name;
  }
}

TEST(ChangeLogE2E, UnwritableLogEndsTheRunWithTheFileUnchanged) {
  TempDir dir;
  dir.Write("job.scr", "RENC>TFoo,TBar\r\n");
  dir.Write("A.PAS", "TFoo\r\n");
  dir.Write("job.LOG", "");
  dir.SetReadOnly("job.LOG");
  RunResult readOnly = RunReshape(dir.Path(), {"job.scr"});
  EXPECT_EQ(readOnly.ExitCode, 1);
  EXPECT_EQ(MaskAddress(readOnly.Output), "A.PAS..." + Report("EInOutError", "File access denied."));
  EXPECT_EQ(dir.Read("A.PAS"), "TFoo\r\n");
  dir.SetReadOnly("job.LOG", false);

  RunResult locked;
  {
    HeldFile held(dir / "job.LOG", HeldFile::Mode::Exclusive);
    locked = RunReshape(dir.Path(), {"job.scr"});
  }
  EXPECT_EQ(locked.ExitCode, 1);
  EXPECT_EQ(MaskAddress(locked.Output), "A.PAS..." + Report("EInOutError", "I/O error 32."));
  EXPECT_EQ(dir.Read("A.PAS"), "TFoo\r\n");
  EXPECT_EQ(dir.List(), (std::vector<std::string>{"A.PAS", "job.LOG", "job.scr"}));
}

TEST(UnitPassE2E, PasFilesShowTwiceWithClassAndUnitRenames) {
  TempDir dir;
  dir.Write("job.scr", "RENC>TFoo,TBar\r\nRENU>OldUnit,NewUnit\r\n");
  dir.Write("U.PAS", "unit OldUnit;\r\ninterface\r\nuses\r\n  oldunit, Other;\r\ntype\r\n  X = TFoo;\r\n"
                     "  OldUnit.Y;\r\n");
  dir.Write("P.DPK", "package P;\r\n");
  RunResult run = RunReshape(dir.Path(), {"job.scr"});
  EXPECT_EQ(run.ExitCode, 0);
  EXPECT_EQ(run.Output, "U.PAS...Converted\nU.PAS...Converted\nP.DPK...No change\n");
  EXPECT_EQ(dir.Read("U.PAS"), "unit NewUnit;\r\ninterface\r\nuses\r\n  NewUnit, Other;\r\ntype\r\n"
                               "  X = TBar;\r\n  OldUnit.Y;\r\n");
  EXPECT_EQ(dir.Read("job.LOG"),
            "U.PAS> Renamed class \"TFoo\" to \"TBar\"\r\n"
            "U.PAS> Renamed unit \"OldUnit\" to \"NewUnit\"\r\n"
            "U.PAS> Renamed unit \"OldUnit\" to \"NewUnit\"\r\n");
}

TEST(ProjectPassE2E, PackagesAreReplacedAsText) {
  TempDir dir;
  dir.Write("job.scr", "PKGR>PkgA,PkgB\r\nPKGR>PkgB,PkgC\r\nPKGR>Gone,\r\n");
  dir.Write("App.bpr", "<PACKAGES value=\"pkga.bpi Gone.bpi pkgb.bpi\"/>\n");
  RunResult run = RunReshape(dir.Path(), {"job.scr"});
  EXPECT_EQ(run.ExitCode, 0);
  EXPECT_EQ(run.Output, "App.bpr...Converted\n");
  EXPECT_EQ(dir.Read("App.bpr"), "<PACKAGES value=\"PkgC.bpi .bpi pkgb.bpi\"/>\n\r\n");
  EXPECT_EQ(dir.Read("job.LOG"),
            "APP.BPR> Renamed/Replaced package \"PkgA\" to \"PkgB\"\r\n"
            "APP.BPR> Renamed/Replaced package \"PkgB\" to \"PkgC\"\r\n"
            "APP.BPR> Renamed/Replaced package \"Gone\" to \"\"\r\n");
}

}  // namespace
}  // namespace reshape::e2e
