#include "forms/text_form_editor.h"

#include <gtest/gtest.h>

#include "forms/text_form_test_support.h"

namespace reshape::test {
namespace {

TEST(TextFormEditor, TellsTextFormsByTheirFirstWord) {
  const std::pair<std::string, bool> cases[] = {
      {"\xEF\xBB\xBF\r\n\t INHERITED A: TA", true}, {"Inline F: TF", true}, {"object:", true},
      {"objects", false}, {"\xEF\xBB\xBF", false}, {"TPF0\x06TForm1", false}, {"object\xC3\xA9", false},
  };
  for (const auto& [file, text] : cases) EXPECT_EQ(IsTextForm(file), text) << file;
}

const std::string kDeleted = R"(Form1.dfm> Deleted propertry "Gone")";
const std::string kConverted = R"(Form1.dfm> Converted propertry "TA.P = x" to "TA.S[e]")";

// The layout of the edits: untouched bytes stay, whatever their breaks and indentation.
TEST(TextFormEditor, EditsInPlace) {
  const std::tuple<std::string, std::string, std::string, std::vector<std::string>> rows[] = {
      {"RENC>TZ,TY", "\xEF\xBB\xBFobject A: TA\r\n\tP = 'a' + 'x'\n  Q = #1000'\xC3\xA9'\rend",
       "\xEF\xBB\xBFobject A: TA\r\n\tP = 'a' + 'x'\n  Q = #1000'\xC3\xA9'\rend", {}},
      {"RENC>T\xC3\xA9,TB", "object A: T\xC3\xA9\r\n  object B:t\xC3\xA9 [2]\r\n  end\r\nend",
       "object A: TB\r\n  object B:TB [2]\r\n  end\r\nend",
       std::vector<std::string>(2, "Form1.dfm> Renamed class \"T\xC3\xA9\" to \"TB\"")},
      {"DELP>Gone", "object A: TA\r\n\tGone = 1\r\n\tTop = 2\r\nend\r\n", "object A: TA\r\n\tTop = 2\r\nend\r\n",
       {kDeleted}},
      {"DELP>Gone", "object A: TA\r  Gone = 'a' +\r    'b'\r  Top = 2\rend", "object A: TA\r  Top = 2\rend",
       {kDeleted}},
      {"DELP>Gone", "object A: TA\n  Top = 1 Gone = 2\n  Gone = 3 Top = 1\nend",
       "object A: TA\n  Top = 1 \n  Top = 1\nend", {kDeleted, kDeleted}},
      {"DELP>Gone", "object A: TA\n  Caption = 'object'\n  Gone = object\nend",
       "object A: TA\n  Caption = 'object'\nend", {kDeleted}},
      // A converted property goes; its set is a new line before the first child or the end.
      {"PSET>TA:P=x,S[e]", "object A: TA\r\n    P = x\r\n  object B: TB\r\n  end\r\nend",
       "object A: TA\r\n    S = [e]\r\n  object B: TB\r\n  end\r\nend", {kConverted}},
      {"PSET>TA:P=x,S[e]", "  object A: TA P = x\n  end", "  object A: TA \n    S = [e]\n  end", {kConverted}},
      {"PSET>TA:P=x,S[e]", "object A: TA\n  S = [ ]\n  P = x\n  inline F: TF\n  end\nend",
       "object A: TA\n  S = [ e]\n  inline F: TF\n  end\nend", {kConverted}},
      // Texts the compiler cannot read fail as it fails.
      {"DELP>Gone", "\xEF\xBB\xBF", "OBJECT expected on line 1", {}},
      {"DELP>Gone", "object A: TA\n  P = \nend", "Identifier expected on line 3", {}},
      {"DELP>Gone", "object A: TA\n  P = 'x\nend", "Invalid string constant on line 2", {}},
      {"DELP>Gone", "object A: TA\n  P = [a b]\nend", "'','' expected on line 2", {}},
  };
  for (const auto& [script, text, expected, log] : rows) {
    const TextFormRun run = EditTextFormRun(text, ParseScript(script));
    EXPECT_EQ(run.failure.empty() ? run.text : run.failure, expected) << text;
    EXPECT_EQ(run.log, log) << text;
    EXPECT_EQ(CheckConsistency(text, ParseScript(script)), "") << text;
  }
}

}  // namespace
}  // namespace reshape::test
