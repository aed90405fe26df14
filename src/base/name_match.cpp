#include "base/name_match.h"

#include <algorithm>

#include "base/ascii_case.h"

namespace reshape {

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
    if (m < mask.size() && (mask[m] == '?' || AsciiUpper(mask[m]) == AsciiUpper(name[n]))) {
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

std::uint8_t MatchingMasks(std::string_view name, std::span<const std::string_view> masks) {
  std::uint8_t bits = 0;
  for (std::size_t i = 0; i < masks.size() && i < 8; ++i)
    if (MatchesMask(name, masks[i])) bits |= static_cast<std::uint8_t>(1u << i);
  return bits;
}

bool ListedBefore(std::string_view a, std::string_view b) {
  // Byte by byte as unsigned values, as strings compare, without upper-cased copies.
  const auto upperLess = [](std::string_view x, std::string_view y) {
    return std::lexicographical_compare(x.begin(), x.end(), y.begin(), y.end(), [](char p, char q) {
      return static_cast<unsigned char>(AsciiUpper(p)) < static_cast<unsigned char>(AsciiUpper(q));
    });
  };
  if (upperLess(a, b)) return true;
  return !upperLess(b, a) && a < b;
}

}  // namespace reshape
