// A list of whole-word renames applied to a line together: each rename acts as ReplaceWholeWord
// would, in list order, but a line costs one look-up per word instead of one scan per rename,
// so scripts with many renames stay fast.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

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

  // Applies every rename whose old name is a word of words, in list order, each at the index of
  // the first such word; returns the list positions of the renames that replaced, in order.
  const std::vector<std::size_t>& Apply(std::string& line, const WordList& words);

 private:
  struct FoldedHash {
    std::size_t operator()(std::string_view text) const;
  };
  struct FoldedEqual {
    bool operator()(std::string_view a, std::string_view b) const;
  };
  // The renames that share one old name (ignoring letter case), in list order.
  struct Group {
    std::vector<std::size_t> renames;
    std::size_t lastLine = 0;
  };

  std::vector<Rename> renames_;
  std::vector<Group> groups_;
  std::unordered_map<std::string_view, std::size_t, FoldedHash, FoldedEqual> groupByName_;
  std::size_t lineNumber_ = 0;
  std::vector<std::pair<std::size_t, std::size_t>> matches_;  // rename, word index
  std::vector<std::size_t> replaced_;
};

}  // namespace reshape
