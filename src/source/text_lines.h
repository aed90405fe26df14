// The line model of the text rewriters: a file's bytes are cut into lines, each line is handed
// to a transform, and the result is written back with the line breaks it had. The transforms of
// the passes apply rules prepared from the script's commands.
//
// Layout of a text file as the rewriters read it: an optional UTF-8 byte-order mark (EF BB BF),
// kept in place and never part of a line; lines, each ended by CR LF, a lone CR or a lone LF;
// an optional last line without a break; the text ends at the first 0x1A (end-of-text mark).
// Written back: every line as the transform leaves it, followed by its own break as it was (a
// last line without one stays so); the 0x1A and every byte behind it stay as they were. So a
// text that no transform changes comes back byte for byte.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "script/change.h"

namespace reshape {

// Changes one line at a time; may keep state from one line of a file to the next.
class LineTransform {
 public:
  virtual ~LineTransform();
  // Called once per line, in file order; the line holds no line break.
  virtual void TransformLine(std::string& line) = 0;
  // What RewriteText calls: the line, the text it was cut from and where in that text it
  // starts, so that a transform may search the whole text once instead of line by line.
  virtual void TransformLineOf(std::string& line, std::string_view /*text*/,
                               std::size_t /*offset*/) {
    TransformLine(line);
  }
  // A position in the text, after the line last transformed, such that the transform leaves
  // every line that ends before it as it is: RewriteText copies such lines as they are
  // without handing them over. 0: none is known.
  virtual std::size_t QuietUntil() const { return 0; }

  // The number (from 1) of the line being transformed, counted only when a change asks for it,
  // and onwards from the line last counted.
  int CurrentLineNumber();

 private:
  friend std::optional<std::string> RewriteText(std::string_view fileBytes,
                                                LineTransform& transform);
  std::string_view text_;
  std::size_t lineStart_ = 0;
  std::size_t counted_ = 0;  // line breaks before this offset are counted in lineNumber_
  int lineNumber_ = 1;
};

// The commands of one kind, in script order: what the rules of a pass are prepared from.
std::vector<const TCommand*> CommandsOfKind(const CommandList& commands, CommandKind kind);

// A line transform that applies rules prepared from the script's commands for a whole pass
// (they must outlive it) and hands its changes to a sink.
template <typename RulesType>
class RulesLineTransform : public LineTransform {
 public:
  using Rules = RulesType;

  RulesLineTransform(Rules& rules, ChangeSink& changes) : rules_(rules), changes_(changes) {}

 protected:
  // Hands over a change of the line being transformed.
  void Changed(const TCommand& command, ChangeKind kind, std::string_view from,
               std::string_view to) {
    changes_.Add({command, kind, from, to, CurrentLineNumber()});
  }

  Rules& rules_;
  ChangeSink& changes_;
};

// The rewritten file: every line of fileBytes as the transform leaves it, laid out as above;
// nothing when that gives the same bytes. UTF-16 text (see below) is left as it is, without
// any line handed to the transform.
std::optional<std::string> RewriteText(std::string_view fileBytes, LineTransform& transform);

// A text pass's conversion of one file: its bytes through a fresh transform of type Transform
// over the pass's rules; the new bytes, or nothing when they are the same.
template <typename Transform>
std::optional<std::string> ConvertText(std::string_view fileBytes,
                                       typename Transform::Rules& rules, ChangeSink& changes) {
  Transform transform(rules, changes);
  return RewriteText(fileBytes, transform);
}

// True when fileBytes start with a UTF-16 byte-order mark (FF FE or FE FF): such a file is
// not text in the code page; the passes leave it as it is and say so.
bool IsUtf16Text(std::string_view fileBytes);

// A file's text as the passes read it: its bytes up to the first end-of-text mark, and where
// the text after an optional UTF-8 byte-order mark starts.
struct FileText {
  std::string_view text;
  std::size_t start;
};
FileText TextOfFile(std::string_view fileBytes);

}  // namespace reshape
