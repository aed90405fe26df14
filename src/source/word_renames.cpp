#include "source/word_renames.h"

#include <algorithm>
#include <bit>
#include <cstdint>

#include "source/word_scan.h"

namespace reshape {

WholeWordRenames::WholeWordRenames(std::vector<Rename> renames, Names names)
    : renames_(std::move(renames)), names_(names) {
  // Keys are stored upper-cased, so a look-up is plain hashing of the upper-cased name.
  upperNames_.reserve(renames_.size());
  for (const Rename& rename : renames_) upperNames_.push_back(AsciiUpperCase(rename.oldName));
  for (std::size_t i = 0; i < renames_.size(); ++i) {
    const std::string& name = upperNames_[i];
    auto [entry, added] = groupByName_.try_emplace(name, groups_.size());
    if (added) groups_.emplace_back();
    groups_[entry->second].renames.push_back(i);
    // An empty old name never equals a name; it needs no entry in the filter.
    if (name.empty()) continue;
    if (name.size() < kLengthBits)
      lengths_.set(name.size());
    else
      longNames_ = true;
    firstBytes_.set(static_cast<unsigned char>(name.front()));
    lastBytes_.set(static_cast<unsigned char>(name.back()));
  }
}

const std::vector<std::size_t>& WholeWordRenames::Apply(std::string& line) {
  replaced_.clear();
  if (groupByName_.empty()) return replaced_;
  ++lineNumber_;
  matches_.clear();
  // Every match is noted before the line changes, so a name put in by one rename is never
  // taken for a name by a later one.
  auto note = [this, &line](std::size_t start, std::size_t length) {
    if (MayBeOldName(std::string_view(line).substr(start, length))) Note(line, start, length);
    return true;
  };
  if (names_ == Names::DottedNames)
    ScanSourceDottedNames(line, note);
  else
    ScanSourceWords(line, note);
  return ApplyMatches(line);
}

std::size_t WholeWordRenames::NextCandidate(std::string_view text, std::size_t from) {
  if (names_ == Names::DottedNames) return from;
  if (groupByName_.empty()) return std::string_view::npos;
  const std::array<bool, 256>& table = SourceDelimiterTable();
  const std::string_view rest = text.substr(from);
  // Only the starts of words are walked; a word's end is looked for only when its first byte
  // may begin an old name. `from` starts a line, so a word may start there.
  std::uint64_t delimiterBefore = 1;
  for (std::size_t base = 0; base < rest.size(); base += 64) {
    const std::uint64_t delimiters = SourceDelimiterMask<true>(rest, base, table);
    std::uint64_t starts = ~delimiters & ((delimiters << 1) | delimiterBefore);
    delimiterBefore = delimiters >> 63;
    for (; starts != 0; starts &= starts - 1) {
      const unsigned bit = static_cast<unsigned>(std::countr_zero(starts));
      const std::size_t start = base + bit;
      if (!longNames_ && !firstBytes_[static_cast<unsigned char>(AsciiUpper(rest[start]))])
        continue;
      std::size_t end = start;
      if (const std::uint64_t after = delimiters >> bit; after != 0) {
        end += static_cast<std::size_t>(std::countr_zero(after));
      } else {
        while (end < rest.size() && !table[static_cast<unsigned char>(rest[end])] &&
               rest[end] != '\r' && rest[end] != '\n')
          ++end;
      }
      const std::string_view name = rest.substr(start, end - start);
      if (MayBeOldName(name) && IsOldName(name)) return from + start;
    }
  }
  return std::string_view::npos;
}

bool WholeWordRenames::IsOldName(std::string_view name) {
  upperName_.assign(name);
  for (char& c : upperName_) c = AsciiUpper(c);
  return groupByName_.contains(upperName_);
}

void WholeWordRenames::Note(std::string_view line, std::size_t start, std::size_t length) {
  upperName_.assign(line.substr(start, length));
  for (char& c : upperName_) c = AsciiUpper(c);
  // Each group is taken at the first name that names it; the stamp marks groups already seen.
  auto found = groupByName_.find(upperName_);
  if (found == groupByName_.end()) return;
  Group& group = groups_[found->second];
  if (group.lastLine == lineNumber_) return;
  group.lastLine = lineNumber_;
  for (std::size_t rename : group.renames) matches_.push_back({rename, start, length});
}

const std::vector<std::size_t>& WholeWordRenames::ApplyMatches(std::string& line) {
  if (matches_.empty()) return replaced_;
  std::sort(matches_.begin(), matches_.end(),
            [](const Match& a, const Match& b) { return a.rename < b.rename; });
  edits_.clear();
  for (const Match& match : matches_) {
    // The name now stands shifted by what the renames of names before it added or removed.
    std::size_t start = match.start;
    Edit* own = nullptr;
    for (Edit& edit : edits_) {
      if (edit.start < match.start) start += edit.newLength - edit.oldLength;
      if (edit.start == match.start) own = &edit;
    }
    const std::size_t length = own ? own->newLength : match.length;
    const Rename& rename = renames_[match.rename];
    // An earlier rename of the same name may have left other text there; only the old name
    // itself is ever replaced.
    if (!SameIgnoringAsciiCase(std::string_view(line).substr(start, length), rename.oldName))
      continue;
    line.replace(start, length, rename.newName);
    if (own)
      own->newLength = rename.newName.size();
    else
      edits_.push_back({match.start, match.length, rename.newName.size()});
    replaced_.push_back(match.rename);
  }
  return replaced_;
}

}  // namespace reshape
