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


// The root object's class name in a form stream.
std::string_view RootClassName(std::string_view stream) {
  FormReader reader(stream);
  reader.ReadBytes(FormSignature.size());
  reader.ReadObjectPrefix();
  return reader.ReadShortString();
}

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
  const std::string name = AsciiUpperCase(RootClassName(compiled));
  std::string header = "\xFF";
  AppendLittleEndian(header, kResourceType, 2);
  header.append(name) += '\0';
  AppendLittleEndian(header, kMemoryFlags, 2);
  AppendLittleEndian(header, compiled.size(), 4);
  return header;
}

std::string ResourceHeaderFor(std::string_view compiled, std::string_view formFile,
                              std::size_t streamAt, std::size_t streamEnd) {
  const std::size_t sizeAt = streamAt - 4, oldSize = streamEnd - streamAt;
  std::uint32_t size = 0;
  for (std::size_t i = 4; i-- > 0;)
    size = size << 8 | static_cast<std::uint8_t>(formFile[sizeAt + i]);
  // The size grows or shrinks with the stream (within the field's range), so that bytes of
  // the resource after the root object stay in it.
  const auto moved = static_cast<std::int64_t>(size) + static_cast<std::int64_t>(compiled.size()) -
                     static_cast<std::int64_t>(oldSize);
  size = static_cast<std::uint32_t>(std::clamp<std::int64_t>(moved, 0, UINT32_MAX));
  std::string header(formFile.substr(0, sizeAt));
  const std::string_view name = RootClassName(compiled);
  if (name != RootClassName(formFile.substr(streamAt)))
    header.replace(kNameOffset, header.find('\0', kNameOffset) - kNameOffset,
                   AsciiUpperCase(name));
  AppendLittleEndian(header, size, 4);
  return header;
}

}  // namespace reshape
