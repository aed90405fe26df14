#include "base/name_match.h"

#include <algorithm>

#include "base/ascii_case.h"

namespace reshape {

namespace {

char UpperAscii(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

std::string UpperAscii(std::string_view s) {
  std::string result(s);
  for (char& c : result) c = UpperAscii(c);
  return result;
}

}  // namespace

bool MatchesMask(std::string_view name, std::string_view mask) {
  // "*.EXT", the masks of the passes, compares the end of the name alone.
  if (mask.size() > 1 && mask[0] == '*' &&
      std::none_of(mask.begin() + 1, mask.end(), [](char c) { return c == '*' || c == '?'; })) {
    const std::size_t tail = mask.size() - 1;
    return name.size() >= tail && SameIgnoringAsciiCase(name.substr(name.size() - tail), mask.substr(1));
  }
  // Iterative matching with one backtrack point: linear in practice, never exponential.
  std::size_t n = 0, m = 0, starMask = std::string_view::npos, starName = 0;
  while (n < name.size()) {
    if (m < mask.size() && (mask[m] == '?' || UpperAscii(mask[m]) == UpperAscii(name[n]))) {
      ++n;
      ++m;
    } else if (m < mask.size() && mask[m] == '*') {
      starMask = m++;
      starName = n;
    } else if (starMask != std::string_view::npos) {
      m = starMask + 1;
      n = ++starName;
    } else {
      return false;
    }
  }
  while (m < mask.size() && mask[m] == '*') ++m;
  return m == mask.size();
}

void SortDirectoryEntries(std::vector<DirEntry>& entries) {
  std::vector<std::pair<std::string, DirEntry>> keyed;
  keyed.reserve(entries.size());
  for (DirEntry& entry : entries) keyed.emplace_back(UpperAscii(entry.Name), std::move(entry));
  std::sort(keyed.begin(), keyed.end(), [](const auto& a, const auto& b) {
    return a.first != b.first ? a.first < b.first : a.second.Name < b.second.Name;
  });
  entries.clear();
  for (auto& [key, entry] : keyed) entries.push_back(std::move(entry));
}

}  // namespace reshape
