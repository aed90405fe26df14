#include "source/word_scan.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace reshape {
namespace {

TEST(WordScanTest, FindsWordsAndDottedNames) {
  const std::tuple<std::string, std::vector<std::string>, std::vector<std::string>> cases[] = {
      {" ,.;-+/*()^=:[]", {}, {}},
      {"uses Core.Types, Types;", {"uses", "Core", "Types", "Types"}, {"uses", "Core.Types", "Types"}},
      {"a.b.c. d .e f..g", {"a", "b", "c", "d", "e", "f", "g"}, {"a.b.c", "d", "e", "f", "g"}},
      {"{A}\t<B>&'x'#\\\"", {"{A}\t<B>&'x'#\\\""}, {"{A}\t<B>&'x'#\\\""}},
      {std::string("x\0y z\xE4", 6), {std::string("x\0y", 3), "z\xE4"}, {std::string("x\0y", 3), "z\xE4"}},
      // Words across the 16- and 64-byte blocks of the scan.
      {std::string(70, 'a') + " b:c", {std::string(70, 'a'), "b", "c"}, {std::string(70, 'a'), "b", "c"}},
  };
  for (const auto& [text, words, dottedNames] : cases) {
    std::vector<std::string> found[2];
    ScanSourceWords(text, [&](std::size_t start, std::size_t length) {
      found[0].push_back(text.substr(start, length));
      return true;
    });
    ScanSourceDottedNames(text, [&](std::size_t start, std::size_t length) {
      found[1].push_back(text.substr(start, length));
      return true;
    });
    EXPECT_EQ(found[0], words) << text;
    EXPECT_EQ(found[1], dottedNames) << text;
  }
}

}  // namespace
}  // namespace reshape
