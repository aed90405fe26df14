#include "source/word_scan.h"

namespace reshape {

const std::array<bool, 256>& SourceDelimiterTable(Delimiters set) {
  const auto tableOf = [](std::string_view delimiters) {
    std::array<bool, 256> member{};
    for (char c : delimiters) member[static_cast<unsigned char>(c)] = true;
    return member;
  };
  static const std::array<bool, 256> narrow = tableOf(DelimiterSet);
  static const std::array<bool, 256> wide = tableOf(WideDelimiterSet);
  return set == Delimiters::Wide ? wide : narrow;
}

}  // namespace reshape
