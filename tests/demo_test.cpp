// The demo tree in examples/: its binary forms are the compiled text forms kept beside them,
// and the demo script does what the README shows.
#include <algorithm>
#include <filesystem>

#include <gtest/gtest.h>

#include "corpus_files.h"
#include "e2e_harness.h"

namespace reshape::e2e {
namespace {

const std::string kExamples = std::string(RESHAPE_SOURCE_DIR) + "/examples";

TEST(DemoTest, BinaryFormsAreTheCompiledTextForms) {
  for (const char* form : {"Main", "About"}) {
    EXPECT_EQ(CompileFormText(ReadWholeFile(kExamples + "/form-texts/" + form + ".dfm.txt")),
              ReadWholeFile(kExamples + "/demo/" + form + ".dfm"))
        << form;
  }
}

TEST(DemoTest, ScriptMigratesTheTree) {
  TempDir dir;
  std::filesystem::copy(kExamples + "/demo", dir.Path(), std::filesystem::copy_options::recursive);
  RunResult run = RunReshape(dir.Path(), {"demo.scr"});
  const std::string log = dir.Read("demo.LOG");
  EXPECT_EQ(run.ExitCode, 0);
  EXPECT_EQ(run.Output,
            "Main.pas...Converted\nOldUtils.pas...No change\nWidgets.cpp...Converted\n"
            "Widgets.h...Converted\nMain.pas...Converted\nOldUtils.pas...Converted\n"
            "Demo.dpk...Converted\nWidgets.cpp...Converted\nWidgets.h...No change\n"
            "About.dfm ...Converted\nMain.dfm ...Converted\nDemo.bpr...Converted\nDemo.dpk...Converted\n");
  // Every pass logs; the passes' own tests check each line.
  EXPECT_EQ(std::count(log.begin(), log.end(), '\n'), 27);
  // Every class name of a line, also in templates and after tabs.
  for (const char* source : {"Widgets.cpp", "Widgets.h"})
    EXPECT_EQ(dir.Read(source).find("TOldButton"), std::string::npos) << source;
  EXPECT_EQ(dir.Read("Main.dfb"), ReadWholeFile(kExamples + "/demo/Main.dfm"));
  EXPECT_EQ(dir.Read("Main.dft"), ReadWholeFile(kExamples + "/form-texts/Main.dfm.txt"));
}

}  // namespace
}  // namespace reshape::e2e
