// The source pass looks ahead in the whole text and copies lines that cannot match in one
// piece; with one class rename or many, the result is that of rewriting line by line.
#include <gtest/gtest.h>

#include "source/rewrite_test_support.h"
#include "source/source_renamer.h"

namespace reshape {
namespace {

constexpr const char* kManyClassRenames =
    "RENC>A1,B1\r\nRENC>A2,B2\r\nRENC>A3,B3\r\nRENC>A4,B4\r\nRENC>TFoo,TBar\r\n";

TEST(SourceLookaheadTest, LinesBeforeAndAfterMatchesKeepTheirBreaks) {
  struct Row {
    std::string script, text, expected;
  };
  const std::string strings = "RENS>IntToStr(,Str(\r\n";
  // A lone CR inside a stretch without matches becomes CR LF; LF and CR LF stay.
  const std::string text = "a\nb\rc\r\nx TFoo y\nz\rIntToStr(1)\r\nend";
  const std::string expected = "a\nb\r\nc\r\nx TBar y\nz\r\nStr(1)\r\nend\r\n";
  for (const Row& row : {
           Row{"RENC>TFoo,TBar\r\n" + strings, text, expected},
           Row{kManyClassRenames + strings, text, expected},
           Row{"RENC>TFoo,TBar\r\n", "a\r\rb\nx TFoo", "a\r\n\r\nb\nx TBar\r\n"},
           // An occurrence right at the start of the line after a line break.
           Row{"RENS>q,Q\r\n", "a\nq", "a\nQ"},
       }) {
    const test::RewriteResult result = test::Rewrite<SourceLineTransform>(row.script, row.text);
    EXPECT_EQ(result.text, row.expected) << row.script;
    EXPECT_TRUE(result.changed) << row.script;
  }
}

}  // namespace
}  // namespace reshape
