// A list of whole-word renames applied to a line together: each rename acts as ReplaceWholeWord
// would, in list order, but a line costs one look-up per word instead of one scan per rename,
// so scripts with many renames stay fast.
#pragma once

#include <bitset>
#include <cstddef>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "base/ascii_case.h"
#include "source/word_scan.h"

namespace reshape {

class WholeWordRenames {
 public:
  struct Rename {
    std::string_view oldName;
    std::string_view newName;
  };

  // The renames in the order they act; the names must outlive this object.
  explicit WholeWordRenames(std::vector<Rename> renames);
  // The look-up table points into this object's own storage, which a move keeps in place.
  WholeWordRenames(const WholeWordRenames&) = delete;
  WholeWordRenames& operator=(const WholeWordRenames&) = delete;
  WholeWordRenames(WholeWordRenames&&) = default;
  WholeWordRenames& operator=(WholeWordRenames&&) = default;

  // Applies every rename whose old name is a word of words, in list order, each at the index of
  // the first such word; returns the list positions of the renames that replaced, in order.
  const std::vector<std::size_t>& Apply(std::string& line, const WordList& words);
  // The same with the words of the line as it is now, taken in one scan that keeps no word list:
  // a long line costs no copy of its words.
  const std::vector<std::size_t>& Apply(std::string& line);

 private:
  // The renames that share one old name (ignoring letter case), in list order.
  struct Group {
    std::vector<std::size_t> renames;
    std::size_t lastLine = 0;
  };

  // Cheap test that rules out most words, in any letter case, before the table is asked: the
  // length and the first and last bytes of every old name.
  bool MayBeOldName(std::string_view word) const {
    return longNames_ ||
           (word.size() < kLengthBits && lengths_[word.size()] &&
            firstBytes_[static_cast<unsigned char>(AsciiUpper(word.front()))] &&
            lastBytes_[static_cast<unsigned char>(AsciiUpper(word.back()))]);
  }
  // Notes the renames of the index-th word, given upper-cased, unless its group has been met on
  // this line already.
  void Match(std::string_view upperWord, std::size_t index);
  // Makes the noted renames in list order.
  const std::vector<std::size_t>& ApplyMatches(std::string& line);
  static constexpr std::size_t kLengthBits = 256;

  std::vector<Rename> renames_;
  std::vector<Group> groups_;
  std::vector<std::string> upperNames_;  // the keys of groupByName_
  std::unordered_map<std::string_view, std::size_t> groupByName_;
  std::bitset<kLengthBits> lengths_;
  std::bitset<256> firstBytes_;
  std::bitset<256> lastBytes_;
  bool longNames_ = false;  // an old name too long for lengths_
  std::size_t lineNumber_ = 0;
  std::vector<std::pair<std::size_t, std::size_t>> matches_;  // rename, word index
  std::vector<std::size_t> replaced_;
  std::string upperWord_;
};

}  // namespace reshape
