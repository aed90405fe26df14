#include "source/word_renames.h"

#include <algorithm>

#include "script/ascii_case.h"
#include "source/replace.h"

namespace reshape {

WholeWordRenames::WholeWordRenames(std::vector<Rename> renames) : renames_(std::move(renames)) {
  for (std::size_t i = 0; i < renames_.size(); ++i) {
    auto [entry, added] = groupByName_.try_emplace(renames_[i].oldName, groups_.size());
    if (added) groups_.emplace_back();
    groups_[entry->second].renames.push_back(i);
  }
}

const std::vector<std::size_t>& WholeWordRenames::Apply(std::string& line, const WordList& words) {
  replaced_.clear();
  if (groupByName_.empty()) return replaced_;
  // Each group is taken at the first word that names it; the stamp marks groups already seen.
  ++lineNumber_;
  matches_.clear();
  for (std::size_t index = 1; index <= words.Count(); ++index) {
    auto found = groupByName_.find(words.Word(index));
    if (found == groupByName_.end()) continue;
    Group& group = groups_[found->second];
    if (group.lastLine == lineNumber_) continue;
    group.lastLine = lineNumber_;
    for (std::size_t rename : group.renames) matches_.emplace_back(rename, index);
  }
  std::sort(matches_.begin(), matches_.end());
  for (const auto& [rename, index] : matches_) {
    if (ReplaceWordAt(line, index, renames_[rename].oldName, renames_[rename].newName))
      replaced_.push_back(rename);
  }
  return replaced_;
}

std::size_t WholeWordRenames::FoldedHash::operator()(std::string_view text) const {
  std::size_t hash = 14695981039346656037ull;
  for (char c : text) {
    hash ^= static_cast<unsigned char>(AsciiUpper(c));
    hash *= 1099511628211ull;
  }
  return hash;
}

bool WholeWordRenames::FoldedEqual::operator()(std::string_view a, std::string_view b) const {
  return SameIgnoringAsciiCase(a, b);
}

}  // namespace reshape
