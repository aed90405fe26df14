#include "forms/property_rules.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "forms/compiler_test_support.h"
#include "forms/test_stream_builder.h"
#include "platform/errors.h"

namespace reshape {
namespace {

using test::CompileRun;
using test::Delp;
using test::FormBytes;
using test::Pset;
using test::Renc;
using test::Renp;
using Lines = std::vector<std::string>;

FormBytes Root(std::string_view className, std::string_view name) {
  FormBytes bytes;
  bytes.Signature().Object(className, name);
  return bytes;
}

// The root Panel1: TPanel whose only property is the set property name holding element.
std::string WithSet(std::string_view name, std::string_view element) {
  return Root("TPanel", "Panel1").Prop(name).Set().Short(element).End().End().End();
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

TEST(Renp, WithoutQualifierRenamesInEveryClass) {
  for (const char* className : {"TPanel", "TButton"}) {
    CompileRun run({Renp("", "ctl3d", "Flat3D")});
    EXPECT_EQ(run.Compile(Form(className, kPanelProperties)),
              Root(className, "Panel1")
                  .Prop("Left").Int8(8)
                  .Prop("Flat3D").Byte(TagFalse)
                  .Prop("Font.Name").Str("Arial")
                  .Prop("Top").Int8(4)
                  .End().End().Bytes());
    EXPECT_EQ(run.logger.lines, Lines{"Form1.dfm> Renamed propertry \"ctl3d\" to \"Flat3D\""});
    EXPECT_TRUE(run.run.FileChanged);
  }
}

TEST(Renp, QualifierMatchesClassIgnoringCase) {
  CompileRun matching({Renp("tpanel", "Left", "X")});
  EXPECT_EQ(matching.Compile(Form("TPanel", "  Left = 8\r\n")),
            Root("TPanel", "Panel1").Prop("X").Int8(8).End().End().Bytes());
  CompileRun other({Renp("TButton", "Left", "X")});
  EXPECT_EQ(other.Compile(Form("TPanel", "  Left = 8\r\n")),
            Root("TPanel", "Panel1").Prop("Left").Int8(8).End().End().Bytes());
  EXPECT_TRUE(other.logger.lines.empty());
  EXPECT_FALSE(other.run.FileChanged);
}

TEST(Renp, QualifierNamesTheClassAfterRenaming) {
  CompileRun oldName({Renc("TPanel", "TNewPanel"), Renp("TPanel", "Left", "X")});
  EXPECT_EQ(oldName.Compile(Form("TPanel", "  Left = 8\r\n")),
            Root("TNewPanel", "Panel1").Prop("Left").Int8(8).End().End().Bytes());
  CompileRun newName({Renc("TPanel", "TNewPanel"), Renp("TNewPanel", "Left", "X")});
  EXPECT_EQ(newName.Compile(Form("TPanel", "  Left = 8\r\n")),
            Root("TNewPanel", "Panel1").Prop("X").Int8(8).End().End().Bytes());
}

TEST(Renp, MatchesWholeDottedPaths) {
  CompileRun run({Renp("", "Name", "Wrong"), Renp("", "Font.Name", "Font.Face")});
  EXPECT_EQ(run.Compile(Form("TPanel", "  Font . Name = 'Arial'\r\n  Name = 'P'\r\n")),
            Root("TPanel", "Panel1").Prop("Font.Face").Str("Arial").Prop("Wrong").Str("P")
                .End().End().Bytes());
  CompileRun part({Renp("", "Font", "X")});
  EXPECT_EQ(part.Compile(Form("TPanel", "  Font.Name = 'Arial'\r\n")),
            Root("TPanel", "Panel1").Prop("Font.Name").Str("Arial").End().End().Bytes());
}

TEST(Renp, FirstMatchingRuleOnly) {
  CompileRun run(
      {Renp("TButton", "Left", "A"), Renp("", "Left", "B"), Renp("TPanel", "Left", "C")});
  EXPECT_EQ(run.Compile(Form("TPanel", "  Left = 8\r\n")),
            Root("TPanel", "Panel1").Prop("B").Int8(8).End().End().Bytes());
  EXPECT_EQ(run.logger.lines, Lines{"Form1.dfm> Renamed propertry \"Left\" to \"B\""});
}

TEST(Renp, MissingEqualsFails) {
  test::ExpectFailure<EParserError>(
      [] { CompileRun({Renp("", "Left", "X")}).Compile(Form("TPanel", "\r\n  Left 8\r\n")); },
      "''='' expected on line 3");
}

TEST(Delp, DropsEveryKindOfValue) {
  const std::string values[] = {
      "8",
      "-INF",
      "-INFs",
      "99999999999",
      "1.5c",
      "clRed",
      "Form1.Button1",
      "'a' +\r\n    'b' + #8364",
      "[fsBold, fsItalic]",
      "[]",
      "(\r\n    1\r\n    (2 'x')\r\n    <>)",
      "<\r\n    item [1]\r\n      Value = (1)\r\n"
      "      Sub = <\r\n        item\r\n        end>\r\n    end>",
      "{\r\n    0A1B\r\n    2C}",
  };
  for (const std::string& value : values) {
    CompileRun run({Delp("TPanel", "Gone")});
    EXPECT_EQ(run.Compile(Form("TPanel", "  Left = 8\r\n  Gone = " + value + "\r\n  Top = 4\r\n")),
              Root("TPanel", "Panel1").Prop("Left").Int8(8).Prop("Top").Int8(4).End().End().Bytes())
        << value;
    EXPECT_EQ(run.logger.lines, Lines{"Form1.dfm> Deleted propertry \"Gone\""}) << value;
  }
}

TEST(Delp, QualifierMustMatch) {
  CompileRun run({Delp("TButton", "Left"), Delp("", "Top")});
  EXPECT_EQ(run.Compile(Form("TPanel", "  Left = 8\r\n  Top = 4\r\n")),
            Root("TPanel", "Panel1").Prop("Left").Int8(8).End().End().Bytes());
  EXPECT_EQ(run.logger.lines, Lines{"Form1.dfm> Deleted propertry \"Top\""});
}

TEST(Delp, RulesInsideADroppedValueDoNotAct) {
  CompileRun run(
      {Delp("", "Cols"), Renp("", "Width", "W"), Pset("TPanel", "Width", "1", "S", "e")});
  EXPECT_EQ(run.Compile(Form("TPanel", "  Cols = <\r\n    item\r\n      Width = 1\r\n"
                                       "    end>\r\n")),
            Root("TPanel", "Panel1").End().End().Bytes());
  EXPECT_EQ(run.logger.lines, Lines{"Form1.dfm> Deleted propertry \"Cols\""});
}

struct BadValue {
  std::string text;
  std::string message;
};

// A dropped value fails exactly where and as the same value would fail when compiled.
TEST(Delp, DroppedValueFailsLikeACompiledOne) {
  const BadValue values[] = {
      {")", "Invalid property value on line 2"},
      {"'a' + 5", "String expected on line 2"},
      {"[a b]", "'','' expected on line 2"},
      {"<x>", "item expected on line 2"},
      {"{0A1}", "Invalid binary value on line 2"},
      {"(1\r\n", "Invalid property value on line 5"},  // end is a value in a list
      {"'open", "Invalid string constant on line 2"},
      {"A.", "Identifier expected on line 2"},
      {"(" + std::string(300, '(') , "Nesting too deep on line 2"},
  };
  for (const auto& value : values) {
    std::string text = Form("TPanel", "  Gone = " + value.text + "\r\n");
    test::ExpectFailure<EParserError>([&] { CompileRun().Compile(text); }, value.message);
    test::ExpectFailure<EParserError>(
        [&] { CompileRun({Delp("", "Gone")}).Compile(text); }, value.message);
  }
  test::ExpectFailure<EConvertError>(
      [] { CompileRun({Delp("", "Gone")}).Compile(Form("T", "  Gone = 1-2\r\n")); },
      "'1-2' is not a valid floating point value");
}

TEST(Delp, MissingEqualsFails) {
  test::ExpectFailure<EParserError>(
      [] { CompileRun({Delp("", "Gone")}).Compile(Form("TPanel", "  Gone 8\r\n")); },
      "''='' expected on line 2");
}

TEST(Pset, MatchingValueBecomesSetElementAfterLastProperty) {
  CompileRun run({Pset("TPanel", "Ctl3D", "false", "Options", "poFlat")});
  EXPECT_EQ(run.Compile(Form("TPanel", kPanelProperties)),
            Root("TPanel", "Panel1")
                .Prop("Left").Int8(8)
                .Prop("Font.Name").Str("Arial")
                .Prop("Top").Int8(4)
                .Prop("Options").Set().Short("poFlat").End()
                .End().End().Bytes());
  EXPECT_EQ(run.logger.lines,
            Lines{"Form1.dfm> Converted propertry \"TPanel.Ctl3D = false\" to "
                  "\"TPanel.Options[poFlat]\""});
  EXPECT_TRUE(run.run.FileChanged);
  EXPECT_TRUE(run.pending.empty());
}

TEST(Pset, LogNamesTheCurrentClassAsTheObjectHasIt) {
  CompileRun run({Pset("tpanel", "Ctl3D", "False", "Options", "poFlat")});
  run.Compile(Form("TPANEL", "  Ctl3D = False\r\n"));
  EXPECT_EQ(run.logger.lines,
            Lines{"Form1.dfm> Converted propertry \"tpanel.Ctl3D = False\" to "
                  "\"TPANEL.Options[poFlat]\""});
}

TEST(Pset, ComparesTheFirstTokenOfTheValue) {
  struct Case {
    std::string value;
    std::string ruleValue;
    bool converts;
  };
  const Case cases[] = {
      {"'On'", "on", true},          // decoded string
      {"'O'#110", "On", true},
      {"'On' + 'x'", "On", true},    // only the first literal is compared
      {"12", "12", true},
      {"$C", "12", false},           // the literal text, not its value
      {"1.5s", "1.5s", true},
      {"Form1.Button1", "Form1", true},
      {"Form1.Button1", "Form1.Button1", false},
      {"[a]", "[", true},
      {"clRed", "clBlue", false},
  };
  for (const auto& c : cases) {
    CompileRun run({Pset("TPanel", "P", c.ruleValue, "S", "e")});
    std::string bytes = run.Compile(Form("TPanel", "  P = " + c.value + "\r\n"));
    EXPECT_EQ(run.run.FileChanged, c.converts) << c.value;
    if (c.converts) {
      EXPECT_EQ(bytes, WithSet("S", "e")) << c.value;
    }
  }
}

TEST(Pset, OtherValueIsKeptUnlogged) {
  CompileRun run({Pset("TPanel", "Ctl3D", "False", "Options", "poFlat")});
  EXPECT_EQ(run.Compile(Form("TPanel", "  Ctl3D = True\r\n")),
            Root("TPanel", "Panel1").Prop("Ctl3D").Byte(TagTrue).End().End().Bytes());
  EXPECT_TRUE(run.logger.lines.empty());
  EXPECT_FALSE(run.run.FileChanged);
}

TEST(Pset, OtherValueIsDeletedWhenADelpRuleNamesIt) {
  CompileRun run({Delp("TPanel", "Ctl3D"), Pset("TPanel", "Ctl3D", "False", "Options", "poFlat")});
  EXPECT_EQ(run.Compile(Form("TPanel", "  Ctl3D = True\r\n  Ctl3D = False\r\n")),
            WithSet("Options", "poFlat"));
  EXPECT_EQ(run.logger.lines,
            (Lines{"Form1.dfm> Deleted propertry \"Ctl3D\"",
                   "Form1.dfm> Converted propertry \"TPanel.Ctl3D = False\" to "
                   "\"TPanel.Options[poFlat]\""}));
}

TEST(Pset, ClassMustBeNamedAndEqual) {
  CompileRun empty({Pset("", "Ctl3D", "False", "Options", "poFlat")});
  EXPECT_EQ(empty.Compile(Form("TPanel", "  Ctl3D = False\r\n")),
            Root("TPanel", "Panel1").Prop("Ctl3D").Byte(TagFalse).End().End().Bytes());
  CompileRun other({Pset("TButton", "Ctl3D", "False", "Options", "poFlat")});
  EXPECT_EQ(other.Compile(Form("TPanel", "  Ctl3D = False\r\n")),
            Root("TPanel", "Panel1").Prop("Ctl3D").Byte(TagFalse).End().End().Bytes());
  EXPECT_FALSE(empty.run.FileChanged || other.run.FileChanged);
}

TEST(Pset, SeveralRulesForOnePropertyTryEachValue) {
  CompileRun run({Pset("TPanel", "Align", "alTop", "Anchors", "akTop"),
                  Pset("TPanel", "Align", "alLeft", "Anchors", "akLeft"),
                  Pset("TPanel", "Align", "alLeft", "Anchors", "akNever")});
  EXPECT_EQ(run.Compile(Form("TPanel", "  Align = alLeft\r\n")),
            WithSet("Anchors", "akLeft"));
  EXPECT_EQ(run.logger.lines,
            Lines{"Form1.dfm> Converted propertry \"TPanel.Align = alLeft\" to "
                  "\"TPanel.Anchors[akLeft]\""});
}

TEST(Pset, TwoConversionsIntoOneSet) {
  CompileRun run({Pset("TPanel", "Ctl3D", "False", "Options", "poFlat"),
                  Pset("TPanel", "Border", "0", "Options", "poNoBorder")});
  EXPECT_EQ(run.Compile(Form("TPanel", "  Border = 0\r\n  Left = 1\r\n  Ctl3D = False\r\n"
                                       "  Options = [poOld]\r\n")),
            Root("TPanel", "Panel1")
                .Prop("Left").Int8(1)
                .Prop("Options").Set().Short("poOld").End()
                .Prop("Options").Set().Short("poNoBorder").Short("poFlat").End()
                .End().End().Bytes());
}

TEST(Pset, OneSetPropertyPerName) {
  CompileRun run({Pset("T", "A", "1", "First", "a"), Pset("T", "B", "1", "Second", "b"),
                  Pset("T", "C", "1", "first", "c"), Pset("T", "D", "1", "First", "a")});
  EXPECT_EQ(run.Compile(Form("T", "  B = 1\r\n  A = 1\r\n  C = 1\r\n  D = 1\r\n")),
            Root("T", "Panel1")
                .Prop("Second").Set().Short("b").End()
                .Prop("First").Set().Short("a").Short("c").Short("a").End()
                .End().End().Bytes());
}

TEST(Pset, ConversionsInCollectionItemsGoToTheObject) {
  CompileRun run({Pset("TGrid", "Visible", "False", "Options", "goHidden")});
  std::string text =
      "object Grid1: TGrid\r\n"
      "  Columns = <\r\n"
      "    item\r\n"
      "      Visible = False\r\n"
      "      Width = 3\r\n"
      "    end>\r\n"
      "  Top = 2\r\n"
      "  object Child: TGrid\r\n"
      "    Left = 1\r\n"
      "  end\r\n"
      "end\r\n";
  FormBytes expected = Root("TGrid", "Grid1");
  expected.Prop("Columns").Collection().List().Prop("Width").Int8(3).End().End();
  expected.Prop("Top").Int8(2);
  expected.Prop("Options").Set().Short("goHidden").End();
  expected.End();
  expected.Object("TGrid", "Child").Prop("Left").Int8(1).End().End();
  expected.End();
  EXPECT_EQ(run.Compile(text), expected.Bytes());
}

TEST(Pset, EachObjectGetsItsOwnSet) {
  CompileRun run({Pset("TPanel", "Ctl3D", "False", "Options", "poFlat")});
  std::string text =
      "object Form1: TForm1\r\n"
      "  Ctl3D = False\r\n"
      "  object P1: TPanel\r\n"
      "    Ctl3D = False\r\n"
      "  end\r\n"
      "  object P2: TPanel\r\n"
      "    Ctl3D = True\r\n"
      "  end\r\n"
      "end\r\n";
  FormBytes expected = Root("TForm1", "Form1");
  expected.Prop("Ctl3D").Byte(TagFalse).End();
  expected.Object("TPanel", "P1").Prop("Options").Set().Short("poFlat").End().End().End();
  expected.Object("TPanel", "P2").Prop("Ctl3D").Byte(TagTrue).End().End();
  expected.End();
  EXPECT_EQ(run.Compile(text), expected.Bytes());
}

TEST(Rules, PrecedenceIsRenameThenSetThenDelete) {
  CompileRun all({Delp("", "Ctl3D"), Pset("TPanel", "Ctl3D", "False", "Options", "poFlat"),
                  Renp("", "Ctl3D", "Flat")});
  EXPECT_EQ(all.Compile(Form("TPanel", "  Ctl3D = False\r\n")),
            Root("TPanel", "Panel1").Prop("Flat").Byte(TagFalse).End().End().Bytes());
  CompileRun setAndDelete(
      {Delp("", "Ctl3D"), Pset("TPanel", "Ctl3D", "False", "Options", "poFlat")});
  EXPECT_EQ(setAndDelete.Compile(Form("TPanel", "  Ctl3D = False\r\n")),
            WithSet("Options", "poFlat"));
}

TEST(Rules, PendingSetsSurviveFailureAsTheyWere) {
  CompileRun run({Pset("TPanel", "Ctl3D", "False", "Options", "poFlat")});
  EXPECT_THROW(run.Compile(Form("TPanel", "  Ctl3D = False\r\n  Left = )\r\n")), EParserError);
  EXPECT_EQ(run.pending, std::vector<std::string>{"poFlat=Options"});
  EXPECT_TRUE(run.run.FileChanged);
}


// Names a rule writes must read back as names: an empty one would end the list early.
TEST(Rules, EmptyNamesFromTheScriptFailTheCompilation) {
  struct Case {
    TCommand rule;
    const char* message;
  };
  const Case cases[] = {
      {Renp("", "Ctl3D", ""), "Property name expected on line 3"},
      {Pset("TPanel", "Ctl3D", "False", "", "poFlat"), "Property name expected on line 6"},
      {Pset("TPanel", "Ctl3D", "False", "Options", ""), "Set element expected on line 6"},
      {Renc("TPanel", ""), "Class name expected on line 2"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.message);
    CompileRun run({c.rule});
    test::ExpectFailure<EParserError>([&] { run.Compile(Form("TPanel", kPanelProperties)); },
                                      c.message);
  }
}

TEST(Rules, RenamedClassMustStayBelowThePrefixBytes) {
  CompileRun fits({Renc("TPanel", std::string(239, 'T'))});
  EXPECT_EQ(fits.Compile(Form("TPanel", "  Left = 8\r\n")),
            Root(std::string(239, 'T'), "Panel1").Prop("Left").Int8(8).End().End().Bytes());
  CompileRun tooLong({Renc("TPanel", std::string(240, 'T'))});
  test::ExpectFailure<EParserError>([&] { tooLong.Compile(Form("TPanel", "  Left = 8\r\n")); },
                                    "Class name too long on line 2");
}

}  // namespace
}  // namespace reshape
