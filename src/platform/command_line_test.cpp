#include "platform/command_line.h"

#include <gtest/gtest.h>

namespace reshape::platform {
namespace {

using Arguments = std::vector<std::string>;

TEST(SplitCommandLineTest, WordsQuotesAndSeparators) {
  struct Case {
    std::string line;
    Arguments expected;
  };
  const Case cases[] = {
      {"reshape.exe", {}},
      {"", {}},
      {"reshape.exe job.scr A.PAS", {"job.scr", "A.PAS"}},
      {"  reshape.exe \t job.scr\r\nA.PAS  ", {"job.scr", "A.PAS"}},
      // Every character from 1 to 32 separates; 33 does not.
      {"r\x01" "a\x1F" "b\x20" "c!d", {"a", "b", "c!d"}},
      {"\"C:\\Program Files\\reshape.exe\" \"my job.scr\" x", {"my job.scr", "x"}},
      // Touching runs form one argument; the quotes are dropped.
      {"r a\"b c\"d \"e\"\"f\"", {"ab cd", "ef"}},
      // An unclosed quote runs to the end of the text.
      {"r \"a b", {"a b"}},
      // Nothing escapes a quote: a backslash stays and the quote still closes.
      {"r \"a\\\" b\"", {"a\\", "b"}},
      {"r src\\unit1.pas", {"src\\unit1.pas"}},
      // Empty arguments do not count, wherever they stand.
      {"r \"\" job.scr \"\" \"\"\"\" A.PAS \"", {"job.scr", "A.PAS"}},
      // The program's name is the first word even when it comes out empty.
      {"\"\" job.scr", {"job.scr"}},
      {"r \xE9t\xE9.pas", {"\xE9t\xE9.pas"}},
  };
  for (const Case& c : cases) EXPECT_EQ(SplitCommandLine(c.line), c.expected) << c.line;
}

}  // namespace
}  // namespace reshape::platform
