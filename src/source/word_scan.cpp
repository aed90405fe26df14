#include "source/word_scan.h"

#include <array>

#include "base/ascii_case.h"

namespace reshape {

namespace {

// Membership of every byte value, so that a scan does not search the delimiters for each byte.
class DelimiterTable {
 public:
  explicit DelimiterTable(std::string_view delimiters) {
    for (char c : delimiters) member_[static_cast<unsigned char>(c)] = true;
  }
  bool operator()(char c) const { return member_[static_cast<unsigned char>(c)]; }

 private:
  std::array<bool, 256> member_{};
};

}  // namespace

const std::array<bool, 256>& SourceDelimiterTable() {
  static const std::array<bool, 256> table = [] {
    std::array<bool, 256> member{};
    for (char c : DelimiterSet) member[static_cast<unsigned char>(c)] = true;
    return member;
  }();
  return table;
}

bool CharInDelimiters(std::string_view delimiters, char ch) {
  return delimiters.find(ch) != std::string_view::npos;
}

std::size_t CountWords(std::string_view s, std::string_view delimiters) {
  std::size_t count = 0;
  ScanWords(s, DelimiterTable(delimiters), [&count](std::size_t, std::size_t) {
    ++count;
    return true;
  });
  return count;
}

bool FindWordStart(std::ptrdiff_t n, std::string_view s, std::string_view delimiters,
                   std::size_t& position) {
  if (n <= 0) return false;
  std::ptrdiff_t count = 0;
  bool found = false;
  ScanWords(s, DelimiterTable(delimiters), [&](std::size_t start, std::size_t) {
    if (++count != n) return true;
    position = start + 1;
    found = true;
    return false;
  });
  return found;
}

std::string CopyWordAt(std::ptrdiff_t n, std::string_view s, std::string_view delimiters) {
  std::size_t position = 0;
  if (!FindWordStart(n, s, delimiters, position)) return {};
  std::size_t end = s.find_first_of(delimiters, position - 1);
  if (end == std::string_view::npos) end = s.size();
  return std::string(s.substr(position - 1, end - (position - 1)));
}

void WordList::Assign(std::string_view line) {
  // The whole line is upper-cased first, in a loop the compiler vectorises (delimiters are no
  // letters, so they stay as they are), and then cut into words.
  upper_.resize(line.size());
  char* out = upper_.data();
  for (std::size_t i = 0; i < line.size(); ++i) out[i] = AsciiUpper(line[i]);
  spans_.clear();
  ScanSourceWords(line, [this](std::size_t start, std::size_t length) {
    spans_.push_back({start, length});
    return true;
  });
}

std::string_view WordList::Word(std::size_t index) const {
  const Span& span = spans_.at(index - 1);
  return std::string_view(upper_).substr(span.start, span.length);
}

std::size_t WordList::IndexOf(std::string_view name) const {
  for (std::size_t i = 0; i < spans_.size(); ++i)
    if (spans_[i].length == name.size() && SameIgnoringAsciiCase(Word(i + 1), name)) return i + 1;
  return 0;
}

}  // namespace reshape
