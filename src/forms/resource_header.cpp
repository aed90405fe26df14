#include "forms/resource_header.h"

#include <algorithm>
#include <cstdint>

#include "base/ascii_case.h"
#include "base/errors.h"
#include "forms/form_stream.h"

namespace reshape {

namespace {

constexpr std::size_t kNameOffset = 3;
// Room for the longest class name (255 bytes) and its terminator, so that every header that
// ResourceHeader builds is skipped again.
constexpr std::size_t kHeaderProbe = kNameOffset + 255 + 1;
constexpr std::uint16_t kResourceType = 10;
constexpr std::uint16_t kMemoryFlags = 0x1030;

void PutWord(std::string& bytes, std::size_t at, std::uint32_t value, int size) {
  for (int i = 0; i < size; ++i) bytes[at + i] = static_cast<char>((value >> (8 * i)) & 0xFF);
}

}  // namespace

std::size_t SkipResourceHeader(std::string_view formFile) {
  std::string_view area = formFile.substr(0, kHeaderProbe);
  auto byteAt = [&](std::size_t i) {
    return i < area.size() ? static_cast<std::uint8_t>(area[i]) : std::uint8_t{0};
  };
  if (byteAt(0) != 0xFF || (byteAt(1) | byteAt(2) << 8) != kResourceType)
    throw EInvalidImage("Invalid stream format");
  std::size_t nameLength = 0;
  while (byteAt(kNameOffset + nameLength) != 0) ++nameLength;
  return std::min(nameLength + 10, formFile.size());
}

std::string ResourceHeader(std::string_view compiled) {
  FormReader reader(compiled);
  reader.ReadBytes(FormSignature.size());
  reader.ReadObjectPrefix();
  std::string_view name = reader.ReadShortString();
  std::string header(name.size() + 10, '\0');
  header[0] = static_cast<char>(0xFF);
  PutWord(header, 1, kResourceType, 2);
  for (std::size_t i = 0; i < name.size(); ++i) header[kNameOffset + i] = AsciiUpper(name[i]);
  PutWord(header, name.size() + 4, kMemoryFlags, 2);
  PutWord(header, name.size() + 6, static_cast<std::uint32_t>(compiled.size()), 4);
  return header;
}

}  // namespace reshape
