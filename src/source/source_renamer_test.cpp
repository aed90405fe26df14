#include "source/source_renamer.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "source/rewrite_test_support.h"

namespace reshape {
namespace {

using test::Rewrite;
using test::RewriteResult;

struct SourceCase {
  std::string name;
  std::string script;
  std::string input;
  std::string output;
  std::vector<std::string> log;
};

TEST(SourceLineTransformTest, RenamesClassesThenStrings) {
  const std::string renc = "RENC>TFoo,TBar\r\n";
  const std::string rens = "RENS>abc,xyz\r\n";
  const std::vector<SourceCase> cases = {
      {"first whole word", renc, "var A: TFoo; B: TFoo;\r\n", "var A: TBar; B: TFoo;\r\n",
       {"F> Renamed class \"TFoo\" to \"TBar\""}},
      {"script spelling in log and text", "RENC>TFoo,TBar", "x := tfoo.Create;",
       "x := TBar.Create;\r\n", {"F> Renamed class \"TFoo\" to \"TBar\""}},
      {"each line on its own", renc, "TFoo\rTFoo\r\nnone", "TBar\r\nTBar\r\nnone\r\n",
       {"F> Renamed class \"TFoo\" to \"TBar\"", "F> Renamed class \"TFoo\" to \"TBar\""}},
      {"LF-only file stays LF, every line migrated", renc, "TFoo x\nTFoo y\n",
       "TBar x\nTBar y\n",
       {"F> Renamed class \"TFoo\" to \"TBar\"", "F> Renamed class \"TFoo\" to \"TBar\""}},
      {"LF file keeps a last line without break", renc, "TFoo\nx", "TBar\nx",
       {"F> Renamed class \"TFoo\" to \"TBar\""}},
      {"byte-order mark is no part of the first word", renc, "\xEF\xBB\xBFTFoo x",
       "\xEF\xBB\xBFTBar x\r\n", {"F> Renamed class \"TFoo\" to \"TBar\""}},
      {"new name with dots does not hide later words",
       "RENC>TFoo,Widgets.TButton\r\nRENC>TLabel,Widgets.TLabel\r\n", "TFoo, TLabel",
       "Widgets.TButton, Widgets.TLabel\r\n",
       {"F> Renamed class \"TFoo\" to \"Widgets.TButton\"",
        "F> Renamed class \"TLabel\" to \"Widgets.TLabel\""}},
      {"no match still normalised", renc, "a\rb\x1A", "a\r\nb\r\n", {}},
      {"empty file", renc, "", "", {}},
      {"string in literal", rens, "s := 'abc';", "s := 'xyz';\r\n",
       {"F> Renamed string \"abc\" to \"xyz\""}},
      {"guarded string", rens, "abc; s := 'q'; { x } (* y *)",
       "abc; s := 'q'; { x } (* y *)\r\n", {}},
      {"chained class renames see original words",
       "RENC>TFirst,TSecond\r\nRENC>TSecond,TThird\r\n", "TFirst", "TSecond\r\n",
       {"F> Renamed class \"TFirst\" to \"TSecond\""}},
      {"chained string renames see new text", "RENS>PkgA,PkgB\r\nRENS>PkgB,PkgC\r\n",
       "use PkgA", "use PkgC\r\n",
       {"F> Renamed string \"PkgA\" to \"PkgB\"", "F> Renamed string \"PkgB\" to \"PkgC\""}},
      {"class renames come before string renames", "RENS>TBar,TBaz\r\nRENC>TFoo,TBar\r\n",
       "TFoo", "TBaz\r\n",
       {"F> Renamed class \"TFoo\" to \"TBar\"", "F> Renamed string \"TBar\" to \"TBaz\""}},
      {"empty names never match", "RENC>,TBar\r\nRENS>,xyz\r\n", "a, b", "a, b\r\n", {}},
      {"other kinds ignored", "RENU>TFoo,TBar\r\nPKGR>TFoo,TBar\r\nRENP>TFoo,TBar\r\n",
       "TFoo", "TFoo\r\n", {}},
      {"end-of-text mark in the middle keeps the rest", renc, "TFoo\r\n\x1A" "TFoo\r\n",
       "TBar\r\n\x1A" "TFoo\r\n", {"F> Renamed class \"TFoo\" to \"TBar\""}},
      {"high bytes and NUL pass through", "RENS>\xE4,\xC4", std::string("\0\xE4\xFF", 3),
       std::string("\0\xE4\xFF\r\n", 5), {}},
  };
  for (const SourceCase& c : cases) {
    RewriteResult result = Rewrite<SourceLineTransform>(c.script, c.input);
    EXPECT_EQ(result.text, c.output) << c.name;
    EXPECT_EQ(result.log, c.log) << c.name;
    EXPECT_EQ(result.changed, !c.log.empty()) << c.name;
  }
}

TEST(SourceLineTransformTest, SearchesStringsByTheGivenCodePage) {
  RewriteResult result = Rewrite<SourceLineTransform>("RENS>AB,x", "\x83" "AB AB",
                                                      CodePage(932));
  EXPECT_EQ(result.text, "\x83" "AB x\r\n");
}

TEST(SourceLineTransformTest, ManyCommandsOverALongLine) {
  std::string script;
  for (int i = 0; i < 3000; ++i)
    script += "RENC>TOld" + std::to_string(i) + ",TNew" + std::to_string(i) + "\r\n";
  std::string line;
  for (int i = 0; i < 3000; ++i) line += "TOld" + std::to_string(i) + " ";
  RewriteResult result = Rewrite<SourceLineTransform>(script, line + "\r\nTOld7");
  EXPECT_EQ(result.log.size(), 3001u);
  EXPECT_EQ(result.text.substr(0, 15), "TNew0 TNew1 TNe");
  EXPECT_EQ(result.text.substr(result.text.size() - 7), "TNew7\r\n");
}

}  // namespace
}  // namespace reshape
