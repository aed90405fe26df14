#include "driver/change_log.h"

#include <cstdio>
#include <cstring>

#include "platform/errors.h"
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
  File log;
  Check(log.Open(logFileName_, Access::ReadWrite, Share::DenyWrite, Disposition::OpenAlways));

  // An end-of-text byte among the last 128 bytes cuts the log off there before appending.
  std::int64_t size = 0;
  Check(log.Seek(0, SEEK_END, size));
  std::int64_t tailStart = size > kTailLength ? size - kTailLength : 0;
  if (size > 0) {
    // Read in place, so the file stays positioned at its end for the append: a run logs a line
    // per change, and each one pays for every call made here.
    char tail[kTailLength];
    std::size_t got = 0;
    Check(log.ReadAt(tailStart, tail, static_cast<std::size_t>(size - tailStart), got));
    if (const void* eot = std::memchr(tail, kEndOfText, got)) {
      size = tailStart + (static_cast<const char*>(eot) - tail);
      Check(log.Truncate(size));
      std::int64_t position = 0;
      Check(log.Seek(size, SEEK_SET, position));
    }
  }

  std::string line = ChangeLogLine(fileName, message);
  if (int code = log.Write(line.data(), line.size())) {
    log.Truncate(size);
    throw EInOutError(code);
  }
  Check(log.Close());
}

}  // namespace reshape
