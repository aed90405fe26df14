#include "forms/resource_header.h"

#include <array>
#include <cstdint>
#include <string>

#include "forms/filer.h"
#include "base/errors.h"

namespace reshape {

namespace {

constexpr std::size_t kNameOffset = 3;
// Room for the longest class name (255 bytes) and its terminator, so that every header that
// WriteResourceHeader writes is skipped again.
constexpr std::size_t kHeaderProbe = kNameOffset + 255 + 1;
constexpr std::uint16_t kResourceType = 10;
constexpr std::uint16_t kMemoryFlags = 0x1030;

std::uint8_t ReadByte(TStream& stream) {
  std::uint8_t byte;
  stream.ReadBuffer(&byte, 1);
  return byte;
}

void PutWord(std::string& bytes, std::size_t at, std::uint32_t value, int size) {
  for (int i = 0; i < size; ++i) bytes[at + i] = static_cast<char>((value >> (8 * i)) & 0xFF);
}

}  // namespace

void SkipResourceHeader(TStream& stream) {
  // One byte more than is read stays 0, so the name always ends within the area.
  std::array<std::uint8_t, kHeaderProbe + 1> area{};
  std::size_t read = stream.Read(area.data(), kHeaderProbe);
  if (area[0] != 0xFF || (area[1] | area[2] << 8) != kResourceType)
    throw EInvalidImage("Invalid stream format");
  std::size_t nameLength = 0;
  while (area[kNameOffset + nameLength] != 0) ++nameLength;
  auto headerLength = static_cast<std::int64_t>(nameLength + 10);
  stream.Seek(headerLength - static_cast<std::int64_t>(read), SeekOrigin::Current);
}

std::string ResourceHeader(TMemoryStream& compiled) {
  auto size = static_cast<std::uint32_t>(compiled.Bytes().size());
  compiled.SetPosition(static_cast<std::int64_t>(FormSignature.size()));
  std::uint8_t byte = ReadByte(compiled);
  if ((byte & 0xF0) == 0xF0) {
    if (byte & PrefixChildPos) {
      std::uint8_t payload[4];
      switch (ReadByte(compiled)) {
        case TagInt8: compiled.ReadBuffer(payload, 1); break;
        case TagInt16: compiled.ReadBuffer(payload, 2); break;
        case TagInt32: compiled.ReadBuffer(payload, 4); break;
        default: throw EReadError("Invalid property value");
      }
    }
    byte = ReadByte(compiled);
  }
  std::size_t nameLength = byte;
  std::string header(nameLength + 10, '\0');
  header[0] = static_cast<char>(0xFF);
  PutWord(header, 1, kResourceType, 2);
  compiled.ReadBuffer(header.data() + kNameOffset, nameLength);
  for (std::size_t i = kNameOffset; i < kNameOffset + nameLength && header[i] != 0; ++i) {
    if (header[i] >= 'a' && header[i] <= 'z') header[i] = static_cast<char>(header[i] - 32);
  }
  PutWord(header, nameLength + 4, kMemoryFlags, 2);
  PutWord(header, nameLength + 6, size, 4);
  return header;
}

void WriteResourceHeader(TMemoryStream& compiled, TStream& file) {
  file.WriteBuffer(ResourceHeader(compiled));
  file.WriteBuffer(compiled.Bytes());
}

}  // namespace reshape
