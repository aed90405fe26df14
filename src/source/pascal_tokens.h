// Pascal source as the compiler reads it, token by token, for the passes that must tell code
// from comments and strings (unit and package names in clauses).
//
// Layout of the tokens (bytes of the code page; the text ends where the given text ends):
// - blanks: the bytes 0x00-0x20 (line breaks among them) between tokens; never a token;
// - comment: "{" ... "}", "(*" ... "*)", or "//" up to the next CR or LF; comments do not
//   nest and one kind may hold the other's marks ("{ (* }"); one that is not closed runs to
//   the end of the text;
// - directive: "{$" ... "}" or "(*$" ... "*)", closed as the comment of its kind;
// - string: "'" ... "'" with "''" for a quote inside; it ends at the end of its line at the
//   latest (before the CR or LF);
// - character code: "#" followed by digits or by "$" and hex digits ("#13", "#$0A");
// - name: identifiers joined by "." with nothing between them ("Os.Windows"; a blank, comment
//   or directive ends it); an identifier is a run of ASCII letters, digits, "_" and bytes
//   128-255 that does not start with a digit;
// - number: a digit, or "$", followed by identifier bytes ("10", "$FF", "1E5"; "1.5" is a
//   number, a "." symbol and a number);
// - symbol: any other single byte.
// Under a double-byte code page a lead byte and the byte after it are one character: inside a
// comment, directive or string that second byte never ends it, and in code the pair belongs
// to the name it stands in.
#pragma once

#include <array>
#include <cstddef>
#include <string_view>

#include "base/code_page.h"

namespace reshape {

enum class PascalTokenKind { Name, Number, String, CharCode, Comment, Directive, Symbol, End };

struct PascalToken {
  PascalTokenKind kind;
  std::size_t start;
  std::size_t end;  // one past the last byte
};

// What a conditional directive does to the block structure of the source.
enum class DirectiveRole {
  Open,    // IF, IFDEF, IFNDEF, IFOPT
  Branch,  // ELSE, ELSEIF
  Close,   // ENDIF, IFEND
  Other,
};

// The role of a directive token's text ("{$IFDEF X}", "(*$ELSE*)"), by its first word.
DirectiveRole DirectiveRoleOf(std::string_view directive);

// True for the bytes an identifier is made of: ASCII letters, digits, "_" and 128-255.
bool IsIdentifierByte(char c);

class PascalTokenizer {
 public:
  PascalTokenizer(std::string_view text, CodePage codePage, std::size_t from = 0);

  // The next token after the blanks at the current position; End at the end of the text.
  PascalToken Next();
  std::size_t Position() const { return pos_; }
  void MoveTo(std::size_t pos) { pos_ = pos; }
  bool DoubleByte() const { return doubleByte_; }

  // Where a comment, directive or string that starts at `start` ends (one past its last byte).
  std::size_t BraceEnd(std::size_t start) const;        // "{"
  std::size_t ParenStarEnd(std::size_t start) const;    // "(*"
  std::size_t LineCommentEnd(std::size_t start) const;  // "//"
  std::size_t StringEnd(std::size_t start) const;       // "'"

 private:
  // Where the run of identifier bytes from `at` on ends; a lead byte takes the next byte along.
  std::size_t IdentifierEnd(std::size_t at) const;
  // The first position from `at` on that holds `c` as a character of its own, or the end.
  std::size_t Find(char c, std::size_t at) const;

  std::string_view text_;
  std::size_t pos_;
  bool doubleByte_;
  std::array<bool, 256> lead_{};
};

}  // namespace reshape
