// TParser: the tokenizer of the text form of a form file. Reads its stream through a window
// that is always cut at a line start, keeps the line number and raises EParserError.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/stream.h"

namespace reshape {

// Kinds 0 to 5; any other value is a punctuation token and equals its byte ('=' is 61).
using TokenKind = std::uint8_t;
inline constexpr TokenKind TokEnd = 0;
inline constexpr TokenKind TokIdentifier = 1;
inline constexpr TokenKind TokString = 2;
inline constexpr TokenKind TokInteger = 3;
inline constexpr TokenKind TokFloat = 4;
inline constexpr TokenKind TokWideString = 5;

class TParser {
 public:
  static constexpr std::size_t kWindowSize = 4096;
  // The window grows for longer lines, up to this many bytes in one line.
  static constexpr std::size_t kMaxLineLength = std::size_t{64} << 20;

  // Reads the first token at once, so a first-token error comes from here.
  explicit TParser(TStream& source, std::size_t maxLineLength = kMaxLineLength);
  // Moves the source back to the start of the current token.
  ~TParser();
  TParser(const TParser&) = delete;
  TParser& operator=(const TParser&) = delete;

  TokenKind Token() const { return token_; }
  int Line() const { return line_; }
  // Suffix letter of the last number literal ('c', 'C', 'd', 'D', 's', 'S') or 0.
  char FloatSuffix() const { return floatSuffix_; }
  // Decoded units of a TokWideString token.
  const std::u16string& WideText() const { return wideText_; }

  TokenKind Advance();
  void Expect(TokenKind kind) const;
  bool IsKeyword(std::string_view word) const;
  void ExpectKeyword(std::string_view word) const;

  // Decoded bytes for TokString, the source bytes of the token for every other kind.
  std::string TokenText() const;
  std::int32_t TokenAsInteger() const;
  long double TokenAsFloat() const;

  // The current identifier with the ".name" parts that directly follow it.
  std::string ReadDottedIdentifier();
  // The current token is "{": appends the bytes of the hexadecimal block to dest and makes
  // "}" the current token.
  void ReadHexBlock(TStream& dest);
  // True when the bytes right after the current token, without blanks, are exactly word and no
  // identifier byte follows it. Consumes nothing.
  bool IsFollowedDirectlyBy(std::string_view word) const;
  // True when the first byte after the current token on its line, blanks skipped, is one of
  // bytes. Consumes nothing and looks at nothing beyond that line.
  bool IsFollowedOnItsLineBy(std::string_view bytes) const;

  [[noreturn]] void Fail(std::string_view message) const;
  // Fills the one "%s" of format with argument, then fails with it.
  [[noreturn]] void FailFormat(std::string_view format, std::string_view argument) const;

 private:
  unsigned char At(std::size_t index) const { return static_cast<unsigned char>(window_[index]); }
  void SkipWhitespace();
  void RefillWindow();
  TokenKind ScanString();

  TStream& source_;
  std::string window_;
  std::size_t maxWindow_;
  std::size_t fill_ = 0;
  std::size_t cursor_ = 0;
  std::size_t scanEnd_ = 0;
  std::size_t tokenStart_ = 0;
  std::size_t stringEnd_ = 0;
  int line_ = 1;
  char savedChar_ = 0;
  TokenKind token_ = TokEnd;
  char floatSuffix_ = 0;
  std::u16string wideText_;
};

// The runtime's string-to-integer rule: optional sign, then decimal digits or "$" and
// hexadecimal digits. Decimal values must fit 32 signed bits; hexadecimal ones 32 bits, taken
// as the signed number of the same bits. False when the text is not such a number.
bool TextToInteger(std::string_view text, std::int32_t& value);

}  // namespace reshape
