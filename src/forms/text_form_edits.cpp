#include "forms/text_form_edits.h"

#include <algorithm>

namespace reshape {

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }
bool IsBreak(char c) { return c == '\n' || c == '\r'; }

std::string SetText(const std::vector<std::string_view>& elements) {
  std::string text;
  for (std::string_view element : elements) {
    if (!text.empty()) text += ", ";
    text += element;
  }
  return text;
}

}  // namespace

std::size_t TextFormEdits::LineStart(std::size_t at) const {
  while (at > 0 && !IsBreak(text_[at - 1])) --at;
  return at;
}

bool TextFormEdits::LeadingBlanks(std::size_t at, std::string_view& blanks) const {
  const std::size_t start = LineStart(at);
  blanks = text_.substr(start, at - start);
  return std::all_of(blanks.begin(), blanks.end(), IsBlank);
}

std::string_view TextFormEdits::LineBreakBefore(std::size_t lineStart) const {
  if (lineStart >= 2 && text_.substr(lineStart - 2, 2) == "\r\n") return "\r\n";
  if (lineStart >= 1) return text_.substr(lineStart - 1, 1);
  return "\r\n";
}

void TextFormEdits::RemoveProperty(std::size_t nameAt, std::size_t valueEnd, std::size_t nextAt) {
  std::string_view blanks;
  const bool ownLine = LeadingBlanks(nameAt, blanks);
  std::size_t end = valueEnd;
  while (end < text_.size() && IsBlank(text_[end])) ++end;
  if (end < text_.size() && !IsBreak(text_[end])) {
    // Another token follows on the line: only the property and the blanks after it go.
    end = std::max(end, std::min(nextAt, text_.size()));
  } else if (ownLine) {
    if (text_.substr(end, 2) == "\r\n")
      end += 2;
    else if (end < text_.size())
      ++end;
    nameAt -= blanks.size();
  } else {
    // Joining the lines could glue the tokens around the property: its line break stays.
    end = valueEnd;
  }
  edits_.push_back({nameAt, end - nameAt, {}});
}

void TextFormEdits::ExtendSet(std::size_t closeAt, const std::vector<std::string_view>& elements) {
  std::size_t before = closeAt;
  while (before > 0 && static_cast<unsigned char>(text_[before - 1]) <= ' ') --before;
  const bool empty = before > 0 && text_[before - 1] == '[';
  edits_.push_back({closeAt, 0, (empty ? "" : ", ") + SetText(elements)});
}

void TextFormEdits::InsertSetLine(std::size_t boundaryAt, std::size_t headerAt,
                                  std::size_t firstPropertyAt, std::string_view name,
                                  const std::vector<std::string_view>& elements) {
  std::string indent;
  std::string_view blanks;
  if (firstPropertyAt != std::string_view::npos && LeadingBlanks(firstPropertyAt, blanks)) {
    indent = blanks;
  } else {
    if (LeadingBlanks(headerAt, blanks)) indent = blanks;
    indent += "  ";
  }
  const std::string line = indent + std::string(name) + " = [" + SetText(elements) + "]";
  // A boundary that shares its line with the text before it gets the new line in between.
  const std::size_t start = LineStart(boundaryAt);
  const std::string lineBreak(LineBreakBefore(start));
  if (LeadingBlanks(boundaryAt, blanks))
    edits_.push_back({start, 0, line + lineBreak});
  else
    edits_.push_back({boundaryAt, 0, lineBreak + line + lineBreak});
}

std::string TextFormEdits::Apply() const {
  std::vector<Edit> order = edits_;
  std::ranges::stable_sort(order, {}, &Edit::at);
  std::string out;
  out.reserve(text_.size() + 64 * edits_.size());
  std::size_t done = 0;
  for (const Edit& edit : order) {
    const std::size_t at = std::max(edit.at, done);
    out.append(text_.substr(done, at - done));
    out += edit.bytes;
    done = std::max(done, std::min(text_.size(), edit.at + edit.length));
  }
  out.append(text_.substr(done));
  return out;
}

}  // namespace reshape
