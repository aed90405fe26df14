#include "forms/parser.h"

#include <algorithm>
#include <array>
#include <cstring>

#include "forms/extended.h"
#include "base/errors.h"
#include "base/ascii_case.h"

namespace reshape {

namespace {

bool IsLetter(unsigned char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }
bool IsDigit(unsigned char c) { return c >= '0' && c <= '9'; }
bool IsIdentStart(unsigned char c) { return IsLetter(c) || c == '_'; }
bool IsIdentChar(unsigned char c) { return IsIdentStart(c) || IsDigit(c); }

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

// Decodes up to count digit pairs, stopping at the first pair that is not two hexadecimal
// digits. The second byte of a pair is looked at only when the first is a digit, so the scan
// never passes the zero that ends the scannable text.
std::size_t HexToBytes(const char* text, unsigned char* out, std::size_t count) {
  std::size_t produced = 0;
  for (; produced < count; ++produced) {
    int high = HexValue(static_cast<unsigned char>(text[2 * produced]));
    if (high < 0) break;
    int low = HexValue(static_cast<unsigned char>(text[2 * produced + 1]));
    if (low < 0) break;
    out[produced] = static_cast<unsigned char>(high * 16 + low);
  }
  return produced;
}

}  // namespace

bool TextToInteger(std::string_view text, std::int32_t& value) {
  std::size_t i = 0;
  bool negative = false;
  if (i < text.size() && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
  if (i < text.size() && text[i] == '$') {
    if (++i == text.size()) return false;
    std::uint64_t bits = 0;
    for (; i < text.size(); ++i) {
      int digit = HexValue(static_cast<unsigned char>(text[i]));
      if (digit < 0) return false;
      bits = bits * 16 + static_cast<unsigned>(digit);
      if (bits > 0xFFFFFFFFu) return false;
    }
    auto word = static_cast<std::uint32_t>(bits);
    if (negative) word = 0u - word;
    value = static_cast<std::int32_t>(word);
    return true;
  }
  if (i == text.size()) return false;
  std::uint64_t magnitude = 0;
  for (; i < text.size(); ++i) {
    auto c = static_cast<unsigned char>(text[i]);
    if (!IsDigit(c)) return false;
    magnitude = magnitude * 10 + (c - '0');
    if (magnitude > 2147483648u) return false;
  }
  if (!negative && magnitude > 2147483647u) return false;
  value = static_cast<std::int32_t>(negative ? -static_cast<std::int64_t>(magnitude)
                                             : static_cast<std::int64_t>(magnitude));
  return true;
}

TParser::TParser(TStream& source, std::size_t maxLineLength)
    : source_(source),
      window_(kWindowSize, '\0'),
      maxWindow_(std::max(maxLineLength + 2, kWindowSize)) {
  Advance();
}

TParser::~TParser() {
  source_.Seek(-static_cast<std::int64_t>(fill_ - tokenStart_), SeekOrigin::Current);
}

void TParser::SkipWhitespace() {
  for (;;) {
    unsigned char c = At(cursor_);
    if (c == 0) {
      // Only the zero planted at the end of the window asks for more text; a zero byte in
      // the text itself ends the text.
      if (cursor_ != scanEnd_) return;
      RefillWindow();
      if (At(cursor_) == 0) return;
      continue;
    }
    if (c > 32) return;
    if (c == 10) ++line_;
    ++cursor_;
  }
}

void TParser::RefillWindow() {
  window_[scanEnd_] = savedChar_;
  // Everything before the cursor is done with. Refills happen only between tokens, so no
  // token text is lost; the token start only serves to place the stream on release.
  std::size_t keep = cursor_;
  if (keep > 0) {
    std::memmove(window_.data(), window_.data() + keep, fill_ - keep);
    fill_ -= keep;
    tokenStart_ = tokenStart_ >= keep ? tokenStart_ - keep : 0;
    stringEnd_ = stringEnd_ >= keep ? stringEnd_ - keep : 0;
    cursor_ = 0;
  }
  if (window_.size() > kWindowSize && fill_ <= kWindowSize / 2) {
    std::string normal(kWindowSize, '\0');
    std::memcpy(normal.data(), window_.data(), fill_);
    window_.swap(normal);
  }
  for (;;) {
    while (fill_ < window_.size()) {
      std::size_t n = source_.Read(window_.data() + fill_, window_.size() - fill_);
      if (n == 0) break;
      fill_ += n;
    }
    scanEnd_ = fill_;
    if (fill_ < window_.size()) break;
    // A full window is cut after its last line feed, so that no token straddles two windows.
    std::size_t i = window_.size() - 2;
    while (i >= 1 && At(i) != 10) --i;
    if (i >= 1) {
      scanEnd_ = i + 1;
      break;
    }
    if (window_.size() >= maxWindow_) Fail("Line too long");
    window_.resize(std::min(window_.size() * 2, maxWindow_));
  }
  savedChar_ = window_[scanEnd_];
  window_[scanEnd_] = '\0';
}

TokenKind TParser::Advance() {
  SkipWhitespace();
  tokenStart_ = cursor_;
  unsigned char c = At(cursor_);
  if (IsIdentStart(c)) {
    while (IsIdentChar(At(cursor_))) ++cursor_;
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

// A run of quoted parts and #nnn codes. The first pass checks and counts; the second decodes,
// a narrow literal over its own text (never longer than the source), a wide one into
// wideText_.
TokenKind TParser::ScanString() {
  std::size_t count = 0;
  bool wide = false;
  std::size_t p = tokenStart_;
  for (;;) {
    unsigned char c = At(p);
    if (c == '#') {
      ++p;
      std::uint32_t number = 0;
      for (; IsDigit(At(p)); ++p)
        number = std::min<std::uint32_t>(number * 10 + (At(p) - '0'), 65536);
      if (number > 255) wide = true;
      ++count;
    } else if (c == '\'') {
      ++p;
      for (;;) {
        c = At(p);
        if (c == 0 || c == 10 || c == 13) Fail("Invalid string constant");
        if (c == '\'') {
          if (At(p + 1) != '\'') {
            ++p;
            break;
          }
          ++p;
        }
        ++p;
        ++count;
      }
    } else {
      break;
    }
  }
  const std::size_t end = p;

  std::size_t out = tokenStart_;
  if (wide) {
    wideText_.clear();
    wideText_.reserve(count);
  }
  auto put = [&](std::uint32_t unit) {
    if (wide)
      wideText_.push_back(static_cast<char16_t>(unit & 0xFFFF));
    else
      window_[out++] = static_cast<char>(unit);
  };
  p = tokenStart_;
  while (p < end) {
    if (At(p) == '#') {
      std::uint32_t number = 0;
      for (++p; IsDigit(At(p)); ++p) number = (number * 10 + (At(p) - '0')) & 0xFFFF;
      put(number);
    } else {
      for (++p;; ++p) {
        if (At(p) == '\'') {
          if (At(p + 1) != '\'') break;
          ++p;
        }
        put(At(p));
      }
      ++p;
    }
  }
  stringEnd_ = out;
  cursor_ = end;
  return wide ? TokWideString : TokString;
}

void TParser::Expect(TokenKind kind) const {
  if (token_ == kind) return;
  switch (kind) {
    case TokIdentifier: Fail("Identifier expected");
    case TokString:
    case TokWideString: Fail("String expected");
    case TokInteger:
    case TokFloat: Fail("Number expected");
    default: FailFormat("''%s'' expected", std::string(1, static_cast<char>(kind)));
  }
}

bool TParser::IsKeyword(std::string_view word) const {
  return token_ == TokIdentifier &&
         SameIgnoringAsciiCase(std::string_view(window_).substr(tokenStart_, cursor_ - tokenStart_),
                               word);
}

void TParser::ExpectKeyword(std::string_view word) const {
  if (!IsKeyword(word)) FailFormat("%s expected", word);
}

std::string TParser::TokenText() const {
  std::size_t end = token_ == TokString ? stringEnd_ : cursor_;
  return window_.substr(tokenStart_, end - tokenStart_);
}

std::int32_t TParser::TokenAsInteger() const {
  std::string text = TokenText();
  std::int32_t value = 0;
  if (!TextToInteger(text, value))
    throw EConvertError("'" + text + "' is not a valid integer value");
  return value;
}

long double TParser::TokenAsFloat() const {
  std::string text = TokenText();
  if (floatSuffix_ != 0 && !text.empty()) text.pop_back();
  long double value = 0;
  if (!TextToExtended(text, value))
    throw EConvertError("'" + text + "' is not a valid floating point value");
  return value;
}

std::string TParser::ReadDottedIdentifier() {
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

void TParser::ReadHexBlock(TStream& dest) {
  unsigned char bytes[256];
  SkipWhitespace();
  while (At(cursor_) != '}') {
    std::size_t n = HexToBytes(window_.data() + cursor_, bytes, sizeof bytes);
    if (n == 0) Fail("Invalid binary value");
    dest.WriteBuffer(bytes, n);
    cursor_ += 2 * n;
    SkipWhitespace();
  }
  Advance();
}

bool TParser::IsFollowedDirectlyBy(std::string_view word) const {
  // The zero that ends the scannable text stops a mismatch before the window's end.
  return std::string_view(window_).substr(cursor_, word.size()) == word &&
         !IsIdentChar(At(cursor_ + word.size()));
}

bool TParser::IsFollowedOnItsLineBy(std::string_view bytes) const {
  // The window always holds the whole line of the current token, ended by its line feed or by
  // the zero that ends the text.
  std::size_t at = cursor_;
  while (At(at) != 0 && At(at) != '\n' && At(at) <= ' ') ++at;
  return At(at) != 0 && At(at) != '\n' && bytes.find(static_cast<char>(At(at))) != bytes.npos;
}

void TParser::Fail(std::string_view message) const {
  throw EParserError(std::string(message) + " on line " + std::to_string(line_));
}

void TParser::FailFormat(std::string_view format, std::string_view argument) const {
  std::string message(format);
  if (auto at = message.find("%s"); at != std::string::npos) message.replace(at, 2, argument);
  Fail(message);
}

}  // namespace reshape
