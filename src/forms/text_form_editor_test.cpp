#include "forms/text_form_editor.h"

#include <gtest/gtest.h>

#include "forms/text_form_test_support.h"

namespace reshape::test {
namespace {

using Lines = std::vector<std::string>;

std::string Log(std::string_view message) { return "Form1.dfm> " + std::string(message); }

TEST(TextFormEditor, TellsTextFormsByTheirFirstWord) {
  const std::pair<std::string, bool> cases[] = {
      {"object A: TA\r\nend", true},    {"\xEF\xBB\xBF\r\n\t INHERITED A: TA", true},
      {"Inline F: TF", true},           {"objects", false},
      {"\xEF\xBB\xBF", false},          {"", false},
      {"\xFF\x0A\x00TFORM1", false},    {"TPF0\x06TForm1", false},
      {"object\xC3\xA9", false},        {"object:", true},
  };
  for (const auto& [file, text] : cases) EXPECT_EQ(IsTextForm(file), text) << file;
}

struct Row {
  std::string script;
  std::string text;
  std::string expected;  // the migrated text, or the failure message
  Lines log;
};

std::string Deep(int levels) {
  std::string text;
  for (int i = 0; i < levels; ++i) text += "object A: TA\n";
  for (int i = 0; i < levels; ++i) text += "end\n";
  return text;
}

std::string LongList(int lines) {
  std::string list = "(";
  for (int i = 0; i < lines; ++i) list += "\r\n    " + std::to_string(i);
  return list + ")";
}

const std::string kDeleted = R"(Deleted propertry "Gone")";
const std::string kConverted = R"(Converted propertry "TA.P = x" to "TA.S[e]")";

TEST(TextFormEditor, EditsInPlace) {
  const Row rows[] = {
      // Nothing matches: the very bytes, however they are laid out.
      {"RENC>TZ,TY", "\xEF\xBB\xBFobject A: TA\r\n\tP = 'a' + 'x'\n  Q = #1000'\xC3\xA9'\rend",
       "\xEF\xBB\xBFobject A: TA\r\n\tP = 'a' + 'x'\n  Q = #1000'\xC3\xA9'\rend", {}},
      {"RENC>TA,TNew", "object A: TA\r\n  object B:ta [2]\r\n  end\r\nend",
       "object A: TNew\r\n  object B:TNew [2]\r\n  end\r\nend",
       {Log(R"(Renamed class "TA" to "TNew")"), Log(R"(Renamed class "TA" to "TNew")")}},
      {"RENC>T\xC3\xA9,TB", "inherited F: T\xC3\xA9\nend", "inherited F: TB\nend",
       {Log("Renamed class \"T\xC3\xA9\" to \"TB\"")}},
      {"RENP>Font.Name,Font.Face", "object A: TA\n  Font . Name = 'x' Top = 1\nend\n",
       "object A: TA\n  Font.Face = 'x' Top = 1\nend\n",
       {Log(R"(Renamed propertry "Font.Name" to "Font.Face")")}},
      // A deleted property takes its whole lines, whatever their breaks and indentation.
      {"DELP>Gone", "object A: TA\r\n\tGone = 1\r\n\tTop = 2\r\nend\r\n",
       "object A: TA\r\n\tTop = 2\r\nend\r\n", {Log(kDeleted)}},
      {"DELP>Gone", "object A: TA\r  Gone = 'a' +\r    'b'\r  Top = 2\rend",
       "object A: TA\r  Top = 2\rend", {Log(kDeleted)}},
      {"DELP>Gone", "object A: TA\n  Gone = " + LongList(300) + "\nend",
       "object A: TA\nend", {Log(kDeleted)}},
      {"DELP>Gone", "object A: TA\n  Top = 1 Gone = 2\nend", "object A: TA\n  Top = 1 \nend",
       {Log(kDeleted)}},
      {"DELP>Gone", "object A: TA\n  Gone = 2 Top = 1\n  Gone = 3\nend",
       "object A: TA\n  Top = 1\nend",
       {Log(kDeleted), Log(kDeleted)}},
      {"DELP>Gone", "object A: TA\n  Caption = 'object'\n  Gone = object\nend",
       "object A: TA\n  Caption = 'object'\nend", {Log(kDeleted)}},
      // A converted property goes; its set is a new line before the first child or the end.
      {"PSET>TA:P=x,S[e]", "object A: TA\r\n    P = x\r\n  object B: TB\r\n  end\r\nend",
       "object A: TA\r\n    S = [e]\r\n  object B: TB\r\n  end\r\nend", {Log(kConverted)}},
      {"PSET>TA:P=x,S[e]", "  object A: TA P = x\n  end", "  object A: TA \n    S = [e]\n  end",
       {Log(kConverted)}},
      {"PSET>TA:P=x,S[e]\nPSET>TA:Q=1.5,S[f]\nPSET>TA:R=16,T[g]",
       "object A: TA\n  R = $10\n  Q = 1.50\n  S = [a, E]\n  P = 'x'\n  inline F: TF\n  end\nend",
       "object A: TA\n  S = [a, E, f]\n  T = [g]\n  inline F: TF\n  end\nend",
       {Log(R"(Converted propertry "TA.R = 16" to "TA.T[g]")"),
        Log(R"(Converted propertry "TA.Q = 1.5" to "TA.S[f]")"), Log(kConverted)}},
      {"PSET>TA:P=x,S[e]", "object A: TA\n  S = [ ]\n  P = x\nend",
       "object A: TA\n  S = [ e]\nend", {Log(kConverted)}},
      {"PSET>TA:P=abc,S[e]", "object A: TA\n  P = 'a' +\n    'b' + 'c'\nend",
       "object A: TA\n  S = [e]\nend",
       {Log(R"(Converted propertry "TA.P = abc" to "TA.S[e]")")}},
      {"PSET>TA:P=a,S[e]", "object A: TA\n  P = #1000'a'\nend", "object A: TA\n  P = #1000'a'\nend",
       {}},
      // Conversions in collection items go to the enclosing object.
      {"PSET>TA:P=x,S[e]", "object A: TA\n  I = <\n    item\n      P = x\n    end>\nend",
       "object A: TA\n  I = <\n    item\n    end>\n  S = [e]\nend", {Log(kConverted)}},
      // Texts that cannot be read or names that would not read back: the compiler's failures.
      {"DELP>Gone", "\xEF\xBB\xBF", "OBJECT expected on line 1", {}},
      {"DELP>Gone", "object A: TA\n  P = \nend", "Identifier expected on line 3", {}},
      {"DELP>Gone", "object A: TA\n  P = )\nend", "Invalid property value on line 2", {}},
      {"DELP>Gone", "object A: TA\n  P = 'x\nend", "Invalid string constant on line 2", {}},
      {"DELP>Gone", "object A: TA\n  P = [a b]\nend", "'','' expected on line 2", {}},
      {"RENP>P,Bad Name", "object A: TA\n  P = 1\nend", "Property name expected on line 2", {}},
      {"DELP>Gone", Deep(100000), "Nesting too deep on line 257", {}},
  };
  for (const Row& row : rows) {
    const TextFormRun run = EditTextFormRun(row.text, ParseScript(row.script));
    EXPECT_EQ(run.failure.empty() ? run.text : run.failure, row.expected) << row.text;
    EXPECT_EQ(run.log, row.log) << row.text;
    EXPECT_EQ(CheckConsistency(row.text, ParseScript(row.script)), "") << row.text;
  }
}

TEST(TextFormEditor, AUnitAbove255EqualsNoScriptValue) {
  CommandList commands = ParseScript("PSET>TA:P=x,S[e]");
  commands[0].PropValue = std::string(1, '\0');  // what #256 would be cut to
  const std::string text = "object A: TA\n  P = #256\nend";
  EXPECT_EQ(EditTextFormRun(text, commands).text, text);
}

}  // namespace
}  // namespace reshape::test
