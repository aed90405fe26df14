// Passing over a binary value of a form stream without keeping its bytes, for the fuzz checks
// that walk a stream's structure.
#pragma once

#include <cstdint>

#include "forms/form_stream.h"

namespace reshape::fuzz {

// Reads the binary value's tag, length and bytes; the reader then stands at what follows it.
inline void SkipBinaryValue(FormReader& reader) {
  reader.ReadTag();
  reader.ReadBytes(reader.ReadCount());
}

}  // namespace reshape::fuzz
