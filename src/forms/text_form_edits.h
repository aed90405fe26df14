// The edits that migrate a text form in place, taken from what the rules made of its tree and
// applied to it in one pass: every byte that no edit touches stays as it was.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace reshape {

class TextFormEdits {
 public:
  // The text must outlive this object.
  explicit TextFormEdits(std::string_view text) : text_(text) {}

  // Replaces length bytes at at (a class name, a property's name path).
  void Replace(std::size_t at, std::size_t length, std::string_view bytes) {
    edits_.push_back({at, length, std::string(bytes)});
  }
  // Removes a property whose name starts at nameAt and whose value ends at valueEnd, nextAt
  // being the token after it: from the start of the name's line through the line break after
  // the value. A name or value that shares its line with other tokens loses only its own part.
  void RemoveProperty(std::size_t nameAt, std::size_t valueEnd, std::size_t nextAt);
  // Adds elements to a stated set whose "]" is at closeAt.
  void ExtendSet(std::size_t closeAt, const std::vector<std::string_view>& elements);
  // A new line "name = [e1, e2]" before the line holding the token at boundaryAt, indented
  // like the line of firstPropertyAt (npos: none), or as the header at headerAt plus two blanks.
  void InsertSetLine(std::size_t boundaryAt, std::size_t headerAt, std::size_t firstPropertyAt,
                     std::string_view name, const std::vector<std::string_view>& elements);

  bool Empty() const { return edits_.empty(); }
  // The text with every edit made.
  std::string Apply() const;

 private:
  struct Edit {
    std::size_t at;
    std::size_t length;
    std::string bytes;
  };

  std::size_t LineStart(std::size_t at) const;
  // The blanks before at on its line; false when something else stands before it.
  bool LeadingBlanks(std::size_t at, std::string_view& blanks) const;
  std::string_view LineBreakBefore(std::size_t lineStart) const;

  std::string_view text_;
  std::vector<Edit> edits_;
};

}  // namespace reshape
