#include "source/word_renames.h"

#include <algorithm>

#include "base/ascii_case.h"
#include "script/lookup_mode.h"
#include "source/replace.h"

namespace reshape {

WholeWordRenames::WholeWordRenames(std::vector<Rename> renames) : renames_(std::move(renames)) {
  // Keys are stored upper-cased, as the words of a WordList are, so a look-up is plain hashing.
  upperNames_.reserve(renames_.size());
  for (const Rename& rename : renames_) upperNames_.push_back(AsciiUpperCase(rename.oldName));
  for (std::size_t i = 0; i < renames_.size(); ++i) {
    const std::string& name = upperNames_[i];
    auto [entry, added] = groupByName_.try_emplace(name, groups_.size());
    if (added) groups_.emplace_back();
    groups_[entry->second].renames.push_back(i);
    // An empty old name never equals a word; it needs no entry in the filter.
    if (name.empty()) continue;
    if (name.size() < kLengthBits)
      lengths_.set(name.size());
    else
      longNames_ = true;
    firstBytes_.set(static_cast<unsigned char>(name.front()));
    lastBytes_.set(static_cast<unsigned char>(name.back()));
  }
}

const std::vector<std::size_t>& WholeWordRenames::Apply(std::string& line, const WordList& words) {
  replaced_.clear();
  if constexpr (kPlainLookups) {
    for (std::size_t i = 0; i < renames_.size(); ++i)
      if (ReplaceWholeWord(line, words, renames_[i].oldName, renames_[i].newName))
        replaced_.push_back(i);
    return replaced_;
  }
  if (groupByName_.empty()) return replaced_;
  ++lineNumber_;
  matches_.clear();
  for (std::size_t index = 1; index <= words.Count(); ++index) {
    const std::string_view word = words.Word(index);
    if (MayBeOldName(word)) Match(word, index);
  }
  return ApplyMatches(line);
}

const std::vector<std::size_t>& WholeWordRenames::Apply(std::string& line) {
  if constexpr (kPlainLookups) return Apply(line, WordList(line));
  replaced_.clear();
  if (groupByName_.empty()) return replaced_;
  ++lineNumber_;
  matches_.clear();
  // Every match is noted before the line changes, so a name put in by one rename is never
  // taken for a word by a later one.
  std::size_t index = 0;
  ScanSourceWords(line, [this, &line, &index](std::size_t start, std::size_t length) {
    ++index;
    const std::string_view word(line.data() + start, length);
    if (MayBeOldName(word)) {
      upperWord_.assign(word);
      for (char& c : upperWord_) c = AsciiUpper(c);
      Match(upperWord_, index);
    }
    return true;
  });
  return ApplyMatches(line);
}

void WholeWordRenames::Match(std::string_view upperWord, std::size_t index) {
  // Each group is taken at the first word that names it; the stamp marks groups already seen.
  auto found = groupByName_.find(upperWord);
  if (found == groupByName_.end()) return;
  Group& group = groups_[found->second];
  if (group.lastLine == lineNumber_) return;
  group.lastLine = lineNumber_;
  for (std::size_t rename : group.renames) matches_.emplace_back(rename, index);
}

const std::vector<std::size_t>& WholeWordRenames::ApplyMatches(std::string& line) {
  if (matches_.empty()) return replaced_;
  std::sort(matches_.begin(), matches_.end());
  for (const auto& [rename, index] : matches_) {
    if (ReplaceWordAt(line, index, renames_[rename].oldName, renames_[rename].newName))
      replaced_.push_back(rename);
  }
  return replaced_;
}

}  // namespace reshape
