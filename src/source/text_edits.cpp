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
  if (text_.substr(start, length) == replacement) return;
  if (!changed_) {
    changed_ = true;
    result_.reserve(text_.size() + text_.size() / 16 + 64);
  }
  result_.append(text_.substr(copied_, start - copied_)).append(replacement);
  copied_ = start + length;
}

std::optional<std::string> TextEdits::Take() {
  if (!changed_) return std::nullopt;
  result_.append(text_.substr(copied_));
  return std::move(result_);
}

}  // namespace reshape
