// The line transforms over whole texts, and the word scans and replacements they make. The source
// pass copies lines that cannot match in one piece: the result is that of rewriting line by line.
#include "source/source_renamer.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "source/project_renamer.h"
#include "source/replace.h"
#include "source/test_rewrite.h"
#include "source/text_lines.h"
#include "source/unit_renamer.h"
#include "source/word_renames.h"
#include "source/word_scan.h"

namespace reshape {
namespace {

const std::string kRenamed = "F> Renamed class \"TFoo\" to \"TBar\"";
const std::string kMany = "RENC>TA1,B1\r\nRENC>TA2,B2\r\nRENC>TA3,B3\r\nRENC>TFoo,TBar\r\n";
const std::string kWordStarts = "xTFoo TFoo\n\xE4TFoo\tTFoo [tfoo]\r\n^TFoo";
const std::string kWordStartsRenamed = "xTFoo TBar\n\xE4TFoo\tTBar [TBar]\r\n^TBar";

TEST(SourceLineTransformTest, RenamesClassesThenStrings) {
  const std::tuple<std::string, std::string, std::string, std::vector<std::string>> cases[] = {
      {"RENC>TFoo,TBar", "\xEF\xBB\xBFx := tfoo.Create; TFoo\rTFoo\x1A", "\xEF\xBB\xBFx := TBar.Create; TBar\rTBar\x1A",
       {kRenamed, kRenamed, kRenamed}},
      // Every line keeps its own break, changed or not: LF, CR LF, a lone CR, or none at the end.
      {"RENC>TFoo,TBar\r\nRENS>IntToStr(,Str(", "a\nb\rc\r\nx TFoo y\nz\rIntToStr(1)\r\nend",
       "a\nb\rc\r\nx TBar y\nz\rStr(1)\r\nend", {kRenamed, "F> Renamed string \"IntToStr(\" to \"Str(\""}},
      {kMany, "a\r\rb\nx TFoo\nq TFoo\r", "a\r\rb\nx TBar\nq TBar\r", {kRenamed, kRenamed}},
      {"RENC>TFoo,TBar", "aaaaaaaaaaaaaaa\r\nbbbbbbbbbb\rcccccccccccccccccccc\r\nTFoo\r\n\x1A",
       "aaaaaaaaaaaaaaa\r\nbbbbbbbbbb\rcccccccccccccccccccc\r\nTBar\r\n\x1A", {kRenamed}},
      {"RENC>TFoo,TBar", "\r\n\r\r\n\nx\x1A\r\n", "\r\n\r\r\n\nx\x1A\r\n", {}},
      {"RENC>TFoo,TBar", "aaaaaaaaaaaaaaaaaaaa\nbbbbbbbbbbbbbbbbbbbbbbbbb\nTFoo",
       "aaaaaaaaaaaaaaaaaaaa\nbbbbbbbbbbbbbbbbbbbbbbbbb\nTBar", {kRenamed}},
      // Five names and more are found by their first letter when they share it, else by words.
      {kMany + "RENC>TA4,B4", kWordStarts, kWordStartsRenamed, {kRenamed, kRenamed, kRenamed, kRenamed}},
      {kMany + "RENC>A4,B4", kWordStarts, kWordStartsRenamed, {kRenamed, kRenamed, kRenamed, kRenamed}},
      // Every name of a line, also in C++ templates and casts and after tabs; strings chain.
      {"RENC>TEdit,TMaskEdit", "\tTEdit *edit = dynamic_cast<TEdit*>(Sender);\r\n",
       "\tTMaskEdit *edit = dynamic_cast<TMaskEdit*>(Sender);\r\n",
       {"F> Renamed class \"TEdit\" to \"TMaskEdit\"", "F> Renamed class \"TEdit\" to \"TMaskEdit\""}},
      {kMany + "RENC>TA4,TA1", "std::vector<TA4*> v{TA1&, TA4!};", "std::vector<TA1*> v{B1&, TA1!};",
       {"F> Renamed class \"TA1\" to \"B1\"", "F> Renamed class \"TA4\" to \"TA1\"", "F> Renamed class \"TA4\" to \"TA1\""}},
      // The guard leaves the first "ab" and "b", which stand before every marker.
      {"RENS>ab,b\r\nRENS>b,c", "aab 'x' ab ab { (*", "aab 'x' c c { (*",
       {"F> Renamed string \"ab\" to \"b\"", "F> Renamed string \"ab\" to \"b\"",
        "F> Renamed string \"b\" to \"c\"", "F> Renamed string \"b\" to \"c\""}},
      {"RENS>q,Q", "a\nq", "a\nQ", {"F> Renamed string \"q\" to \"Q\""}},
      {"RENC>TFoo,Widgets.TButton\r\nRENC>TLabel,Widgets.TLabel", "TFoo, TLabel", "Widgets.TButton, Widgets.TLabel",
       {"F> Renamed class \"TFoo\" to \"Widgets.TButton\"", "F> Renamed class \"TLabel\" to \"Widgets.TLabel\""}},
      {"RENS>TBar,TBaz\r\nRENS>TBaz,TQ\r\nRENC>TFoo,TBar", "TFoo", "TQ",
       {kRenamed, "F> Renamed string \"TBar\" to \"TBaz\"", "F> Renamed string \"TBaz\" to \"TQ\""}},
      {"RENU>TFoo,TBar\r\nPKGR>TFoo,TBar\r\nRENP>TFoo,TBar", "TFoo", "TFoo", {}},
  };
  for (const auto& [script, input, output, log] : cases) {
    const test::RewriteResult result = test::Rewrite<SourceLineTransform>(script, input);
    EXPECT_EQ(std::tie(result.text, result.log, result.changed), std::tuple(output, log, !log.empty())) << input;
  }
}

std::string PackageRenamed(const std::string& from, const std::string& to) {
  return "F> Renamed/Replaced package \"" + from + "\" to \"" + to + "\"";
}

TEST(ConvertProjectTest, RenamesPackagesAsEachKindOfFileNamesThem) {
  const std::string gui = PackageRenamed("gui", "guix");
  const std::tuple<std::string, std::string, std::string, std::string, std::vector<std::string>> cases[] = {
      // Project files: every occurrence, as plain text; a later command sees what an earlier put in.
      {"P.bpr", "PKGR>Pkg50,Pkg60\r\nPKGR>Pkg60,\r\nRENS>Pkg,X\r\nPKGR>,x", "a Pkg50 b pkg50 'q' { (*\nxPKG60x",
       "a  b  'q' { (*\nxx", {PackageRenamed("Pkg50", "Pkg60"), PackageRenamed("Pkg50", "Pkg60"),
                              PackageRenamed("Pkg60", ""), PackageRenamed("Pkg60", ""), PackageRenamed("Pkg60", "")}},
      {"P.BPK", "PKGR>gui,guix\r\nPKGR>guix,guiy", "gui50 guidb\n", "guiy50 guiydb\n", {gui, gui, PackageRenamed("guix", "guiy"), PackageRenamed("guix", "guiy")}},
      // XML project files: whole names, a package file's extension may follow; not XML is no matter.
      {"P.dproj", "PKGR>gui,guix", "<P>gui;rtl;gui.bpi;guidb;Gui.Imaging;xgui;GUI.BPL;gui.bplx;gui</P>\n",
       "<P>guix;rtl;guix.bpi;guidb;Gui.Imaging;xgui;guix.BPL;gui.bplx;guix</P>\n", {gui, gui, gui, gui}},
      {"P.cbproj", "PKGR>gui,guix", "not xml < gui\n", "not xml < guix\n", {gui}},
      // Package sources: whole dotted names of requires clauses, read as the compiler reads them.
      {"P.dpk", "PKGR>gui,guix\r\nPKGR>guix,guiy", "package gui;\nrequires rtl, {gui} GUI, gui.x;\ncontains gui;",
       "package gui;\nrequires rtl, {gui} guiy, gui.x;\ncontains gui;", {gui, PackageRenamed("guix", "guiy")}},
      {"P.dpk", "PKGR>gui,guix", "requires gui, 'never ends\ngui", "requires guix, 'never ends\nguix", {gui, gui}},
  };
  for (const auto& [file, script, input, output, log] : cases) {
    const CommandList commands = ParseScript(script);
    ProjectRenameRules rules(commands, CodePage());
    test::RecordingSink sink;
    const std::optional<std::string> result = ConvertProject(input, ProjectFileKindOf(file), rules, sink);
    EXPECT_EQ(std::tie(*result, sink.lines), std::tie(output, log)) << file << " " << input;
  }
}

// Puts each line it is handed in brackets, so the output shows how the text was cut and that
// changed lines are written back.
class Bracketing : public LineTransform {
 public:
  void TransformLine(std::string& line) override { line = "[" + line + "]"; }
};

TEST(RewriteTextTest, CutsLinesAndWritesEachBackWithItsBreak) {
  const std::pair<std::string, std::string> cases[] = {
      {"", ""}, {"a", "[a]"}, {"\n", "[]\n"}, {"a\rb\r", "[a]\r[b]\r"}, {"a\nb", "[a]\n[b]"},
      {"\n\r\r\n", "[]\n[]\r[]\r\n"}, {"a\n\rb", "[a]\n[]\r[b]"}, {"a\nb\r\nc", "[a]\n[b]\r\n[c]"},
      {"\xEF\xBB\xBF" "a\nb", "\xEF\xBB\xBF[a]\n[b]"},
      {std::string("\xFF\xFEu\0\r\0\n\0", 8), std::string("\xFF\xFEu\0\r\0\n\0", 8)},
      {"\xFE\xFF\n", "\xFE\xFF\n"}, {"\xFF\n", "[\xFF]\n"},
      // An end-of-text mark ends the text; it and what follows it stay as they are.
      {"a\r\nb\x1A", "[a]\r\n[b]\x1A"}, {"a\r\x1A\n", "[a]\r\x1A\n"},
      {"a\rb\x1A" "c\rd\x1A", "[a]\r[b]\x1A" "c\rd\x1A"}, {"\x1A\r\nx", "\x1A\r\nx"},
      {std::string("a\0\xFF\t\r\n\x80", 7), std::string("[a\0\xFF\t]\r\n[\x80]", 11)},
  };
  for (const auto& [input, output] : cases) {
    Bracketing transform;
    EXPECT_EQ(RewriteText(input, transform).value_or(input), output) << input;
  }
  // Breaks at every offset within and across the eight-byte blocks of the search.
  for (std::size_t at = 0; at < 19; ++at) {
    std::string input(20, 'q');
    input[at] = '\n';
    Bracketing transform;
    EXPECT_EQ(RewriteText(input, transform).value_or(input), std::string("[").append(at, 'q').append("]\n[").append(19 - at, 'q') + "]");
  }
}

// Each LF and each CR that no LF follows ends a line, however many lines precede a change.
TEST(RewriteTextTest, NumbersTheLinesOfChanges) {
  const std::string sixteen(15, 'x'), longLines = (sixteen + "\n") + std::string(300, 'y') + "\r";
  const std::pair<std::string, std::vector<int>> cases[] = {
      {"TFoo\na\rb\r\n\r\rTFoo TFoo", {1, 6, 6}},
      {[&] { std::string t; for (int i = 0; i < 300; ++i) t += sixteen + "\n"; return t + "TFoo"; }(), {301}},
      {[&] { std::string t; for (int i = 0; i < 300; ++i) t += sixteen.substr(1) + "\r\n"; return t + "TFoo"; }(), {301}},
      {longLines + longLines + "\rTFoo", {6}},
  };
  for (const auto& [text, numbers] : cases)
    EXPECT_EQ(test::Rewrite<SourceLineTransform>("RENC>TFoo,TBar", text).numbers, numbers) << text.size();
}

TEST(WordScanTest, FindsWordsAndDottedNames) {
  using Strings = std::vector<std::string>;
  const std::string a70(70, 'a');
  // The text, its words, dotted names, and words between the wide delimiters.
  const std::tuple<std::string, Strings, Strings, Strings> cases[] = {
      {" ,.;-+/*()^=:[]\t<>&!|~?%@{}", {"\t<>&!|~?%@{}"}, {"\t<>&!|~?%@{}"}, {}},
      {"uses Core.Types, Types;", {"uses", "Core", "Types", "Types"}, {"uses", "Core.Types", "Types"},
       {"uses", "Core", "Types", "Types"}},
      {"a.b.c. d .e f..g", {"a", "b", "c", "d", "e", "f", "g"}, {"a.b.c", "d", "e", "f", "g"}, {"a", "b", "c", "d", "e", "f", "g"}},
      {"{A}\t<B>&'x'#$\\\"!|~?%@C", {"{A}\t<B>&'x'#$\\\"!|~?%@C"}, {"{A}\t<B>&'x'#$\\\"!|~?%@C"}, {"A", "B", "'x'#$\\\"", "C"}},
      {std::string("x\0y z\xE4", 6), {std::string("x\0y", 3), "z\xE4"}, {std::string("x\0y", 3), "z\xE4"}, {std::string("x\0y", 3), "z\xE4"}},
      // Words across the 16- and 64-byte blocks of the scan.
      {a70 + " b:c", {a70, "b", "c"}, {a70, "b", "c"}, {a70, "b", "c"}},
      {a70 + "<b>{c}\x7F", {a70 + "<b>{c}\x7F"}, {a70 + "<b>{c}\x7F"}, {a70, "b", "c", "\x7F"}},
  };
  for (const auto& [input, words, dottedNames, wideWords] : cases) {
    const std::string& text = input;  // a binding no lambda may capture
    Strings found[3];
    auto into = [&](int at) {
      return [&, at](std::size_t start, std::size_t length) { return found[at].push_back(text.substr(start, length)), true; };
    };
    ScanSourceWords(text, into(0));
    ScanSourceDottedNames(text, into(1));
    ScanSourceWords<Delimiters::Wide>(text, into(2));
    EXPECT_EQ(found[0], words) << text;
    EXPECT_EQ(found[1], dottedNames) << text;
    EXPECT_EQ(found[2], wideWords) << text;
  }
}

using Names = WholeWordRenames::Names;

TEST(WholeWordRenamesTest, RenamesEveryNameByTheFirstRenameThatNamesIt) {
  const std::tuple<std::string, std::vector<WholeWordRenames::Rename>, std::string, std::vector<std::size_t>, Names>
      cases[] = {
          {"TFooBar x := tfoo.Create;", {{"TFoo", "TBar"}}, "TFooBar x := TBar.Create;", {0}, Names::Words},
          {"a\tTFoo {TFoo} <TFoo> TFoo& 'TFoo' #TFoo $TFoo \\TFoo", {{"TFoo", "X"}}, "a\tX {X} <X> X& 'TFoo' #TFoo $TFoo \\TFoo",
           {0, 0, 0, 0}, Names::Words},
          {std::string("\0 TFoo\xE4 tfoo", 12), {{"TFoo", "TBar"}}, std::string("\0 TFoo\xE4 TBar", 12), {0}, Names::Words},
          {"TB TA", {{"TA", "X"}, {"TB", "Y"}}, "Y X", {0, 1}, Names::Words},
          {"TA TA", {{"ta", "X"}, {"TA", "Y"}}, "X X", {0, 0}, Names::Words},
          {"TA", {{"TA", "ta"}, {"Ta", "Z"}}, "ta", {0}, Names::Words},
          {"TFirst TSecond", {{"TFirst", "TSecond"}, {"TSecond", "TThird"}}, "TSecond TThird", {0, 1}, Names::Words},
          {"AA AAA TAbc TAb", {{"AA", "B"}, {"TAb", "X"}, {"TAbc", "Y"}}, "B AAA Y X", {0, 1, 2}, Names::Words},
          // New names holding delimiters, or none at all, move the names behind them.
          {"TA TB TC", {{"TA", "Os.Windows"}, {"TB", "Q"}, {"TC", "R"}}, "Os.Windows Q R", {0, 1, 2}, Names::Words},
          {"TA, TB", {{"TA", ""}, {"TB", "W.B"}}, ", W.B", {0, 1}, Names::Words},
          {"TA TB", {{"TA", "A B C"}, {"TB", "D"}}, "A B C D", {0, 1}, Names::Words},
          {"a, b", {{"", "X"}, {"a,", "X"}}, "a, b", {}, Names::Words},
          // Only letters have two cases: "_" and 7F differ in the letter-case bit alone.
          {"T\x7F t_", {{"T_", "X"}}, "T\x7F X", {0}, Names::Words},
          {"t8 T9 T0", {{"T0", "A"}, {"T1", "B"}, {"T2", "C"}, {"T3", "D"}, {"T4", "E"}, {"T5", "F"},
                        {"T6", "G"}, {"T7", "H"}, {"T8", "I"}, {"T9", "J"}},
           "I J A", {0, 8, 9}, Names::Words},
          {"uses Core.Types, Types;", {{"Types", "Old"}}, "uses Core.Types, Old;", {0}, Names::DottedNames},
          {"uses gui.StdCtrls;", {{"Gui.StdCtrls", "StdCtrls"}}, "uses StdCtrls;", {0}, Names::DottedNames},
          {"uses Os.Windows, Os;", {{"Windows", "X"}, {"Os.", "X"}, {".Windows", "X"}, {"Os..Windows", "X"}},
           "uses Os.Windows, Os;", {}, Names::DottedNames},
          {"uses A, B;", {{"A", "P.A"}, {"B", "P.B"}}, "uses P.A, P.B;", {0, 1}, Names::DottedNames},
      };
  for (const auto& [before, list, after, replaced, names] : cases) {
    WholeWordRenames renames(list, names);
    // The same object serves the next line afresh.
    for (int round = 0; round < 2; ++round) {
      std::string line = before;
      std::vector<std::size_t> each;  // one entry per name replaced
      for (const auto& [rename, count] : renames.Apply(line)) each.insert(each.end(), count, rename);
      EXPECT_EQ(each, replaced) << before;
      EXPECT_EQ(line, after) << before;
    }
  }
}

TEST(ReplaceSubstringTest, ReplacesEveryOccurrenceIgnoringCase) {
  const std::tuple<std::string, std::string, bool, std::string, int> cases[] = {
      // The guard skips a line holding a quote, a "{" and a "(*", none before the match.
      {"abc; s := 'q'; { x } (* y *)", "abc", true, "abc; s := 'q'; { x } (* y *)", 1252},
      {"abc; s := 'q'; { x } (* y *)", "abc", false, "x; s := 'q'; { x } (* y *)", 1252},
      {"s := 'abc'; { x } (* y *)", "abc", true, "s := 'x'; { x } (* y *)", 1252},
      {"{ abc } 'q' (* *)", "abc", true, "{ x } 'q' (* *)", 1252},
      {"(* abc 'q' {", "abc", true, "(* x 'q' {", 1252},
      {"abc 'q' ( * {", "abc", true, "x 'q' ( * {", 1252},
      {"ab'c{(*", "b'c", true, "ab'c{(*", 1252},
      {"abc ABC", "aBc", true, "x x", 1252},
      // The guard is asked at each occurrence; "AA" in "AAAAA" is found twice, never overlapping.
      {"abc 'q' abc { (* abc", "abc", true, "abc 'q' x { (* x", 1252},
      {"aAAAA", "aa", false, "xxA", 1252},
      {"aaab", "aab", true, "ax", 1252},
      {"abababac", "ababac", true, "abx", 1252},
      // Sixteen places are tested at a time for two of the key's bytes; the last place counts.
      {"IntToStr IntToSt( inttostr(", "IntToStr(", false, "IntToStr IntToSt( x", 1252},
      {"zzzzzzzzzzzzzzzzzzzzqzQ", "QZQ", false, "zzzzzzzzzzzzzzzzzzzzx", 1252},
      {"IntToSt( IntToStr ( IntToSt(inttostr(IntToStr(IntToStr(", "IntToStr(", false,
       "IntToSt( IntToStr ( IntToSt(xxx", 1252},
      {std::string("q\0abc", 5), "abc", true, std::string("q\0abc", 5), 1252},
      {std::string("abc\0abc", 7), "abc", true, std::string("x\0abc", 5), 1252},
      // 0x83 leads a double-byte character whose second byte is "A" in code page 932.
      {"\x83" "AB AB", "AB", false, "\x83" "AB x", 932},
      {"\x83" "AB AB", "AB", false, "\x83x x", 1252},
      {"\x83" "AAA", "AA", false, "\x83" "Ax", 932},
      {"\x83\x83" "A", "A", false, "\x83\x83x", 932},
      {"\x83" "B" "\x83", "\x83", false, "xBx", 932},
  };
  for (const auto& [before, oldText, guard, after, codePage] : cases) {
    std::string line = before;
    EXPECT_EQ(ReplaceSubstring(line, oldText, "x", guard, CodePage(codePage)) != 0, after != before) << before;
    EXPECT_EQ(line, after) << before << " / " << oldText;
  }
}

TEST(ReplaceSubstringTest, DenseNearMatchesStayLinear) {
  // Every position nearly matches the key: checking each one fully would compare about 3 * 10^11 bytes here.
  const std::string key(1 << 16, 'a');
  std::string line;
  for (int i = 0; i < 160; ++i) line += key.substr(1) + "c";
  EXPECT_TRUE(ReplaceSubstring(line += key, key, "!", false, CodePage()));
  EXPECT_EQ(line.size(), 160 * key.size() + 1);
  EXPECT_EQ(line.back(), '!');
}

}  // namespace
}  // namespace reshape
