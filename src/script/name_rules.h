// What a name is, for the script, the source rewriters and the forms alike: the bytes that
// separate the words of a source line, identifiers, and the longest name a form can hold.
#pragma once

#include <algorithm>
#include <cstddef>
#include <string_view>

namespace reshape {

// The bytes that separate words in source lines: blank , . ; - + / * ( ) ^ = : [ ]
inline constexpr std::string_view DelimiterSet = " ,.;-+/*()^=:[]";
// DelimiterSet and tab < > & ! | ~ ? % @ { }, which end a class name in the source pass. Quotes,
// "#", "$" and the backslash still belong to the word they touch, so a name in 'TFoo', #13, $FF
// or gui\Forms.hpp keeps its text.
inline constexpr std::string_view WideDelimiterSet = " ,.;-+/*()^=:[]\t<>&!|~?%@{}";

// A form stores a name behind one length byte.
inline constexpr std::size_t kMaxNameLength = 255;

constexpr bool IsAsciiLetter(unsigned char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }
constexpr bool IsAsciiDigit(unsigned char c) { return c >= '0' && c <= '9'; }
// Bytes above 127 are taken as letters: newer IDEs write names in UTF-8 or a code page.
constexpr bool IsIdentStart(unsigned char c) { return IsAsciiLetter(c) || c == '_' || c >= 128; }
// A byte that may stand in an identifier after its first: letters, digits, "_", 128-255.
constexpr bool IsIdentChar(unsigned char c) { return IsIdentStart(c) || IsAsciiDigit(c); }

// A name that reads back as one identifier token.
constexpr bool IsIdentifier(std::string_view name) {
  return !name.empty() && IsIdentStart(static_cast<unsigned char>(name[0])) &&
         std::all_of(name.begin(), name.end(), [](char c) { return IsIdentChar(static_cast<unsigned char>(c)); });
}

// Identifiers joined by single dots.
constexpr bool IsDottedIdentifier(std::string_view name) {
  for (std::size_t start = 0;;) {
    const std::size_t dot = name.find('.', start);
    if (!IsIdentifier(name.substr(start, dot - start))) return false;
    if (dot == std::string_view::npos) return true;
    start = dot + 1;
  }
}

}  // namespace reshape
