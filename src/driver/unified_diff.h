// The unified diff of a file's bytes before and after a run, as a preview shows it.
//
// Layout, as "diff -u" writes it:
//   --- a/PATH
//   +++ b/PATH
//   @@ -L,N +L,N @@        one header per hunk: first line and line count of each side; ",N"
//                          is left out when N is 1, and L is the line before an empty range
//   " " line               context (three lines around each change), "-" removed, "+" added
// A line is the bytes up to and including a "\n", written as they are (a CR before it stays);
// a last line without one is followed by "\n\ No newline at end of file\n".
#pragma once

#include <string>
#include <string_view>

namespace reshape {

// Empty when before and after are equal. The time stays near linear in the size of the texts:
// where the two differ in too many places, the rest of a differing region is shown as removed
// and added as a whole instead of line by line.
std::string UnifiedDiff(std::string_view path, std::string_view before, std::string_view after);

}  // namespace reshape
