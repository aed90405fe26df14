#include "script/script_reader.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/errors.h"
#include "forms/test_stream_builder.h"

namespace reshape {
namespace {

// The kind, line and every non-empty field of each command, in field order.
std::vector<std::string> Describe(const CommandList& commands) {
  static const char* const kKinds[] = {"RENC", "RENP", "DELP", "PSET", "RENU", "PKGR", "RENS"};
  std::vector<std::string> lines;
  for (const TCommand& c : commands) {
    std::string out = kKinds[static_cast<int>(c.Kind)] + std::to_string(c.ScriptLine);
    for (const std::string* field : {&c.ClassName, &c.NewClassName, &c.PropName, &c.NewPropName, &c.PropValue,
                                     &c.SetValue, &c.UnitName, &c.NewUnitName, &c.PackageName, &c.NewPackageName,
                                     &c.OldString, &c.NewString})
      out += "|" + *field;
    while (out.ends_with("|")) out.pop_back();
    lines.push_back(out);
  }
  return lines;
}

TEST(ParseScriptTest, CommandsAndTheirFields) {
  const std::pair<std::string, std::vector<std::string>> cases[] = {
      {"renc>TA,TB\r\nRENC>,TB\r\nRENC>TA,", {"RENC1|TA|TB", "RENC2||TB", "RENC3|TA"}},
      {"RENS>one,two,three", {"RENS1|||||||||||one|two,three"}},
      {"RENP>Caption,Text\nRENP>TButton:Caption,Text\nRENP>Caption,X:Y",
       {"RENP1|||Caption|Text", "RENP2|TButton||Caption|Text", "RENP3|Caption,X|||X:Y"}},
      {"DELP>TLabel:Font.Name\nDELP>", {"DELP1|TLabel||Font.Name", "DELP2"}},
      {"PSET>TPanel:Ctl3D=False,Options[poFlat]\nPSET>A:B=C,D[E]F]\nPSET>][,=:",
       {"PSET1|TPanel||Ctl3D|Options|False|poFlat", "PSET2|A||B|D|C|E", "PSET3|][,="}},
      {"RENU>Old,New\rPKGR>Pkg50,", {"RENU1|||||||Old|New", "PKGR2|||||||||Pkg50"}},
      // Lines break at CR, LF and CR LF; lines without a keyword in their first five
      // characters are ignored; a NUL ends the text.
      {"x\r\n RENC>A,B\n\rRENC\r\r\nRENX>A,B\nRENC\x1E" "A,B\n//RENC>A,B\nRENS>x,y", {"RENS9|||||||||||x|y"}},
      {std::string("RENC>A,B\0RENC>C,D", 17), {"RENC1|A|B"}},
      {"\xEF\xBB\xBFRENC>A,B\r\nRENC>C,D", {"RENC1|A|B", "RENC2|C|D"}},
      {std::string("\x01\0RENC>A,B", 10), {}},
  };
  for (const auto& [text, described] : cases) EXPECT_EQ(Describe(ParseScript(text)), described) << text;
  EXPECT_EQ(ParseScript("note\r\nrenc>A,B")[0].Text, "renc>A,B");
  EXPECT_EQ(LogFileNameFor("..\\jobs\\step.one.scr"), "step.LOG");
  EXPECT_EQ(LogFileNameFor("script"), "script.LOG");
}

TEST(ParseScriptTest, MalformedOrUtf16ScriptFails) {
  const std::string at = " (N:\\Builds\\Common\\Reshape, line ";
  const std::string utf16 = "Script file is UTF-16; save it as ANSI or UTF-8";
  const std::pair<std::string, std::string> cases[] = {
      {"RENC>A,B\r\nRENC>TA\r\nRENS>", "Syntax error: RENC>TOldClassName,TNewClassName" + at + "137)"},
      {"RENP>TButton:Caption", "Syntax error: RENP>TSomeClass.OldPropName,NewPropName" + at + "143)"},
      {"pset>A:B=C,D[E",
       "Syntax error: PSET>TSomeClassName:OldPropName=PropValue,SetName[NewPropSetValue]" + at + "167)"},
      {"RENU>Old", "Syntax error: RENU>OldUnitName,NewUnitName" + at + "176)"},
      {"PKGR>Old", "Syntax error: PKGR>OldPackageName,NewPackageName" + at + "183)"},
      {"RENS>", "Syntax error: RENS>OldString,NewString" + at + "189)"},
      {"\xFF\xFER", utf16}, {std::string("R\0E\0", 4), utf16}, {std::string("\0~", 2), utf16},
  };
  for (const auto& c : cases) test::ExpectFailure("EAssertionFailed", [&] { ParseScript(c.first); }, c.second);
}

}  // namespace
}  // namespace reshape
