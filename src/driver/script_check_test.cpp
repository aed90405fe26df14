#include "driver/script_check.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace reshape {
namespace {

using Lines = std::vector<std::string>;

TEST(ScriptCheckTest, ProblemsAndTheirLines) {
  const std::string longName(240, 'T');
  const std::pair<std::string, Lines> cases[] = {
      {"", {}},
      {"RENC>TA,TB\r\nrenp>TButton:Caption,Text\nDELP>Tag\rPSET>TPanel:Ctl3D=False,Options[poFlat]"
       "\nRENS>a b,c d\nPKGR>Pkg50,\nRENC>TX,TY\nRENC>TY,TX\n; comment\nRENC commands rename",
       {}},
      {"\xFF\xFER\0E\0",
       {"m.scr:1: the script is UTF-16; save it as ANSI or UTF-8"}},
      // Lines that look like commands but are ignored.
      {"\xEF\xBB\xBF RENC>A,B\nRENC A,B\nRenc: A,B\nDELP Tag\nRNEC>A,B\nREN>A,B\nRENO>A,B\nXXXX>A\n RENC>TA",
       {"m.scr:1: not read as a command: RENC> must stand at the very start of the line; write RENC>A,B",
        "m.scr:2: not read as a command: RENC> must stand at the very start of the line; write RENC>A,B",
        "m.scr:3: not read as a command: RENC> must stand at the very start of the line; write Renc>A,B",
        "m.scr:4: not read as a command: DELP> must stand at the very start of the line; write DELP>Tag",
        "m.scr:5: 'RNEC>' is not a keyword, so the line is ignored; did you mean RENC>?",
        "m.scr:6: 'REN>' is not a keyword, so the line is ignored; did you mean RENC> or RENP> or RENU> or RENS>?",
        "m.scr:7: 'RENO>' is not a keyword, so the line is ignored; did you mean RENC> or RENP> or RENU> or RENS>?",
        "m.scr:9: not read as a command: RENC> must stand at the very start of the line; write RENC>TA"}},
      // Malformed commands, and lines after them are still checked.
      {"RENC>TA\r\nRENP>Caption\r\nPSET>TPanel:Ctl3D=False,Options\nRENU>U\nPKGR>P\nRENS>S\nRENC>TA",
       {"m.scr:1: RENC needs a comma between the old and the new class name",
        "m.scr:2: RENP needs a comma between the property and its new name",
        "m.scr:3: PSET needs all of ':', '=', ',', '[' and ']', as in "
        "PSET>Class:Property=Value,SetProperty[Element]; missing: '[' ']'",
        "m.scr:4: RENU needs a comma between the old and the new unit name",
        "m.scr:5: PKGR needs a comma between the old and the new package name",
        "m.scr:6: RENS needs a comma between the old and the new text",
        "m.scr:7: RENC needs a comma between the old and the new class name"}},
      // Blanks around fields.
      {"RENC> TA , TB\nRENP>TButton :Caption,Text\nRENS>a ,b \nPSET>TP:C= x ,S[E]",
       {"m.scr:1: blanks stay part of the name: the old class name ' TA ', the new "
        "class name ' TB'; write RENC>TA,TB",
        "m.scr:2: blanks stay part of the name: the class 'TButton '; write RENP>TButton:Caption,Text",
        "m.scr:3: the blanks at the end of the line are part of the new text",
        "m.scr:4: blanks stay part of the name: the value ' x '; write PSET>TP:C=x,S[E]"}},
      // Empty fields and names that never match or that a form cannot hold.
      {"RENC>,TB\nRENC>TA,\nRENC>T.A,T-B\nRENC>TL," + longName +
           "\nRENP>Caption,X:Y\nRENP>T X:A,B c\nDELP>\nPSET>:C=1,S[E]\nPSET>T:C=1,S s[1E]"
           "\nRENU>A.B,\nRENS>,x\nRENC>TList<T>,TB",
       {"m.scr:1: the old class name is empty, so RENC never acts",
        "m.scr:2: the new class name is empty, so a form cannot hold it",
        "m.scr:3: the old class name 'T.A' is never one word of a source file, so RENC never acts",
        "m.scr:3: the new class name 'T-B' is not an identifier, so a form cannot hold it",
        "m.scr:4: the new class name is 240 bytes long; a form holds at most 239",
        "m.scr:5: the class 'Caption,X' is not an identifier, so RENP never acts",
        "m.scr:5: the property is empty, so RENP never acts",
        "m.scr:5: the new property name 'X:Y' is not a property path (identifiers joined by "
        "dots), so a form cannot hold it",
        "m.scr:6: the class 'T X' is not an identifier, so RENP never acts",
        "m.scr:6: the new property name 'B c' is not a property path (identifiers joined by dots), "
        "so a form cannot hold it",
        "m.scr:7: the property is empty, so DELP never acts",
        "m.scr:8: the class is empty, so PSET never acts",
        "m.scr:9: the set property 'S s' is not a property path (identifiers joined by dots), so "
        "a form cannot hold it",
        "m.scr:9: the set element '1E' is not an identifier, so a form cannot hold it",
        "m.scr:10: the new unit name is empty, so the old name is removed",
        "m.scr:11: the old text is empty, so RENS never acts",
        "m.scr:12: the old class name 'TList<T>' is never one word of a source file, so RENC never acts"}},
      // Commands that never act because an earlier one takes their place.
      {"RENC>TA,TB\nrenc>ta,TC\nRENC>TX,tx\nRENC>TX,TY\nRENP>Caption,Text\nRENP>TLabel:CAPTION,T2"
       "\nRENP>TLabel:Hint,H\nRENP>Hint,H2\nDELP>TLabel:Caption\nDELP>Tag\nDELP>TEdit:tag"
       "\nPSET>TP:C=1,S[E]\nPSET>tp:c=1,S[F]\nPSET>TP:C=2,S[G]\nPSET>TP:Hint=x,S[H]",
       {"m.scr:2: never acts: line 1 (RENC>TA,TB) renames the same name first",
        "m.scr:4: never acts: line 3 (RENC>TX,tx) renames the same name first",
        "m.scr:6: never acts: line 5 (RENP>Caption,Text) renames this property first",
        "m.scr:9: never acts: line 5 (RENP>Caption,Text) renames this property, and a rename comes first",
        "m.scr:11: never acts: line 10 (DELP>Tag) deletes this property first",
        "m.scr:13: never acts: line 12 (PSET>TP:C=1,S[E]) converts the same value first",
        "m.scr:15: never acts: line 8 (RENP>Hint,H2) renames this property, and a rename comes first"}},
      // Rename chains; a swap is fine, and renames of other classes do not chain.
      {"RENC>TA,TB\nRENC>TB,TC\nRENU>U1,U2\nRENU>U2,U1\nRENP>TX:A,B\nRENP>TY:B,C\nRENP>B,C"
       "\nRENS>Form,Dialog\nRENS>dial,Talk",
       {"m.scr:2: renames do not chain: line 1 turns 'TA' into 'TB', which this line does not "
        "rename again; for 'TA' to 'TC' write RENC>TA,TC",
        "m.scr:7: renames do not chain: line 5 turns 'A' into 'B', which this line does not "
        "rename again; for 'A' to 'C' write RENP>TX:A,C",
        "m.scr:9: replaces again what line 8 puts in: its new text 'Dialog' holds 'dial'"}},
      // Property rules that name a class a class rename takes away, wherever the rename stands.
      {"RENP>TCheckBox:Caption,Text\nRENC>TCheckBox,TCheckBoxEx\nDELP>TOld:Tag\nRENC>TOld,TNew"
       "\nRENC>TBase,TOld\nPSET>TEdit:C=1,S[E]\nRENC>TEdit,TEDIT",
       {"m.scr:1: class 'TCheckBox' never reaches this rule: line 2 renames it to 'TCheckBoxEx' "
        "first; write RENP>TCheckBoxEx:Caption,Text"}},
  };
  for (const auto& [script, expected] : cases)
    EXPECT_EQ(CheckScript("m.scr", script), expected) << script;
}

}  // namespace
}  // namespace reshape
