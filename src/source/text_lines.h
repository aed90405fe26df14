// The line model of the text rewriters: a file's bytes are cut into lines, each line is handed
// to a transform, and the result is written back with CR LF after every line.
#pragma once

#include <string>
#include <string_view>

namespace reshape {

// Changes one line at a time; may keep state from one line of a file to the next.
class LineTransform {
 public:
  virtual ~LineTransform();
  // Called once per line, in file order; the line holds no line break.
  virtual void TransformLine(std::string& line) = 0;
};

// The rewritten file: every line of fileBytes, as the transform leaves it, followed by CR LF.
// CR LF or a lone CR breaks a line (a lone LF is an ordinary byte); the text ends at the first
// 0x1A, which is dropped when it is the last byte and otherwise kept with all bytes behind it,
// unchanged, after the rewritten lines.
std::string RewriteText(std::string_view fileBytes, LineTransform& transform);

}  // namespace reshape
