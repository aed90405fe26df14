// The tokenizer of the text form of a form file. The whole text is in memory; the tokenizer
// keeps the line number and the byte offset of the current token and fails with what is wrong
// and that line.
//
// The whole text is scanned at once. A line longer than 64 MiB fails with "Line too long" when
// the tokenizer reaches its start, so that the errors before it come first. A zero byte in the
// text ends it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "forms/extended.h"
#include "script/name_rules.h"

namespace reshape {

// The largest stored currency integer as the text form writes it, to 15 significant digits:
// 9.22337203685478E18, as the nearest extended value.
inline constexpr Extended kCurrencyTextLimit(false, 0x403E, 0x8000000000001060);

// Kinds 0 to 5; any other value is a punctuation token and equals its byte ('=' is 61).
using TokenKind = std::uint8_t;
inline constexpr TokenKind TokEnd = 0;
inline constexpr TokenKind TokIdentifier = 1;
inline constexpr TokenKind TokString = 2;
inline constexpr TokenKind TokInteger = 3;
inline constexpr TokenKind TokFloat = 4;
inline constexpr TokenKind TokWideString = 5;

class Tokenizer {
 public:
  static constexpr std::size_t kMaxLineLength = std::size_t{64} << 20;

  // Reads the first token at once, so a first-token error comes from here. The text must
  // outlive the tokenizer.
  explicit Tokenizer(std::string_view text, std::size_t maxLineLength = kMaxLineLength);

  TokenKind Token() const { return token_; }
  int Line() const { return line_; }
  // Byte offset of the current token in the text.
  std::size_t TokenOffset() const { return tokenStart_; }
  // Byte offset just past the token before the current one.
  std::size_t PreviousTokenEnd() const { return previousEnd_; }
  // Suffix letter of the last number literal ('c', 'C', 'd', 'D', 's', 'S') or 0.
  char FloatSuffix() const { return floatSuffix_; }
  // Decoded units of a TokWideString token.
  const std::u16string& WideText() const { return wideText_; }

  TokenKind Advance();
  void Expect(TokenKind kind) const;
  bool IsKeyword(std::string_view word) const;
  void ExpectKeyword(std::string_view word) const;

  // Decoded bytes for TokString, the source bytes of the token for every other kind.
  std::string_view TokenText() const;
  std::int32_t TokenAsInteger() const;
  // The number without its suffix letter; one beyond plus or minus limit fails as a text that
  // is no number does.
  Extended TokenAsFloat(const Extended& limit) const;

  // The current identifier with the ".name" parts that directly follow it.
  std::string_view ReadDottedIdentifier();
  // The current token is "{": appends the bytes of the hexadecimal block to dest (checks them
  // only when dest is null) and makes "}" the current token.
  void ReadHexBlock(std::string* dest);
  // The identifier bytes right after the current token, without blanks between; empty when
  // none follow. Consumes nothing.
  std::string_view IdentifierRightAfter() const;
  // True when the first byte after the current token on its line, blanks skipped, is one of
  // bytes. Consumes nothing and looks at nothing beyond that line.
  bool IsFollowedOnItsLineBy(std::string_view bytes) const;

  [[noreturn]] void Fail(std::string_view message) const;

 private:
  // The byte at p, or 0 at the end of what may be scanned.
  unsigned char At(std::size_t p) const {
    return p < scanEnd_ ? static_cast<unsigned char>(text_[p]) : 0;
  }
  void SkipWhitespace();
  TokenKind ScanString();

  std::string_view text_;
  // The end of the text, or the start of the first line that is too long.
  std::size_t scanEnd_ = 0;
  std::size_t cursor_ = 0;
  std::size_t tokenStart_ = 0;
  std::size_t previousEnd_ = 0;
  int line_ = 1;
  TokenKind token_ = TokEnd;
  char floatSuffix_ = 0;
  std::string stringText_;
  std::u16string wideText_;
};

// The runtime's string-to-integer rule: optional sign, then decimal digits or "$" and
// hexadecimal digits. Decimal values must fit 32 signed bits; hexadecimal ones 32 bits, taken
// as the signed number of the same bits. False when the text is not such a number.
bool TextToInteger(std::string_view text, std::int32_t& value);

}  // namespace reshape
