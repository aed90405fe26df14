// Turns a script's text into its lines and the ordered command list, and names the files
// derived from a script or file name. Loading the script file is the driver's business.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "script/command.h"

namespace reshape {

// A UTF-16 byte-order mark, or a first character whose other byte is NUL (UTF-16 without mark):
// read as bytes, such a script would lose its commands without a word.
bool LooksLikeUtf16(std::string_view text);

// The lines of a script text one after another, without their line breaks: lines break at CR,
// LF or CR LF; a NUL byte ends the text; a UTF-8 byte-order mark at its start is skipped. No
// list of them is made: a text of many empty lines costs no memory.
class ScriptLines {
 public:
  explicit ScriptLines(std::string_view scriptText);
  // The next line; nothing after the last.
  std::optional<std::string_view> Next();

 private:
  std::string_view text_;
  std::size_t pos_ = 0;
};

// The kind whose keyword fills the first five characters of the line, ignoring letter case.
std::optional<CommandKind> KeywordOf(std::string_view line);

// The commands of a script text, in line order; fails at the first malformed command line, and
// for a text in UTF-16.
CommandList ParseScript(std::string_view scriptText);

// The change log's name for a script: its base name and ".LOG", with no directory.
std::string LogFileNameFor(std::string_view scriptFileName);

}  // namespace reshape
