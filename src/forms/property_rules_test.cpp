#include "forms/property_rules.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "forms/compiler_test_support.h"
#include "forms/test_stream_builder.h"
#include "base/errors.h"

namespace reshape {
namespace {

using test::CompileRun;
using test::FormBytes;
using Lines = std::vector<std::string>;

FormBytes Root(std::string_view className, std::string_view name = "Panel1") {
  FormBytes bytes;
  bytes.Signature().Object(className, name);
  return bytes;
}

// The root Panel1: TPanel whose only property is the set property name holding element.
std::string WithSet(std::string_view name, std::string_view element) {
  return Root("TPanel").Prop(name).Set().Short(element).End().End().End();
}

// A root Panel1 of the given class with these property lines.
std::string Form(std::string_view className, std::string_view properties) {
  return "object Panel1: " + std::string(className) + "\r\n" + std::string(properties) + "end\r\n";
}

const char* kPanelProperties =
    "  Left = 8\r\n"
    "  Ctl3D = False\r\n"
    "  Font.Name = 'Arial'\r\n"
    "  Top = 4\r\n";

std::string Log(std::string_view message) { return "Form1.dfm> " + std::string(message); }

struct RuleCase {
  const char* name;
  std::string script;
  std::string text;
  std::string bytes;
  Lines log;  // the file counts as changed exactly when something is logged
};

TEST(PropertyRules, CompiledBytesAndLog) {
  const std::string left = Form("TPanel", "  Left = 8\r\n");
  const std::string leftBytes = Root("TPanel").Prop("Left").Int8(8).End().End();
  const std::string ctl3dFalse = Form("TPanel", "  Ctl3D = False\r\n");
  const std::string flat =
      Log(R"(Converted propertry "TPanel.Ctl3D = False" to "TPanel.Options[poFlat]")");
  const char* psetFlat = "PSET>TPanel:Ctl3D=False,Options[poFlat]";
  const RuleCase cases[] = {
      {"renp without qualifier, any class", "RENP>ctl3d,Flat3D", Form("TButton", kPanelProperties),
       Root("TButton").Prop("Left").Int8(8).Prop("Flat3D").Byte(TagFalse)
           .Prop("Font.Name").Str("Arial").Prop("Top").Int8(4).End().End(),
       {Log(R"(Renamed propertry "ctl3d" to "Flat3D")")}},
      {"renp qualifier names the new class", "RENC>TPanel,TNewPanel\r\nRENP>TNewPanel:Left,X",
       left, Root("TNewPanel").Prop("X").Int8(8).End().End(),
       {Log(R"(Renamed class "TPanel" to "TNewPanel")"),
        Log(R"(Renamed propertry "Left" to "X")")}},
      {"renp matches whole dotted paths", "RENP>Name,Wrong\r\nRENP>Font.Name,Font.Face",
       Form("TPanel", "  Font . Name = 'Arial'\r\n  Name = 'P'\r\n"),
       Root("TPanel").Prop("Font.Face").Str("Arial").Prop("Wrong").Str("P").End().End(),
       {Log(R"(Renamed propertry "Font.Name" to "Font.Face")"),
        Log(R"(Renamed propertry "Name" to "Wrong")")}},
      {"first matching renp only", "RENP>TButton:Left,A\r\nRENP>Left,B\r\nRENP>TPanel:Left,C",
       left, Root("TPanel").Prop("B").Int8(8).End().End(),
       {Log(R"(Renamed propertry "Left" to "B")")}},
      {"delp qualifier must match", "DELP>TButton:Left\r\nDELP>Top",
       Form("TPanel", "  Left = 8\r\n  Top = 4\r\n"), leftBytes,
       {Log(R"(Deleted propertry "Top")")}},
      {"rules inside a dropped value do not act",
       "DELP>Cols\r\nRENP>Width,W\r\nPSET>TPanel:Width=1,S[e]",
       Form("TPanel", "  Cols = <\r\n    item\r\n      Width = 1\r\n    end>\r\n"),
       Root("TPanel").End().End(), {Log(R"(Deleted propertry "Cols")")}},
      {"pset set goes after the last property", "PSET>TPanel:Ctl3D=false,Options[poFlat]",
       Form("TPanel", kPanelProperties),
       Root("TPanel").Prop("Left").Int8(8).Prop("Font.Name").Str("Arial").Prop("Top").Int8(4)
           .Prop("Options").Set().Short("poFlat").End().End().End(),
       {Log(R"(Converted propertry "TPanel.Ctl3D = false" to "TPanel.Options[poFlat]")")}},
      {"pset other value kept", psetFlat, Form("TPanel", "  Ctl3D = True\r\n"),
       Root("TPanel").Prop("Ctl3D").Byte(TagTrue).End().End(), {}},
      {"pset other value deleted by a delp", std::string("DELP>TPanel:Ctl3D\r\n") + psetFlat,
       Form("TPanel", "  Ctl3D = True\r\n  Ctl3D = False\r\n"), WithSet("Options", "poFlat"),
       {Log(R"(Deleted propertry "Ctl3D")"), flat}},
      {"one set property per name",
       "PSET>T:A=1,First[a]\r\nPSET>T:B=1,Second[b]\r\nPSET>T:C=1,first[c]\r\nPSET>T:D=1,First[a]",
       Form("T", "  B = 1\r\n  A = 1\r\n  C = 1\r\n  D = 1\r\n"),
       Root("T").Prop("Second").Set().Short("b").End()
           .Prop("First").Set().Short("a").Short("c").Short("a").End().End().End(),
       {Log(R"(Converted propertry "T.B = 1" to "T.Second[b]")"),
        Log(R"(Converted propertry "T.A = 1" to "T.First[a]")"),
        Log(R"(Converted propertry "T.C = 1" to "T.first[c]")"),
        Log(R"(Converted propertry "T.D = 1" to "T.First[a]")")}},
      {"conversions in collection items go to the object",
       "PSET>TGrid:Visible=False,Options[goHidden]",
       "object Grid1: TGrid\r\n  Columns = <\r\n    item\r\n      Visible = False\r\n"
       "      Width = 3\r\n    end>\r\n  Top = 2\r\n  object Child: TGrid\r\n    Left = 1\r\n"
       "  end\r\nend\r\n",
       Root("TGrid", "Grid1").Prop("Columns").Collection().List().Prop("Width").Int8(3).End().End()
           .Prop("Top").Int8(2).Prop("Options").Set().Short("goHidden").End().End()
           .Object("TGrid", "Child").Prop("Left").Int8(1).End().End().End(),
       {Log(R"(Converted propertry "TGrid.Visible = False" to "TGrid.Options[goHidden]")")}},
      {"each object gets its own set", psetFlat,
       "object Form1: TForm1\r\n  Ctl3D = False\r\n  object P1: TPanel\r\n    Ctl3D = False\r\n"
       "  end\r\n  object P2: TPanel\r\n    Ctl3D = True\r\n  end\r\nend\r\n",
       Root("TForm1", "Form1").Prop("Ctl3D").Byte(TagFalse).End()
           .Object("TPanel", "P1").Prop("Options").Set().Short("poFlat").End().End().End()
           .Object("TPanel", "P2").Prop("Ctl3D").Byte(TagTrue).End().End().End(),
       {flat}},
      {"rename before set before delete",
       std::string("DELP>Ctl3D\r\n") + psetFlat + "\r\nRENP>Ctl3D,Flat", ctl3dFalse,
       Root("TPanel").Prop("Flat").Byte(TagFalse).End().End(),
       {Log(R"(Renamed propertry "Ctl3D" to "Flat")")}},
  };
  for (const RuleCase& c : cases) {
    SCOPED_TRACE(c.name);
    CompileRun run(c.script);
    EXPECT_EQ(run.Compile(c.text), c.bytes);
    EXPECT_EQ(run.logger.lines, c.log);
    EXPECT_EQ(run.run.FileChanged, !c.log.empty());
  }
}

TEST(PropertyRules, DelpDropsEveryKindOfValue) {
  const std::string values[] = {
      "-INFs", "1.5c", "Form1.Button1", "'a' +\r\n    'b' + #8364", "[fsBold, fsItalic]",
      "(\r\n    1\r\n    (2 'x')\r\n    <>)",
      "<\r\n    item [1]\r\n      Value = (1)\r\n      Sub = <\r\n        item\r\n        end>\r\n"
      "    end>",
      "{\r\n    0A1B\r\n    2C}",
  };
  for (const std::string& value : values) {
    CompileRun run("DELP>TPanel:Gone");
    EXPECT_EQ(run.Compile(Form("TPanel", "  Left = 8\r\n  Gone = " + value + "\r\n  Top = 4\r\n")),
              Root("TPanel").Prop("Left").Int8(8).Prop("Top").Int8(4).End().End().Bytes())
        << value;
    EXPECT_EQ(run.logger.lines, Lines{Log(R"(Deleted propertry "Gone")")}) << value;
  }
}

TEST(PropertyRules, PsetComparesTheValueAsTheTextFormWritesIt) {
  struct Case {
    std::string value;
    std::string ruleValue;
    bool converts;
  };
  const Case cases[] = {
      {"'On'", "on", true},          // decoded string
      {"'O'#110", "On", true},
      {"'On' + 'x'", "On", false},   // the whole joined string
      {"'On' + 'x'", "Onx", true},
      {"#1000'a'", "a", false},      // a unit above 255 equals nothing
      {"12", "12", true},
      {"$C", "12", true},            // the number, as the text form writes it
      {"1.50", "1.5", true},
      {"Form1.Button1", "Form1", false},
      {"Form1.Button1", "Form1.Button1", true},
      {"[a]", "[", false},
      {"clRed", "clBlue", false},
  };
  for (const auto& c : cases) {
    CompileRun run("PSET>TPanel:P=x,S[e]");
    run.commands[0].PropValue = c.ruleValue;  // the script cannot spell every value
    std::string bytes = run.Compile(Form("TPanel", "  P = " + c.value + "\r\n"));
    EXPECT_EQ(run.run.FileChanged, c.converts) << c.value;
    if (c.converts) {
      EXPECT_EQ(bytes, WithSet("S", "e")) << c.value;
    }
  }
}

// A dropped value fails exactly where and as the same value would fail when compiled.
TEST(PropertyRules, DroppedValueFailsLikeACompiledOne) {
  const std::pair<std::string, std::string> values[] = {
      {")", "Invalid property value on line 2"},
      {"{0A1}", "Invalid binary value on line 2"},
      {"(1\r\n", "Invalid property value on line 5"},  // end is a value in a list
      {"A.", "Identifier expected on line 2"},
      {"(" + std::string(300, '('), "Nesting too deep on line 2"},
  };
  for (const auto& [value, message] : values) {
    std::string text = Form("TPanel", "  Gone = " + value + "\r\n");
    test::ExpectFailure<EParserError>([&] { CompileRun().Compile(text); }, message);
    test::ExpectFailure<EParserError>([&] { CompileRun("DELP>Gone").Compile(text); }, message);
  }
  test::ExpectFailure<EConvertError>(
      [] { CompileRun("DELP>Gone").Compile(Form("T", "  Gone = 1-2\r\n")); },
      "'1-2' is not a valid floating point value");
}

// Set conversions into a set property the object states itself: the elements it lacks join it.
TEST(PropertyRules, ConversionsIntoStatedSets) {
  const std::string pset = "PSET>TPanel:Ctl3D=False,Options[poFlat]";
  const std::string twice = pset + "\r\nPSET>TPanel:Border=0,OPTIONS[POFLAT]";
  auto options = [](std::initializer_list<const char*> elements) {
    FormBytes bytes = Root("TPanel").Prop("Options").Set();
    for (const char* e : elements) bytes.Short(e);
    return bytes.End();
  };
  struct Case {
    std::string script;
    std::string properties;
    std::string bytes;
  };
  const Case cases[] = {
      {pset, "  Ctl3D = False\r\n  Options = [poOld]\r\n", options({"poOld", "poFlat"}).End().End()},
      // An element the set already holds, in any case, is not added again.
      {pset, "  options = [POFLAT, poOld]\r\n  Ctl3D = False\r\n",
       Root("TPanel").Prop("options").Set().Short("POFLAT").Short("poOld").End().End().End()},
      {twice, "  Border = 0\r\n  Ctl3D = False\r\n",
       Root("TPanel").Prop("OPTIONS").Set().Short("POFLAT").Short("poFlat").End().End().End()},
      {"DELP>Options\r\n" + pset, "  Options = [a]\r\n  Ctl3D = False\r\n", options({"poFlat"}).End().End()},
      {pset, "  Options = [a]\r\n  Options = 1\r\n  Ctl3D = False\r\n",
       options({"a"}).Prop("Options").Int8(1).Prop("Options").Set().Short("poFlat").End().End().End()},
      {pset, "  I = <\r\n    item\r\n      Options = [a]\r\n    end>\r\n  Ctl3D = False\r\n",
       Root("TPanel").Prop("I").Collection().List().Prop("Options").Set().Short("a").End().End()
           .End().Prop("Options").Set().Short("poFlat").End().End().End()},
      {"PSET>TPanel:Ctl3D=False,Options[" + std::string(255, 'e') + "]\r\nRENP>Left,A.B" +
           std::string(251, 'c'),
       "  Left = 1\r\n  Ctl3D = False\r\n",
       Root("TPanel").Prop("A.B" + std::string(251, 'c')).Int8(1).Prop("Options").Set()
           .Short(std::string(255, 'e')).End().End().End()},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.script + "\n" + c.properties);
    EXPECT_EQ(CompileRun(c.script).Compile(Form("TPanel", c.properties)), c.bytes);
  }
}

// Names a rule writes must read back as the same names: anything else fails the form.
TEST(PropertyRules, Failures) {
  struct Case {
    std::string script;
    const char* properties;
    const char* message;
  };
  const Case cases[] = {
      {"RENP>Ctl3D,", kPanelProperties, "Property name expected on line 3"},
      {"PSET>TPanel:Ctl3D=False,[poFlat]", kPanelProperties, "Property name expected on line 6"},
      {"PSET>TPanel:Ctl3D=False,Options[]", kPanelProperties, "Set element expected on line 6"},
      {"RENC>TPanel,", kPanelProperties, "Class name expected on line 2"},
      {"RENC>TPanel," + std::string(240, 'T'), kPanelProperties, "Class name too long on line 2"},
      {"RENP>Ctl3D,A=B", kPanelProperties, "Property name expected on line 3"},
      {"RENP>Ctl3D," + std::string(256, 'P'), kPanelProperties, "Property name expected on line 3"},
      {"PSET>TPanel:Ctl3D=False,Options[po=Flat]", kPanelProperties, "Set element expected on line 6"},
      {"PSET>TPanel:Ctl3D=False,Options[" + std::string(256, 'e') + "]", kPanelProperties,
       "Set element expected on line 6"},
      {"PSET>TPanel:Ctl3D=False,Scale Mode[poFlat]", kPanelProperties, "Property name expected on line 6"},
      {"RENC>TPanel,TPanel ", kPanelProperties, "Class name expected on line 2"},
      {"RENC>TPanel,A.B", kPanelProperties, "Class name expected on line 2"},
      {"RENP>Left,X", "\r\n  Left 8\r\n", "''='' expected on line 3"},
      {"DELP>Gone", "  Gone 8\r\n", "''='' expected on line 2"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.script);
    test::ExpectFailure<EParserError>(
        [&] { CompileRun(c.script).Compile(Form("TPanel", c.properties)); }, c.message);
  }
}

}  // namespace
}  // namespace reshape
