// Two runs started at once on the same files: the files end up as one complete run leaves
// them, or a run fails cleanly; never a mix of the two.
#include <map>
#include <memory>
#include <thread>

#include <gtest/gtest.h>

#include "e2e_harness.h"
#include "platform/system_file_system.h"

namespace reshape::e2e {
namespace {

using Tree = std::map<std::string, std::string>;

// Applying this script a second time changes nothing, so one run and two runs in a row leave
// the same files.
const char* kScript = "RENC>TOldPanel,TPanelEx\r\nRENU>OldUnit,NewUnit\r\nPKGR>pkg50,pkg60\r\nDELP>TabOrder\r\n";

Tree UserFiles(const char* script = kScript) {
  Tree files = {{"job.scr", script}, {"P.BPR", "pkg50\r\n"}};
  for (int i = 0; i < 20; ++i) {
    const std::string n = std::to_string(i);
    files["U" + n + ".PAS"] = "unit OldUnit;\r\nuses OldUnit;\r\nvar P: TOldPanel;\r\n" + std::string(20000, 'x') + "\r\n";
    files["F" + n + ".DFM"] = CompileFormText("object Form1: TForm1\r\n  TabOrder = 1\r\n  object P: TOldPanel\r\n"
                                              "    Caption = '" + std::string(200, 'c') + "'\r\n  end\r\nend\r\n");
  }
  return files;
}

// The user's files and the log after one complete run in a fresh directory.
Tree AfterOneRun(const char* script = kScript) {
  TempDir dir;
  for (const auto& [name, bytes] : UserFiles(script)) dir.Write(name, bytes);
  EXPECT_EQ(RunReshape(dir.Path(), {"job.scr"}).ExitCode, 0);
  Tree files = {{"job.LOG", dir.Read("job.LOG")}};
  for (const auto& [name, bytes] : UserFiles()) files[name] = dir.Read(name);
  return files;
}

// Two runs at once, 20 times: in one directory, where the second usually finds the directory
// held and fails at once, and from two directories that name the same files, where only the
// file locks keep them apart. Every file ends up untouched or completely rewritten.
TEST(ConcurrencyE2E, TwoRunsAtOnceNeverMixTheirWork) {
  const Tree complete = AfterOneRun();
  // A unit source is rewritten twice in a run: by the class renames, then by the unit renames.
  const Tree halfway = AfterOneRun("RENC>TOldPanel,TPanelEx\r\n");
  for (int round = 0; round < 20; ++round) {
    SCOPED_TRACE("round " + std::to_string(round));
    const bool oneDirectory = round % 2 == 0;
    TempDir shared, left, right;
    std::vector<std::string> arguments = {oneDirectory ? "job.scr" : shared / "job.scr"};
    for (const auto& [name, bytes] : UserFiles()) {
      shared.Write(name, bytes);
      if (!oneDirectory && name != "job.scr") arguments.push_back(shared / name);
    }
    RunResult first, second;
    std::thread a([&] { first = RunReshape(oneDirectory ? shared.Path() : left.Path(), arguments); });
    second = RunReshape(oneDirectory ? shared.Path() : right.Path(), arguments);
    a.join();
    for (const RunResult* run : {&first, &second})
      EXPECT_TRUE(run->ExitCode == 0 || run->Output.find("Exception E") != std::string::npos) << run->Output;
    for (const auto& [name, bytes] : UserFiles()) {
      const std::string now = shared.Read(name);
      const bool untouchedOrHalfway = !oneDirectory && (now == bytes || (name.ends_with(".PAS") && now == halfway.at(name)));
      EXPECT_TRUE(untouchedOrHalfway || now == complete.at(name)) << name;
    }
    for (const std::string& name : shared.List()) EXPECT_FALSE(name.ends_with(".XXX")) << name;
    if (!oneDirectory) continue;
    EXPECT_TRUE(first.ExitCode == 0 || second.ExitCode == 0) << first.Output << second.Output;
    // The log holds whole lines of the complete run's log.
    const std::string log = shared.Read("job.LOG");
    for (std::size_t start = 0, end; start < log.size(); start = end + 2) {
      end = log.find("\r\n", start);
      ASSERT_NE(end, std::string::npos) << "half line at the end of the log";
      EXPECT_NE(complete.at("job.LOG").find(log.substr(start, end + 2 - start)), std::string::npos);
    }
  }
}

// The test process holds the directory as a run in progress would.
TEST(ConcurrencyE2E, RunInADirectoryHeldByAnotherRunFailsAtOnce) {
  TempDir dir;
  dir.Write("job.scr", "RENC>TFoo,TBar\r\n");
  dir.Write("A.PAS", "TFoo\r\n");
  std::unique_ptr<Held> held;
  ASSERT_EQ(platform::SystemFileSystem().LockDirectory(dir.Path(), held), 0);
  EXPECT_EQ(MaskAddress(RunReshape(dir.Path(), {"job.scr"}).Output), Report("EInOutError", "I/O error 32."));
  EXPECT_EQ(dir.Read("A.PAS"), "TFoo\r\n");
  EXPECT_FALSE(dir.Exists("job.LOG"));
  held.reset();
  EXPECT_EQ(RunReshape(dir.Path(), {"job.scr"}).ExitCode, 0);
  EXPECT_EQ(dir.Read("A.PAS"), "TBar\r\n");
}

}  // namespace
}  // namespace reshape::e2e
