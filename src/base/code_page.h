// The system code page as far as the program needs it: whether it is one of the double-byte
// code pages, and which bytes lead a double-byte character there. Functions that split or
// search text take a CodePage parameter, so tests choose it.
#pragma once

#include <string_view>

namespace reshape {

class CodePage {
 public:
  // A single-byte code page (1252 and the like).
  constexpr CodePage() = default;
  // 932 (Shift_JIS), 936 (GBK), 949 (UHC) or 950 (Big5) are double-byte; any other number is
  // single-byte.
  constexpr explicit CodePage(int number) : number_(number) {}

  int Number() const { return number_; }
  bool IsDoubleByte() const;
  bool IsLeadByte(unsigned char byte) const;

  // The code page of the locale's character set (LC_CTYPE), decided by its name.
  static CodePage FromCharsetName(std::string_view name);

 private:
  int number_ = 1252;
};

}  // namespace reshape
