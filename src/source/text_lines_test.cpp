#include "source/text_lines.h"

#include <gtest/gtest.h>

#include <string>

namespace reshape {
namespace {

// Puts each line it is handed in brackets, so the output shows how the text was cut and that
// changed lines are written back.
class Bracketing : public LineTransform {
 public:
  void TransformLine(std::string& line) override { line = "[" + line + "]"; }
};

TEST(RewriteTextTest, CutsLinesAndWritesEachBackWithItsBreak) {
  const std::pair<std::string, std::string> cases[] = {
      {"", ""}, {"a", "[a]\r\n"}, {"\n", "[]\n"}, {"a\rb\r", "[a]\r\n[b]\r\n"}, {"a\nb", "[a]\n[b]"},
      {"\n\r\r\n", "[]\n[]\r\n[]\r\n"}, {"a\n\rb", "[a]\n[]\r\n[b]\r\n"}, {"a\nb\r\nc", "[a]\n[b]\r\n[c]\r\n"},
      {"\xEF\xBB\xBF" "a\nb", "\xEF\xBB\xBF[a]\n[b]"},
      {std::string("\xFF\xFEu\0\r\0\n\0", 8), std::string("\xFF\xFEu\0\r\0\n\0", 8)},
      {"\xFE\xFF\n", "\xFE\xFF\n"}, {"\xFF\n", "[\xFF]\n"},
      // An end-of-text mark ends the text; what follows the first one stays as it is.
      {"a\r\nb\x1A", "[a]\r\n[b]\r\n"}, {"a\nb\x1A", "[a]\n[b]"},
      {"a\rb\x1A" "c\rd\x1A", "[a]\r\n[b]\r\n\x1A" "c\rd\x1A"}, {"\x1A\r\nx", "\x1A\r\nx"},
      {std::string("a\0\xFF\t\r\n\x80", 7), std::string("[a\0\xFF\t]\r\n[\x80]\r\n", 13)},
  };
  for (const auto& [input, output] : cases) {
    Bracketing transform;
    EXPECT_EQ(RewriteText(input, transform), output) << input;
  }
  // Breaks at every offset within and across the eight-byte blocks of the search.
  for (std::size_t at = 0; at < 19; ++at) {
    std::string input(20, 'q');
    input[at] = '\n';
    Bracketing transform;
    EXPECT_EQ(RewriteText(input, transform), "[" + input.substr(0, at) + "]\n[" + input.substr(at + 1) + "]") << at;
  }
}

}  // namespace
}  // namespace reshape
