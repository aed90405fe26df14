// Makes every single platform operation of a realistic run fail in turn, and proves that no
// failure loses data: each of the user's files is either untouched or completely rewritten
// (a form with its old bytes in its backup), the log holds only whole lines, and the run ends
// with the failure report and exit code 1 (or, where the failed operation did not matter,
// completes normally).
#include <filesystem>
#include <fstream>
#include <map>
#include <set>

#include <gtest/gtest.h>

#include "e2e_harness.h"

namespace reshape::e2e {
namespace {

using Tree = std::map<std::string, std::string>;

const char* kScript =
    "RENC>TOldPanel,TPanelEx\r\nRENS>Hello,Goodbye\r\nRENU>OldUnit,NewUnit\r\n"
    "PKGR>pkg50,pkg60\r\nRENP>Caption,Text\r\nDELP>TabOrder\r\n"
    "PSET>TPanelEx:Ctl3D=False,Options[poFlat]\r\n";

Tree UserFiles() {
  return {
      {"job.scr", kScript},
      {"job.LOG", "EARLIER.PAS> Renamed class \"A\" to \"B\"\r\n"},
      {"A.PAS", "unit OldUnit;\r\nuses OldUnit;\r\nvar P: TOldPanel; s := 'Hello';\r\n"},
      {"B.CPP", "TOldPanel* p;\r\n"},
      {"C.H", "nothing\r\n"},
      {"D.DPK", "package D;\r\nuses OldUnit;\r\n"},
      {"P.BPR", "<PACKAGES value=\"pkg50.bpi\"/>\r\n"},
      {"F1.DFM", CompileFormText("object Form1: TForm1\r\n  Caption = 'x'\r\n  TabOrder = 1\r\n"
                                 "  object Panel1: TOldPanel\r\n    Ctl3D = False\r\n  end\r\nend\r\n")},
      {"F2.DFM", CompileFormText("object Form2: TForm2\r\n  Left = 1\r\nend\r\n")},
  };
}

void WriteTree(const TempDir& dir, const Tree& tree) {
  for (const auto& [name, bytes] : tree) dir.Write(name, bytes);
}

Tree ReadTree(const TempDir& dir) {
  Tree tree;
  for (const std::string& name : dir.List()) tree[name] = dir.Read(name);
  return tree;
}

// The user's files after a complete run, and the source files after the source pass alone
// (the unit pass rewrites them again later in the run).
struct Expected {
  Tree complete;
  Tree afterSourcePass;
};

Expected CompleteRuns() {
  Expected expected;
  TempDir dir;
  WriteTree(dir, UserFiles());
  EXPECT_EQ(RunReshape(dir.Path(), {"job.scr"}).ExitCode, 0);
  expected.complete = ReadTree(dir);

  TempDir sourceOnly;
  WriteTree(sourceOnly, UserFiles());
  sourceOnly.Write("job.scr", "RENC>TOldPanel,TPanelEx\r\nRENS>Hello,Goodbye\r\n");
  EXPECT_EQ(RunReshape(sourceOnly.Path(), {"job.scr", "A.PAS"}).ExitCode, 0);
  expected.afterSourcePass = ReadTree(sourceOnly);
  return expected;
}

long CountOperations() {
  TempDir dir, counter;
  WriteTree(dir, UserFiles());
  RunResult run = RunReshape(dir.Path(), {"job.scr"}, {"RESHAPE_FAULT_COUNT=" + (counter / "count")});
  EXPECT_EQ(run.ExitCode, 0);
  return std::stol(counter.Read("count"));
}

bool IsLinePrefix(const std::string& log, const std::string& complete) {
  return complete.compare(0, log.size(), log) == 0 &&
         (log.empty() || (log.size() >= 2 && log.compare(log.size() - 2, 2, "\r\n") == 0));
}

TEST(FaultInjectionE2E, NoFailureAtAnyOperationLosesData) {
  const Tree original = UserFiles();
  const Expected expected = CompleteRuns();
  const long operations = CountOperations();
  ASSERT_GT(operations, 50);

  long failedRuns = 0, unaffectedRuns = 0;
  for (long at = 1; at <= operations; ++at) {
    SCOPED_TRACE("failing operation " + std::to_string(at));
    TempDir dir;
    WriteTree(dir, original);
    RunResult run = RunReshape(dir.Path(), {"job.scr"}, {"RESHAPE_FAULT_AT=" + std::to_string(at)});
    Tree after = ReadTree(dir);

    if (run.ExitCode == 0) {
      ++unaffectedRuns;
      EXPECT_EQ(after, expected.complete) << run.Output;
      continue;
    }
    ++failedRuns;
    EXPECT_EQ(run.ExitCode, 1);
    EXPECT_NE(run.Output.find("Exception "), std::string::npos) << run.Output;

    for (const auto& [name, before] : original) {
      ASSERT_TRUE(after.count(name)) << name << " is missing";
      const std::string& now = after[name];
      if (name == "job.LOG") {
        EXPECT_TRUE(IsLinePrefix(now, expected.complete.at(name))) << "log: " << now;
        continue;
      }
      bool untouched = now == before;
      bool complete = now == expected.complete.at(name);
      bool sourcePassOnly = now == expected.afterSourcePass.at(name);
      EXPECT_TRUE(untouched || complete || sourcePassOnly) << name << " is half written: " << now;
      if (!untouched && name.ends_with(".DFM")) {
        std::string backup = name.substr(0, name.size() - 4) + ".dfb";
        EXPECT_EQ(after.count(backup) ? after[backup] : "<missing>", before) << backup;
      }
    }
  }
  std::printf("fault injection: %ld operations, %ld failed runs, %ld runs unaffected\n",
              operations, failedRuns, unaffectedRuns);
  EXPECT_GT(failedRuns, operations / 2);
}

}  // namespace
}  // namespace reshape::e2e
