// Finding the first of a few given bytes in a byte range, sixteen bytes at a time where the
// processor has the instructions for it: the scanners of lines and of form text stop at a
// handful of bytes and pass over everything else.
#pragma once

#include <bit>
#include <cstddef>

#include "base/byte_block.h"

namespace reshape {

// The first position from `from` to `end` whose byte is one of kBytes, or `end`.
template <char... kBytes>
std::size_t FindFirstOf(const char* data, std::size_t from, std::size_t end) {
  std::size_t at = from;
#ifdef RESHAPE_BYTE_BLOCKS
  for (; at + 16 <= end; at += 16) {
    const ByteBlock block = LoadBlock(data + at);
    ByteBlock any = RepeatByte(0);
    ((any = BlockOr(any, BytesEqual(block, RepeatByte(kBytes)))), ...);
    if (const unsigned found = TopBits(any); found != 0)
      return at + static_cast<std::size_t>(std::countr_zero(found));
  }
#endif
  for (; at < end; ++at)
    if (((data[at] == kBytes) || ...)) return at;
  return end;
}

}  // namespace reshape
