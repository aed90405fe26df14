#include "forms/resource_header.h"

#include <algorithm>
#include <cstdint>

#include "base/ascii_case.h"
#include "base/bytes.h"
#include "base/errors.h"
#include "forms/form_stream.h"

namespace reshape {

namespace {

constexpr std::size_t kNameOffset = 3;
// Room for the longest class name (255 bytes) and its terminator, so that every header that
// ResourceHeader builds is skipped again.
constexpr std::size_t kHeaderProbe = kNameOffset + kMaxNameLength + 1;
constexpr std::uint16_t kResourceType = 10;
constexpr std::uint16_t kMemoryFlags = 0x1030;


}  // namespace

std::size_t SkipResourceHeader(std::string_view formFile) {
  // Padded with zeros, which a header cut short and a name without terminator read as.
  std::string area(formFile.substr(0, kHeaderProbe));
  area.resize(kHeaderProbe + 1);
  auto byteAt = [&](std::size_t i) { return static_cast<std::uint8_t>(area[i]); };
  if (byteAt(0) != 0xFF || (byteAt(1) | byteAt(2) << 8) != kResourceType)
    throw Failure(FailureKind::kNoFormResource);
  // The name's terminator, then flags and size.
  return std::min(area.find('\0', kNameOffset) + 7, formFile.size());
}

std::string ResourceHeader(std::string_view compiled) {
  FormReader reader(compiled);
  reader.ReadBytes(FormSignature.size());
  reader.ReadObjectPrefix();
  const std::string name = AsciiUpperCase(reader.ReadShortString());
  std::string header = "\xFF";
  AppendLittleEndian(header, kResourceType, 2);
  header.append(name) += '\0';
  AppendLittleEndian(header, kMemoryFlags, 2);
  AppendLittleEndian(header, compiled.size(), 4);
  return header;
}

}  // namespace reshape
