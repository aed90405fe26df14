#include "driver/change_log.h"

#include "base/ascii_case.h"

namespace reshape {

std::string ChangeLogLine(std::string_view fileName, std::string_view message) {
  return AsciiUpperCase(fileName).append("> ").append(message).append("\r\n");
}

void FileChangeLog::LogChange(std::string_view fileName, std::string_view message) {
  pending_ += ChangeLogLine(fileName, message);
  if (pending_.size() < spillBytes_) return;
  // A stale spill file of a killed run must not end up in the log.
  if (!spilled_) files_.DeleteFile(spillFileName_);
  spilled_ = true;  // from here on the spill file is removed when the log object goes
  CheckInOut(files_.AppendToFile(spillFileName_, pending_));
  pending_.clear();
}

}  // namespace reshape
