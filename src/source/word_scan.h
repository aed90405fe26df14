// Splitting a line into words separated by runs of delimiter characters, and into dotted names
// (words joined by single dots), as the source rewriters see them. Unit names are read between
// the narrow delimiters; the source pass's class names between the wide ones, which also end a
// word at the marks around names in C++ (templates, references) and in braces.
#pragma once

#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "base/byte_block.h"

#include "script/name_rules.h"

namespace reshape {

enum class Delimiters { Narrow, Wide };  // DelimiterSet, WideDelimiterSet

// Membership of every byte value in the set, so that a scan need not search the set.
const std::array<bool, 256>& SourceDelimiterTable(Delimiters set = Delimiters::Narrow);

// True when c is in the delimiter set that table holds (with kLineBreaks, or is CR or LF).
template <bool kLineBreaks>
bool IsSourceDelimiter(char c, const std::array<bool, 256>& table) {
  return table[static_cast<unsigned char>(c)] || (kLineBreaks && (c == '\r' || c == '\n'));
}

#ifdef RESHAPE_BYTE_BLOCKS
// Bit i set when byte i of the sixteen at data is in the set (with kLineBreaks, or CR or LF).
template <bool kLineBreaks, Delimiters kSet = Delimiters::Narrow>
unsigned SourceDelimiterBits(const char* data) {
  const ByteBlock b = LoadBlock(data);
  const auto is = [&b](char c) { return BytesEqual(b, RepeatByte(c)); };
  const auto in = [&b](char bits, char c) {
    return BytesEqual(BlockAnd(b, RepeatByte(bits)), RepeatByte(c));
  };
  // ( ) * + , - . / are the bytes 28-2F, : ; are 3A-3B.
  const ByteBlock range28 = in('\xF8', 0x28);
  const ByteBlock range3A = in('\xFE', 0x3A);
  ByteBlock any = BlockOr(
      BlockOr(BlockOr(is(' '), range28), BlockOr(range3A, is('='))),
      BlockOr(BlockOr(is('['), is(']')), is('^')));
  if constexpr (kSet == Delimiters::Wide) {
    // Signed comparisons: bytes from 80 on are below every bound.
    const auto within = [&b](char low, char high) {
      return BlockAnd(BytesLess(RepeatByte(static_cast<char>(low - 1)), b),
                      BytesLess(b, RepeatByte(static_cast<char>(high + 1))));
    };
    // ! after the blank; % &; : ; < = > ? @; { | } ~; tab.
    any = BlockOr(BlockOr(any, BlockOr(is('!'), is('\t'))),
                  BlockOr(BlockOr(is('%'), is('&')), BlockOr(within(':', '@'), within('{', '~'))));
  }
  if constexpr (kLineBreaks) any = BlockOr(any, BlockOr(is('\r'), is('\n')));
  return TopBits(any);
}
#endif

// Bit i set when byte `from + i` of s is in the set `table` holds, for 64 bytes from `from` on;
// bytes past the end of s count as delimiters.
// With kLineBreaks, CR and LF are delimiters too (for scanning a whole text instead of a line).
template <bool kLineBreaks = false, Delimiters kSet = Delimiters::Narrow>
std::uint64_t SourceDelimiterMask(std::string_view s, std::size_t from,
                                  const std::array<bool, 256>& table) {
  const std::size_t count = s.size() - from < 64 ? s.size() - from : 64;
  std::uint64_t mask = 0;
  std::size_t i = 0;
#ifdef RESHAPE_BYTE_BLOCKS
  for (; i + 16 <= count; i += 16)
    mask |= static_cast<std::uint64_t>(SourceDelimiterBits<kLineBreaks, kSet>(s.data() + from + i)) << i;
#endif
  for (; i < count; ++i)
    mask |= static_cast<std::uint64_t>(IsSourceDelimiter<kLineBreaks>(s[from + i], table)) << i;
  return count == 64 ? mask : mask | (~std::uint64_t{0} << count);
}

// Calls visit(start, length) for each word of s, a run of bytes not in the set, in order,
// until visit returns false. The line is classified 64 bytes at a time without branches, and
// words are found at the edges of the delimiter mask, so the cost is per word, not per byte.
template <Delimiters kSet = Delimiters::Narrow, typename Visit>
void ScanSourceWords(std::string_view s, Visit visit) {
  const std::array<bool, 256>& table = SourceDelimiterTable(kSet);
  bool open = false;  // a word has started and not yet ended
  std::size_t start = 0;
  for (std::size_t base = 0; base < s.size(); base += 64) {
    const std::uint64_t delimiters = SourceDelimiterMask<false, kSet>(s, base, table);
    unsigned pos = 0;
    while (pos < 64) {
      const std::uint64_t rest = (open ? delimiters : ~delimiters) >> pos;
      if (rest == 0) break;
      pos += static_cast<unsigned>(std::countr_zero(rest));
      if (open && !visit(start, base + pos - start)) return;
      if (!open) start = base + pos;
      open = !open;
    }
  }
  if (open) visit(start, s.size() - start);
}

// Calls visit(start, length) for each dotted name of s, in order, until visit returns false: a
// maximal run of words of DelimiterSet in which each word follows the one before it after
// exactly one ".". So "Core.Types" is one name, "Core..Types" and "Core. Types" are two.
template <typename Visit>
void ScanSourceDottedNames(std::string_view s, Visit visit) {
  std::size_t start = 0;
  std::size_t end = 0;
  bool open = false;
  bool more = true;
  ScanSourceWords(s, [&](std::size_t wordStart, std::size_t length) {
    if (open && wordStart == end + 1 && s[end] == '.') {
      end = wordStart + length;
      return true;
    }
    if (open && !visit(start, end - start)) return more = false;
    open = true;
    start = wordStart;
    end = wordStart + length;
    return true;
  });
  if (open && more) visit(start, end - start);
}

}  // namespace reshape
