// End-to-end behaviour that only POSIX systems show: permission bits, links, pipes and devices.
#include <sys/stat.h>

#include <filesystem>

#include <gtest/gtest.h>

#include "e2e_harness.h"

namespace reshape::e2e {
namespace {

TEST(SourcePassE2E, ReplacedFileKeepsItsPermissions) {
  TempDir dir;
  dir.Write("job.scr", "RENC>TFoo,TBar\r\n");
  dir.Write("A.PAS", "TFoo\r\n");
  std::filesystem::permissions(dir / "A.PAS", std::filesystem::perms(0640));
  RunReshape(dir.Path(), {"job.scr"});
  EXPECT_EQ(std::filesystem::status(dir / "A.PAS").permissions() & std::filesystem::perms::all,
            std::filesystem::perms(0640));
}


TEST(SourcePassE2E, LinkToReadOnlyFileIsReportedAndKept) {
  TempDir dir;
  dir.Write("job.scr", "RENC>TFoo,TBar\r\nRENU>Old,New\r\n");
  dir.Write("A.PAS", "unit Old; TFoo\r\n");
  dir.Write("OLD.PAS", "unit Old; TFoo\r\n");
  dir.SetReadOnly("OLD.PAS");
  std::filesystem::create_symlink("OLD.PAS", dir / "LINK.PAS");
  RunResult run = RunReshape(dir.Path(), {"job.scr"});
  EXPECT_EQ(run.ExitCode, 0);
  EXPECT_EQ(run.Output,
            "LINK.PAS is read only\nOLD.PAS is read only\nA.PAS...Converted\n"
            "LINK.PAS is read only\nOLD.PAS is read only\nA.PAS...Converted\n");
  EXPECT_EQ(dir.Read("A.PAS"), "unit New; TBar\r\n");
  EXPECT_EQ(dir.Read("OLD.PAS"), "unit Old; TFoo\r\n");
  EXPECT_TRUE(std::filesystem::is_symlink(dir / "LINK.PAS"));
}

TEST(SourcePassE2E, PipesAndDevicesFailInsteadOfStallingTheRun) {
  struct Case {
    const char* name;
    std::string special;  // a pipe, or a link to a device when it starts with "/"
    std::string expected;
  };
  const Case cases[] = {
      {"pipe as script", "job.scr", Report("EFOpenError", "Cannot open file job.scr.")},
      {"pipe as source file", "A.PAS", "A.PAS..." + Report("EInOutError", "File access denied.")},
      {"device as source file", "/dev/null",
       "A.PAS..." + Report("EInOutError", "File access denied.")},
      {"pipe as scratch file", "B.XXX",
       "B.PAS..." + Report("EInOutError", "File access denied.")},
  };
  for (const Case& c : cases) {
    TempDir dir;
    if (c.special != "job.scr") dir.Write("job.scr", "RENC>TFoo,TBar\r\n");
    dir.Write("B.PAS", "TFoo\r\n");
    if (c.special[0] == '/')
      std::filesystem::create_symlink(c.special, dir / "A.PAS");
    else
      ASSERT_EQ(::mkfifo((dir / c.special).c_str(), 0644), 0) << c.name;
    // Run under a time limit, so that a run that waits on the pipe fails instead of hanging.
    RunResult run = RunReshape(dir.Path(), {"10", RESHAPE_EXECUTABLE, "job.scr"}, {},
                               "/usr/bin/timeout");
    EXPECT_EQ(run.ExitCode, 1) << c.name;
    EXPECT_EQ(MaskAddress(run.Output), c.expected) << c.name;
    EXPECT_EQ(dir.Read("B.PAS"), "TFoo\r\n") << c.name;
  }
}

TEST(FormPassE2E, PipeAsFormFileCannotBeOpened) {
  TempDir dir;
  dir.Write("job.scr", "RENC>TOldPanel,TPanelEx\r\n");
  ASSERT_EQ(::mkfifo((dir / "P.DFM").c_str(), 0644), 0);
  RunResult run = RunReshape(dir.Path(), {"job.scr"});
  EXPECT_EQ(MaskAddress(run.Output), "P.DFM ..." + Report("EFOpenError", "Cannot open file P.DFM."));
  EXPECT_EQ(dir.List(), (std::vector<std::string>{"P.DFM", "job.scr"}));
}

}  // namespace
}  // namespace reshape::e2e
