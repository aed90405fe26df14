#include "script/script_reader.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/errors.h"

namespace reshape {
namespace {

// The kind and every non-empty field of a command, in field order, as one readable line.
std::string Describe(const TCommand& c) {
  static const char* const kKinds[] = {"RENC", "RENP", "DELP", "PSET", "RENU", "PKGR", "RENS"};
  std::string out = kKinds[static_cast<int>(c.Kind)];
  auto field = [&out](const char* name, const std::string& value) {
    if (!value.empty()) out += std::string(" ") + name + "='" + value + "'";
  };
  field("ClassName", c.ClassName);
  field("NewClassName", c.NewClassName);
  field("PropName", c.PropName);
  field("NewPropName", c.NewPropName);
  field("PropValue", c.PropValue);
  field("SetValue", c.SetValue);
  field("UnitName", c.UnitName);
  field("NewUnitName", c.NewUnitName);
  field("PackageName", c.PackageName);
  field("NewPackageName", c.NewPackageName);
  field("OldString", c.OldString);
  field("NewString", c.NewString);
  return out;
}

std::vector<std::string> DescribeAll(const CommandList& commands) {
  std::vector<std::string> out;
  for (const TCommand& c : commands) out.push_back(Describe(c));
  return out;
}

struct FieldCase {
  std::string line;
  std::string expected;
};

TEST(ParseScriptTest, ExtractsFieldsOfEachKind) {
  const std::vector<FieldCase> cases = {
      {"RENC>TA,TB", "RENC ClassName='TA' NewClassName='TB'"},
      {"renc>TA,TB", "RENC ClassName='TA' NewClassName='TB'"},
      {"rEnS>a,b", "RENS OldString='a' NewString='b'"},
      {"RENC> TA , TB ", "RENC ClassName=' TA ' NewClassName=' TB '"},
      {"RENC>,TB", "RENC NewClassName='TB'"},
      {"RENC>TA,", "RENC ClassName='TA'"},
      {"RENC>,", "RENC"},
      {"RENS>one,two,three", "RENS OldString='one' NewString='two,three'"},
      {"RENP>Caption,Text", "RENP PropName='Caption' NewPropName='Text'"},
      {"RENP>TButton.Caption,Text", "RENP PropName='TButton.Caption' NewPropName='Text'"},
      {"RENP>TButton:Caption,Text",
       "RENP ClassName='TButton' PropName='Caption' NewPropName='Text'"},
      {"RENP>Caption,X:Y", "RENP ClassName='Caption,X' NewPropName='X:Y'"},
      {"DELP>TLabel:Font.Name", "DELP ClassName='TLabel' PropName='Font.Name'"},
      {"DELP>Tag", "DELP PropName='Tag'"},
      {"DELP>", "DELP"},
      {"DELP>TLabel:", "DELP ClassName='TLabel'"},
      {"PSET>TPanel:Ctl3D=False,Options[poFlat]",
       "PSET ClassName='TPanel' PropName='Ctl3D' NewPropName='Options' PropValue='False' "
       "SetValue='poFlat'"},
      // Only presence is checked: out of order, the fields simply come out empty.
      {"PSET>][,=:", "PSET ClassName='][,='"},
      {"PSET>A:B=C,D[E]F]", "PSET ClassName='A' PropName='B' NewPropName='D' PropValue='C' "
                            "SetValue='E'"},
      {"RENU>OldUnit,NewUnit", "RENU UnitName='OldUnit' NewUnitName='NewUnit'"},
      {"PKGR>Pkg50,", "PKGR PackageName='Pkg50'"},
      {"RENC>T\xC4\xD6,T\xE4\xF6", "RENC ClassName='T\xC4\xD6' NewClassName='T\xE4\xF6'"},
      {"RENS>\t a\t,\tb ", "RENS OldString='\t a\t' NewString='\tb '"},
  };
  for (const FieldCase& c : cases) {
    CommandList commands = ParseScript(c.line);
    ASSERT_EQ(commands.size(), 1u) << c.line;
    EXPECT_EQ(Describe(commands[0]), c.expected) << c.line;
  }
}

TEST(ParseScriptTest, IgnoresLinesWithoutKeywordInFirstFiveCharacters) {
  const std::vector<std::string> ignored = {
      "", "RENC", "RENX>A,B", " RENC>A,B", "RENC,A>B", "REN>",
      "RENC\x1E" "A,B",  // differs from ">" only in the bit that folds letters
      "\xD2\xC5\xCE\xC3>A,B", "// RENC>A,B", "\tRENC>A,B"};
  for (const std::string& line : ignored)
    EXPECT_TRUE(ParseScript(line).empty()) << line;
}

TEST(ParseScriptTest, LinesAndOrder) {
  const std::string ab = "RENC ClassName='A' NewClassName='B'";
  const std::string xy = "RENS OldString='x' NewString='y'";
  const std::pair<std::string, std::vector<std::string>> cases[] = {
      {"RENC>A,B\r\nRENC>C,D\rRENC>E,F\nRENC>G,H\n\rRENC>I,J\r\r\nRENC>K,L\r\n",
       {ab, "RENC ClassName='C' NewClassName='D'", "RENC ClassName='E' NewClassName='F'",
        "RENC ClassName='G' NewClassName='H'", "RENC ClassName='I' NewClassName='J'",
        "RENC ClassName='K' NewClassName='L'"}},
      {"comment\r\nRENS>x,y", {xy}},
      {"\xEF\xBB\xBFRENS>x,y", {xy}},
      {"\xEF\xBB\xBF", {}},
      {std::string("\x01\0RENS>x,y", 10), {}},
      {std::string("RENC>A,B\r\nRENS>x,y\0z\r\nRENC>bad\r\n", 32), {ab, xy}},
      {"", {}},
      {"\r\n\r\n; just notes\r\nrename TA to TB\n", {}},
      {"RENS>x,y\r\nDELP>Tag\r\nRENC>A,B\r\n", {xy, "DELP PropName='Tag'", ab}},
  };
  for (const auto& [text, described] : cases) EXPECT_EQ(DescribeAll(ParseScript(text)), described);
}

struct SyntaxCase {
  std::string line;
  std::string message;
};

TEST(ParseScriptTest, MalformedCommandRaisesAssertionWithFixedNumber) {
  const std::vector<SyntaxCase> cases = {
      {"RENC>TA",
       "Syntax error: RENC>TOldClassName,TNewClassName (N:\\Builds\\Common\\Reshape, line 137)"},
      {"RENP>TButton:Caption",
       "Syntax error: RENP>TSomeClass.OldPropName,NewPropName "
       "(N:\\Builds\\Common\\Reshape, line 143)"},
      {"PSET>TPanel:Ctl3D=False,Options[poFlat",
       "Syntax error: PSET>TSomeClassName:OldPropName=PropValue,SetName[NewPropSetValue] "
       "(N:\\Builds\\Common\\Reshape, line 167)"},
      {"pset>",
       "Syntax error: PSET>TSomeClassName:OldPropName=PropValue,SetName[NewPropSetValue] "
       "(N:\\Builds\\Common\\Reshape, line 167)"},
      {"RENU>Old",
       "Syntax error: RENU>OldUnitName,NewUnitName (N:\\Builds\\Common\\Reshape, line 176)"},
      {"PKGR>Old",
       "Syntax error: PKGR>OldPackageName,NewPackageName (N:\\Builds\\Common\\Reshape, line 183)"},
      {"RENS>", "Syntax error: RENS>OldString,NewString (N:\\Builds\\Common\\Reshape, line 189)"},
      {"\xFF\xFER", "Script file is UTF-16; save it as ANSI or UTF-8"},
      {"\xFE\xFF", "Script file is UTF-16; save it as ANSI or UTF-8"},
      {std::string("R\0E\0", 4), "Script file is UTF-16; save it as ANSI or UTF-8"},
      {std::string("\0~", 2), "Script file is UTF-16; save it as ANSI or UTF-8"},
  };
  for (const SyntaxCase& c : cases) {
    try {
      ParseScript(c.line);
      ADD_FAILURE() << "no failure for " << c.line;
    } catch (const EAssertionFailed& e) {
      EXPECT_EQ(e.Message(), c.message);
      EXPECT_STREQ(e.ClassName(), "EAssertionFailed");
    }
  }
}

TEST(ParseScriptTest, MalformedLineAfterGoodOnesStopsReading) {
  std::string text;
  for (int i = 0; i < 10; ++i) text += "RENC>A,B\r\n";
  text += "RENC>broken\r\nRENS>also broken\r\n";
  try {
    ParseScript(text);
    ADD_FAILURE() << "no failure";
  } catch (const EAssertionFailed& e) {
    EXPECT_NE(e.Message().find("line 137"), std::string::npos) << e.Message();
  }
}

TEST(ParseScriptTest, HandlesHundredThousandCommands) {
  std::string text;
  constexpr int kCount = 100000;
  for (int i = 0; i < kCount; ++i)
    text += "RENC>TOld" + std::to_string(i) + ",TNew" + std::to_string(i) + "\r\n";
  CommandList commands = ParseScript(text);
  ASSERT_EQ(commands.size(), static_cast<std::size_t>(kCount));
  EXPECT_EQ(commands.front().ClassName, "TOld0");
  EXPECT_EQ(commands.back().ClassName, "TOld99999");
  EXPECT_EQ(commands.back().NewClassName, "TNew99999");
}

TEST(ParseScriptTest, KeepsVeryLongFieldsWhole) {
  const std::string longName(1 << 20, 'x');
  CommandList commands = ParseScript("RENS>" + longName + "," + longName + "y");
  ASSERT_EQ(commands.size(), 1u);
  EXPECT_EQ(commands[0].OldString, longName);
  EXPECT_EQ(commands[0].NewString, longName + "y");
}

TEST(LogFileNameForTest, UsesBaseNameWithoutDirectory) {
  EXPECT_EQ(LogFileNameFor("RESHAPE.SCR"), "RESHAPE.LOG");
  EXPECT_EQ(LogFileNameFor("..\\jobs\\step.one.scr"), "step.LOG");
  EXPECT_EQ(LogFileNameFor("../jobs/Mig.scr"), "Mig.LOG");
  EXPECT_EQ(LogFileNameFor("script"), "script.LOG");
}

}  // namespace
}  // namespace reshape
