// End-to-end behaviour that only Windows shows: share modes held by another process, the
// command line as one text (split by the rule the unit tests show),
// backslash paths.
#include <filesystem>

#include <gtest/gtest.h>

#include "e2e_harness.h"
#include "platform/windows_api.h"

namespace reshape::e2e {
namespace {

TEST(WindowsE2E, FileHeldWithNoSharingFailsWithTheSharingViolation) {
  struct Case {
    const char* name;
    const char* held;
    std::string script;
    std::string expected;
  };
  const Case cases[] = {
      {"source file", "A.PAS", "RENC>TFoo,TBar\r\n",
       "A.PAS..." + Report("EInOutError", "I/O error 32.")},
      {"form file", "A.DFM", "RENP>Tag,Tag2\r\n",
       "A.DFM ..." + Report("EFOpenError", "Cannot open file A.DFM.")},
      {"change log", "job.LOG", "RENC>TFoo,TBar\r\n",
       "A.PAS..." + Report("EInOutError", "I/O error 32.")},
      {"script", "job.scr", "RENC>TFoo,TBar\r\n",
       Report("EFOpenError", "Cannot open file job.scr.")},
  };
  for (const Case& c : cases) {
    TempDir dir;
    dir.Write("job.scr", c.script);
    dir.Write("A.PAS", "TFoo\r\n");
    dir.Write("A.DFM", "not a form");
    dir.Write("job.LOG", "");
    RunResult run =
        RunReshapeWhileHeld(dir / c.held, HeldFile::Mode::Exclusive, dir.Path(), {"job.scr"});
    EXPECT_EQ(run.ExitCode, 1) << c.name;
    EXPECT_EQ(MaskAddress(run.Output), c.expected) << c.name;
    EXPECT_EQ(dir.Read("A.PAS"), "TFoo\r\n") << c.name;
    EXPECT_EQ(dir.Read("A.DFM"), "not a form") << c.name;
    EXPECT_FALSE(dir.Exists("A.XXX")) << c.name;
  }
}

TEST(WindowsE2E, FileOthersReadMayBeReadButNotReplaced) {
  TempDir dir;
  dir.Write("job.scr", "RENC>TFoo,TBar\r\n");
  dir.Write("A.PAS", "TFoo\r\n");
  RunResult run =
      RunReshapeWhileHeld(dir / "A.PAS", HeldFile::Mode::Reading, dir.Path(), {"job.scr"});
  EXPECT_EQ(run.ExitCode, 1);
  EXPECT_EQ(MaskAddress(run.Output), "A.PAS..." + Report("EInOutError", "I/O error 32."));
  EXPECT_EQ(dir.Read("A.PAS"), "TFoo\r\n");
  EXPECT_FALSE(dir.Exists("A.XXX"));
}

TEST(WindowsE2E, CommandLineIsSplitByItsOwnRule) {
  struct Case {
    const char* arguments;
    std::string expected;
  };
  const Case cases[] = {
      {"\"\" \"my job.scr\" \"\" other.pas \"my unit.pas",
       "other.pas...No change\nmy unit.pas...Converted\n"},
      // A wildcard is passed on as typed, never expanded.
      {"\"my job.scr\" *.pas", "*.pas..."},
  };
  for (const Case& c : cases) {
    TempDir dir;
    dir.Write("my job.scr", "RENC>TFoo,TBar\r\n");
    dir.Write("my unit.pas", "TFoo\r\n");
    dir.Write("other.pas", "x\r\n");
    RunResult run = RunReshapeCommandLine(dir.Path(), c.arguments);
    EXPECT_EQ(run.Output.substr(0, c.expected.size()), c.expected) << c.arguments;
    EXPECT_EQ(dir.Read("my unit.pas"), run.ExitCode == 0 ? "TBar\r\n" : "TFoo\r\n") << c.arguments;
  }
}

TEST(WindowsE2E, BackslashPathsWorkAndAreLoggedAsTyped) {
  TempDir dir;
  std::filesystem::create_directory(dir / "src");
  dir.Write("job.scr", "RENC>TFoo,TBar\r\nRENP>Tag,Tag2\r\n");
  dir.Write("src/unit1.pas", "TFoo\r\n");
  dir.Write("src/form1.dfm", "not a form");
  RunResult run = RunReshapeCommandLine(dir.Path(), "job.scr src\\unit1.pas .\\src\\form1.dfm");
  EXPECT_EQ(run.ExitCode, 1);
  EXPECT_EQ(MaskAddress(run.Output),
            "src\\unit1.pas...Converted\n.\\src\\form1.dfm ..." +
                Report("EInvalidImage", "Invalid stream format."));
  EXPECT_EQ(dir.Read("src/unit1.pas"), "TBar\r\n");
  EXPECT_EQ(dir.Read("job.LOG"), "SRC\\UNIT1.PAS> Renamed class \"TFoo\" to \"TBar\"\r\n");
  EXPECT_EQ(dir.Read("src/form1.dfb"), "not a form");
  EXPECT_FALSE(dir.Exists("src/unit1.XXX"));
}

TEST(WindowsE2E, ReplacedFileKeepsItsAttributes) {
  TempDir dir;
  dir.Write("job.scr", "RENC>TFoo,TBar\r\n");
  dir.Write("A.PAS", "TFoo\r\n");
  std::string path = dir / "A.PAS";
  ::SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_HIDDEN);
  if ((::GetFileAttributesA(path.c_str()) & FILE_ATTRIBUTE_HIDDEN) == 0)
    GTEST_SKIP() << "this file system keeps no hidden attribute";
  RunResult run = RunReshape(dir.Path(), {"job.scr"});
  EXPECT_EQ(run.Output, "A.PAS...Converted\n");
  EXPECT_EQ(dir.Read("A.PAS"), "TBar\r\n");
  EXPECT_NE(::GetFileAttributesA(path.c_str()) & FILE_ATTRIBUTE_HIDDEN, 0u);
}

}  // namespace
}  // namespace reshape::e2e
