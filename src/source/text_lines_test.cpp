#include "source/text_lines.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace reshape {
namespace {

// Records every line it is handed and leaves it unchanged.
class RecordingTransform : public LineTransform {
 public:
  void TransformLine(std::string& line) override { lines.push_back(line); }
  std::vector<std::string> lines;
};

// Puts the line number in front of each line, to show that changed lines are written back.
class NumberingTransform : public LineTransform {
 public:
  void TransformLine(std::string& line) override { line = std::to_string(++count_) + ":" + line; }

 private:
  int count_ = 0;
};

struct LineCase {
  std::string name;
  std::string input;
  std::vector<std::string> lines;
  std::string output;
};

TEST(RewriteTextTest, SplitsAndRejoinsLines) {
  const std::vector<LineCase> cases = {
      {"empty file", "", {}, ""},
      {"only CR LF", "\r\n", {""}, "\r\n"},
      {"last line without break", "a\r\nb", {"a", "b"}, "a\r\nb\r\n"},
      {"break before end adds no line", "a\r\nb\r\n", {"a", "b"}, "a\r\nb\r\n"},
      {"CR only", "a\rb\rc", {"a", "b", "c"}, "a\r\nb\r\nc\r\n"},
      {"LF only stays LF", "a\nb\n", {"a", "b"}, "a\nb\n"},
      {"LF only, last line without break", "a\nb", {"a", "b"}, "a\nb"},
      {"lone LF", "\n", {""}, "\n"},
      {"only line breaks", "\n\r\r\n", {"", "", ""}, "\n\r\n\r\n"},
      {"single line without break", "a", {"a"}, "a\r\n"},
      {"CR CR LF is two breaks", "a\r\r\nb", {"a", "", "b"}, "a\r\n\r\nb\r\n"},
      {"LF CR", "a\n\rb", {"a", "", "b"}, "a\n\r\nb\r\n"},
      {"mixed", "a\r\nb\rc\nd\r\n\r\n", {"a", "b", "c", "d", ""},
       "a\r\nb\r\nc\nd\r\n\r\n"},
      {"mixed, last line without break", "a\nb\r\nc", {"a", "b", "c"}, "a\nb\r\nc\r\n"},
      {"byte-order mark kept outside the lines", "\xEF\xBB\xBF" "a\nb", {"a", "b"},
       "\xEF\xBB\xBF" "a\nb"},
      {"byte-order mark alone", "\xEF\xBB\xBF", {}, "\xEF\xBB\xBF"},
      {"LF file with a final mark", "a\nb\x1A", {"a", "b"}, "a\nb"},
      {"trailing end-of-text mark dropped", "a\r\nb\x1A", {"a", "b"}, "a\r\nb\r\n"},
      {"only end-of-text mark", "\x1A", {}, ""},
      {"end-of-text mark after break", "a\r\n\x1A", {"a"}, "a\r\n"},
      {"bytes behind end-of-text mark kept", "a\rb\x1A" "c\rd\x1A",
       {"a", "b"}, "a\r\nb\r\n\x1A" "c\rd\x1A"},
      {"end-of-text mark first", "\x1A\r\nx", {}, "\x1A\r\nx"},
      {"CR before mark", "a\r\x1A" "z", {"a"}, "a\r\n\x1A" "z"},
      {"NUL and high bytes are ordinary", std::string("a\0\xFF\r\n\x80", 6),
       {std::string("a\0\xFF", 3), "\x80"}, std::string("a\0\xFF\r\n\x80\r\n", 8)},
  };
  for (const LineCase& c : cases) {
    RecordingTransform recorder;
    EXPECT_EQ(RewriteText(c.input, recorder), c.output) << c.name;
    EXPECT_EQ(recorder.lines, c.lines) << c.name;
  }
}

TEST(RewriteTextTest, WritesBackWhatTheTransformLeaves) {
  NumberingTransform numbering;
  EXPECT_EQ(RewriteText("x\ry\r\n\x1A" "tail", numbering), "1:x\r\n2:y\r\n\x1A" "tail");
}

TEST(RewriteTextTest, TellsUtf16ByTheByteOrderMark) {
  EXPECT_TRUE(IsUtf16Text("\xFF\xFE" "a"));
  EXPECT_TRUE(IsUtf16Text("\xFE\xFF"));
  EXPECT_FALSE(IsUtf16Text("\xFF"));
  EXPECT_FALSE(IsUtf16Text("\xEF\xBB\xBF"));
  EXPECT_FALSE(IsUtf16Text(""));
}

TEST(RewriteTextTest, HandlesTenMegabyteLine) {
  std::string input(10 << 20, 'q');
  input[5] = '\t';
  RecordingTransform recorder;
  std::string output = RewriteText(input, recorder);
  ASSERT_EQ(recorder.lines.size(), 1u);
  EXPECT_EQ(recorder.lines[0], input);
  EXPECT_EQ(output, input + "\r\n");
}

}  // namespace
}  // namespace reshape
