// End-to-end runs of the form pass over text forms: edited in place, backed up, logged.
#include <gtest/gtest.h>

#include <filesystem>

#include "e2e_harness.h"
#include "e2e_scenario.h"

namespace reshape::e2e {
namespace {

const std::string kText =
    "\xEF\xBB\xBFobject Form1: TForm1\n  Caption = 'Main'\n  object P: TOldPanel\n    Ctl3D = False"
    "\n  end\nend";
const std::string kMigrated =
    "\xEF\xBB\xBFobject Form1: TForm1\n  Caption = 'Main'\n  object P: TPanelEx\n"
    "    Options = [poFlat]\n  end\nend";
const char* kScript = "RENC>TOldPanel,TPanelEx\r\nPSET>TPanelEx:Ctl3D=False,Options[poFlat]\r\n";

TEST(TextFormPassE2E, Runs) {
  const Scenario cases[] = {
      {.name = "edited in place, byte copy, no text side file",
       .files = {{"job.scr", kScript}, {"A.dfm", kText}},
       .output = "A.dfm ...Converted\n",
       .after = {{"A.dfm", kMigrated}, {"A.dfb", kText},
                 {"job.LOG", "A.DFM> Renamed class \"TOldPanel\" to \"TPanelEx\"\r\n"
                             "A.DFM> Converted propertry \"TPanelEx.Ctl3D = False\" to "
                             "\"TPanelEx.Options[poFlat]\"\r\n"}},
       .entries = {"A.dfb", "A.dfm", "job.LOG", "job.scr"}},
      {.name = "no rule matches: no change, named",
       .files = {{"job.scr", "RENC>TNone,TOther\r\n"}, {"A.dfm", kText}},
       .arguments = {"job.scr", "A.dfm"},
       .output = "A.dfm ...No change\n",
       .after = {{"A.dfm", kText}, {"A.dfb", kText}},
       .entries = {"A.dfb", "A.dfm", "job.scr"}},
      {.name = "a text that does not read stays, without log",
       .files = {{"job.scr", kScript}, {"A.dfm", kText + "\nobject"}, {"B.dfm", "inline"}},
       .exitCode = 1,
       .output = "A.dfm ...Converted\nB.dfm ..." + Report("EParserError",
                                                             "Identifier expected on line 1."),
       .after = {{"B.dfm", "inline"}, {"B.dfb", "inline"}, {"B.dft", "<missing>"}}},
  };
  for (const Scenario& c : cases) RunScenario(c);
}

// A form no rule changes is not replaced: a second link to it still names the same file.
TEST(TextFormPassE2E, UnchangedFormIsNotReplaced) {
  TempDir dir;
  dir.Write("job.scr", "RENC>TNone,TOther\r\n");
  dir.Write("A.dfm", kText);
  std::filesystem::create_hard_link(dir / "A.dfm", dir / "second.link");
  EXPECT_EQ(RunReshape(dir.Path(), {"job.scr"}).Output, "A.dfm ...No change\n");
  EXPECT_TRUE(std::filesystem::equivalent(dir / "A.dfm", dir / "second.link"));
}

}  // namespace
}  // namespace reshape::e2e
