#include "source/word_renames.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "source/replace.h"

namespace reshape {
namespace {

using Renames = std::vector<std::pair<std::string, std::string>>;

struct Outcome {
  std::string line;
  std::vector<std::size_t> replaced;
};

// Both ways of taking the words, from a word list and by scanning the line, must agree.
Outcome ApplyTogether(const std::string& line, const Renames& renames) {
  std::vector<WholeWordRenames::Rename> list;
  for (const auto& [oldName, newName] : renames) list.push_back({oldName, newName});
  WholeWordRenames together(std::move(list));
  Outcome outcome{line, {}};
  const WordList words(line);
  outcome.replaced = together.Apply(outcome.line, words);
  Outcome scanned{line, {}};
  scanned.replaced = together.Apply(scanned.line);
  EXPECT_EQ(scanned.line, outcome.line) << line;
  EXPECT_EQ(scanned.replaced, outcome.replaced) << line;
  return outcome;
}

Outcome ApplyOneByOne(const std::string& line, const Renames& renames) {
  Outcome outcome{line, {}};
  const WordList words(line);
  for (std::size_t i = 0; i < renames.size(); ++i)
    if (ReplaceWholeWord(outcome.line, words, renames[i].first, renames[i].second))
      outcome.replaced.push_back(i);
  return outcome;
}

struct RenamesCase {
  std::string line;
  Renames renames;
  std::string result;
  std::vector<std::size_t> replaced;
};

TEST(WholeWordRenamesTest, ActsInListOrderAtEachNamesFirstWord) {
  const std::vector<RenamesCase> cases = {
      {"TB TA", {{"TA", "X"}, {"TB", "Y"}}, "Y X", {0, 1}},
      {"TA TA", {{"ta", "X"}, {"TA", "Y"}}, "X TA", {0}},
      {"TA", {{"TA", "ta"}, {"Ta", "Z"}}, "Z", {0, 1}},
      {"TFirst", {{"TFirst", "TSecond"}, {"TSecond", "TThird"}}, "TSecond", {0}},
      {"TA TB", {{"TB", "X.Y"}, {"TA", "Q"}}, "Q X.Y", {0, 1}},
      {"TA TB", {{"TA", "X.Y"}, {"TB", "Q"}}, "X.Y TB", {0}},
      {"a, b", {{"", "X"}, {"a,", "X"}}, "a, b", {}},
      {"", {{"TA", "X"}}, "", {}},
      {"TA", {}, "TA", {}},
  };
  for (const RenamesCase& c : cases) {
    Outcome outcome = ApplyTogether(c.line, c.renames);
    EXPECT_EQ(outcome.line, c.result) << c.line;
    EXPECT_EQ(outcome.replaced, c.replaced) << c.line;
  }
}

TEST(WholeWordRenamesTest, ServesManyLines) {
  std::vector<WholeWordRenames::Rename> list = {{"TA", "X"}};
  WholeWordRenames renames(std::move(list));
  for (const std::string text : {"TA TA", "b TA", "none", "ta"}) {
    std::string line = text;
    const WordList words(line);
    EXPECT_EQ(renames.Apply(line, words).size(), text == "none" ? 0u : 1u) << text;
  }
}

TEST(WholeWordRenamesTest, AgreesWithOneRenameAtATime) {
  std::mt19937 random(7);
  auto make = [&random](std::size_t maxLength, std::string_view alphabet) {
    std::string text(std::uniform_int_distribution<std::size_t>(0, maxLength)(random), ' ');
    for (char& c : text)
      c = alphabet[std::uniform_int_distribution<std::size_t>(0, alphabet.size() - 1)(random)];
    return text;
  };
  for (int round = 0; round < 3000; ++round) {
    const std::string line = make(30, "aAbB .:\t");
    Renames renames;
    for (int i = 0; i < 8; ++i) renames.emplace_back(make(2, "aAbB"), make(3, "aAbB. "));
    Outcome together = ApplyTogether(line, renames);
    Outcome oneByOne = ApplyOneByOne(line, renames);
    ASSERT_EQ(together.line, oneByOne.line) << line;
    ASSERT_EQ(together.replaced, oneByOne.replaced) << line;
  }
}

}  // namespace
}  // namespace reshape
