// The source pass looks ahead in the whole text and copies lines that cannot match in one
// piece; with one class rename or many, the result is that of rewriting line by line.
#include <gtest/gtest.h>

#include "source/rewrite_test_support.h"
#include "source/source_renamer.h"

namespace reshape {
namespace {

TEST(SourceLookaheadTest, LinesBeforeAndAfterMatchesKeepTheirBreaks) {
  // A lone CR inside a stretch without matches becomes CR LF; LF and CR LF stay.
  const std::string text = "a\nb\rc\r\nx TFoo y\nz\rIntToStr(1)\r\nend";
  const std::string expected = "a\nb\r\nc\r\nx TBar y\nz\r\nStr(1)\r\nend\r\n";
  const std::string strings = "RENS>IntToStr(,Str(\r\n";
  for (const std::string& classes :
       {std::string("RENC>TFoo,TBar\r\n"),
        std::string("RENC>A1,B1\r\nRENC>A2,B2\r\nRENC>A3,B3\r\nRENC>A4,B4\r\nRENC>TFoo,TBar\r\n")}) {
    const test::RewriteResult result = test::Rewrite<SourceLineTransform>(classes + strings, text);
    EXPECT_EQ(result.text, expected) << classes;
    EXPECT_EQ(result.log, (std::vector<std::string>{"F> Renamed class \"TFoo\" to \"TBar\"",
                                                    "F> Renamed string \"IntToStr(\" to \"Str(\""}));
  }
}

}  // namespace
}  // namespace reshape
