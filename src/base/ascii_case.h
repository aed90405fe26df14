// Letter case as the program knows it: only the ASCII letters a to z have an upper case; every
// other byte, including all bytes above 0x7F, is its own upper case. Names, keywords and file
// names are compared and upper-cased this way everywhere.
#pragma once

#include <string>
#include <string_view>

namespace reshape {

// The byte with a to z turned into A to Z.
constexpr char AsciiUpper(char c) {
  return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

// The bit that tells the two cases of an upper-case letter apart (0x20), or 0 for any other
// byte. Setting it on both sides compares a byte with key ignoring the letter's case.
constexpr char LetterCaseBit(char key) { return static_cast<char>(key >= 'A' && key <= 'Z' ? 0x20 : 0); }

// A copy of text with a to z turned into A to Z; the length never changes.
inline std::string AsciiUpperCase(std::string_view text) {
  std::string result(text);
  for (char& c : result) c = AsciiUpper(c);
  return result;
}

// True when a and b have the same length and equal bytes once a to z are upper-cased.
constexpr bool SameIgnoringAsciiCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (AsciiUpper(a[i]) != AsciiUpper(b[i])) return false;
  return true;
}

}  // namespace reshape
