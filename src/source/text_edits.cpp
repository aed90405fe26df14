#include "source/text_edits.h"

#include <algorithm>

namespace reshape {

int TextEdits::LineOf(std::size_t at) {
  at = std::min(at, text_.size());
  if (at <= counted_) return line_;
  const std::string_view range = text_.substr(counted_, at - counted_);
  line_ += static_cast<int>(std::count(range.begin(), range.end(), '\n'));
  // A CR ends a line of its own unless an LF follows it.
  for (std::size_t cr = range.find('\r'); cr != std::string_view::npos; cr = range.find('\r', cr + 1))
    if (counted_ + cr + 1 >= text_.size() || text_[counted_ + cr + 1] != '\n') ++line_;
  counted_ = at;
  return line_;
}

void TextEdits::Replace(std::size_t start, std::size_t length, std::string_view replacement) {
  edits_.push_back({start, length, replacement});
}

std::optional<std::string> TextEdits::Take() {
  const bool same = std::all_of(edits_.begin(), edits_.end(), [this](const Edit& edit) {
    return text_.substr(edit.start, edit.length) == edit.replacement;
  });
  if (same) return std::nullopt;
  std::size_t size = text_.size();
  for (const Edit& edit : edits_) size += edit.replacement.size() - edit.length;
  std::string result;
  result.reserve(size);
  std::size_t copied = 0;
  for (const Edit& edit : edits_) {
    result.append(text_.substr(copied, edit.start - copied));
    result.append(edit.replacement);
    copied = edit.start + edit.length;
  }
  result.append(text_.substr(copied));
  return result;
}

}  // namespace reshape
