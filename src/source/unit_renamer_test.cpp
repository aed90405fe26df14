#include "source/unit_renamer.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "source/rewrite_test_support.h"

namespace reshape {
namespace {

// Lines are joined with LF, which the rewriter keeps.
TEST(UnitLineTransformTest, RenamesOnUnitHeadingAndUsesClauseLines) {
  const std::tuple<std::string, std::string, std::size_t> cases[] = {
      {"unit OldUnit;\nOldUnit", "unit NewUnit;\nOldUnit", 1},
      {"Uses oldunit, OldUnit;", "Uses NewUnit, OldUnit;\r\n", 1},
      {"uses\n  OldUnit,\n  Other;\ntype\n  OldUnit = 1;", "uses\n  NewUnit,\n  Other;\ntype\n  OldUnit = 1;", 1},
      {"uses\n  X,\n  OldUnit; const", "uses\n  X,\n  OldUnit; const", 0},
      {"uses A;\n{ OldUnit }\nimplementation\nOldUnit\nbegin\nOldUnit",
       "uses A;\n{ NewUnit }\nimplementation\nNewUnit\nbegin\nOldUnit", 2},
      {"uses A;\nimplementation\nuses OldUnit;\n  OldUnit;", "uses A;\nimplementation\nuses OldUnit;\n  OldUnit;", 0},
      {"// uses\nOldUnit", "// uses\nNewUnit", 1},
      {"unit X; uses OldUnit; type\nOldUnit", "unit X; uses NewUnit; type\nNewUnit", 2},
      {"usesX OldUnit\nunitY OldUnit", "usesX OldUnit\nunitY OldUnit", 0},
      {"uses\na OldUnit b Begin\nOldUnit", "uses\na OldUnit b Begin\nOldUnit", 0},
      {"uses A;\ninterface\nOldUnit", "uses A;\ninterface\nOldUnit", 0},
      // Unit names are dotted names, matched as a whole.
      {"uses Core.OldUnit, OldUnit.X, OldUnit;", "uses Core.OldUnit, OldUnit.X, NewUnit;\r\n", 1},
  };
  for (const auto& [input, output, changes] : cases) {
    test::RewriteResult result = test::Rewrite<UnitLineTransform>("RENU>OldUnit,NewUnit", input);
    EXPECT_EQ(result.text, output) << input;
    EXPECT_EQ(result.log.size(), changes) << input;
  }
}

TEST(UnitLineTransformTest, LogsScriptSpellingForEachCommand) {
  test::RewriteResult result = test::Rewrite<UnitLineTransform>(
      "RENU>OldUnit,NewUnit\r\nRENC>A,B\r\nRENU>Other,P.Else\r\n", "unit Other; uses OLDUNIT, other;");
  EXPECT_EQ(result.text, "unit P.Else; uses NewUnit, other;\r\n");
  EXPECT_EQ(result.log, (std::vector<std::string>{"F> Renamed unit \"OldUnit\" to \"NewUnit\"",
                                                  "F> Renamed unit \"Other\" to \"P.Else\""}));
}

}  // namespace
}  // namespace reshape
