#include "base/code_page.h"

#include "base/ascii_case.h"

namespace reshape {

bool CodePage::IsDoubleByte() const {
  return number_ == 932 || number_ == 936 || number_ == 949 || number_ == 950;
}

bool CodePage::IsLeadByte(unsigned char byte) const {
  switch (number_) {
    case 932: return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
    case 936:
    case 949:
    case 950: return byte >= 0x81 && byte <= 0xFE;
    default: return false;
  }
}

CodePage CodePage::FromCharsetName(std::string_view name) {
  std::string upper;
  for (char c : name)
    if (c != '-' && c != '_') upper += AsciiUpper(c);
  if (upper == "SHIFTJIS" || upper == "SJIS" || upper == "CP932" || upper == "WINDOWS31J" ||
      upper == "MSKANJI")
    return CodePage(932);
  if (upper == "GBK" || upper == "GB2312" || upper == "CP936" || upper == "EUCCN")
    return CodePage(936);
  if (upper == "EUCKR" || upper == "CP949" || upper == "UHC") return CodePage(949);
  if (upper == "BIG5" || upper == "BIG5HKSCS" || upper == "CP950") return CodePage(950);
  return CodePage();
}

}  // namespace reshape
