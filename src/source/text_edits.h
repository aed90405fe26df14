// Replacements at positions of a whole text, for the converters that find what they change on
// the whole text instead of line by line: every byte that no replacement covers stays as it
// is, line breaks and marks included.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace reshape {

class TextEdits {
 public:
  // The text must outlive this object.
  explicit TextEdits(std::string_view text) : text_(text) {}

  // The number (from 1) of the line that holds position `at` (LF, CR LF and a lone CR end a
  // line); positions are asked in rising order.
  int LineOf(std::size_t at);

  // Replaces length bytes at start; replacements come in text order and do not overlap.
  void Replace(std::size_t start, std::size_t length, std::string_view replacement);

  // The text with every replacement made; nothing when that gives the text's own bytes.
  std::optional<std::string> Take();

 private:
  std::string_view text_;
  // The text up to copied_ with the replacements made, begun at the first replacement that
  // changes a byte: a text that comes out as it went in costs no copy.
  std::string result_;
  std::size_t copied_ = 0;
  bool changed_ = false;
  std::size_t counted_ = 0;  // the line breaks before this offset are counted in line_
  int line_ = 1;
};

}  // namespace reshape
