#include "source/unit_renamer.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "source/rewrite_test_support.h"

namespace reshape {
namespace {

// The lines joined with CR LF after each, as the rewriter writes them.
std::string Lines(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) text += line + "\r\n";
  return text;
}

struct UnitCase {
  std::vector<std::string> input;
  std::vector<std::string> output;
  std::size_t changes;
  std::string script = "RENU>OldUnit,NewUnit";
};

TEST(UnitLineTransformTest, RenamesOnUnitHeadingAndUsesClauseLines) {
  const std::vector<UnitCase> cases = {
      {{"unit OldUnit;", "OldUnit"}, {"unit NewUnit;", "OldUnit"}, 1},
      {{"Uses oldunit, OldUnit;"}, {"Uses NewUnit, OldUnit;"}, 1},
      {{"uses", "  OldUnit,", "  Other;", "type", "  OldUnit = 1;"},
       {"uses", "  NewUnit,", "  Other;", "type", "  OldUnit = 1;"}, 1},
      {{"uses", "  X,", "  OldUnit; const"}, {"uses", "  X,", "  OldUnit; const"}, 0},
      {{"uses A;", "{ OldUnit }", "implementation", "OldUnit", "begin", "OldUnit"},
       {"uses A;", "{ NewUnit }", "implementation", "NewUnit", "begin", "OldUnit"}, 2},
      {{"uses A;", "implementation", "uses OldUnit;", "  OldUnit;"},
       {"uses A;", "implementation", "uses OldUnit;", "  OldUnit;"}, 0},
      {{"// uses", "OldUnit"}, {"// uses", "NewUnit"}, 1},
      {{"uses OldUnit; type", "OldUnit"}, {"uses NewUnit; type", "NewUnit"}, 2},
      {{"unit X; uses OldUnit;", "OldUnit"}, {"unit X; uses NewUnit;", "NewUnit"}, 2},
      {{"usesX OldUnit", "unitY OldUnit"}, {"usesX OldUnit", "unitY OldUnit"}, 0},
      {{"uses", "a OldUnit b Begin", "OldUnit"}, {"uses", "a OldUnit b Begin", "OldUnit"}, 0},
      // Unit names are dotted names, matched as a whole.
      {{"uses Core.OldUnit, OldUnit.X, OldUnit;"}, {"uses Core.OldUnit, OldUnit.X, NewUnit;"}, 1},
      {{"unit A; uses A, B;"}, {"unit P.A; uses A, P.B;"}, 2, "RENU>A,P.A\r\nRENU>B,P.B"},
  };
  for (const UnitCase& c : cases) {
    test::RewriteResult result = test::Rewrite<UnitLineTransform>(c.script, Lines(c.input));
    EXPECT_EQ(result.text, Lines(c.output)) << c.input[0];
    EXPECT_EQ(result.log.size(), c.changes) << c.input[0];
  }
}

TEST(UnitLineTransformTest, LogsScriptSpellingForEachCommand) {
  test::RewriteResult result = test::Rewrite<UnitLineTransform>(
      "RENU>OldUnit,NewUnit\r\nRENC>A,B\r\nRENU>Other,Else\r\n", "uses OLDUNIT, other;");
  EXPECT_EQ(result.text, "uses NewUnit, Else;\r\n");
  EXPECT_EQ(result.log, (std::vector<std::string>{"F> Renamed unit \"OldUnit\" to \"NewUnit\"",
                                                  "F> Renamed unit \"Other\" to \"Else\""}));
}

}  // namespace
}  // namespace reshape
