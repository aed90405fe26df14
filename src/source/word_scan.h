// Splitting a line into words separated by runs of delimiter characters, and into dotted names
// (words joined by single dots), as the source rewriters see them.
#pragma once

#include <array>
#include <cstddef>
#include <string_view>

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

// Calls visit(start, length) for each dotted name of s, in order, until visit returns false: a
// maximal run of words of DelimiterSet in which each word follows the one before it after
// exactly one ".". So "Core.Types" is one name, "Core..Types" and "Core. Types" are two.
template <typename Visit>
void ScanSourceDottedNames(std::string_view s, Visit visit) {
  std::size_t start = 0;
  std::size_t end = 0;
  bool open = false;
  bool more = true;
  ScanSourceWords(s, [&](std::size_t wordStart, std::size_t length) {
    if (open && wordStart == end + 1 && s[end] == '.') {
      end = wordStart + length;
      return true;
    }
    if (open && !visit(start, end - start)) return more = false;
    open = true;
    start = wordStart;
    end = wordStart + length;
    return true;
  });
  if (open && more) visit(start, end - start);
}

}  // namespace reshape
