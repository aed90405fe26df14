// Splitting a line into words separated by runs of delimiter characters: counting them, finding
// where the N-th one starts, copying it, and the per-line list of upper-cased words.
#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace reshape {

// The bytes that separate words in source lines: blank , . ; - + / * ( ) ^ = : [ ]
inline constexpr std::string_view DelimiterSet = " ,.;-+/*()^=:[]";

// Membership of every byte value in DelimiterSet, so that a scan need not search the set.
const std::array<bool, 256>& SourceDelimiterTable();

// Calls visit(start, length) for each word of s, a run of bytes for which isDelimiter is false,
// in order, until visit returns false.
template <typename IsDelimiter, typename Visit>
void ScanWords(std::string_view s, const IsDelimiter& isDelimiter, Visit visit) {
  std::size_t pos = 0;
  while (pos < s.size()) {
    while (pos < s.size() && isDelimiter(s[pos])) ++pos;
    if (pos >= s.size()) return;
    const std::size_t start = pos;
    while (pos < s.size() && !isDelimiter(s[pos])) ++pos;
    if (!visit(start, pos - start)) return;
  }
}

// ScanWords under DelimiterSet.
template <typename Visit>
void ScanSourceWords(std::string_view s, Visit visit) {
  const std::array<bool, 256>& table = SourceDelimiterTable();
  ScanWords(s, [&table](char c) { return table[static_cast<unsigned char>(c)]; }, visit);
}

// True when ch is one of the bytes of delimiters (never for empty delimiters).
bool CharInDelimiters(std::string_view delimiters, char ch);

// The number of words of s.
std::size_t CountWords(std::string_view s, std::string_view delimiters);

// True when s has an n-th word (counted from 1); position then receives the 1-based position
// of its first byte, otherwise it is left untouched.
bool FindWordStart(std::ptrdiff_t n, std::string_view s, std::string_view delimiters,
                   std::size_t& position);

// The n-th word of s (counted from 1); empty when s has no n-th word.
std::string CopyWordAt(std::ptrdiff_t n, std::string_view s, std::string_view delimiters);

// The words of one line under DelimiterSet, upper-cased (a to z only), taken in one scan. It
// keeps the words of the line as it was when built, however the line changes afterwards.
class WordList {
 public:
  WordList() = default;
  explicit WordList(std::string_view line) { Assign(line); }

  // Takes the words of another line, reusing the storage of the previous one.
  void Assign(std::string_view line);

  // The number of words.
  std::size_t Count() const { return spans_.size(); }
  // The index-th word (counted from 1, at most Count()), upper-cased.
  std::string_view Word(std::size_t index) const;
  // The 1-based index of the first word equal to name ignoring letter case; 0 when none is.
  std::size_t IndexOf(std::string_view name) const;

 private:
  struct Span {
    std::size_t start;
    std::size_t length;
  };

  std::string upper_;
  std::vector<Span> spans_;
};

}  // namespace reshape
