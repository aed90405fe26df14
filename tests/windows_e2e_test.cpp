// End-to-end behaviour that only Windows shows: share modes held by another process, the
// command line as one text, backslash paths, file attributes.
#include <filesystem>

#include <gtest/gtest.h>

#include "e2e_harness.h"
#include "platform/windows_api.h"

namespace reshape::e2e {
namespace {

TEST(WindowsE2E, FileHeldByAnotherProcessFailsTheRunAndStaysUnchanged) {
  const std::string sharing = "A.PAS..." + Report("EInOutError", "I/O error 32.");
  const std::tuple<const char*, HeldFile::Mode, const char*, std::string> cases[] = {
      {"A.PAS", HeldFile::Mode::Exclusive, "RENC>TFoo,TBar\r\n", sharing},
      {"A.PAS", HeldFile::Mode::Reading, "RENC>TFoo,TBar\r\n", sharing},  // read, not replaced
      {"A.DFM", HeldFile::Mode::Exclusive, "RENP>Tag,Tag2\r\n",
       "A.DFM ..." + Report("EFOpenError", "Cannot open file A.DFM.")},
      {"job.LOG", HeldFile::Mode::Exclusive, "RENC>TFoo,TBar\r\n", sharing},
      {"job.scr", HeldFile::Mode::Exclusive, "RENC>TFoo,TBar\r\n",
       Report("EFOpenError", "Cannot open file job.scr.")},
  };
  for (const auto& [held, mode, script, expected] : cases) {
    TempDir dir;
    dir.Write("job.scr", script);
    dir.Write("A.PAS", "TFoo\r\n");
    dir.Write("A.DFM", "not a form");
    dir.Write("job.LOG", "");
    RunResult run = RunReshapeWhileHeld(dir / held, mode, dir.Path(), {"job.scr"});
    EXPECT_EQ(run.ExitCode, 1) << held;
    EXPECT_EQ(MaskAddress(run.Output), expected) << held;
    EXPECT_EQ(dir.Read("A.PAS"), "TFoo\r\n") << held;
    EXPECT_EQ(dir.Read("A.DFM"), "not a form") << held;
    EXPECT_FALSE(dir.Exists("A.XXX")) << held;
  }
}

// The command line is split by its own rule (the unit tests show it); a wildcard is passed on
// as typed; backslash paths are logged as typed.
TEST(WindowsE2E, CommandLineIsSplitByItsOwnRuleAndPathsAreLoggedAsTyped) {
  const std::pair<const char*, std::string> cases[] = {
      {"\"\" \"my job.scr\" \"\" other.pas \"my unit.pas",
       "other.pas...No change\nmy unit.pas...Converted\n"},
      {"\"my job.scr\" *.pas", "*.pas..."},
  };
  for (const auto& [arguments, expected] : cases) {
    TempDir dir;
    dir.Write("my job.scr", "RENC>TFoo,TBar\r\n");
    dir.Write("my unit.pas", "TFoo\r\n");
    dir.Write("other.pas", "x\r\n");
    RunResult run = RunReshapeCommandLine(dir.Path(), arguments);
    EXPECT_EQ(run.Output.substr(0, expected.size()), expected) << arguments;
    EXPECT_EQ(dir.Read("my unit.pas"), run.ExitCode == 0 ? "TBar\r\n" : "TFoo\r\n") << arguments;
  }
  TempDir dir;
  std::filesystem::create_directory(dir / "src");
  dir.Write("job.scr", "RENC>TFoo,TBar\r\nRENP>Tag,Tag2\r\n");
  dir.Write("src/unit1.pas", "TFoo\r\n");
  dir.Write("src/form1.dfm", "not a form");
  RunResult run = RunReshapeCommandLine(dir.Path(), "job.scr src\\unit1.pas .\\src\\form1.dfm");
  EXPECT_EQ(MaskAddress(run.Output), "src\\unit1.pas...Converted\n.\\src\\form1.dfm ..." +
                                         Report("EInvalidImage", "Invalid stream format."));
  EXPECT_EQ(dir.Read("src/unit1.pas"), "TBar\r\n");
  EXPECT_EQ(dir.Read("job.LOG"), "SRC\\UNIT1.PAS> Renamed class \"TFoo\" to \"TBar\"\r\n");
  EXPECT_EQ(dir.Read("src/form1.dfb"), "not a form");
}

TEST(WindowsE2E, ReplacedFileKeepsItsAttributes) {
  TempDir dir;
  dir.Write("job.scr", "RENC>TFoo,TBar\r\n");
  dir.Write("A.PAS", "TFoo\r\n");
  std::string path = dir / "A.PAS";
  ::SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_HIDDEN);
  if ((::GetFileAttributesA(path.c_str()) & FILE_ATTRIBUTE_HIDDEN) == 0)
    GTEST_SKIP() << "this file system keeps no hidden attribute";
  EXPECT_EQ(RunReshape(dir.Path(), {"job.scr"}).Output, "A.PAS...Converted\n");
  EXPECT_EQ(dir.Read("A.PAS"), "TBar\r\n");
  EXPECT_NE(::GetFileAttributesA(path.c_str()) & FILE_ATTRIBUTE_HIDDEN, 0u);
}

}  // namespace
}  // namespace reshape::e2e
