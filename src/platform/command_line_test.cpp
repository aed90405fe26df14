#include "platform/command_line.h"

#include <gtest/gtest.h>

namespace reshape::platform {
namespace {

using Arguments = std::vector<std::string>;

TEST(SplitCommandLineTest, WordsQuotesAndSeparators) {
  const std::pair<std::string, Arguments> cases[] = {
      {"", {}},
      // Every character from 1 to 32 separates; 33 does not.
      {"  r\x01" "a\x1F" "b\x20" "c!d\t\r\n", {"a", "b", "c!d"}},
      // Touching runs form one argument; the quotes are dropped; an unclosed quote runs to the end.
      {"\"C:\\Program Files\\r.exe\" a\"b c\"d \"e\"\"f\" \"g h", {"ab cd", "ef", "g h"}},
      // Nothing escapes a quote: a backslash stays and the quote still closes.
      {"r src\\u.pas \xE9 \"a\\\" b\"", {"src\\u.pas", "\xE9", "a\\", "b"}},
      // Empty arguments do not count, wherever they stand; the program's name is the first word
      // even when it comes out empty.
      {"\"\" \"\" job.scr \"\"\"\" A.PAS \"", {"job.scr", "A.PAS"}},
  };
  for (const auto& [line, expected] : cases) EXPECT_EQ(SplitCommandLine(line), expected) << line;
}

}  // namespace
}  // namespace reshape::platform
