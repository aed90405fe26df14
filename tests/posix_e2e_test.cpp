// End-to-end behaviour that only POSIX systems show: permission bits, links, pipes and devices.
#include <sys/stat.h>

#include <filesystem>
#include <utility>

#include <gtest/gtest.h>

#include "e2e_harness.h"

namespace reshape::e2e {
namespace {

namespace fs = std::filesystem;

// Each run goes under a time limit, so that a run that waits on a pipe fails instead of hanging.
TEST(PosixE2E, PipesAndDevicesFailInsteadOfStallingTheRun) {
  const std::string denied = Report("EInOutError", "File access denied.");
  // A pipe, or a link to a device when the name starts with "/", and the console it gives.
  const std::pair<std::string, std::string> cases[] = {
      {"job.scr", Report("EFOpenError", "Cannot open file job.scr.")}, {"A.PAS", "A.PAS..." + denied},
      {"/dev/null", "A.PAS..." + denied}, {"B.XXX", "B.PAS..." + denied},
      {"A.DFM", "B.PAS...Converted\nA.DFM ..." + Report("EFOpenError", "Cannot open file A.DFM.")},
  };
  for (const auto& [special, expected] : cases) {
    TempDir dir;
    if (special != "job.scr") dir.Write("job.scr", "RENC>TFoo,TBar\r\n");
    dir.Write("B.PAS", "TFoo\r\n");
    if (special[0] == '/')
      fs::create_symlink(special, dir / "A.PAS");
    else
      ASSERT_EQ(::mkfifo((dir / special).c_str(), 0644), 0) << special;
    RunResult run = RunReshape(dir.Path(), {"10", RESHAPE_EXECUTABLE, "job.scr"}, "/usr/bin/timeout");
    EXPECT_EQ(std::pair(run.ExitCode, MaskAddress(run.Output)), std::pair(1, expected)) << special;
    EXPECT_EQ(dir.Read("B.PAS"), special == "A.DFM" ? "TBar\r\n" : "TFoo\r\n") << special;
    EXPECT_FALSE(dir.Exists("A.dfb") || dir.Exists("B.XXX") != (special == "B.XXX")) << special;
  }
}

// Into a file or a pipe the progress lines are written in large pieces; one that cannot be
// written still fails the run, and an all-or-nothing run before it puts anything in place.
TEST(PosixE2E, StandardOutputThatCannotBeWrittenFailsTheRun) {
  for (const auto& [option, after] : {std::pair{"--atomic", "TFoo\r\n"}, {"-k", "TBar\r\n"}}) {
    TempDir dir;
    dir.Write("job.scr", "RENC>TFoo,TBar\r\n");
    dir.Write("B.PAS", "TFoo\r\n");
    const std::string command = std::string("exec \"$0\" ") + option + " job.scr > /dev/full";
    EXPECT_EQ(RunReshape(dir.Path(), {"-c", command, RESHAPE_EXECUTABLE}, "/bin/sh").ExitCode, 1) << option;
    EXPECT_EQ(dir.Read("B.PAS"), after) << option;
  }
}

// A link stays a link: the file it leads to is rewritten, through a scratch file beside it; a
// file reached under two names is converted once, under the first; a link to a read-only file
// is read-only, and a preview counts its changes once. A replaced file keeps its permissions.
TEST(PosixE2E, LinksAreFollowedAndEachFileIsConvertedOnce) {
  TempDir dir;
  fs::create_directory(dir / "sub");
  dir.Write("job.scr", "RENC>TOldPanel,TPanelEx\r\n");
  dir.Write("sub/unit.pas", "TOldPanel\r\n");
  dir.Write("A.PAS", "TOldPanel\r\n");
  fs::permissions(dir / "A.PAS", fs::perms(0640));
  dir.Write("OLD.PAS", "TOldPanel\r\n");
  dir.SetReadOnly("OLD.PAS");
  dir.Write("sub/lro.pas", "TOldPanel\r\n");
  dir.SetReadOnly("sub/lro.pas");
  const std::string form = CompileFormText("object F: TOldPanel\r\nend\r\n");
  dir.Write("sub/form.dfm", form);
  const std::pair<const char*, const char*> links[] = {
      {"LINK.PAS", "sub/unit.pas"}, {"SAME.PAS", "A.PAS"}, {"F.DFM", "sub/form.dfm"}, {"RO.PAS", "OLD.PAS"},
      {"LRO.PAS", "sub/lro.pas"}};
  for (auto [link, to] : links) fs::create_symlink(to, dir / link);
  const std::string notices = "LRO.PAS is read only\nOLD.PAS is read only\nRO.PAS is read only\n";
  const std::string renamed = "> Renamed class \"TOldPanel\" to \"TPanelEx\"\n";
  EXPECT_EQ(RunReshape(dir.Path(), {"-n", "job.scr"}).Output,
            notices + "A.PAS...Converted\nA.PAS" + renamed + "LINK.PAS...Converted\nLINK.PAS" + renamed +
                "F.DFM ...Converted\nF.DFM" + renamed +
                "LRO.PAS is read only: 1 change left out\nOLD.PAS is read only: 1 change left out\n");
  RunResult run = RunReshape(dir.Path(), {"job.scr"});
  EXPECT_EQ(run.Output, notices + "A.PAS...Converted\nLINK.PAS...Converted\nF.DFM ...Converted\n");
  EXPECT_EQ(dir.Read("LINK.PAS"), "TPanelEx\r\n");
  EXPECT_EQ(dir.Read("SAME.PAS"), "TPanelEx\r\n");
  EXPECT_EQ(fs::status(dir / "A.PAS").permissions() & fs::perms::all, fs::perms(0640));
  EXPECT_EQ(dir.Read("OLD.PAS"), "TOldPanel\r\n");
  EXPECT_EQ(dir.Read("sub/lro.pas"), "TOldPanel\r\n");
  EXPECT_EQ(dir.Read("F.DFM"), CompileFormText("object F: TPanelEx\r\nend\r\n"));
  EXPECT_EQ(dir.Read("F.dfb"), form);
  for (auto [link, to] : links) EXPECT_TRUE(fs::is_symlink(dir / link)) << link;
  EXPECT_EQ(dir.List(), (std::vector<std::string>{"A.PAS", "F.DFM", "F.dfb", "F.dft", "LINK.PAS", "LRO.PAS", "OLD.PAS",
                                                  "RO.PAS", "SAME.PAS", "job.LOG", "job.scr", "sub"}));
  EXPECT_FALSE(dir.Exists("sub/unit.XXX") || dir.Exists("sub/form.XXX"));
}

}  // namespace
}  // namespace reshape::e2e
