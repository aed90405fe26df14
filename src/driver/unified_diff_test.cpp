#include "driver/unified_diff.h"

#include <gtest/gtest.h>

#include <string>

namespace reshape {
namespace {

// The expected hunks are what GNU "diff -u" writes for the same two files.
TEST(UnifiedDiffTest, HunksAsDiffWritesThem) {
  struct Case {
    std::string before, after, hunks;
  };
  const std::string ten = "1\n2\n3\n4\n5\n6\n7\n8\n9\n10\n";
  const Case cases[] = {
      {ten, ten, ""},
      {ten, "1\n2\n3\n4\nfive\n6\n7\n8\n9\n10\n", "@@ -2,7 +2,7 @@\n 2\n 3\n 4\n-5\n+five\n 6\n 7\n 8\n"},
      {"", "a\nb\n", "@@ -0,0 +1,2 @@\n+a\n+b\n"}, {"a\nb\n", "", "@@ -1,2 +0,0 @@\n-a\n-b\n"},
      {"a\n", "b\n", "@@ -1 +1 @@\n-a\n+b\n"}, {"a\r\nb\r\n", "a\r\nc\r\n", "@@ -1,2 +1,2 @@\n a\r\n-b\r\n+c\r\n"},
      {"a\nb", "a\nc", "@@ -1,2 +1,2 @@\n a\n-b\n\\ No newline at end of file\n+c\n\\ No newline at end of file\n"},
      {"a", "a\n", "@@ -1 +1 @@\n-a\n\\ No newline at end of file\n+a\n"},
      {"x\na\nb", "y\na\nb", "@@ -1,3 +1,3 @@\n-x\n+y\n a\n b\n\\ No newline at end of file\n"},
      // Six unchanged lines between two changes keep them in one hunk, seven part them.
      {ten, "1\nx\n3\n4\n5\n6\n7\n8\ny\n10\n",
       "@@ -1,10 +1,10 @@\n 1\n-2\n+x\n 3\n 4\n 5\n 6\n 7\n 8\n-9\n+y\n 10\n"},
      {ten + "11\n", "1\nx\n3\n4\n5\n6\n7\n8\n9\ny\n11\n",
       "@@ -1,5 +1,5 @@\n 1\n-2\n+x\n 3\n 4\n 5\n@@ -7,5 +7,5 @@\n 7\n 8\n 9\n-10\n+y\n 11\n"},
      {"a\nb\nc\n", "c\nb\na\nb\n", "@@ -1,3 +1,4 @@\n+c\n+b\n a\n b\n-c\n"},
      {"b\nc\nb\nb\nc\n", "a\nb\na\nb\nb\n", "@@ -1,5 +1,5 @@\n+a\n b\n-c\n+a\n b\n b\n-c\n"},
  };
  for (const Case& c : cases) {
    const std::string header = c.hunks.empty() ? "" : "--- a/d/f.pas\n+++ b/d/f.pas\n";
    EXPECT_EQ(UnifiedDiff("d/f.pas", c.before, c.after), header + c.hunks) << c.before;
  }
}

// Every second line of 6,000 changed: more edits than a full search takes on, so the lines
// that stand once on each side carry the diff, which stays line by line.
TEST(UnifiedDiffTest, ManyChangesStayLineByLine) {
  std::string before, after, hunks = "@@ -1,6000 +1,6000 @@\n";
  for (int i = 0; i < 6000; i += 2) {
    const std::string kept = std::to_string(i) + "\n", old = std::to_string(i + 1) + "\n";
    before += kept + old;
    after += kept + "x\n";
    hunks += " " + kept + "-" + old + "+x\n";
  }
  EXPECT_EQ(UnifiedDiff("f", before, after), "--- a/f\n+++ b/f\n" + hunks);
}

}  // namespace
}  // namespace reshape
