#include "source/replace.h"

#include <vector>

#include "script/ascii_case.h"

namespace reshape {

namespace {

constexpr std::size_t kNotFound = std::string_view::npos;

// Tells, for positions asked in rising order, whether a position starts a character; the
// bytes are walked once, a lead byte taking its following byte with it.
class CharacterStarts {
 public:
  CharacterStarts(std::string_view text, CodePage codePage) : text_(text), codePage_(codePage) {}

  bool IsStart(std::size_t position) {
    while (next_ < position)
      next_ += codePage_.IsLeadByte(static_cast<unsigned char>(text_[next_])) ? 2 : 1;
    return next_ == position;
  }

 private:
  std::string_view text_;
  CodePage codePage_;
  std::size_t next_ = 0;
};

// The first occurrence of key in text ignoring ASCII letter case that starts a character, in
// time linear in both lengths (prefix-function matching, so long keys cannot make it slow).
std::size_t FindFolded(std::string_view text, std::string_view key, CodePage codePage) {
  if (key.empty() || key.size() > text.size()) return kNotFound;
  const char first = AsciiUpper(key[0]);
  std::size_t from = 0;
  while (from < text.size() && AsciiUpper(text[from]) != first) ++from;
  if (from == text.size()) return kNotFound;

  const std::string upperKey = AsciiUpperCase(key);
  const std::size_t m = upperKey.size();
  std::vector<std::size_t> border(m, 0);
  for (std::size_t i = 1, k = 0; i < m; ++i) {
    while (k > 0 && upperKey[i] != upperKey[k]) k = border[k - 1];
    if (upperKey[i] == upperKey[k]) ++k;
    border[i] = k;
  }

  const bool doubleByte = codePage.IsDoubleByte();
  CharacterStarts starts(text, codePage);
  std::size_t matched = 0;
  for (std::size_t i = from; i < text.size(); ++i) {
    const char c = AsciiUpper(text[i]);
    while (matched > 0 && c != upperKey[matched]) matched = border[matched - 1];
    if (c == upperKey[matched]) ++matched;
    if (matched == m) {
      const std::size_t start = i + 1 - m;
      if (!doubleByte || starts.IsStart(start)) return start;
      matched = border[m - 1];
    }
  }
  return kNotFound;
}

// Position of the first occurrence of marker, or the line's length when there is none.
std::size_t FirstOrEnd(std::string_view line, std::string_view marker) {
  std::size_t found = line.find(marker);
  return found == kNotFound ? line.size() : found;
}

}  // namespace

bool ReplaceWholeWord(std::string& line, const WordList& words, std::string_view oldName,
                      std::string_view newName) {
  const std::size_t index = words.IndexOf(oldName);
  return index != 0 && ReplaceWordAt(line, index, oldName, newName);
}

bool ReplaceWordAt(std::string& line, std::size_t index, std::string_view oldName,
                   std::string_view newName) {
  std::size_t position = 0;
  if (!FindWordStart(static_cast<std::ptrdiff_t>(index), line, DelimiterSet, position))
    return false;
  // The word at that index may differ from the one matched when an earlier replacement in this
  // line changed the words; only the matched name itself is ever replaced.
  const std::size_t start = position - 1;
  const std::size_t end = start + oldName.size();
  if (end > line.size() ||
      !SameIgnoringAsciiCase(std::string_view(line).substr(start, oldName.size()), oldName))
    return false;
  if (end < line.size() && !CharInDelimiters(DelimiterSet, line[end])) return false;
  line.replace(start, oldName.size(), newName);
  return true;
}

bool ReplaceSubstring(std::string& line, std::string_view oldText, std::string_view newText,
                      bool useLiteralGuard, CodePage codePage) {
  std::string_view searched(line);
  searched = searched.substr(0, searched.find('\0'));
  const std::size_t start = FindFolded(searched, oldText, codePage);
  if (start == kNotFound) return false;
  if (useLiteralGuard) {
    // Skipped only in a line that holds a quote, a "{" and a "(*", none of them before the
    // match; any one of them missing or standing before the match lets it through.
    const std::size_t quote = FirstOrEnd(line, "'");
    const std::size_t brace = FirstOrEnd(line, "{");
    const std::size_t comment = FirstOrEnd(line, "(*");
    if (quote < line.size() && brace < line.size() && comment < line.size() && quote >= start &&
        brace >= start && comment >= start)
      return false;
  }
  line.replace(start, oldText.size(), newText);
  return true;
}

}  // namespace reshape
