// The names, lines and reports the driver builds from fixed pieces.
#include <gtest/gtest.h>

#include "driver/change_log.h"
#include "driver/failure_report.h"
#include "driver/file_selection.h"
#include "driver/form_pass.h"

namespace reshape {
namespace {

TEST(ChangeLogLineTest, UpperCasesOnlyAsciiLetters) {
  EXPECT_EQ(ChangeLogLine("src\\unit1.pas", "Renamed unit \"A\" to \"B\""),
            "SRC\\UNIT1.PAS> Renamed unit \"A\" to \"B\"\r\n");
  EXPECT_EQ(ChangeLogLine("\xe9t\xe9.pas", "m"), "\xe9T\xe9.PAS> m\r\n");
  EXPECT_EQ(ChangeLogLine("`az{.pas", "m"), "`AZ{.PAS> m\r\n");
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
