#include "forms/tokenizer.h"

#include <algorithm>
#include <array>

#include "base/ascii_case.h"
#include "base/byte_search.h"
#include "base/errors.h"
#include "forms/decimal_to_extended.h"
#include "forms/extended.h"

namespace reshape {

namespace {

constexpr auto IsDigit = IsAsciiDigit;

// The value of every byte as a hexadecimal digit, -1 for the others: a look-up instead of
// three range tests, since binary blocks are the bulk of many forms.
constexpr auto kHexValues = [] {
  std::array<std::int8_t, 256> values{};
  for (int c = 0; c < 256; ++c) {
    values[c] = static_cast<std::int8_t>(c >= '0' && c <= '9'   ? c - '0'
                                         : c >= 'A' && c <= 'F' ? c - 'A' + 10
                                         : c >= 'a' && c <= 'f' ? c - 'a' + 10
                                                                : -1);
  }
  return values;
}();

int HexValue(unsigned char c) { return kHexValues[c]; }

}  // namespace

bool TextToInteger(std::string_view text, std::int32_t& value) {
  std::size_t i = 0;
  bool negative = false;
  if (i < text.size() && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
  const bool hex = i < text.size() && text[i] == '$';
  if (hex) ++i;
  if (i == text.size()) return false;
  const unsigned base = hex ? 16 : 10;
  const std::uint64_t limit = hex ? 0xFFFFFFFFu : negative ? 2147483648u : 2147483647u;
  std::uint64_t magnitude = 0;
  for (; i < text.size(); ++i) {
    // One table serves both bases: a decimal number refuses the letters as beyond its base.
    const auto digit = static_cast<unsigned>(HexValue(static_cast<unsigned char>(text[i])));
    if (digit >= base) return false;
    magnitude = magnitude * base + digit;
    if (magnitude > limit) return false;
  }
  // A negative number is the two's complement of its magnitude in 32 bits.
  const auto word = static_cast<std::uint32_t>(magnitude);
  value = static_cast<std::int32_t>(negative ? 0u - word : word);
  return true;
}

namespace {

// The start of the first line (the text's start, or the start of a line after the line breaks
// of any empty lines) from which no line break follows within maxLength bytes while at least
// maxLength + 2 bytes remain; the text's size when there is none.
std::size_t FirstTooLongLine(std::string_view text, std::size_t maxLength) {
  if (text.size() < maxLength + 2) return text.size();
  for (std::size_t start = 0; text.size() - start >= maxLength + 2;) {
    const std::size_t next = text.find('\n', start + 1);
    if (next == std::string_view::npos || next - start > maxLength) return start;
    for (start = next + 1; start < text.size() && text[start] == '\n';) ++start;
  }
  return text.size();
}

}  // namespace

Tokenizer::Tokenizer(std::string_view text, std::size_t maxLineLength)
    : text_(text), scanEnd_(FirstTooLongLine(text, maxLineLength)) {
  Advance();
}

void Tokenizer::SkipWhitespace() {
  // Read into locals, which stay in registers: the members could be changed by any store
  // through a char pointer, as far as the compiler knows.
  const char* bytes = text_.data();
  const std::size_t end = scanEnd_;
  std::size_t p = cursor_;
  int lines = 0;
  for (; p < end; ++p) {
    const auto c = static_cast<unsigned char>(bytes[p]);
    if (c > 32 || c == 0) break;
    lines += c == 10;
  }
  cursor_ = p;
  line_ += lines;
  // Only blanks and line breaks lead to a line that is too long.
  if (p == end && end < text_.size()) Fail("Line too long");
}

TokenKind Tokenizer::Advance() {
  previousEnd_ = cursor_;
  SkipWhitespace();
  tokenStart_ = cursor_;
  unsigned char c = At(cursor_);
  if (IsIdentStart(c)) {
    const char* bytes = text_.data();
    const std::size_t end = scanEnd_;
    std::size_t p = cursor_ + 1;
    while (p < end && IsIdentChar(static_cast<unsigned char>(bytes[p]))) ++p;
    cursor_ = p;
    token_ = TokIdentifier;
  } else if (c == '#' || c == '\'') {
    token_ = ScanString();
  } else if (c == '$') {
    ++cursor_;
    while (HexValue(At(cursor_)) >= 0) ++cursor_;
    token_ = TokInteger;
  } else if (c == '-' || IsDigit(c)) {
    ++cursor_;
    while (IsDigit(At(cursor_))) ++cursor_;
    TokenKind kind = TokInteger;
    for (c = At(cursor_); IsDigit(c) || c == '+' || c == '-' || c == '.' || c == 'E' || c == 'e';
         c = At(cursor_)) {
      ++cursor_;
      kind = TokFloat;
    }
    floatSuffix_ = 0;
    if (c == 'c' || c == 'C' || c == 'd' || c == 'D' || c == 's' || c == 'S') {
      ++cursor_;
      kind = TokFloat;
      floatSuffix_ = static_cast<char>(c);
    }
    token_ = kind;
  } else {
    if (c != 0) ++cursor_;
    token_ = c;
  }
  return token_;
}

// A run of quoted parts and #nnn codes, decoded in one pass: into bytes while every code fits
// in 8 bits, into 16-bit units from the first code that does not (the bytes so far moved over).
TokenKind Tokenizer::ScanString() {
  bool wide = false;
  stringText_.clear();
  wideText_.clear();
  const auto put = [&](std::uint32_t unit) {
    if (wide)
      wideText_.push_back(static_cast<char16_t>(unit));
    else
      stringText_.push_back(static_cast<char>(unit));
  };
  const char* bytes = text_.data();
  std::size_t p = tokenStart_;
  for (;;) {
    const unsigned char c = At(p);
    if (c == '#') {
      // Whether a code needs 16 bits is told by its value; the unit kept is its low 16 bits.
      std::uint32_t value = 0;
      std::uint32_t unit = 0;
      for (++p; IsDigit(At(p)); ++p) {
        value = std::min<std::uint32_t>(value * 10 + (At(p) - '0'), 65536);
        unit = (unit * 10 + (At(p) - '0')) & 0xFFFF;
      }
      if (value > 255 && !wide) {
        wide = true;
        for (char byte : stringText_) wideText_.push_back(static_cast<unsigned char>(byte));
      }
      put(unit);
    } else if (c == '\'') {
      for (++p;;) {
        // The bytes up to the next quote, CR, LF or zero byte (which end the quoted part) go
        // over in one piece, found by a byte search: long texts are the bulk of many forms.
        const std::size_t run = p;
        p = FindFirstOf<'\'', '\r', '\n', '\0'>(bytes, p, scanEnd_);
        if (wide)
          for (std::size_t i = run; i < p; ++i) put(static_cast<unsigned char>(bytes[i]));
        else
          stringText_.append(bytes + run, p - run);
        if (At(p) != '\'') Fail("Invalid string constant");
        if (At(p + 1) != '\'') break;
        put('\'');
        p += 2;
      }
      ++p;
    } else {
      break;
    }
  }
  cursor_ = p;
  return wide ? TokWideString : TokString;
}

void Tokenizer::Expect(TokenKind kind) const {
  if (token_ == kind) return;
  switch (kind) {
    case TokIdentifier: Fail("Identifier expected");
    case TokString:
    case TokWideString: Fail("String expected");
    case TokInteger:
    case TokFloat: Fail("Number expected");
    default: Fail("''" + std::string(1, static_cast<char>(kind)) + "'' expected");
  }
}

bool Tokenizer::IsKeyword(std::string_view word) const {
  return token_ == TokIdentifier && SameIgnoringAsciiCase(TokenText(), word);
}

void Tokenizer::ExpectKeyword(std::string_view word) const {
  if (!IsKeyword(word)) Fail(std::string(word) + " expected");
}

std::string_view Tokenizer::TokenText() const {
  if (token_ == TokString) return stringText_;
  return text_.substr(tokenStart_, cursor_ - tokenStart_);
}

std::int32_t Tokenizer::TokenAsInteger() const {
  std::string_view text = TokenText();
  std::int32_t value = 0;
  if (!TextToInteger(text, value))
    throw Failure(FailureKind::kNotAnInteger, std::string(text));
  return value;
}

Extended Tokenizer::TokenAsFloat(const Extended& limit) const {
  std::string_view text = TokenText();
  if (floatSuffix_ != 0 && !text.empty()) text.remove_suffix(1);
  Extended value;
  if (!TextToExtended(text, value) || !value.MagnitudeAtMost(limit))
    throw Failure(FailureKind::kNotAFloat, std::string(text));
  return value;
}

std::string_view Tokenizer::ReadDottedIdentifier() {
  Expect(TokIdentifier);
  std::size_t p = cursor_;
  while (At(p) == '.') {
    ++p;
    if (!IsIdentStart(At(p))) Fail("Identifier expected");
    while (IsIdentChar(At(p))) ++p;
  }
  cursor_ = p;
  return TokenText();
}

void Tokenizer::ReadHexBlock(std::string* dest) {
  char bytes[256];
  SkipWhitespace();
  while (At(cursor_) != '}') {
    // A run of digit pairs within the window, decoded in chunks: binary blocks are the bulk of
    // many forms.
    const auto* digits = reinterpret_cast<const unsigned char*>(text_.data());
    const std::size_t start = cursor_, end = scanEnd_;
    std::size_t at = start;
    std::size_t count = 0;
    for (; at + 1 < end; at += 2) {
      int high = HexValue(digits[at]);
      int low = HexValue(digits[at + 1]);
      if (high < 0 || low < 0) break;
      bytes[count++] = static_cast<char>(high * 16 + low);
      if (count == sizeof bytes) {
        if (dest) dest->append(bytes, count);
        count = 0;
      }
    }
    if (dest) dest->append(bytes, count);
    cursor_ = at;
    if (at == start) Fail("Invalid binary value");
    SkipWhitespace();
  }
  Advance();
}

std::string_view Tokenizer::IdentifierRightAfter() const {
  std::size_t end = cursor_;
  while (IsIdentChar(At(end))) ++end;
  return text_.substr(cursor_, end - cursor_);
}

bool Tokenizer::IsFollowedOnItsLineBy(std::string_view bytes) const {
  std::size_t at = cursor_;
  while (At(at) != 0 && At(at) != '\n' && At(at) <= ' ') ++at;
  return At(at) != 0 && At(at) != '\n' && bytes.find(static_cast<char>(At(at))) != bytes.npos;
}

void Tokenizer::Fail(std::string_view message) const {
  throw Failure(FailureKind::kFormTextSyntax, std::string(message), line_);
}

}  // namespace reshape
