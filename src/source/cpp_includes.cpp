#include "source/cpp_includes.h"

#include <algorithm>
#include <utility>

#include "base/ascii_case.h"
#include "source/pascal_tokens.h"

namespace reshape {

namespace {

bool IsLineBreak(char c) { return c == '\r' || c == '\n'; }

bool IsLineBlank(char c) { return static_cast<unsigned char>(c) <= 0x20 && !IsLineBreak(c); }

bool EndsWithIgnoringCase(std::string_view text, std::string_view suffix) {
  return text.size() > suffix.size() &&
         SameIgnoringAsciiCase(text.substr(text.size() - suffix.size()), suffix);
}

class IncludeLine {
 public:
  IncludeLine(std::string_view text, CodePage codePage) : text_(text), codePage_(codePage) {}

  // The unit named by the directive whose "#" stands at `hash`: {start, length}, length 0 for
  // none.
  std::pair<std::size_t, std::size_t> UnitAfter(std::size_t hash) const {
    std::size_t at = SkipBlanks(hash + 1);
    const std::string_view word = WordAt(at);
    at = SkipBlanks(at + word.size());
    if (word == "include" && at < text_.size() && (text_[at] == '<' || text_[at] == '"')) {
      const std::size_t end = Closing(at, text_[at] == '<' ? '>' : '"');
      const std::size_t part = LastPartOf(at + 1, end);
      const std::string_view file = text_.substr(part, end - part);
      if (EndsWithIgnoringCase(file, ".hpp")) return {part, file.size() - 4};
    } else if (word == "pragma" && WordAt(at) == "link") {
      at = SkipBlanks(at + 4);
      if (at >= text_.size() || text_[at] != '"') return {0, 0};
      const std::size_t end = Closing(at, '"');
      std::string_view name = text_.substr(at + 1, end - at - 1);
      if (EndsWithIgnoringCase(name, ".obj")) name.remove_suffix(4);
      return {at + 1, end == at + 1 ? 0 : name.size()};
    }
    return {0, 0};
  }

 private:
  std::size_t SkipBlanks(std::size_t at) const {
    while (at < text_.size() && IsLineBlank(text_[at])) ++at;
    return at;
  }

  std::string_view WordAt(std::size_t at) const {
    std::size_t end = at;
    while (end < text_.size() && IsIdentifierByte(text_[end])) ++end;
    return text_.substr(at, end - at);
  }

  // Where the text opened at `open` is closed by `close` on the same line; `open` + 1 when it
  // is not (an empty text).
  std::size_t Closing(std::size_t open, char close) const {
    for (std::size_t at = open + 1; at < text_.size() && !IsLineBreak(text_[at]); ++at)
      if (text_[at] == close) return at;
    return open + 1;
  }

  // Where the last part of the path from start to end begins: after its last "/" or "\" that
  // is not the second byte of a double-byte character.
  std::size_t LastPartOf(std::size_t start, std::size_t end) const {
    std::size_t part = start;
    for (std::size_t at = start; at < end; ++at) {
      if (text_[at] == '/' || text_[at] == '\\')
        part = at + 1;
      else if (codePage_.IsLeadByte(static_cast<unsigned char>(text_[at])))
        ++at;
    }
    return part;
  }

  std::string_view text_;
  CodePage codePage_;
};

}  // namespace

void FindIncludedUnits(std::string_view text, std::size_t from, CodePage codePage,
                       std::size_t limit,
                       const std::function<void(std::size_t start, std::size_t length)>& visit) {
  const IncludeLine line(text, codePage);
  for (std::size_t hash = text.find('#', from); hash < std::min(limit, text.size());
       hash = text.find('#', hash + 1)) {
    std::size_t lineStart = hash;
    while (lineStart > from && IsLineBlank(text[lineStart - 1])) --lineStart;
    if (lineStart > from && !IsLineBreak(text[lineStart - 1])) continue;
    if (const auto [start, length] = line.UnitAfter(hash); length != 0) visit(start, length);
  }
}

}  // namespace reshape
