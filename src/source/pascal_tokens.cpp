#include "source/pascal_tokens.h"

#include <algorithm>

#include "base/ascii_case.h"
#include "base/byte_search.h"

namespace reshape {

namespace {

bool IsBlank(char c) { return static_cast<unsigned char>(c) <= 0x20; }

bool IsLineBreak(char c) { return c == '\r' || c == '\n'; }

// An identifier byte that may start a name: not a digit.
bool IsNameStart(char c) { return IsIdentifierByte(c) && !(c >= '0' && c <= '9'); }

}  // namespace

bool IsIdentifierByte(char c) {
  const auto b = static_cast<unsigned char>(c);
  return b >= 0x80 || (b >= 'a' && b <= 'z') || (b >= 'A' && b <= 'Z') ||
         (b >= '0' && b <= '9') || b == '_';
}

DirectiveRole DirectiveRoleOf(std::string_view directive) {
  std::size_t at = directive.starts_with("(*$") ? 3 : 2;
  while (at < directive.size() && IsBlank(directive[at])) ++at;
  std::size_t end = at;
  while (end < directive.size() && IsIdentifierByte(directive[end])) ++end;
  const std::string_view word = directive.substr(at, end - at);
  const auto is = [word](std::string_view name) { return SameIgnoringAsciiCase(word, name); };
  if (is("IF") || is("IFDEF") || is("IFNDEF") || is("IFOPT")) return DirectiveRole::Open;
  if (is("ELSE") || is("ELSEIF")) return DirectiveRole::Branch;
  if (is("ENDIF") || is("IFEND")) return DirectiveRole::Close;
  return DirectiveRole::Other;
}

PascalTokenizer::PascalTokenizer(std::string_view text, CodePage codePage, std::size_t from)
    : text_(text), pos_(from), doubleByte_(codePage.IsDoubleByte()) {
  if (doubleByte_)
    for (unsigned b = 0x80; b < 256; ++b) lead_[b] = codePage.IsLeadByte(static_cast<unsigned char>(b));
}

PascalToken PascalTokenizer::Next() {
  const std::size_t size = text_.size();
  while (pos_ < size && IsBlank(text_[pos_])) ++pos_;
  const std::size_t start = pos_;
  if (start == size) return {PascalTokenKind::End, size, size};
  const char c = text_[start];
  const char next = start + 1 < size ? text_[start + 1] : '\0';
  PascalTokenKind kind = PascalTokenKind::Symbol;
  std::size_t end = start + 1;
  if (c == '{') {
    kind = next == '$' ? PascalTokenKind::Directive : PascalTokenKind::Comment;
    end = BraceEnd(start);
  } else if (c == '(' && next == '*') {
    kind = start + 2 < size && text_[start + 2] == '$' ? PascalTokenKind::Directive
                                                        : PascalTokenKind::Comment;
    end = ParenStarEnd(start);
  } else if (c == '/' && next == '/') {
    kind = PascalTokenKind::Comment;
    end = LineCommentEnd(start);
  } else if (c == '\'') {
    kind = PascalTokenKind::String;
    end = StringEnd(start);
  } else if (c == '#') {
    kind = PascalTokenKind::CharCode;
    end = IdentifierEnd(next == '$' ? start + 2 : start + 1);
  } else if (c == '$' || (c >= '0' && c <= '9')) {
    kind = PascalTokenKind::Number;
    end = IdentifierEnd(start + 1);
  } else if (IsNameStart(c)) {
    kind = PascalTokenKind::Name;
    end = IdentifierEnd(start);
    while (end + 1 < size && text_[end] == '.' && IsNameStart(text_[end + 1]))
      end = IdentifierEnd(end + 1);
  }
  pos_ = end;
  return {kind, start, end};
}

std::size_t PascalTokenizer::IdentifierEnd(std::size_t at) const {
  const std::size_t size = text_.size();
  if (!doubleByte_) {
    while (at < size && IsIdentifierByte(text_[at])) ++at;
    return at;
  }
  while (at < size) {
    const auto b = static_cast<unsigned char>(text_[at]);
    if (lead_[b] && at + 1 < size && !IsLineBreak(text_[at + 1]))
      at += 2;
    else if (IsIdentifierByte(static_cast<char>(b)))
      ++at;
    else
      break;
  }
  return at;
}

std::size_t PascalTokenizer::Find(char c, std::size_t at) const {
  const std::size_t size = text_.size();
  if (!doubleByte_) return std::min(text_.find(c, at), size);
  while (at < size) {
    const auto b = static_cast<unsigned char>(text_[at]);
    if (b == static_cast<unsigned char>(c)) return at;
    // A line break is never the second byte of a character.
    at += lead_[b] && at + 1 < size && !IsLineBreak(text_[at + 1]) ? 2 : 1;
  }
  return size;
}

std::size_t PascalTokenizer::BraceEnd(std::size_t start) const {
  return std::min(Find('}', start + 1) + 1, text_.size());
}

std::size_t PascalTokenizer::ParenStarEnd(std::size_t start) const {
  const std::size_t size = text_.size();
  for (std::size_t at = start + 2;; ++at) {
    at = Find('*', at);
    if (at + 1 >= size) return size;
    if (text_[at + 1] == ')') return at + 2;
  }
}

std::size_t PascalTokenizer::LineCommentEnd(std::size_t start) const {
  return FindFirstOf<'\r', '\n'>(text_.data(), start + 2, text_.size());
}

std::size_t PascalTokenizer::StringEnd(std::size_t start) const {
  const std::size_t size = text_.size();
  std::size_t at = start + 1;
  while (at < size) {
    if (!doubleByte_) {
      at = FindFirstOf<'\'', '\r', '\n'>(text_.data(), at, size);
      if (at == size) break;
    }
    const char c = text_[at];
    if (IsLineBreak(c)) return at;
    if (c == '\'') {
      if (at + 1 < size && text_[at + 1] == '\'') {
        at += 2;
        continue;
      }
      return at + 1;
    }
    at += lead_[static_cast<unsigned char>(c)] && at + 1 < size && !IsLineBreak(text_[at + 1]) ? 2 : 1;
  }
  return size;
}

}  // namespace reshape
