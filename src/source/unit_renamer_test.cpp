// The unit pass over whole files: which names it renames in Pascal and C++ sources, and that
// every other byte stays, grouped by what decides it.
#include "source/unit_renamer.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "script/script_reader.h"

namespace reshape {
namespace {

const std::string kScript = "RENU>OldA,NewA\r\nRENU>Windows,Os.Windows\r\nRENU>Gui.Forms,Forms\r\n";

// Keeps each change as "LINE:OLD>NEW".
struct LineSink : ChangeSink {
  void Add(const Change& change) override {
    lines.push_back(std::to_string(change.line) + ":" + std::string(change.from) + ">" + std::string(change.to));
  }
  std::vector<std::string> lines;
};

struct Row {
  std::string file;  // its extension tells the kind
  std::string text;
  std::string expected;
  std::vector<std::string> log;
  std::string script = kScript;
  int codePage = 1252;
};

void Check(const Row& row) {
  const CommandList commands = ParseScript(row.script);
  const UnitRenameRules rules(commands, CodePage(row.codePage));
  LineSink sink;
  const std::optional<std::string> result = ConvertUnits(row.text, UnitFileKindOf(row.file), rules, sink);
  EXPECT_EQ(result.value_or(row.text), row.expected) << row.text;
  EXPECT_EQ(result.has_value(), row.expected != row.text) << row.text;
  EXPECT_EQ(sink.lines, row.log) << row.text;
}

const std::vector<std::string> kA = {"1:OldA>NewA"};
const std::vector<std::string> kAA = {"1:OldA>NewA", "1:OldA>NewA"};

TEST(ConvertUnitsTest, CommentsStringsAndDirectives) {
  const Row rows[] = {
      {"a.pas", "uses {OldA,} OldA (* OldA *) // OldA\n;", "uses {OldA,} NewA (* OldA *) // OldA\n;", kA},
      {"a.pas", "uses { (* } OldA (* { *) OldA;", "uses { (* } NewA (* { *) NewA;", kAA},
      {"a.pas", "uses OldA in 'a//b' {OldA}, OldA;", "uses NewA in 'a//b' {OldA}, NewA;", kAA},
      {"a.pas", "uses OldA in 'it''s OldA;', OldA;", "uses NewA in 'it''s OldA;', NewA;", kAA},
      {"a.pas", "S = #13#$0A'uses OldA;'#39; uses OldA;", "S = #13#$0A'uses OldA;'#39; uses NewA;", kA},
      {"a.pas", "uses {$IFDEF  X }OldA{$ELSE}Windows{$ENDIF}, {$I a.inc}(*$IFOPT R+*)Gui.Forms(*$ENDIF*);",
       "uses {$IFDEF  X }NewA{$ELSE}Os.Windows{$ENDIF}, {$I a.inc}(*$IFOPT R+*)Forms(*$ENDIF*);",
       {"1:OldA>NewA", "1:Windows>Os.Windows", "1:Gui.Forms>Forms"}},
      // Unterminated: a comment runs to the end of the text, a string to the end of its line.
      {"a.pas", "uses A; { OldA\nuses OldA;", "uses A; { OldA\nuses OldA;", {}},
      {"a.pas", "uses A; (* OldA *\n) uses OldA;", "uses A; (* OldA *\n) uses OldA;", {}},
      {"a.pas", "uses X in 'OldA\r, OldA;", "uses X in 'OldA\r, NewA;", {"2:OldA>NewA"}},
      {"a.pas", "uses OldA in 'x", "uses NewA in 'x", kA},
      // Directive inside a comment, comment inside a directive: the first closing mark ends it.
      {"a.pas", "{ {$IFDEF X} } uses OldA; {$ENDIF}", "{ {$IFDEF X} } uses NewA; {$ENDIF}", kA},
      {"a.pas", "{$IFDEF X { c } uses OldA; {$ENDIF}", "{$IFDEF X { c } uses NewA; {$ENDIF}", kA},
      // A double-byte character's second byte never ends a comment or string.
      {"a.pas", "uses OldA {\x83} OldA } OldA;", "uses NewA {\x83} OldA } NewA;", kAA, kScript, 932},
      {"a.pas", "uses OldA {\x83} OldA } OldA;", "uses NewA {\x83} NewA } NewA;", {kAA[0], kAA[0], kAA[0]}},
      {"a.pas", "uses OldA in 'a\x83' OldA', OldA;", "uses NewA in 'a\x83' OldA', NewA;", kAA, kScript, 936},
  };
  for (const Row& row : rows) Check(row);
}

TEST(ConvertUnitsTest, ClausesAndHeading) {
  const Row rows[] = {
      {"a.pas", "unit OldA;\ninterface\nuses\r\n\tOldA,\x0C Windows\n;\nimplementation\nuses OldA;\nbegin OldA.X; OldA; end.",
       "unit NewA;\ninterface\nuses\r\n\tNewA,\x0C Os.Windows\n;\nimplementation\nuses NewA;\nbegin OldA.X; OldA; end.",
       {"1:OldA>NewA", "4:OldA>NewA", "4:Windows>Os.Windows", "7:OldA>NewA"}},
      {"a.pas", "{ view uses negative numbers }\nOldA := 1; x.uses OldA; x. {c} uses OldA;",
       "{ view uses negative numbers }\nOldA := 1; x.uses OldA; x. {c} uses OldA;", {}},
      {"a.pas", "uses Gui.Forms, Core.OldA, OldA.X, Gui . Forms, OldA;", "uses Forms, Core.OldA, OldA.X, Gui . Forms, NewA;",
       {"1:Gui.Forms>Forms", "1:OldA>NewA"}},
      {"a.dpr", "program P;\nuses OldA in 'OldA.pas' {OldA};", "program P;\nuses NewA in 'OldA.pas' {OldA};", {"2:OldA>NewA"}},
      // A ";" in a conditional block opened in the clause: the later branches are read too.
      {"a.pas", "uses A{$IFDEF X}, OldA; {$ELSEIF Y}, Windows; {$ELSE}; {$ENDIF}\nOldA",
       "uses A{$IFDEF X}, NewA; {$ELSEIF Y}, Os.Windows; {$ELSE}; {$ENDIF}\nOldA", {"1:OldA>NewA", "1:Windows>Os.Windows"}},
      {"a.pas", "uses {$IFDEF X} OldA; {$ENDIF} Windows; OldA", "uses {$IFDEF X} NewA; {$ENDIF} Os.Windows; OldA",
       {"1:OldA>NewA", "1:Windows>Os.Windows"}},
      {"a.pas", "uses;OldA", "uses;OldA", {}},
      {"a.pas", "unit in; uses A in 'in.pas';", "unit in; uses A in 'in.pas';", {}, "RENU>in,X\r\n"},
      {"a.pas", "uses OldA,\nOldA", "uses NewA,\nNewA", {"1:OldA>NewA", "2:OldA>NewA"}},
      {"a.inc", "OldA,\nWindows;", "OldA,\nWindows;", {}},
      {"a.dpr", "", "", {}},
      {"a.pas", "contains OldA;", "contains OldA;", {}},
      {"a.DPK", "package OldA;\nrequires OldA;\ncontains OldA in 'OldA.pas';", "package OldA;\nrequires OldA;\ncontains NewA in 'OldA.pas';",
       {"3:OldA>NewA"}},
      // Each name is renamed by the first command that names it; names put in are not seen.
      {"a.pas", "uses OLDA, NewA;", "uses First, Third;", {"1:OldA>First", "1:NewA>Third"},
       "RENU>OldA,First\r\nRENU>olda,Second\r\nRENU>NewA,Third\r\nRENU>,X\r\nRENU>.A,X\r\n"},
      // Every byte outside the names stays: marks, NULs, lone CRs, a last line without a break,
      // what follows an end-of-text mark.
      {"a.pas", std::string("\xEF\xBB\xBFunit OldA;\ruses\0OldA\r\n,\nOldA;\x1Auses OldA;", 43),
       std::string("\xEF\xBB\xBFunit NewA;\ruses\0NewA\r\n,\nNewA;\x1Auses OldA;", 43),
       {"1:OldA>NewA", "2:OldA>NewA", "4:OldA>NewA"}},
  };
  for (const Row& row : rows) Check(row);
}

TEST(ConvertUnitsTest, CppIncludeAndLinkLines) {
  const Row rows[] = {
      {"a.cpp", "#include <gui/OldA.hpp>\n  # include \"OldA.HPP\" // x\n#include <OldA.h>\n#pragma link \"OldA\"\n"
                "\t#pragma  link \"OldA.obj\"\nx = OldA; // #include <OldA.hpp>\n/*\n#include <a\\Gui.Forms.hpp>\n*/",
       "#include <gui/NewA.hpp>\n  # include \"NewA.HPP\" // x\n#include <OldA.h>\n#pragma link \"NewA\"\n"
       "\t#pragma  link \"NewA.obj\"\nx = OldA; // #include <OldA.hpp>\n/*\n#include <a\\Forms.hpp>\n*/",
       {"1:OldA>NewA", "2:OldA>NewA", "4:OldA>NewA", "5:OldA>NewA", "8:Gui.Forms>Forms"}},
      {"a.h", "#include <\n#include <OldA.hpp\n#include <Core.OldA.hpp>\n#includeOldA.hpp\n#pragma link \"\"", 
       "#include <\n#include <OldA.hpp\n#include <Core.OldA.hpp>\n#includeOldA.hpp\n#pragma link \"\"", {}},
      {"a.hpp", "#include <\x95\\OldA.hpp>", "#include <\x95\\OldA.hpp>", {}, kScript, 932},
      {"a.hpp", "#include <\x95\\OldA.hpp>", "#include <\x95\\NewA.hpp>", kA},
  };
  for (const Row& row : rows) Check(row);
}

TEST(ConvertUnitsTest, LargeAndDeepInputs) {
  std::string many = "uses ";
  std::string renamed = many;
  for (int i = 0; i < 100000; ++i) many += "OldA,", renamed += "NewA,";
  Row row{"a.pas", many + ";", renamed + ";", std::vector<std::string>(100000, "1:OldA>NewA")};
  Check(row);
  // The first "}" ends the comment whatever "(*" and "{" stand before it.
  std::string deep;
  for (int i = 0; i < 10000; ++i) deep += i % 2 ? "(* " : "{ ";
  for (int i = 0; i < 10000; ++i) deep += i % 2 ? " *)" : " }";
  Check({"a.pas", deep + " uses OldA;", deep + " uses NewA;", kA});
  std::string blocks = "uses ";
  for (int i = 0; i < 10000; ++i) blocks += "{$IFDEF X}";
  Check({"a.pas", blocks + "OldA;", blocks + "NewA;", kA});
}

}  // namespace
}  // namespace reshape
