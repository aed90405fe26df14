// Byte-level facts the floors share: text file marks, UTF-8 decoding, little-endian, hashing.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace reshape {

// The UTF-8 byte-order mark that may open a text file.
inline constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";
// The end-of-text mark: a text file's text ends at it.
inline constexpr char kEndOfText = '\x1A';

// 2^64 divided by the golden ratio: a product with it spreads neighbouring keys far apart.
inline constexpr std::uint64_t kHashMultiplier = 0x9E3779B97F4A7C15ull;

// The low `size` bytes (at most 8) of value, least significant first, appended to out.
inline void AppendLittleEndian(std::string& out, std::uint64_t value, std::size_t size) {
  char bytes[8];
  for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>(value >> (8 * i));
  out.append(bytes, size);
}

// The upper-case hexadecimal digits of count bytes, two per byte, written to out. Eight bytes
// at a time in a 64-bit word: each nibble spread to a byte of its own, then made a digit.
inline void WriteUpperHex(const char* bytes, std::size_t count, char* out) {
  auto digits = [](std::uint64_t nibbles) {
    const std::uint64_t letters = ((nibbles + 0x0606060606060606ull) >> 4) & 0x0101010101010101ull;
    return nibbles + 0x3030303030303030ull + letters * 7;
  };
  auto store = [](std::uint64_t word, char* to) {
    for (int k = 0; k < 8; ++k) to[k] = static_cast<char>(word >> (8 * k));
  };
  std::size_t i = 0;
  for (; i + 4 <= count; i += 4) {
    std::uint64_t spread = 0;
    for (int k = 0; k < 4; ++k)
      spread |= std::uint64_t{static_cast<unsigned char>(bytes[i + k])} << (16 * k);
    // Byte k sits at bits 16k: its high nibble goes to character 2k, its low one to 2k + 1.
    const std::uint64_t nibbles =
        ((spread >> 4) & 0x000F000F000F000Full) | ((spread & 0x000F000F000F000Full) << 8);
    store(digits(nibbles), out + 2 * i);
  }
  for (; i < count; ++i) {
    const auto byte = static_cast<unsigned char>(bytes[i]);
    out[2 * i] = "0123456789ABCDEF"[byte >> 4];
    out[2 * i + 1] = "0123456789ABCDEF"[byte & 15];
  }
}

// The code point whose encoding starts at bytes[at] (at < bytes.size()); `at` moves behind it.
// Negative for a stray or overlong lead, a missing continuation byte, a surrogate or a value
// past U+10FFFF.
inline std::int32_t DecodeUtf8(std::string_view bytes, std::size_t& at) {
  const auto lead = static_cast<unsigned char>(bytes[at++]);
  const int continuations = lead < 0x80                    ? 0
                            : lead >= 0xC2 && lead <= 0xDF ? 1
                            : lead >= 0xE0 && lead <= 0xEF ? 2
                            : lead >= 0xF0 && lead <= 0xF4 ? 3
                                                           : -1;
  if (continuations < 0) return -1;
  constexpr std::int32_t kLowest[] = {0, 0x80, 0x800, 0x10000};
  // The lead's payload bits: all seven of an ASCII byte, fewer the more bytes follow.
  std::int32_t code = lead & (0x7F >> continuations);
  for (int k = 0; k < continuations; ++k, ++at) {
    if (at == bytes.size() || (bytes[at] & 0xC0) != 0x80) return -1;
    code = code << 6 | (bytes[at] & 0x3F);
  }
  if (code < kLowest[continuations] || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
    return -1;
  return code;
}

}  // namespace reshape
