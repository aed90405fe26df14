#include "source/source_renamer.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "source/rewrite_test_support.h"

namespace reshape {
namespace {

struct SourceCase {
  std::string script;
  std::string input;
  std::string output;
  std::vector<std::string> log;
};

TEST(SourceLineTransformTest, RenamesClassesThenStrings) {
  const std::string renc = "RENC>TFoo,TBar\r\n";
  const std::string rens = "RENS>abc,xyz\r\n";
  const std::string renamed = "F> Renamed class \"TFoo\" to \"TBar\"";
  const std::vector<SourceCase> cases = {
      {renc, "x := tfoo.Create; TFoo\rTFoo\r\n", "x := TBar.Create; TFoo\r\nTBar\r\n",
       {renamed, renamed}},
      {renc, "TFoo x\nTFoo y\n", "TBar x\nTBar y\n", {renamed, renamed}},
      {renc, "\xEF\xBB\xBFTFoo x", "\xEF\xBB\xBFTBar x\r\n", {renamed}},
      {renc, "a\rb\x1A", "a\r\nb\r\n", {}},
      {rens, "s := 'abc'; abc", "s := 'xyz'; abc\r\n", {"F> Renamed string \"abc\" to \"xyz\""}},
      {"RENC>TFoo,Widgets.TButton\r\nRENC>TLabel,Widgets.TLabel\r\n", "TFoo, TLabel",
       "Widgets.TButton, Widgets.TLabel\r\n",
       {"F> Renamed class \"TFoo\" to \"Widgets.TButton\"",
        "F> Renamed class \"TLabel\" to \"Widgets.TLabel\""}},
      {"RENS>PkgA,PkgB\r\nRENS>PkgB,PkgC\r\n", "use PkgA", "use PkgC\r\n",
       {"F> Renamed string \"PkgA\" to \"PkgB\"", "F> Renamed string \"PkgB\" to \"PkgC\""}},
      {"RENS>TBar,TBaz\r\nRENC>TFoo,TBar\r\n", "TFoo", "TBaz\r\n",
       {renamed, "F> Renamed string \"TBar\" to \"TBaz\""}},
      {"RENU>TFoo,TBar\r\nPKGR>TFoo,TBar\r\nRENP>TFoo,TBar\r\n", "TFoo", "TFoo\r\n", {}},
  };
  for (const SourceCase& c : cases) {
    test::RewriteResult result = test::Rewrite<SourceLineTransform>(c.script, c.input);
    EXPECT_EQ(result.text, c.output) << c.input;
    EXPECT_EQ(result.log, c.log) << c.input;
    EXPECT_EQ(result.changed, !c.log.empty()) << c.input;
  }
}

}  // namespace
}  // namespace reshape
