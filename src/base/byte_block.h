// Sixteen bytes tested at once, for the scanners of lines, words and form text: SSE2 on x86-64,
// NEON on ARM64. Where RESHAPE_BYTE_BLOCKS is not defined the processor has neither, and
// callers take their byte-by-byte path instead.
//
// A test gives a block whose bytes are all ones where it holds and zero elsewhere; TopBits
// turns one into a bit mask, bit i for byte i, and subtracting tests from a block counts, in
// each byte, how often they held.
#pragma once

#include <cstdint>

#if defined(__SSE2__)
#include <emmintrin.h>
#define RESHAPE_BYTE_BLOCKS 1
#elif defined(__ARM_NEON) && defined(__aarch64__)
#include <arm_neon.h>
#define RESHAPE_BYTE_BLOCKS 1
#endif

#ifdef RESHAPE_BYTE_BLOCKS
namespace reshape {

#if defined(__SSE2__)

using ByteBlock = __m128i;

// The sixteen bytes at data, which need no alignment.
inline ByteBlock LoadBlock(const char* data) {
  return _mm_loadu_si128(reinterpret_cast<const __m128i*>(data));
}
inline ByteBlock RepeatByte(char c) { return _mm_set1_epi8(c); }
inline ByteBlock BytesEqual(ByteBlock a, ByteBlock b) { return _mm_cmpeq_epi8(a, b); }
// Bytes taken as signed numbers.
inline ByteBlock BytesLess(ByteBlock a, ByteBlock b) { return _mm_cmplt_epi8(a, b); }
inline ByteBlock BlockOr(ByteBlock a, ByteBlock b) { return _mm_or_si128(a, b); }
inline ByteBlock BlockAnd(ByteBlock a, ByteBlock b) { return _mm_and_si128(a, b); }
// a and not b.
inline ByteBlock BlockAndNot(ByteBlock a, ByteBlock b) { return _mm_andnot_si128(b, a); }
// Bit i set when the top bit of byte i is.
inline unsigned TopBits(ByteBlock a) { return static_cast<unsigned>(_mm_movemask_epi8(a)); }
// Byte by byte, a - b modulo 256; and the sum of a block's sixteen bytes.
inline ByteBlock BytesMinus(ByteBlock a, ByteBlock b) { return _mm_sub_epi8(a, b); }
inline unsigned SumOfBytes(ByteBlock a) {
  const __m128i sums = _mm_sad_epu8(a, _mm_setzero_si128());
  return static_cast<unsigned>(_mm_cvtsi128_si32(sums) + _mm_extract_epi16(sums, 4));
}

#else

using ByteBlock = uint8x16_t;

inline ByteBlock LoadBlock(const char* data) {
  return vld1q_u8(reinterpret_cast<const std::uint8_t*>(data));
}
inline ByteBlock RepeatByte(char c) { return vdupq_n_u8(static_cast<std::uint8_t>(c)); }
inline ByteBlock BytesEqual(ByteBlock a, ByteBlock b) { return vceqq_u8(a, b); }
inline ByteBlock BytesLess(ByteBlock a, ByteBlock b) {
  return vcltq_s8(vreinterpretq_s8_u8(a), vreinterpretq_s8_u8(b));
}
inline ByteBlock BlockOr(ByteBlock a, ByteBlock b) { return vorrq_u8(a, b); }
inline ByteBlock BlockAnd(ByteBlock a, ByteBlock b) { return vandq_u8(a, b); }
inline ByteBlock BlockAndNot(ByteBlock a, ByteBlock b) { return vbicq_u8(a, b); }
// NEON has no such instruction: each byte's top bit is spread over the byte, kept at its place
// in its half, and each half summed.
inline unsigned TopBits(ByteBlock a) {
  static constexpr std::uint8_t kPlaces[16] = {1, 2, 4, 8, 16, 32, 64, 128,
                                               1, 2, 4, 8, 16, 32, 64, 128};
  const uint8x16_t bits =
      vandq_u8(vreinterpretq_u8_s8(vshrq_n_s8(vreinterpretq_s8_u8(a), 7)), vld1q_u8(kPlaces));
  return vaddv_u8(vget_low_u8(bits)) | static_cast<unsigned>(vaddv_u8(vget_high_u8(bits))) << 8;
}
inline ByteBlock BytesMinus(ByteBlock a, ByteBlock b) { return vsubq_u8(a, b); }
inline unsigned SumOfBytes(ByteBlock a) { return vaddlvq_u8(a); }

#endif

}  // namespace reshape
#endif
