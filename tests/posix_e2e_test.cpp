// End-to-end behaviour that only POSIX systems show: permission bits, links, pipes and devices.
#include <sys/stat.h>

#include <filesystem>

#include <gtest/gtest.h>

#include "e2e_harness.h"

namespace reshape::e2e {
namespace {

namespace fs = std::filesystem;

TEST(PosixE2E, ReplacedFileKeepsItsPermissions) {
  TempDir dir;
  dir.Write("job.scr", "RENC>TFoo,TBar\r\n");
  dir.Write("A.PAS", "TFoo\r\n");
  fs::permissions(dir / "A.PAS", fs::perms(0640));
  RunReshape(dir.Path(), {"job.scr"});
  EXPECT_EQ(dir.Read("A.PAS"), "TBar\r\n");
  EXPECT_EQ(fs::status(dir / "A.PAS").permissions() & fs::perms::all, fs::perms(0640));
}

TEST(PosixE2E, LinkToReadOnlyFileIsReportedAndKept) {
  TempDir dir;
  dir.Write("job.scr", "RENC>TFoo,TBar\r\nRENU>Old,New\r\n");
  dir.Write("A.PAS", "unit Old; TFoo\r\n");
  dir.Write("OLD.PAS", "unit Old; TFoo\r\n");
  dir.SetReadOnly("OLD.PAS");
  fs::create_symlink("OLD.PAS", dir / "LINK.PAS");
  RunResult run = RunReshape(dir.Path(), {"job.scr"});
  EXPECT_EQ(run.Output,
            "LINK.PAS is read only\nOLD.PAS is read only\nA.PAS...Converted\n"
            "LINK.PAS is read only\nOLD.PAS is read only\nA.PAS...Converted\n");
  EXPECT_EQ(dir.Read("A.PAS"), "unit New; TBar\r\n");
  EXPECT_EQ(dir.Read("OLD.PAS"), "unit Old; TFoo\r\n");
  EXPECT_TRUE(fs::is_symlink(dir / "LINK.PAS"));
}

// Each run goes under a time limit, so that a run that waits on a pipe fails instead of hanging.
TEST(PosixE2E, PipesAndDevicesFailInsteadOfStallingTheRun) {
  struct Case {
    std::string special;  // a pipe, or a link to a device when it starts with "/"
    std::string expected;
  };
  const std::string denied = Report("EInOutError", "File access denied.");
  const Case cases[] = {
      {"job.scr", Report("EFOpenError", "Cannot open file job.scr.")},
      {"A.PAS", "A.PAS..." + denied},
      {"/dev/null", "A.PAS..." + denied},
      {"B.XXX", "B.PAS..." + denied},
      {"A.DFM", "B.PAS...Converted\nA.DFM ..." + Report("EFOpenError", "Cannot open file A.DFM.")},
  };
  for (const Case& c : cases) {
    TempDir dir;
    if (c.special != "job.scr") dir.Write("job.scr", "RENC>TFoo,TBar\r\n");
    dir.Write("B.PAS", "TFoo\r\n");
    if (c.special[0] == '/')
      fs::create_symlink(c.special, dir / "A.PAS");
    else
      ASSERT_EQ(::mkfifo((dir / c.special).c_str(), 0644), 0) << c.special;
    RunResult run = RunReshape(dir.Path(), {"10", RESHAPE_EXECUTABLE, "job.scr"}, {}, "/usr/bin/timeout");
    EXPECT_EQ(run.ExitCode, 1) << c.special;
    EXPECT_EQ(MaskAddress(run.Output), c.expected) << c.special;
    EXPECT_EQ(dir.Read("B.PAS"), c.special == "A.DFM" ? "TBar\r\n" : "TFoo\r\n") << c.special;
    EXPECT_FALSE(dir.Exists("A.dfb") || dir.Exists("B.XXX") != (c.special == "B.XXX")) << c.special;
  }
}

}  // namespace
}  // namespace reshape::e2e
