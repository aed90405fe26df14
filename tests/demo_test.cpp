// The demo tree in examples/: its binary forms are the compiled text forms kept beside them,
// and the demo script does what the README shows.
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
  EXPECT_EQ(run.ExitCode, 0);
  EXPECT_EQ(run.Output,
            "Main.pas...Converted\nOldUtils.pas...No change\nWidgets.cpp...Converted\n"
            "Widgets.h...Converted\nMain.pas...Converted\nOldUtils.pas...Converted\n"
            "Demo.dpk...No change\nAbout.dfm ...Converted\nMain.dfm ...Converted\n"
            "Demo.bpr...Converted\n");
  EXPECT_EQ(dir.Read("demo.LOG"),
            "MAIN.PAS> Renamed class \"TOldButton\" to \"TFlatButton\"\r\n"
            "MAIN.PAS> Renamed class \"TOldPanel\" to \"TPanelEx\"\r\n"
            "MAIN.PAS> Renamed string \"Widgets 5\" to \"Widgets 6\"\r\n"
            "WIDGETS.CPP> Renamed class \"TOldButton\" to \"TFlatButton\"\r\n"
            "WIDGETS.CPP> Renamed class \"TOldButton\" to \"TFlatButton\"\r\n"
            "WIDGETS.H> Renamed class \"TOldButton\" to \"TFlatButton\"\r\n"
            "WIDGETS.H> Renamed class \"TOldButton\" to \"TFlatButton\"\r\n"
            "MAIN.PAS> Renamed unit \"OldUtils\" to \"WidgetUtils\"\r\n"
            "OLDUTILS.PAS> Renamed unit \"OldUtils\" to \"WidgetUtils\"\r\n"
            "ABOUT.DFM> Deleted propertry \"OldCreateOrder\"\r\n"
            "ABOUT.DFM> Renamed class \"TOldButton\" to \"TFlatButton\"\r\n"
            "ABOUT.DFM> Renamed propertry \"Caption\" to \"Text\"\r\n"
            "MAIN.DFM> Deleted propertry \"OldCreateOrder\"\r\n"
            "MAIN.DFM> Renamed class \"TOldPanel\" to \"TPanelEx\"\r\n"
            "MAIN.DFM> Converted propertry \"TPanelEx.Ctl3D = False\" to \"TPanelEx.Options[poFlat]\"\r\n"
            "MAIN.DFM> Renamed class \"TOldButton\" to \"TFlatButton\"\r\n"
            "MAIN.DFM> Renamed propertry \"Caption\" to \"Text\"\r\n"
            "DEMO.BPR> Renamed/Replaced package \"wdgt50\" to \"wdgt60\"\r\n"
            "DEMO.BPR> Renamed/Replaced package \"wdgt50\" to \"wdgt60\"\r\n");
  EXPECT_EQ(dir.Read("Main.dfb"), ReadWholeFile(kExamples + "/demo/Main.dfm"));
  EXPECT_EQ(dir.Read("Main.dft"), ReadWholeFile(kExamples + "/form-texts/Main.dfm.txt"));
}

}  // namespace
}  // namespace reshape::e2e
