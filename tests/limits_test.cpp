// Hostile sizes and concurrent runs through the real executable. Each size either works within
// memory proportional to it or fails cleanly and at once; heavy, so those tests run only when
// RESHAPE_LIMIT_TESTS=1 (continuous integration sets it). Two runs started at once on the same
// files leave them as one complete run does, or one fails cleanly; never a mix of the two.
#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <thread>

#include <gtest/gtest.h>

#include "e2e_harness.h"
#include "e2e_scenario.h"
#include "forms/test_stream_builder.h"
#include "platform/system_file_system.h"

namespace reshape::e2e {
namespace {

constexpr std::size_t kMiB = 1024 * 1024;

class LimitsE2E : public ::testing::Test {
 protected:
  void SetUp() override {
    const char* enabled = std::getenv("RESHAPE_LIMIT_TESTS");
    if (enabled == nullptr || std::string(enabled) != "1") GTEST_SKIP() << "set RESHAPE_LIMIT_TESTS=1";
  }

  // Runs the script on one file and checks the console and the run's peak memory.
  void Run(const std::string& script, const std::string& name, const std::string& bytes, const std::string& output,
           long limitMb) {
    dir.Write("job.scr", script);
    dir.Write(name, bytes);
    RunResult run = RunReshape(dir.Path(), {"job.scr"});
    EXPECT_EQ(MaskAddress(run.Output), output);
    EXPECT_LT(run.PeakMemoryKb, limitMb * 1024) << name;
  }

  TempDir dir;
};

TEST_F(LimitsE2E, HugeLengthFieldFailsAtOnce) {
  Run("RENS>a,b\r\n", "A.DFM", test::FormFile("TFORM1", test::FormBytes().Signature().Object("TForm1", "Form1")
                                                            .Prop("Caption").Byte(TagLongString).U32(1u << 30).Raw("short")),
      "A.DFM ..." + Report("EReadError", "Stream read error."), 64);
}

// The form, its text (twice its size in hexadecimal) and the compiled form.
TEST_F(LimitsE2E, HundredMegabyteFormFile) {
  const std::string form = test::FormFile("TIMAGE", test::FormBytes().Signature().Object("TImage", "Image1")
                                                        .Prop("Picture.Data").Binary(std::string(100 * kMiB, 'Z'))
                                                        .End().End());
  Run("RENC>TImage,TPicture\r\n", "A.DFM", form, "A.DFM ...Converted\n", 450);
  EXPECT_EQ(dir.Read("A.dfb"), form);
}

// The script text itself, and no more: its lines are not listed, and the command list is
// sized by the lines that hold a command.
TEST_F(LimitsE2E, SixtyMillionEmptyScriptLines) {
  Run(std::string(60'000'000, '\n') + "RENC>TFoo,TBar\r\n", "A.PAS", "TFoo x;\n", "A.PAS...Converted\n", 128);
  EXPECT_EQ(dir.Read("A.PAS"), "TBar x;\n");
}

TEST_F(LimitsE2E, HundredMegabyteSourceLine) {
  std::string body;
  while (body.size() < 100 * kMiB) body += "TFoo x;";
  // The file's bytes, the line and the rewritten line, in both passes; the 30 million log lines
  // go through the change log's spill file, and the unit pass reads the whole line for the
  // clauses before the last "Forms".
  Run("RENC>TFoo,TBar\r\nRENS>x;,y;\r\nRENU>Forms,NewForms\r\n", "A.PAS", "uses Forms; " + body + "{ Forms }",
      "A.PAS...Converted\nA.PAS...Converted\n", 400);
  std::string renamed;
  while (renamed.size() < body.size()) renamed += "TBar y;";
  EXPECT_EQ(dir.Read("A.PAS"), "uses NewForms; " + renamed + "{ Forms }");
}

// 100,000 files by default; RESHAPE_LIMIT_FILES sets another number (the run is bound by the
// disk: every file is created, written and renamed).
TEST_F(LimitsE2E, HundredThousandFilesInOneDirectory) {
  const char* count = std::getenv("RESHAPE_LIMIT_FILES");
  std::vector<std::string> names = {"U0.PAS"};
  for (int i = 1; i < (count != nullptr ? std::atoi(count) : 100000); ++i)
    std::ofstream(dir / names.emplace_back("U" + std::to_string(i) + ".PAS")) << "TFoo\r\n";
  // Upper-case names: the directory order is the plain byte order.
  std::sort(names.begin(), names.end());
  std::string output;
  for (const std::string& name : names) output += name + "...Converted\n";
  Run("RENC>TFoo,TBar\r\n", "U0.PAS", "TFoo\r\n", output, 256);
  EXPECT_EQ(dir.Read(names.back()), "TBar\r\n");
}

// Applying this script a second time changes nothing, so one run and two runs in a row leave the same files.
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
