#include "source/text_lines.h"


namespace reshape {

namespace {

constexpr char kEndOfText = '\x1A';

}  // namespace

LineTransform::~LineTransform() = default;

std::string RewriteText(std::string_view fileBytes, LineTransform& transform) {
  std::string_view text = fileBytes;
  std::string_view tail;
  if (std::size_t mark = fileBytes.find(kEndOfText); mark != std::string_view::npos) {
    text = fileBytes.substr(0, mark);
    // Bytes behind an end-of-text mark would otherwise be lost; only a final mark goes.
    if (mark + 1 < fileBytes.size()) tail = fileBytes.substr(mark);
  }

  std::string result;
  result.reserve(text.size() + text.size() / 16 + tail.size() + 2);
  std::string line;
  std::size_t pos = 0;
  while (pos < text.size()) {
    std::size_t cr = text.find('\r', pos);
    if (cr == std::string_view::npos) cr = text.size();
    line.assign(text.substr(pos, cr - pos));
    pos = cr + 1;
    if (pos < text.size() && text[pos] == '\n') ++pos;
    transform.TransformLine(line);
    result += line;
    result += "\r\n";
  }
  result += tail;
  return result;
}

}  // namespace reshape
