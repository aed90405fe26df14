#include "source/text_lines.h"

#include "script/script_reader.h"

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

std::string TempFileName(std::string_view fileName) {
  std::size_t separator = fileName.find_last_of("\\:/");
  std::string_view directory =
      separator == std::string_view::npos ? std::string_view() : fileName.substr(0, separator + 1);
  std::string result(directory);
  result += FileBaseName(fileName);
  result += ".XXX";
  return result;
}

}  // namespace reshape
