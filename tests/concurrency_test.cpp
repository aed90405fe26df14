// Two runs started at once in one directory on the same files: the files end up as one
// complete run leaves them, or a run fails cleanly; never a mix of the two.
#include <map>
#include <memory>
#include <thread>

#include <gtest/gtest.h>

#include "e2e_harness.h"
#include "platform/system_file_system.h"

namespace reshape::e2e {
namespace {

void WriteTree(const TempDir& dir) {
  // Applying this script a second time changes nothing, so one run and two runs in a row
  // leave the same files.
  dir.Write("job.scr", "RENC>TOldPanel,TPanelEx\r\nRENU>OldUnit,NewUnit\r\nPKGR>pkg50,pkg60\r\n"
                       "DELP>TabOrder\r\n");
  for (int i = 0; i < 20; ++i) {
    std::string n = std::to_string(i);
    dir.Write("U" + n + ".PAS", "unit OldUnit;\r\nuses OldUnit;\r\nvar P: TOldPanel;\r\n" + std::string(20000, 'x') + "\r\n");
    dir.Write("F" + n + ".DFM", CompileFormText("object Form1: TForm1\r\n  TabOrder = 1\r\n  object P: TOldPanel\r\n"
                                                "    Caption = '" + std::string(200, 'c') + "'\r\n  end\r\nend\r\n"));
  }
  dir.Write("P.BPR", "pkg50\r\n");
}

std::map<std::string, std::string> Files(const TempDir& dir) {
  std::map<std::string, std::string> files;
  for (const std::string& name : dir.List())
    if (name != "job.LOG") files[name] = dir.Read(name);
  return files;
}

TEST(ConcurrencyE2E, TwoRunsAtOnceNeverMixTheirWork) {
  TempDir reference;
  WriteTree(reference);
  ASSERT_EQ(RunReshape(reference.Path(), {"job.scr"}).ExitCode, 0);
  auto complete = Files(reference);
  const std::string completeLog = reference.Read("job.LOG");

  int cleanFailures = 0;
  for (int round = 0; round < 10; ++round) {
    SCOPED_TRACE("round " + std::to_string(round));
    TempDir dir;
    WriteTree(dir);
    RunResult first, second;
    std::thread a([&] { first = RunReshape(dir.Path(), {"job.scr"}); });
    std::thread b([&] { second = RunReshape(dir.Path(), {"job.scr"}); });
    a.join();
    b.join();

    for (const RunResult* run : {&first, &second}) {
      if (run->ExitCode != 0) {
        ++cleanFailures;
        EXPECT_EQ(run->ExitCode, 1);
        EXPECT_NE(run->Output.find("Exception E"), std::string::npos) << run->Output;
      }
    }
    EXPECT_TRUE(first.ExitCode == 0 || second.ExitCode == 0) << first.Output << second.Output;

    // The run that completed left every user file as one complete run does; the failed one
    // only ever added the same changes.
    for (const auto& [name, bytes] : complete) {
      if (name.ends_with(".dfb") || name.ends_with(".dft")) continue;
      EXPECT_EQ(dir.Read(name), bytes) << name;
    }
    for (const std::string& name : dir.List()) EXPECT_FALSE(name.ends_with(".XXX")) << name;

    // Log lines are whole lines of the complete run's log.
    std::string log = dir.Read("job.LOG");
    std::size_t start = 0;
    while (start < log.size()) {
      std::size_t end = log.find("\r\n", start);
      ASSERT_NE(end, std::string::npos) << "half line at the end of the log";
      EXPECT_NE(completeLog.find(log.substr(start, end + 2 - start)), std::string::npos);
      start = end + 2;
    }
  }
  std::printf("concurrency: %d of 20 runs failed cleanly\n", cleanFailures);
}

// The test process holds the directory as a run in progress would.
TEST(ConcurrencyE2E, RunInADirectoryHeldByAnotherRunFailsAtOnce) {
  TempDir dir;
  dir.Write("job.scr", "RENC>TFoo,TBar\r\n");
  dir.Write("A.PAS", "TFoo\r\n");
  RunResult run;
  {
    platform::SystemFileSystem files;
    std::unique_ptr<Held> held;
    ASSERT_EQ(files.LockDirectory(dir.Path(), held), 0);
    run = RunReshape(dir.Path(), {"job.scr"});
  }
  EXPECT_EQ(run.ExitCode, 1);
  EXPECT_EQ(MaskAddress(run.Output), Report("EInOutError", "I/O error 32."));
  EXPECT_EQ(dir.Read("A.PAS"), "TFoo\r\n");
  EXPECT_FALSE(dir.Exists("job.LOG"));

  RunResult after = RunReshape(dir.Path(), {"job.scr"});
  EXPECT_EQ(after.ExitCode, 0) << after.Output;
  EXPECT_EQ(dir.Read("A.PAS"), "TBar\r\n");
}

// Runs from two directories that name the same files: no directory lock keeps them apart, only
// the file locks. Every file ends up untouched or completely rewritten, never half written.
TEST(ConcurrencyE2E, NamedFilesSharedByRunsFromTwoDirectories) {
  TempDir reference;
  WriteTree(reference);
  ASSERT_EQ(RunReshape(reference.Path(), {"job.scr"}).ExitCode, 0);
  auto complete = Files(reference);
  // A unit source is rewritten twice in a run: by the class renames, then by the unit renames.
  TempDir sourcePassOnly;
  WriteTree(sourcePassOnly);
  sourcePassOnly.Write("job.scr", "RENC>TOldPanel,TPanelEx\r\n");
  ASSERT_EQ(RunReshape(sourcePassOnly.Path(), {"job.scr"}).ExitCode, 0);
  auto halfway = Files(sourcePassOnly);

  for (int round = 0; round < 10; ++round) {
    SCOPED_TRACE("round " + std::to_string(round));
    TempDir shared, left, right;
    WriteTree(shared);
    auto original = Files(shared);
    std::vector<std::string> arguments = {shared / "job.scr"};
    for (const auto& [name, bytes] : original)
      if (name != "job.scr") arguments.push_back(shared / name);
    RunResult first, second;
    std::thread a([&] { first = RunReshape(left.Path(), arguments); });
    std::thread b([&] { second = RunReshape(right.Path(), arguments); });
    a.join();
    b.join();
    for (const RunResult* run : {&first, &second}) {
      if (run->ExitCode != 0) {
        EXPECT_NE(run->Output.find("Exception E"), std::string::npos) << run->Output;
      }
    }
    for (const auto& [name, bytes] : original) {
      std::string now = shared.Read(name);
      bool betweenPasses = name.ends_with(".PAS") && now == halfway.at(name);
      EXPECT_TRUE(now == bytes || now == complete.at(name) || betweenPasses) << name << " is half written";
    }
    for (const std::string& name : shared.List()) EXPECT_FALSE(name.ends_with(".XXX")) << name;
  }
}

}  // namespace
}  // namespace reshape::e2e
