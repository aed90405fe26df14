// Passing over a binary value of a form stream without keeping its bytes, for the fuzz checks
// that walk a stream's structure.
#pragma once

#include <cstdint>

#include "forms/filer.h"

namespace reshape::fuzz {

// Reads the binary value's tag, length and bytes; the reader then stands at what follows it.
inline void SkipBinaryValue(TReader& reader) {
  reader.ReadTag();
  char chunk[4096];
  for (std::uint32_t left = reader.ReadCount(); left > 0;) {
    std::uint32_t count = left < sizeof chunk ? left : sizeof chunk;
    reader.ReadBytes(chunk, count);
    left -= count;
  }
}

}  // namespace reshape::fuzz
