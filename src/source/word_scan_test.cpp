#include "source/word_scan.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace reshape {
namespace {

struct NamesCase {
  std::string text;
  std::vector<std::string> words;
  std::vector<std::string> dottedNames;
};

template <typename Scan>
std::vector<std::string> Collect(const std::string& text, Scan scan) {
  std::vector<std::string> found;
  scan(text, [&](std::size_t start, std::size_t length) {
    found.push_back(text.substr(start, length));
    return true;
  });
  return found;
}

TEST(WordScanTest, FindsWordsAndDottedNames) {
  const std::vector<NamesCase> cases = {
      {"", {}, {}},
      {" ,.;-+/*()^=:[]", {}, {}},
      {" ,TFoo..Bar; ", {"TFoo", "Bar"}, {"TFoo", "Bar"}},
      {"uses Core.Types, Types;", {"uses", "Core", "Types", "Types"},
       {"uses", "Core.Types", "Types"}},
      {"a.b.c. d .e", {"a", "b", "c", "d", "e"}, {"a.b.c", "d", "e"}},
      {"TFoo::Create", {"TFoo", "Create"}, {"TFoo", "Create"}},
      {"{A}\t<B>&'x'#\\\"", {"{A}\t<B>&'x'#\\\""}, {"{A}\t<B>&'x'#\\\""}},
      {std::string("x\0y z\xE4", 6), {std::string("x\0y", 3), "z\xE4"},
       {std::string("x\0y", 3), "z\xE4"}},
  };
  for (const NamesCase& c : cases) {
    EXPECT_EQ(Collect(c.text, [](auto s, auto v) { ScanSourceWords(s, v); }), c.words) << c.text;
    EXPECT_EQ(Collect(c.text, [](auto s, auto v) { ScanSourceDottedNames(s, v); }), c.dottedNames)
        << c.text;
  }
}

}  // namespace
}  // namespace reshape
