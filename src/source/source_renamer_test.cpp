// The source and project line transforms over whole texts. The source pass looks ahead in the
// whole text and copies lines that cannot match in one piece; with one class rename or many,
// the result is that of rewriting line by line.
#include "source/source_renamer.h"

#include <gtest/gtest.h>

#include "source/project_renamer.h"
#include "source/rewrite_test_support.h"

namespace reshape {
namespace {

const std::string kRenamed = "F> Renamed class \"TFoo\" to \"TBar\"";
const std::string kMany = "RENC>A1,B1\r\nRENC>A2,B2\r\nRENC>A3,B3\r\nRENC>TFoo,TBar\r\n";

TEST(SourceLineTransformTest, RenamesClassesThenStrings) {
  const std::tuple<std::string, std::string, std::string, std::vector<std::string>> cases[] = {
      {"RENC>TFoo,TBar", "x := tfoo.Create; TFoo\rTFoo\r\n", "x := TBar.Create; TFoo\r\nTBar\r\n", {kRenamed, kRenamed}},
      {"RENC>TFoo,TBar", "\xEF\xBB\xBFTFoo x", "\xEF\xBB\xBFTBar x\r\n", {kRenamed}},
      {"RENC>TFoo,TBar", "a\rb\x1A", "a\r\nb\r\n", {}},
      // A lone CR inside a stretch without matches becomes CR LF; LF and CR LF stay.
      {"RENC>TFoo,TBar\r\nRENS>IntToStr(,Str(", "a\nb\rc\r\nx TFoo y\nz\rIntToStr(1)\r\nend",
       "a\nb\r\nc\r\nx TBar y\nz\r\nStr(1)\r\nend\r\n", {kRenamed, "F> Renamed string \"IntToStr(\" to \"Str(\""}},
      {kMany, "a\r\rb\nx TFoo\nq TFoo", "a\r\n\r\nb\nx TBar\nq TBar\r\n", {kRenamed, kRenamed}},
      {"RENS>q,Q", "a\nq", "a\nQ", {"F> Renamed string \"q\" to \"Q\""}},
      {"RENC>TFoo,Widgets.TButton\r\nRENC>TLabel,Widgets.TLabel", "TFoo, TLabel", "Widgets.TButton, Widgets.TLabel\r\n",
       {"F> Renamed class \"TFoo\" to \"Widgets.TButton\"", "F> Renamed class \"TLabel\" to \"Widgets.TLabel\""}},
      {"RENS>TBar,TBaz\r\nRENS>TBaz,TQ\r\nRENC>TFoo,TBar", "TFoo", "TQ\r\n",
       {kRenamed, "F> Renamed string \"TBar\" to \"TBaz\"", "F> Renamed string \"TBaz\" to \"TQ\""}},
      {"RENU>TFoo,TBar\r\nPKGR>TFoo,TBar\r\nRENP>TFoo,TBar", "TFoo", "TFoo\r\n", {}},
  };
  for (const auto& [script, input, output, log] : cases) {
    test::RewriteResult result = test::Rewrite<SourceLineTransform>(script, input);
    EXPECT_EQ(result.text, output) << input;
    EXPECT_EQ(result.log, log) << input;
    EXPECT_EQ(result.changed, !log.empty()) << input;
  }
}

TEST(ProjectLineTransformTest, ReplacesPackageNamesAsPlainText) {
  test::RewriteResult result = test::Rewrite<ProjectLineTransform>(
      "PKGR>Pkg50,Pkg60\r\nPKGR>Pkg60,\r\nRENS>Pkg,X\r\nPKGR>,x", "a Pkg50 b pkg50 'q' { (*\nxPKG60x");
  EXPECT_EQ(result.text, "a  b pkg50 'q' { (*\nxx");
  EXPECT_EQ(result.log, (std::vector<std::string>{"F> Renamed/Replaced package \"Pkg50\" to \"Pkg60\"",
                                                  "F> Renamed/Replaced package \"Pkg60\" to \"\"",
                                                  "F> Renamed/Replaced package \"Pkg60\" to \"\""}));
}

}  // namespace
}  // namespace reshape
