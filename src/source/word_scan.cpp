#include "source/word_scan.h"

namespace reshape {

const std::array<bool, 256>& SourceDelimiterTable() {
  static const std::array<bool, 256> table = [] {
    std::array<bool, 256> member{};
    for (char c : DelimiterSet) member[static_cast<unsigned char>(c)] = true;
    return member;
  }();
  return table;
}

}  // namespace reshape
