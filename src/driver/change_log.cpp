#include "driver/change_log.h"

#include <cstdio>
#include <cstring>

#include "base/errors.h"
#include "platform/file.h"

namespace reshape {

namespace {

constexpr std::int64_t kTailLength = 128;
constexpr char kEndOfText = 26;

void Check(int code) {
  if (code != 0) throw EInOutError(code);
}

}  // namespace

std::string ChangeLogLine(std::string_view fileName, std::string_view message) {
  std::string line;
  line.reserve(fileName.size() + message.size() + 4);
  for (char c : fileName) line += (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
  line += "> ";
  line += message;
  line += "\r\n";
  return line;
}

void FileChangeLog::LogChange(std::string_view fileName, std::string_view message) {
  using namespace platform;
  // A run logs a line per change and pays for every call made here: the size comes with the
  // open, the tail is read and the line written at their offsets, without moving the position.
  File log;
  Check(log.Open(logFileName_, Access::ReadWrite, Share::DenyWrite, Disposition::OpenAlways));

  // An end-of-text byte among the last 128 bytes cuts the log off there before appending.
  std::int64_t size = log.OpenedSize();
  if (size > 0) {
    std::int64_t tailStart = size > kTailLength ? size - kTailLength : 0;
    char tail[kTailLength];
    std::size_t got = 0;
    Check(log.ReadAt(tailStart, tail, static_cast<std::size_t>(size - tailStart), got));
    if (const void* eot = std::memchr(tail, kEndOfText, got)) {
      size = tailStart + (static_cast<const char*>(eot) - tail);
      Check(log.Truncate(size));
    }
  }

  std::string line = ChangeLogLine(fileName, message);
  if (int code = log.WriteAt(size, line.data(), line.size())) {
    log.Truncate(size);
    throw EInOutError(code);
  }
  Check(log.Close());
}

}  // namespace reshape
