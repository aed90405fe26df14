#include "source/unit_renamer.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "source/rewrite_test_support.h"

namespace reshape {
namespace {

using test::Rewrite;
using test::RewriteResult;

// The lines joined with CR LF after each, as the rewriter writes them.
std::string Lines(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) text += line + "\r\n";
  return text;
}

struct UnitCase {
  std::string name;
  std::vector<std::string> input;
  std::vector<std::string> output;
  std::size_t changes;
};

TEST(UnitLineTransformTest, RenamesOnUnitHeadingAndUsesClauseLines) {
  const std::vector<UnitCase> cases = {
      {"unit heading", {"unit OldUnit;"}, {"unit NewUnit;"}, 1},
      {"uses line any case", {"Uses oldunit, Other;"}, {"Uses NewUnit, Other;"}, 1},
      {"clause over lines", {"uses", "  OldUnit,", "  Other;", "type", "  OldUnit = 1;"},
       {"uses", "  NewUnit,", "  Other;", "type", "  OldUnit = 1;"}, 1},
      {"end keyword on the last clause line", {"uses", "  X,", "  OldUnit; const"},
       {"uses", "  X,", "  OldUnit; const"}, 0},
      {"qualified use after the clause", {"uses A;", "var", "OldUnit.Proc;"},
       {"uses A;", "var", "OldUnit.Proc;"}, 0},
      {"comment after the clause before a keyword",
       {"uses A;", "", "{ see OldUnit }", "implementation", "OldUnit.X", "begin"},
       {"uses A;", "", "{ see NewUnit }", "implementation", "OldUnit.X", "begin"}, 1},
      {"second uses clause ends the state",
       {"uses A;", "implementation", "uses OldUnit;", "  OldUnit;"},
       {"uses A;", "implementation", "uses OldUnit;", "  OldUnit;"}, 0},
      {"uses in a comment starts the state", {"// uses", "OldUnit"}, {"// uses", "NewUnit"}, 1},
      {"uses and end keyword on one line", {"uses OldUnit; type", "OldUnit"},
       {"uses NewUnit; type", "NewUnit"}, 2},
      {"neither uses nor unit", {"package P;", "requires OldUnit;"},
       {"package P;", "requires OldUnit;"}, 0},
      {"uses wins over unit on one line", {"unit X; uses OldUnit;", "OldUnit"},
       {"unit X; uses NewUnit;", "NewUnit"}, 2},
      {"unit line outside the state does not start it", {"unit OldUnit;", "OldUnit"},
       {"unit NewUnit;", "OldUnit"}, 1},
      {"keywords must be whole words", {"usesX OldUnit", "unitY OldUnit"},
       {"usesX OldUnit", "unitY OldUnit"}, 0},
      {"end keyword at any word", {"uses", "a OldUnit b Begin", "OldUnit"},
       {"uses", "a OldUnit b Begin", "OldUnit"}, 0},
      {"first occurrence only", {"uses OldUnit, OldUnit;"}, {"uses NewUnit, OldUnit;"}, 1},
      {"dotted name is one name", {"uses Core.OldUnit, OldUnit;"},
       {"uses Core.OldUnit, NewUnit;"}, 1},
      {"heading behind a byte-order mark", {"\xEF\xBB\xBFunit OldUnit;"},
       {"\xEF\xBB\xBFunit NewUnit;"}, 1},
  };
  for (const UnitCase& c : cases) {
    RewriteResult result =
        Rewrite<UnitLineTransform>("RENU>OldUnit,NewUnit\r\n", Lines(c.input));
    EXPECT_EQ(result.text, Lines(c.output)) << c.name;
    EXPECT_EQ(result.log.size(), c.changes) << c.name;
    EXPECT_EQ(result.changed, c.changes > 0) << c.name;
  }
}

TEST(UnitLineTransformTest, LogsScriptSpellingForEachCommand) {
  RewriteResult result = Rewrite<UnitLineTransform>(
      "RENU>OldUnit,NewUnit\r\nRENC>A,B\r\nRENU>Other,Else\r\n", "uses OLDUNIT, other;");
  EXPECT_EQ(result.text, "uses NewUnit, Else;\r\n");
  EXPECT_EQ(result.log, (std::vector<std::string>{"F> Renamed unit \"OldUnit\" to \"NewUnit\"",
                                                  "F> Renamed unit \"Other\" to \"Else\""}));
}

TEST(UnitLineTransformTest, RenamesDottedNamesAsAWhole) {
  struct DottedCase {
    std::string script;
    std::string input;
    std::string output;
  };
  const std::vector<DottedCase> cases = {
      {"RENU>Gui.StdCtrls,StdCtrls", "uses gui.stdctrls, StdCtrls;", "uses StdCtrls, StdCtrls;"},
      {"RENU>Windows,Os.Windows", "uses Os.Windows, Other;", "uses Os.Windows, Other;"},
      {"RENU>Os.,X\r\nRENU>.Windows,X", "uses Os.Windows, Os;", "uses Os.Windows, Os;"},
      {"RENU>A,P.A\r\nRENU>B,P.B", "unit A; uses A, B;", "unit P.A; uses A, P.B;"},
  };
  for (const DottedCase& c : cases)
    EXPECT_EQ(Rewrite<UnitLineTransform>(c.script, c.input).text, c.output + "\r\n") << c.script;
}

TEST(UnitLineTransformTest, EachTransformStartsOutsideUsesClause) {
  const CommandList commands = ParseScript("RENU>OldUnit,NewUnit");
  test::RecordingLogger logger;
  RunState state(commands, logger);
  {
    UnitLineTransform first(state);
    RewriteText("uses\r\n", first);
  }
  UnitLineTransform second(state);
  EXPECT_EQ(RewriteText("OldUnit\r\n", second), "OldUnit\r\n");
}

}  // namespace
}  // namespace reshape
