// Finding the first of a few given bytes in a byte range, sixteen bytes at a time where the
// processor has the instructions for it: the scanners of lines and of form text stop at a
// handful of bytes and pass over everything else.
#pragma once

#include <bit>
#include <cstddef>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

namespace reshape {

// The first position from `from` to `end` whose byte is one of kBytes, or `end`.
template <char... kBytes>
std::size_t FindFirstOf(const char* data, std::size_t from, std::size_t end) {
  std::size_t at = from;
#ifdef __SSE2__
  for (; at + 16 <= end; at += 16) {
    const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + at));
    __m128i any = _mm_setzero_si128();
    ((any = _mm_or_si128(any, _mm_cmpeq_epi8(block, _mm_set1_epi8(kBytes)))), ...);
    if (const int found = _mm_movemask_epi8(any); found != 0)
      return at + static_cast<std::size_t>(std::countr_zero(static_cast<unsigned>(found)));
  }
#endif
  for (; at < end; ++at)
    if (((data[at] == kBytes) || ...)) return at;
  return end;
}

}  // namespace reshape
