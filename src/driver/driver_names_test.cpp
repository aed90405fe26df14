// The names, lines and reports the driver builds from fixed pieces.
#include <gtest/gtest.h>

#include "driver/change_log.h"
#include "driver/failure_report.h"
#include "driver/file_selection.h"
#include "driver/form_pass.h"

namespace reshape {
namespace {

TEST(ReplaceExtensionTest, LastDotUnlessASeparatorFollows) {
  struct Case {
    const char* name;
    const char* expected;
  };
  const Case cases[] = {
      {"FORM1.DFM", "FORM1.dfb"},
      {"sub.dir\\FORM1", "sub.dir\\FORM1.dfb"},
      {"sub.dir/FORM1", "sub.dir/FORM1.dfb"},
      {"a.b.dfm", "a.b.dfb"},
      {"C:FORM1", "C:FORM1.dfb"},
      {"", ".dfb"},
  };
  for (const Case& c : cases) EXPECT_EQ(ReplaceExtension(c.name, ".dfb"), c.expected) << c.name;
}

TEST(NamePartTest, AfterTheLastSeparator) {
  EXPECT_EQ(NamePart("src\\unit1.pas"), "unit1.pas");
  EXPECT_EQ(NamePart("src/unit1.pas"), "unit1.pas");
  EXPECT_EQ(NamePart("C:unit1.pas"), "unit1.pas");
  EXPECT_EQ(NamePart("unit1.pas"), "unit1.pas");
}

TEST(ChangeLogLineTest, UpperCasesOnlyAsciiLetters) {
  EXPECT_EQ(ChangeLogLine("src\\unit1.pas", "Renamed unit \"A\" to \"B\""),
            "SRC\\UNIT1.PAS> Renamed unit \"A\" to \"B\"\r\n");
  EXPECT_EQ(ChangeLogLine("\xe9t\xe9.pas", "m"), "\xe9T\xe9.PAS> m\r\n");
}

TEST(FailureReportTest, FinalFullStopOnlyWhenMissing) {
  EXPECT_EQ(FailureReport("EInOutError", "reshape", 0x41A2C4, "File access denied"),
            "Exception EInOutError in module reshape at 0041A2C4.\nFile access denied.\n");
  EXPECT_EQ(FailureReport("EReadError", "reshape", 0x400000, "Stream read error."),
            "Exception EReadError in module reshape at 00400000.\nStream read error.\n");
  EXPECT_EQ(FailureReport("Exception", "reshape", 0x400000, ""),
            "Exception Exception in module reshape at 00400000.\n\n");
}

}  // namespace
}  // namespace reshape
